#include "TestUtil.h"

#include "CWebHelpHelper.h"

#include <gtest/gtest.h>
#include <set>

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
        EXPECT_NE(strPage.find("<title>A & B</title>"), std::string::npos);
    }
}
