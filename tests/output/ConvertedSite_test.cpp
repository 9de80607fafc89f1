#include "TestUtil.h"

#include "CCodePage.h"
#include "CWebHelpHelper.h"

#include <gtest/gtest.h>
#include <set>
#include <string_view>

namespace
{
const std::string kRuntimeDir = std::string(WEBHELP_SOURCE_DIR) + "/output/runtime/";
const char* const g_apszRuntimeFiles[] = {"whcontents.js", "whindex.js", "whsearch.js",   "whtree.js",
                                          "whhelper.js",   "index.js",   "whdefault.css", "whheader.css"};

/// The sample help file converted by the host program.
class CConvertedSiteTest : public ::testing::Test
{
protected:
    void Convert(const std::string& strOptions)
    {
        SCommandResult run = RunCommand(ShellQuote(HostProgram()) + " convert " +
                                        ShellQuote(ChmFixture("outputsample", "sample")) + " -o " +
                                        ShellQuote(m_site.Path()) + " -q " + strOptions);
        ASSERT_EQ(run.nExit, 0) << run.strOutput;
    }
    std::string Site(const std::string& strName) const { return ReadFileBytes(m_site / strName); }
    std::set<std::string> Pages() const
    {
        std::set<std::string> setPages;
        for (const std::string& strName : ListFiles(m_site.Path()))
        {
            if (strName.find('/') == std::string::npos)
                setPages.insert(strName);
        }
        return setPages;
    }
    static std::string Template(const std::string& strSet, const std::string& strName)
    {
        return ReadFileBytes(std::string(WEBHELP_BUILD_DIR) + "/whtemplates/" + strSet + "/" + strName);
    }
    static std::string HostIcon(int n)
    {
        return ReadFileBytes(std::string(WEBHELP_SOURCE_DIR) + "/host/icons/chm_icon" + std::to_string(n) +
                             ".gif");
    }

    CTempDir m_site;
};
} // namespace

TEST_F(CConvertedSiteTest, WithoutIndexAndSearchOnlyTheContentsPagesAreWritten)
{
    Convert("--no-index --no-search");
    EXPECT_EQ(Pages(), (std::set<std::string>{"index.html", "whheaderc.html", "whnavc.html",
                                              "whnavcbars.html", "whcontents.html"}));
    for (const char* pszName : {"indexdata.js", "searchdata.js", "contentsdata.js", "whheader.js"})
        EXPECT_TRUE(FileExists(m_site / (std::string("whfiles/") + pszName))) << pszName;
    for (const char* pszName : g_apszRuntimeFiles)
        EXPECT_EQ(Site(std::string("whfiles/") + pszName), ReadFileBytes(kRuntimeDir + pszName)) << pszName;
    const std::string strHeader = Site("whheaderc.html");
    EXPECT_NE(strHeader.find("id=\"tabcontents1\""), std::string::npos);
    EXPECT_EQ(strHeader.find("id=\"tabindex1\""), std::string::npos);
    EXPECT_EQ(strHeader.find("id=\"tabsearch1\""), std::string::npos);
}

TEST_F(CConvertedSiteTest, FullSiteHasEveryPageAndTheImagesOfItsSet)
{
    Convert("--template xpgreen");
    EXPECT_EQ(Pages(), (std::set<std::string>{"index.html", "whheaderc.html", "whheaderi.html",
                                              "whheaders.html", "whnavc.html", "whnavi.html", "whnavs.html",
                                              "whnavcbars.html", "whnavibars.html", "whnavsbars.html",
                                              "whcontents.html", "whindex.html", "whsearch.html"}));
    for (const std::string& strName : CWebHelpHelper::m_strCopyTemplatesImages)
        EXPECT_EQ(Site("whfiles/" + strName), Template("xpgreen", strName)) << strName;
    EXPECT_EQ(Site("whfiles/whheader.js"), Template("xpgreen", "whheader_js.tmpl"));
    for (int i = 0; i <= 10; ++i)
    {
        const std::string strName = "wh_" + std::to_string(i) + ".gif";
        EXPECT_EQ(Site("whfiles/" + strName), ReadFileBytes(kRuntimeDir + strName)) << strName;
    }
    // The sample uses the page icon, a question page (12) and a question mark (23) besides the
    // book and folder pairs that the set replaces; no other icon is written.
    for (int n : {11, 12, 23})
        EXPECT_EQ(Site("whfiles/" + std::to_string(n) + ".gif"), HostIcon(n)) << n;
    for (int n : {9, 10, 13, 22, 24})
        EXPECT_FALSE(FileExists(m_site / ("whfiles/" + std::to_string(n) + ".gif"))) << n;
}

TEST_F(CConvertedSiteTest, ConvertingAgainReplacesEveryWrittenFile)
{
    Convert("--template general");
    const std::vector<std::string> vecFiles = ListFiles(m_site.Path());
    std::vector<std::string> vecFirst;
    for (const std::string& strName : vecFiles)
    {
        vecFirst.push_back(Site(strName));
        WriteFileBytes(m_site / strName, "damaged");
    }
    Convert("--template general");
    EXPECT_EQ(ListFiles(m_site.Path()), vecFiles);
    for (size_t i = 0; i < vecFiles.size(); ++i)
        EXPECT_EQ(Site(vecFiles[i]), vecFirst[i]) << vecFiles[i];
}

TEST_F(CConvertedSiteTest, ButtonsSwitchedOffAreLeftOutOfEveryHeader)
{
    Convert("--no-home --no-print --title \"A & B\"");
    for (const char* pszPage : {"whheaderc.html", "whheaderi.html", "whheaders.html"})
    {
        SCOPED_TRACE(pszPage);
        const std::string strPage = Site(pszPage);
        EXPECT_EQ(strPage.find("wh_home.gif"), std::string::npos);
        EXPECT_EQ(strPage.find("conPrint()"), std::string::npos);
        EXPECT_NE(strPage.find("navDelta(-1)"), std::string::npos);
        EXPECT_NE(strPage.find("<title>A &amp; B</title>"), std::string::npos);
    }
}

namespace
{
/// What a browser shows of raw (page bytes in cp): the text decoded, then the character references
/// that the writers use resolved. An unknown reference stays as written.
std::u32string Shown(std::string_view svRaw, const CCodePage& cp)
{
    const std::u32string strWide = cp.ToWide(svRaw);
    std::u32string strOut;
    for (size_t i = 0; i < strWide.size(); ++i)
    {
        const size_t nEnd = strWide[i] == U'&' ? strWide.find(U';', i) : std::u32string::npos;
        const std::u32string strRef = nEnd == std::u32string::npos ? U"" : strWide.substr(i, nEnd + 1 - i);
        char32_t c = 0;
        if (strRef == U"&amp;" || strRef == U"&lt;" || strRef == U"&gt;" || strRef == U"&quot;")
            c = strRef[1] == U'a' ? U'&' : strRef[1] == U'l' ? U'<' : strRef[1] == U'g' ? U'>' : U'"';
        else if (strRef.size() > 3 && strRef[1] == U'#')
        {
            for (size_t j = 2; j + 1 < strRef.size(); ++j)
                c = c * 10 + (strRef[j] - U'0');
        }
        if (c == 0)
        {
            strOut += strWide[i];
            continue;
        }
        strOut += c;
        i = nEnd;
    }
    return strOut;
}

int CharsetRow(std::string_view svName)
{
    for (int i = 0; i < 44; ++i)
    {
        if (CWebHelpHelper::m_strCharset[i][0] == svName)
            return i;
    }
    return -1;
}
} // namespace

// Settings texts show as typed wherever they go: markup in a title or a caption stays text, a quote
// in a tip does not end its attribute, and characters the code page lacks survive as references.
TEST_F(CConvertedSiteTest, SettingsTextsShowLiterallyInEveryPage)
{
    // "次※" is 0x3C21 0x2228 in ISO-2022-JP: bytes '<' and '"' inside a shifted run.
    const std::string strTitle = "</title><script>alert(1)</script> & \"q\" &amp; \u6B21\u203B\u00E9\u4E2D";
    const std::string strTip = "a\"b\" <i>&lt;";
    const std::string strCaption = "<b>C&D</b>";
    const std::string strHome = "start.htm?a=1&copy=\"2\"";
    struct SPlace
    {
        const char* pszPage;
        const char* pszAnchor; ///< the text starts after this, and after the next ">" when pszAfter is ">"
        const char* pszAfter;
        const char* pszEnd;
        const std::string* pValue;
    };
    const SPlace aPlaces[] = {
        {"index.html", "<title>", "", "</title>", &strTitle},
        {"whcontents.html", "<title>", "", "</title>", &strTitle},
        {"whindex.html", "<title>", "", "</title>", &strTitle},
        {"whsearch.html", "<title>", "", "</title>", &strTitle},
        {"whheaderc.html", "<title>", "", "</title>", &strTitle},
        {"whheaderi.html", "<td id=\"whtitle\">", "", "</td>", &strTitle},
        {"whheaders.html", "id=\"btncontents\"", ">", "</a>", &strCaption},
        {"whheaderc.html", "id=\"btnindex\"", ">", "</a>", &strCaption},
        {"whheaderi.html", "id=\"btnsearch\"", ">", "</a>", &strCaption},
        {"whheaderc.html", "id=\"whhome\" href=\"", "", "\"", &strHome},
        {"whheaderi.html", "target=\"_top\" title=\"", "", "\"", &strTip},
        {"whheaders.html", "wh_home.gif\" width=\"20\" height=\"20\" alt=\"", "", "\"", &strTip},
        {"whheaderc.html", "conPrint(); return false;\" title=\"", "", "\"", &strTip},
        {"whheaderi.html", "navDelta(-1); return false;\" title=\"", "", "\"", &strTip},
        {"whheaders.html", "wh_next.gif\" width=\"20\" height=\"20\" alt=\"", "", "\"", &strTip},
    };
    const CCodePage cpUTF8(CharsetRow("utf-8"));
    for (const char* pszCharset : {"windows-1252", "utf-8", "gb2312", "iso-2022-jp"})
    {
        Convert(std::string("--charset ") + pszCharset + " --title " + ShellQuote(strTitle) + " --home-url " +
                ShellQuote(strHome) + " --caption-contents " + ShellQuote(strCaption) + " --caption-index " +
                ShellQuote(strCaption) + " --caption-search " + ShellQuote(strCaption) + " --tip-home " +
                ShellQuote(strTip) + " --tip-print " + ShellQuote(strTip) + " --tip-prev " +
                ShellQuote(strTip) + " --tip-next " + ShellQuote(strTip));
        const CCodePage cp(CharsetRow(pszCharset));
        for (const SPlace& place : aPlaces)
        {
            SCOPED_TRACE(std::string(pszCharset) + " " + place.pszPage + " " + place.pszAnchor);
            const std::string strPage = Site(place.pszPage);
            size_t nStart = strPage.find(place.pszAnchor);
            ASSERT_NE(nStart, std::string::npos);
            nStart += std::string_view(place.pszAnchor).size();
            if (*place.pszAfter != '\0')
                nStart = strPage.find(place.pszAfter, nStart) + 1;
            const size_t nEnd = strPage.find(place.pszEnd, nStart);
            ASSERT_NE(nEnd, std::string::npos);
            const std::string strRaw = strPage.substr(nStart, nEnd - nStart);
            EXPECT_EQ(Shown(strRaw, cp), cpUTF8.ToWide(*place.pValue)) << strRaw;
            // Outside a shifted run, a '<' in text would open a tag.
            if (std::string_view(place.pszEnd) != "\"" && cp.IsAsciiCompatible())
            {
                EXPECT_EQ(strRaw.find('<'), std::string::npos) << strRaw;
            }
        }
    }
}
