#include "OutputTestUtil.h"

namespace
{
// A button template that marks every block and every placeholder, so a page shows what went in.
const char* const kAllButtons = "#btnhomestart#<H #homepagereplace# #hometipreplace#>#btnhomeend#"
                                "#btncontentsstart#<C #txtcontentsreplace#>#btncontentsend#"
                                "#btnindexstart#<I #txtindexreplace#>#btnindexend#"
                                "#btnsearchstart#<S #txtsearchreplace#>#btnsearchend#"
                                "#btnprintstart#<P #printtipreplace#>#btnprintend#"
                                "#btnprevstart#<V #prevtipreplace#>#btnprevend#"
                                "#btnnextstart#<N #nexttipreplace#>#btnnextend#";
const char* const kAllPlaceholders = "#btnhomereplace#|#btncontentsreplace#|#btnindexreplace#|"
                                     "#btnsearchreplace#|#btnprintreplace#|#btnprevreplace#|#btnnextreplace#";

class CHeaderPagesTest : public COutputTest
{
protected:
    std::string ContentsHeader(const std::string& strHeader, const std::string& strButtons)
    {
        Template("whheaderc.tmpl", strHeader);
        Template("whheaderbtn.tmpl", strButtons);
        m_helper.CHM2Web_WriteContentsHeaderPage(m_strOut);
        return Out("whheaderc.html");
    }
};
} // namespace

TEST_F(CHeaderPagesTest, ExampleOfHomeBlockAndMissingMarkers)
{
    g_WebHelpSettings.bShowNext = 0;
    g_WebHelpSettings.strTipHome = "Start";
    EXPECT_EQ(ContentsHeader("T=#titlereplace#;#btnhomereplace#;#btnnextreplace#;#btnprintreplace#;"
                             "#btncontentsreplace#",
                             "A#btnhomestart#[#hometipreplace#]#btnhomeend#B#btnnextstart#(#nexttipreplace#)"
                             "#btnnextend#C"),
              "T=Help;[Start];;;");
}

TEST_F(CHeaderPagesTest, SwitchesDecideWhichBlocksGoIn)
{
    struct SCase
    {
        const char* pszName;
        int32_t tagWebHelpSettings::*pSwitch;
        const char* pszExpected;
    };
    const SCase aCases[] = {
        {"all on", nullptr,
         "<H index.html Home>|<C Contents>|<I Index>|<S Search>|<P Print>|<V Prev>|<N Next>"},
        {"home off", &tagWebHelpSettings::bShowHome,
         "|<C Contents>|<I Index>|<S Search>|<P Print>|<V Prev>|<N Next>"},
        {"index off", &tagWebHelpSettings::bShowIndex,
         "<H index.html Home>|<C Contents>||<S Search>|<P Print>|<V Prev>|<N Next>"},
        {"search off", &tagWebHelpSettings::bShowSearch,
         "<H index.html Home>|<C Contents>|<I Index>||<P Print>|<V Prev>|<N Next>"},
        {"print off", &tagWebHelpSettings::bShowPrint,
         "<H index.html Home>|<C Contents>|<I Index>|<S Search>||<V Prev>|<N Next>"},
        {"prev off", &tagWebHelpSettings::bShowPrev,
         "<H index.html Home>|<C Contents>|<I Index>|<S Search>|<P Print>||<N Next>"},
        {"next off", &tagWebHelpSettings::bShowNext,
         "<H index.html Home>|<C Contents>|<I Index>|<S Search>|<P Print>|<V Prev>|"},
    };
    for (const SCase& c : aCases)
    {
        SCOPED_TRACE(c.pszName);
        tagWebHelpSettings& s = g_WebHelpSettings;
        s.bShowIndex = s.bShowSearch = s.bShowHome = s.bShowPrev = s.bShowNext = s.bShowPrint = 1;
        if (c.pSwitch != nullptr)
            s.*c.pSwitch = 0;
        EXPECT_EQ(ContentsHeader(kAllPlaceholders, kAllButtons), c.pszExpected);
    }
}

TEST_F(CHeaderPagesTest, ContentsBlockStaysWhenEverySwitchIsOff)
{
    tagWebHelpSettings& s = g_WebHelpSettings;
    s.bShowIndex = s.bShowSearch = s.bShowHome = s.bShowPrev = s.bShowNext = s.bShowPrint = 0;
    EXPECT_EQ(ContentsHeader(kAllPlaceholders, kAllButtons), "|<C Contents>|||||");
}

TEST_F(CHeaderPagesTest, MarkersThatDoNotEncloseABlockGiveAnEmptyBlock)
{
    struct SCase
    {
        const char* pszName;
        const char* pszButtons;
        const char* pszExpected;
    };
    const SCase aCases[] = {
        {"end marker missing", "#btnhomestart#[x]", "()"},
        {"end before start", "#btnhomeend#[x]#btnhomestart#", "()"},
        {"markers next to each other", "#btnhomestart##btnhomeend#", "()"},
        {"markers sharing their hash", "#btnhomestart#btnhomeend#", "()"},
        {"only the first markers count", "#btnhomestart#[1]#btnhomeend##btnhomestart#[2]#btnhomeend#",
         "([1])"},
        {"first end before a later start", "#btnhomeend##btnhomestart#[2]#btnhomeend#", "()"},
    };
    for (const SCase& c : aCases)
    {
        SCOPED_TRACE(c.pszName);
        EXPECT_EQ(ContentsHeader("(#btnhomereplace#)", c.pszButtons), c.pszExpected);
    }
}

TEST_F(CHeaderPagesTest, OrderOfReplacementShowsInThePage)
{
    struct SCase
    {
        const char* pszName;
        const char* pszHeader;
        const char* pszButtons;
        const char* pszExpected;
    };
    const SCase aCases[] = {
        {"page placeholders inside a block stay", "#btnhomereplace#",
         "#btnhomestart#[#titlereplace#|#charserreplace#]#btnhomeend#", "[#titlereplace#|#charserreplace#]"},
        {"another button's placeholder stays", "#btnprintreplace#",
         "#btnprintstart#[#hometipreplace#|#printtipreplace#]#btnprintend#", "[#hometipreplace#|Print]"},
        {"a later button's page placeholder in a block is filled", "#btnhomereplace#",
         "#btnhomestart#[#btnnextreplace#]#btnhomeend##btnnextstart#N#btnnextend#", "[N]"},
        {"an earlier button's page placeholder in a block stays", "#btnnextreplace#",
         "#btnhomestart#H#btnhomeend##btnnextstart#[#btnhomereplace#]#btnnextend#", "[#btnhomereplace#]"},
        {"every occurrence is replaced", "#titlereplace##titlereplace#-#btnhomereplace##btnhomereplace#",
         "#btnhomestart#h#btnhomeend#", "HelpHelp-hh"},
        {"home page before home tip", "#btnhomereplace#",
         "#btnhomestart##homepagereplace#/#hometipreplace##btnhomeend#", "index.html/Home"},
        {"no placeholder at all", "plain\r\nbytes\n", "", "plain\r\nbytes\n"},
    };
    for (const SCase& c : aCases)
    {
        SCOPED_TRACE(c.pszName);
        EXPECT_EQ(ContentsHeader(c.pszHeader, c.pszButtons), c.pszExpected);
    }
}

TEST_F(CHeaderPagesTest, EmptyTextsRemoveTheirPlaceholders)
{
    tagWebHelpSettings& s = g_WebHelpSettings;
    s.strTitle.clear();
    s.strTipHome.clear();
    s.strTxtContents.clear();
    s.strHomePage.clear();
    EXPECT_EQ(ContentsHeader("<#titlereplace#>#btnhomereplace##btncontentsreplace#", kAllButtons),
              "<><H  ><C >");
}

TEST_F(CHeaderPagesTest, CharsetOfTheRowOrWindows1252)
{
    struct SCase
    {
        int32_t nCharset;
        const char* pszExpected;
    };
    for (const SCase& c :
         {SCase{8, "gb2312"}, SCase{31, "utf-8"}, SCase{44, "windows-1252"}, SCase{-3, "windows-1252"}})
    {
        SCOPED_TRACE(c.nCharset);
        g_WebHelpSettings.nCharset = c.nCharset;
        EXPECT_EQ(ContentsHeader("charset=#charserreplace#", kAllButtons),
                  std::string("charset=") + c.pszExpected);
    }
}

TEST_F(CHeaderPagesTest, TemplateBytesPassUnchanged)
{
    const std::string strBom = "\xEF\xBB\xBF";
    const std::string strRaw = strBom + "a\r\nb\nc\rd\x80\xFF" + std::string(1, '\0') + "e#titlereplace#";
    EXPECT_EQ(ContentsHeader(strRaw, kAllButtons),
              strBom + "a\r\nb\nc\rd\x80\xFF" + std::string(1, '\0') + "eHelp");
}

TEST_F(CHeaderPagesTest, SettingsTextsAreWrittenInTheSiteCodePage)
{
    tagWebHelpSettings& s = g_WebHelpSettings;
    s.strTitle = "\u5E2E\u52A9";       // help
    s.strTxtContents = "\u76EE\u5F55"; // contents
    struct SCase
    {
        int32_t nCharset;
        const char* pszExpected;
    };
    const SCase aCases[] = {
        {8, "\xB0\xEF\xD6\xFA|<C \xC4\xBF\xC2\xBC>"},
        {31, "\xE5\xB8\xAE\xE5\x8A\xA9|<C \xE7\x9B\xAE\xE5\xBD\x95>"},
        {34, "&#24110;&#21161;|<C &#30446;&#24405;>"},
    };
    for (const SCase& c : aCases)
    {
        SCOPED_TRACE(c.nCharset);
        s.nCharset = c.nCharset;
        EXPECT_EQ(ContentsHeader("#titlereplace#|#btncontentsreplace#", kAllButtons), c.pszExpected);
    }
}

TEST_F(CHeaderPagesTest, MissingTemplatesLeaveAnEarlierPageAlone)
{
    struct SCase
    {
        const char* pszName;
        bool bHeader;
        bool bButtons;
    };
    for (const SCase& c :
         {SCase{"no header template", false, true}, SCase{"no button template", true, false}})
    {
        SCOPED_TRACE(c.pszName);
        CTempDir app;
        m_helper.m_strAppRunPath = app.Path() + "/";
        if (c.bHeader)
            WriteFileBytes(app / "whtemplates/default/whheaderc.tmpl", "new");
        if (c.bButtons)
            WriteFileBytes(app / "whtemplates/default/whheaderbtn.tmpl", "");
        WriteFileBytes(m_strOut + "/whheaderc.html", "old");
        m_helper.CHM2Web_WriteContentsHeaderPage(m_strOut);
        EXPECT_EQ(Out("whheaderc.html"), "old");
    }
}

TEST_F(CHeaderPagesTest, EachHeaderHasItsTemplateAndOutput)
{
    Template("whheaderc.tmpl", "c#btnindexreplace#");
    Template("whheaderi.tmpl", "i#btnindexreplace#");
    Template("whheaders.tmpl", "s#btnindexreplace#");
    Template("whheaderbtn.tmpl", kAllButtons);
    m_helper.CHM2Web_WriteContentsHeaderPage(m_strOut);
    m_helper.CHM2Web_WriteIndexHeaderPage(m_strOut);
    m_helper.CHM2Web_WriteSearchHeaderPage(m_strOut);
    EXPECT_EQ(Out("whheaderc.html"), "c<I Index>");
    EXPECT_EQ(Out("whheaderi.html"), "i<I Index>");
    EXPECT_EQ(Out("whheaders.html"), "s<I Index>");
}

TEST_F(CHeaderPagesTest, TemplateSetComesFromTheSettings)
{
    for (int32_t n = 0; n < 5; ++n)
        Template("whheaderc.tmpl", CWebHelpHelper::m_strWHTemplateDir[n],
                 CWebHelpHelper::m_strWHTemplateDir[n]);
    for (int32_t n = 0; n < 5; ++n)
        Template("whheaderbtn.tmpl", "", CWebHelpHelper::m_strWHTemplateDir[n]);
    struct SCase
    {
        int32_t nTemplate;
        const char* pszExpected;
    };
    // A set number outside the table falls back to the default set rather than reading past it.
    for (const SCase& c :
         {SCase{0, "general"}, SCase{4, "xpsilver"}, SCase{5, "default"}, SCase{-1, "default"}})
    {
        SCOPED_TRACE(c.nTemplate);
        g_WebHelpSettings.nTemplate = c.nTemplate;
        m_helper.CHM2Web_WriteContentsHeaderPage(m_strOut);
        EXPECT_EQ(Out("whheaderc.html"), c.pszExpected);
    }
}

TEST_F(CHeaderPagesTest, UncreatableOutputIsSkipped)
{
    Template("whheaderc.tmpl", "x");
    Template("whheaderbtn.tmpl", "");
    m_helper.CHM2Web_WriteContentsHeaderPage(m_strOut + "/missing-folder");
    EXPECT_FALSE(FileExists(m_strOut + "/missing-folder"));
}
