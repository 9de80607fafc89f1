#include "OutputTestUtil.h"

namespace
{
using PFNWRITER = void (COutputTestHelper::*)(std::string);

struct SPage
{
    const char* pszTemplate;
    const char* pszOutput;
    PFNWRITER pfnWrite;
    const char* pszExpected; ///< of the template "#charserreplace#|#titlereplace#|#btnhomereplace#"
};

const SPage g_aPages[] = {
    {"whnavc.tmpl", "whnavc.html", &COutputTestHelper::CHM2Web_WriteContentsNavPage,
     "#charserreplace#|#titlereplace#|#btnhomereplace#"},
    {"whnavi.tmpl", "whnavi.html", &COutputTestHelper::CHM2Web_WriteIndexNavPage,
     "#charserreplace#|#titlereplace#|#btnhomereplace#"},
    {"whnavs.tmpl", "whnavs.html", &COutputTestHelper::CHM2Web_WriteSearchNavPage,
     "#charserreplace#|#titlereplace#|#btnhomereplace#"},
    {"whnavcbars.tmpl", "whnavcbars.html", &COutputTestHelper::CHM2Web_WriteContentsNavBarPage,
     "utf-8|#titlereplace#|#btnhomereplace#"},
    {"whnavibars.tmpl", "whnavibars.html", &COutputTestHelper::CHM2Web_WriteIndexNavBarPage,
     "utf-8|#titlereplace#|#btnhomereplace#"},
    {"whnavsbars.tmpl", "whnavsbars.html", &COutputTestHelper::CHM2Web_WriteSearchNavBarPage,
     "utf-8|#titlereplace#|#btnhomereplace#"},
    {"whcontents.tmpl", "whcontents.html", &COutputTestHelper::CHM2Web_WriteContentsMainPage,
     "utf-8|Help|#btnhomereplace#"},
    {"whindex.tmpl", "whindex.html", &COutputTestHelper::CHM2Web_WriteIndexMainPage,
     "utf-8|Help|#btnhomereplace#"},
    {"whsearch.tmpl", "whsearch.html", &COutputTestHelper::CHM2Web_WriteSearchMainPage,
     "utf-8|Help|#btnhomereplace#"},
};

class CTabPagesTest : public COutputTest
{
protected:
    std::string Write(const SPage& page, const std::string& strTemplate)
    {
        Template(page.pszTemplate, strTemplate);
        (m_helper.*page.pfnWrite)(m_strOut);
        return Out(page.pszOutput);
    }
};
} // namespace

TEST_F(CTabPagesTest, EachPageReplacesOnlyItsPlaceholders)
{
    g_WebHelpSettings.nCharset = 31;
    for (const SPage& page : g_aPages)
    {
        SCOPED_TRACE(page.pszOutput);
        EXPECT_EQ(Write(page, "#charserreplace#|#titlereplace#|#btnhomereplace#"), page.pszExpected);
    }
}

TEST_F(CTabPagesTest, TemplateBytesPassUnchanged)
{
    const std::string strRaw = std::string("\xEF\xBB\xBF<a>\r\n<b>\n\x81\x40") + std::string(1, '\0');
    for (const SPage& page : g_aPages)
    {
        SCOPED_TRACE(page.pszOutput);
        EXPECT_EQ(Write(page, strRaw), strRaw);
    }
}

TEST_F(CTabPagesTest, TitleIsInsertedAfterTheCharset)
{
    g_WebHelpSettings.strTitle = "#charserreplace# & <b>";
    EXPECT_EQ(Write(g_aPages[6], "#charserreplace#/#titlereplace#"), "windows-1252/#charserreplace# &amp; &lt;b&gt;");
}

TEST_F(CTabPagesTest, TitleInTheSiteCodePageAndEmptyTitleRemovesItsPlaceholder)
{
    struct SCase
    {
        const char* pszTitle;
        int32_t nCharset;
        const char* pszExpected;
    };
    const SCase aCases[] = {
        {"", 34, "[]"},
        {"\u4E2D\u6587", 8, "[\xD6\xD0\xCE\xC4]"},
        {"\u4E2D\u6587", 31, "[\xE4\xB8\xAD\xE6\x96\x87]"},
        {"Caf\u00E9 \u4E2D", 34, "[Caf\xE9 &#20013;]"},
        {"\u30D8\u30EB\u30D7", 27, "[\x83\x77\x83\x8B\x83\x76]"},
    };
    for (const SCase& c : aCases)
    {
        SCOPED_TRACE(c.pszTitle);
        g_WebHelpSettings.strTitle = c.pszTitle;
        g_WebHelpSettings.nCharset = c.nCharset;
        EXPECT_EQ(Write(g_aPages[7], "[#titlereplace#]"), c.pszExpected);
    }
}

TEST_F(CTabPagesTest, MissingTemplateLeavesAnEarlierPageAlone)
{
    for (const SPage& page : g_aPages)
    {
        SCOPED_TRACE(page.pszOutput);
        WriteFileBytes(m_strOut + "/" + page.pszOutput, "old");
        (m_helper.*page.pfnWrite)(m_strOut);
        EXPECT_EQ(Out(page.pszOutput), "old");
    }
}

TEST_F(CTabPagesTest, ALongerEarlierPageIsTruncated)
{
    WriteFileBytes(m_strOut + "/whnavc.html", std::string(5000, 'x'));
    EXPECT_EQ(Write(g_aPages[0], "short"), "short");
}
