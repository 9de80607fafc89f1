#include "CDlgWebHelpFilesPage.h"
#include "CStrHelper.h"
#include "CWebHelpHelper.h"
#include "FakeToolkit.h"
#include "TestUtil.h"
#include "WebHelpLanguage.h"

#include <gtest/gtest.h>

namespace
{
enum : int
{
    kCHMFile = 25000,
    kBrowseCHMFile = 25001,
    kOutputDir = 25002,
    kBrowseOutputDir = 25003,
    kCharset = 25008,
    kTemplate = 25010,
    kTitle = 25041,
};

// The page shown alone inside the frame, so that it gets a parent window as in the wizard.
class CFilesPageTest : public ::testing::Test
{
protected:
    CFilesPageTest()
    {
        CStrHelper::SetStringTable({{8, "Caption"},
                                    {666, "no file"},
                                    {667, "no folder"},
                                    {668, " is missing"},
                                    {669, " is not local"},
                                    {650, "Compiled file:"},
                                    {3, "Pick..."}});
        m_helper.InitWebHelpSettings();
        m_settings = g_WebHelpSettings;
        m_settings.strTitle = "My title";
        m_settings.nCharset = 8;
        m_settings.nTemplate = 3;
        m_page.SetHelper(&m_helper);
        m_wizard.AddPage(&m_page, 25000);
        EXPECT_TRUE(WriteFileBytes(m_dir / "guide.chm", "not checked here"));
    }
    ~CFilesPageTest() override { CStrHelper::SetStringTable({}); }

    /// Shows the page; fnScript runs with the page's window while the wizard is up.
    void Show(std::function<void(CFakeWindow&)> fnScript)
    {
        m_kit.m_mapScripts[25002] = [&, fnScript](CFakeWindow& wnd)
        {
            fnScript(*static_cast<CFakeWindow*>(m_page.GetWnd()));
            wnd.Escape();
        };
        m_wizard.DoModal();
    }

    CTempDir m_dir;
    CFakeToolkit m_kit;
    CWebHelpHelper m_helper;
    tagWebHelpSettings m_settings;
    CDlgWizard m_wizard{25002, nullptr};
    CDlgWebHelpFilesPage m_page{&m_settings, nullptr};
};
} // namespace

TEST_F(CFilesPageTest, StartUpFillsListsTextsAndBoxes)
{
    m_settings.strCHMFile = "/help/last.chm";
    m_settings.strWebHelpDir = "/help/last_WebHelp";
    Show(
        [&](CFakeWindow& wnd)
        {
            ASSERT_EQ(wnd.GetListCount(kCharset), 44);
            EXPECT_EQ(wnd.Ctl(kCharset).vecItems[8], "gb2312 - Chinese Simplified (GB2312)");
            EXPECT_EQ(wnd.Ctl(kCharset).vecItems[14], "iso-2022-jp - Japanese (JIS-Allow 1 byte Kana)");
            EXPECT_EQ(wnd.GetListSel(kCharset), 8);
            EXPECT_EQ(wnd.Ctl(kTemplate).vecItems,
                      (std::vector<std::string>{"General", "Default", "XP Blue", "XP Green", "XP Silver"}));
            EXPECT_EQ(wnd.GetListSel(kTemplate), 3);
            EXPECT_EQ(wnd.GetControlText(kTitle), "My title");
            // A later run starts from the files of the run before.
            EXPECT_EQ(wnd.GetControlText(kCHMFile), "/help/last.chm");
            EXPECT_EQ(wnd.GetControlText(kOutputDir), "/help/last_WebHelp");
            EXPECT_EQ(wnd.GetControlText(25006), "Compiled file:");
            EXPECT_EQ(wnd.GetControlText(kBrowseCHMFile), "Pick...");
            EXPECT_EQ(wnd.GetControlText(kBrowseOutputDir), "Pick...");
            // Texts the table lacks keep the dialog's own.
            EXPECT_EQ(wnd.GetControlText(25007), "Select Web Help output folder:");
        });
}

TEST_F(CFilesPageTest, CheckInputReportsTheFirstProblemInOrder)
{
    struct SCase
    {
        std::string strFile;
        std::string strDir;
        std::string strMessage; ///< empty when the entries are usable
    };
    const std::string strMissing = m_dir / "missing";
    const std::string strGuide = m_dir / "guide";
    ASSERT_TRUE(WriteFileBytes(m_dir / "upper.CHM", "x"));
    ASSERT_TRUE(WriteFileBytes(m_dir / "plain", "a file without the ending"));
    const SCase aCases[] = {
        {"", "", "Caption: no file"},
        {"", "/out", "Caption: no file"},
        {strMissing, "", "Caption: no folder"},
        {strMissing, "/out", "Caption: " + strMissing + ".chm is missing"},
        {m_dir / "plain", "/out", "Caption: " + m_dir / "plain.chm is missing"},
        {strGuide, "http://server/out", "Caption: \"http://server/out\" is not local"},
        {strGuide, "//server/share", "Caption: \"//server/share\" is not local"},
        {strGuide, m_dir / "not/yet/made", ""},
        {strGuide + ".chm", "out", ""},
        {m_dir / "upper.CHM", "/out", ""},
    };
    Show(
        [&](CFakeWindow& wnd)
        {
            for (const SCase& c : aCases)
            {
                SCOPED_TRACE(c.strFile + " | " + c.strDir);
                m_kit.m_vecMessages.clear();
                wnd.Type(kCHMFile, c.strFile);
                wnd.Type(kOutputDir, c.strDir);
                EXPECT_EQ(m_page.CheckInput(), c.strMessage.empty());
                const std::vector<std::string> vecExpected = c.strMessage.empty()
                                                                 ? std::vector<std::string>()
                                                                 : std::vector<std::string>{c.strMessage};
                EXPECT_EQ(m_kit.m_vecMessages, vecExpected);
                // The boxes stay as typed.
                EXPECT_EQ(wnd.GetControlText(kCHMFile), c.strFile);
            }
        });
}

TEST_F(CFilesPageTest, NextStoresTheCheckedEntries)
{
    Show(
        [&](CFakeWindow& wnd)
        {
            wnd.Type(kCHMFile, m_dir / "guide");
            wnd.Type(kOutputDir, m_dir / "site/");
            wnd.Type(kTitle, "\xE6\x89\x8B\xE5\x86\x8C");
            wnd.SetListSel(kCharset, 31);
            wnd.SetListSel(kTemplate, 0);
            EXPECT_EQ(m_page.OnWizardNext(), 0);
        });
    // The name that passed the check is the one the conversion opens.
    EXPECT_EQ(m_settings.strCHMFile, m_dir / "guide.chm");
    EXPECT_EQ(m_settings.strWebHelpDir, m_dir / "site");
    EXPECT_EQ(m_settings.strTitle, "\xE6\x89\x8B\xE5\x86\x8C");
    EXPECT_EQ(m_settings.nCharset, 31);
    EXPECT_EQ(m_settings.nTemplate, 0);
}

TEST_F(CFilesPageTest, InvalidNextStaysAndStoresNothing)
{
    const tagWebHelpSettings before = m_settings;
    Show(
        [&](CFakeWindow& wnd)
        {
            wnd.Type(kCHMFile, m_dir / "missing.chm");
            wnd.Type(kOutputDir, m_dir / "site");
            wnd.Type(kTitle, "changed");
            EXPECT_EQ(m_page.OnWizardNext(), -1);
        });
    EXPECT_EQ(m_settings.strCHMFile, before.strCHMFile);
    EXPECT_EQ(m_settings.strTitle, before.strTitle);
    EXPECT_EQ(m_kit.m_vecMessages.size(), 1u);
}

TEST_F(CFilesPageTest, WithoutConverterTheListsStayEmptyAndKeepTheRecordsRows)
{
    CFakeToolkit kit;
    CDlgWizard wizard(25002, nullptr);
    CDlgWebHelpFilesPage page(&m_settings, nullptr);
    wizard.AddPage(&page, 25000);
    kit.m_mapScripts[25002] = [&](CFakeWindow& wnd)
    {
        auto& pageWnd = *static_cast<CFakeWindow*>(page.GetWnd());
        EXPECT_EQ(pageWnd.GetListCount(kCharset), 0);
        EXPECT_EQ(pageWnd.GetListCount(kTemplate), 0);
        pageWnd.Type(kCHMFile, m_dir / "guide.chm");
        pageWnd.Type(kOutputDir, m_dir / "site");
        EXPECT_EQ(page.OnWizardNext(), 0);
        wnd.Escape();
    };
    wizard.DoModal();
    EXPECT_EQ(m_settings.nCharset, 8);
    EXPECT_EQ(m_settings.nTemplate, 3);
    EXPECT_EQ(m_settings.strCHMFile, m_dir / "guide.chm");
}

TEST_F(CFilesPageTest, BrowsingForTheFileSuggestsTheOutputFolder)
{
    m_kit.m_deqFileAnswers = {"/docs/Guide.chm", "", "/top.chm"};
    Show(
        [&](CFakeWindow& wnd)
        {
            wnd.Click(kBrowseCHMFile);
            EXPECT_EQ(wnd.GetControlText(kCHMFile), "/docs/Guide.chm");
            EXPECT_EQ(wnd.GetControlText(kOutputDir), "/docs/Guide_WebHelp");
            // A file that cannot be read leaves the charset as it was.
            EXPECT_EQ(wnd.GetListSel(kCharset), 8);
            wnd.Click(kBrowseCHMFile); // cancelled
            EXPECT_EQ(wnd.GetControlText(kCHMFile), "/docs/Guide.chm");
            EXPECT_EQ(wnd.GetControlText(kOutputDir), "/docs/Guide_WebHelp");
            wnd.Click(kBrowseCHMFile);
            EXPECT_EQ(wnd.GetControlText(kOutputDir), "/top_WebHelp");
        });
}

TEST_F(CFilesPageTest, BrowsingForTheFolderStartsFromTheBoxesFolder)
{
    m_kit.m_deqFolderAnswers = {"/chosen", ""};
    Show(
        [&](CFakeWindow& wnd)
        {
            wnd.Type(kOutputDir, "/typed/before");
            wnd.Click(kBrowseOutputDir);
            EXPECT_EQ(wnd.GetControlText(kOutputDir), "/chosen");
            wnd.Click(kBrowseOutputDir); // cancelled
            EXPECT_EQ(wnd.GetControlText(kOutputDir), "/chosen");
            EXPECT_FALSE(m_page.m_pszBrowseDir.has_value());
        });
    EXPECT_EQ(m_kit.m_vecFolderInitials, (std::vector<std::string>{"/typed/before", "/chosen"}));
}

TEST_F(CFilesPageTest, BrowsingForACompiledFileSuggestsTheCharsetOfItsLanguage)
{
    // The fixture is a Japanese help file: its pages are in Shift-JIS, not in the default GB2312.
    const int nJapanese = WebHelpCharsetRowOfLCID(0x411);
    ASSERT_EQ(CWebHelpHelper::m_strCharset[nJapanese][0], "shift-jis");
    m_kit.m_deqFileAnswers = {ChmFixture("wizard", "sample")};
    Show(
        [&](CFakeWindow& wnd)
        {
            EXPECT_EQ(wnd.GetListSel(kCharset), 8);
            wnd.Click(kBrowseCHMFile);
            EXPECT_EQ(wnd.GetListSel(kCharset), nJapanese);
        });
}

TEST_F(CFilesPageTest, TypedFileFillsTheBoxesTheUserLeftAlone)
{
    struct SFile
    {
        std::string strTyped; ///< as the user types it, the ending left out once
        std::string strTitle;
        int nCharset;
    };
    const SFile aFiles[] = {
        {ChmFixture("pipeline", "full").substr(0, ChmFixture("pipeline", "full").size() - 4), "Pipeline full",
         WebHelpCharsetRowOfLCID(0x0409)},
        {ChmFixture("pipeline", "chinese"), "Pipeline 中文", WebHelpCharsetRowOfLCID(0x0804)},
    };
    struct SCase
    {
        const char* pszWhat;
        int nChanged; ///< the box the user changed before typing the files; 0 for none
    };
    const SCase aCases[] = {
        {"nothing changed", 0}, {"title", kTitle}, {"folder", kOutputDir}, {"charset", kCharset}};
    for (const SCase& c : aCases)
    {
        SCOPED_TRACE(c.pszWhat);
        CDlgWizard wizard(25002, nullptr);
        CDlgWebHelpFilesPage page(&m_settings, nullptr);
        page.SetHelper(&m_helper);
        wizard.AddPage(&page, 25000);
        m_kit.m_mapScripts[25002] = [&](CFakeWindow& frame)
        {
            auto& wnd = *static_cast<CFakeWindow*>(page.GetWnd());
            if (c.nChanged == kCharset)
                wnd.SetListSel(kCharset, 31);
            else if (c.nChanged != 0)
                wnd.Type(c.nChanged, "mine");
            for (const SFile& f : aFiles)
            {
                SCOPED_TRACE(f.strTyped);
                // Each keystroke arrives; only the whole name is a file.
                for (size_t n = f.strTyped.size() - 3; n <= f.strTyped.size(); ++n)
                    wnd.Type(kCHMFile, f.strTyped.substr(0, n));
                const std::string strFile = f.strTyped.ends_with(".chm") ? f.strTyped : f.strTyped + ".chm";
                EXPECT_EQ(wnd.GetControlText(kTitle), c.nChanged == kTitle ? "mine" : f.strTitle);
                EXPECT_EQ(wnd.GetControlText(kOutputDir),
                          c.nChanged == kOutputDir ? "mine"
                                                   : strFile.substr(0, strFile.size() - 4) + "_WebHelp");
                EXPECT_EQ(wnd.GetListSel(kCharset), c.nChanged == kCharset ? 31 : f.nCharset);
            }
            frame.Escape();
        };
        wizard.DoModal();
    }
}
