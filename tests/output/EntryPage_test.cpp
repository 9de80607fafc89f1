#include "OutputTestUtil.h"

namespace
{
std::string ExpectedEntryPage(const std::string& strCharset, const std::string& strTitle)
{
    return "<html>\r\n"
           "<head>\r\n"
           "<META http-equiv=\"Content-Type\" content=\"text/html; charset=" +
           strCharset +
           "\">\r\n"
           "<title>" +
           strTitle +
           "</title>\r\n"
           "<script type=\"text/JavaScript\" src=\"whfiles/contentsdata.js\"></script>\r\n"
           "<script type=\"text/JavaScript\" src=\"whfiles/whcontents.js\"></script>\r\n"
           "<script type=\"text/JavaScript\" src=\"whfiles/whhelper.js\"></script>\r\n"
           "<script type=\"text/javascript\" src=\"whfiles/index.js\"></script>\r\n"
           "</head>\r\n"
           "<script type=\"text/JavaScript\">\r\n"
           "document.write('<frameset rows=\"32,*\" frameborder=\"yes\" framespacing=\"1\" border=\"0\" "
           "bordercolor=\"#000000\">');\r\n"
           "document.write('<frame name=\"header\" src=\"whheaderc.html\" noresize scrolling=\"no\" "
           "id=\"whHeader\">');\r\n"
           "document.write('<frameset cols=\"250,*\" frameborder=\"yes\" border=\"4\" id=\"whPfset\">');\r\n"
           "document.write('<frame name=\"toc\" src=\"whnavc.html\" >');\r\n"
           "document.write('<frame name=\"content\" src=\"' + F + '\" >');\r\n"
           "document.write('</frameset>');\r\n"
           "document.write('</frameset>');\r\n"
           "</script>\r\n"
           "<noscript><p>To display this page you need a browser with JavaScript support.</p>"
           "<a href=\"whnavc.html\">Help Contents</a></noscript>\r\n"
           "</html>\r\n";
}
} // namespace

using CEntryPageTest = COutputTest;

TEST_F(CEntryPageTest, TwentyLinesForCharsetAndTitle)
{
    struct SCase
    {
        int32_t nCharset;
        const char* pszTitle;
        const char* pszCharset;
        const char* pszTitleBytes;
    };
    const SCase aCases[] = {
        {34, "My Help", "windows-1252", "My Help"},
        {34, "A < B & \"C\"", "windows-1252", "A &lt; B &amp; \"C\""},
        {8, "\u5E2E\u52A9", "gb2312", "\xB0\xEF\xD6\xFA"},
        {31, "\u5E2E\u52A9", "utf-8", "\xE5\xB8\xAE\xE5\x8A\xA9"},
        {44, "x", "windows-1252", "x"},
        {16, "", "iso-8859-1", ""},
    };
    for (const SCase& c : aCases)
    {
        SCOPED_TRACE(c.pszTitle);
        g_WebHelpSettings.nCharset = c.nCharset;
        g_WebHelpSettings.strTitle = c.pszTitle;
        m_helper.CHM2Web_WriteIndexPage(m_strOut);
        const std::string strPage = Out("index.html");
        EXPECT_EQ(strPage, ExpectedEntryPage(c.pszCharset, c.pszTitleBytes));
    }
}

TEST_F(CEntryPageTest, EntryPageDoesNotNeedATemplateSet)
{
    m_helper.m_strAppRunPath = m_tmp / "nowhere/";
    m_helper.CHM2Web_WriteIndexPage(m_strOut);
    EXPECT_EQ(Out("index.html"), ExpectedEntryPage("windows-1252", "Help"));
}

TEST_F(CEntryPageTest, HeaderScriptIsACopyOfItsTemplate)
{
    const std::string strScript = "var x = \"#titlereplace#\";\r\n\xEF\xBB\xBF\n";
    Template("whheader_js.tmpl", strScript);
    m_helper.CHM2Web_WriteHeaderJSFile(m_strOut);
    EXPECT_EQ(Out("whfiles/whheader.js"), strScript);
}

TEST_F(CEntryPageTest, MissingHeaderScriptTemplateWritesNothing)
{
    WriteFileBytes(m_strOut + "/whfiles/whheader.js", "old");
    m_helper.CHM2Web_WriteHeaderJSFile(m_strOut);
    EXPECT_EQ(Out("whfiles/whheader.js"), "old");
}
