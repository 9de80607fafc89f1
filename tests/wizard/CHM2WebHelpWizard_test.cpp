#include "CDlgCompileProgress.h"
#include "CRunEnv.h"
#include "CStrHelper.h"
#include "CWebHelpHelper.h"
#include "FakeToolkit.h"
#include "TestUtil.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace
{
std::vector<std::string> g_vecLog;

void HostLog(const std::string& strLine)
{
    g_vecLog.push_back(strLine);
}

enum : int
{
    kCHMFile = 25000,
    kOutputDir = 25002,
    kTemplate = 25010,
    kTitle = 25041,
    kChkIndex = 25016,
    kTxtContents = 25022,
    kTxtIndex = 25023,
    kTxtSearch = 25024,
    kTipPrint = 25025,
    kTipPrev = 25026,
    kTipHome = 25027,
    kTipNext = 25030,
    kClose = 25047,
};

class CWizardEntryTest : public ::testing::Test
{
protected:
    CWizardEntryTest()
    {
        CStrHelper::SetStringTable({{618, "Conversion"}, {619, "begun"}, {620, "over"}, {673, "Converting"}});
        m_saved = g_WebHelpSettings;
        g_WebHelpSettings = tagWebHelpSettings();
        g_vecLog.clear();
        CWebHelpHelper::SetHostLog(HostLog);
        EXPECT_TRUE(WriteFileBytes(m_dir / "guide.chm", "not a compiled file"));
    }
    ~CWizardEntryTest() override
    {
        CWebHelpHelper::SetHostLog(nullptr);
        g_WebHelpSettings = m_saved;
        CStrHelper::SetStringTable({});
        CRunEnv::Instance().SetFoundLongFilename(0);
    }

    CFakeWindow& Page(int nTemplateID) { return *m_kit.Live(nTemplateID); }

    /// What the user does in the wizard: fill the first page, move on, switch Index off, finish.
    void FillAndFinish(CFakeWindow& wnd)
    {
        Page(25000).Type(kCHMFile, m_dir / "guide.chm");
        Page(25000).Type(kOutputDir, m_dir / "site");
        wnd.Click(ID_WIZNEXT);
        Page(25003).Click(kChkIndex);
        wnd.Click(ID_WIZFINISH);
    }
    void FinishOnGuide()
    {
        m_kit.m_mapScripts[25002] = [this](CFakeWindow& wnd) { FillAndFinish(wnd); };
    }
    /// The progress window's script: wait for the end, then close.
    void CloseProgressAtTheEnd(std::function<void()> fnWhileOpen = nullptr)
    {
        m_kit.m_mapScripts[25004] = [this, fnWhileOpen](CFakeWindow& wnd)
        {
            if (fnWhileOpen)
                fnWhileOpen();
            auto* pDlg = static_cast<CDlgCompileProgress*>(wnd.Dlg());
            ASSERT_TRUE(m_kit.PumpUntil([pDlg] { return !pDlg->IsCompiling(); }));
            wnd.Click(kClose);
        };
    }

    CTempDir m_dir;
    CFakeToolkit m_kit;
    tagWebHelpSettings m_saved;
    // A desktop that names no language.
    CScopedLocaleEnv m_locale{nullptr, nullptr, nullptr};
};
} // namespace

TEST_F(CWizardEntryTest, CancelLogsNothingAndCompilesNothing)
{
    for (int nPage = 0; nPage < 2; ++nPage)
    {
        SCOPED_TRACE(nPage);
        m_kit.m_mapScripts[25002] = [&](CFakeWindow& wnd)
        {
            Page(25000).Type(kCHMFile, m_dir / "guide.chm");
            Page(25000).Type(kOutputDir, m_dir / "site");
            if (nPage == 1)
                wnd.Click(ID_WIZNEXT);
            wnd.Escape();
        };
        CWebHelpHelper helper;
        helper.CHM2WebHelpWizard();
        EXPECT_TRUE(g_vecLog.empty());
        EXPECT_FALSE(helper.m_pCompileThread);
        EXPECT_FALSE(FileExists(m_dir / "site"));
        EXPECT_EQ(std::count(m_kit.m_vecCreated.begin(), m_kit.m_vecCreated.end(), 25004), 0);
    }
    // Cancel after Next keeps the first page's values.
    EXPECT_EQ(g_WebHelpSettings.strCHMFile, m_dir / "guide.chm");
}

TEST_F(CWizardEntryTest, FinishRunsTheCompileBetweenTwoLogLines)
{
    FinishOnGuide();
    CloseProgressAtTheEnd(
        [&]
        {
            // The first line was sent before the progress window opened.
            ASSERT_EQ(g_vecLog.size(), 1u);
            EXPECT_EQ(g_vecLog[0].rfind("\r\n>>>>>> ", 0), 0u);
            EXPECT_EQ(g_vecLog[0].substr(g_vecLog[0].size() - 17), " Conversion begun");
        });
    CWebHelpHelper helper;
    helper.CHM2WebHelpWizard();
    EXPECT_EQ(g_vecLog, (std::vector<std::string>{g_vecLog.at(0), "\r\n<<<<<< Conversion over"}));
    // ">>>>>> YYYY-MM-DD HH:MM:SS Conversion begun"
    EXPECT_EQ(g_vecLog[0].size(), std::string("\r\n>>>>>> 2024-01-01 12:00:00 Conversion begun").size());
    EXPECT_EQ(g_WebHelpSettings.strCHMFile, m_dir / "guide.chm");
    EXPECT_EQ(g_WebHelpSettings.bShowIndex, 0);
    // The worker ran the conversion of the chosen file into the chosen folder.
    EXPECT_TRUE(FileExists(m_dir / "site/whfiles"));
    EXPECT_EQ(helper.m_strCHMFile, m_dir / "guide.chm");
    EXPECT_TRUE(m_kit.m_vecLive.empty());
}

TEST_F(CWizardEntryTest, DefaultsOnlyWhileNoFileWasChosen)
{
    m_kit.m_mapScripts[25002] = [&](CFakeWindow& wnd)
    {
        EXPECT_EQ(Page(25000).GetListSel(kTemplate), 1);
        EXPECT_EQ(Page(25000).GetControlText(kTitle), "Online Help");
        Page(25000).SetListSel(kTemplate, 4);
        Page(25000).Type(kTitle, "Mine");
        FillAndFinish(wnd);
    };
    CloseProgressAtTheEnd();
    CWebHelpHelper().CHM2WebHelpWizard();
    EXPECT_EQ(g_WebHelpSettings.nTemplate, 4);

    // A second run starts from the first run's choices, files included.
    m_kit.m_mapScripts[25002] = [&](CFakeWindow& wnd)
    {
        EXPECT_EQ(Page(25000).GetListSel(kTemplate), 4);
        EXPECT_EQ(Page(25000).GetControlText(kTitle), "Mine");
        EXPECT_EQ(Page(25000).GetControlText(kCHMFile), m_dir / "guide.chm");
        EXPECT_EQ(Page(25000).GetControlText(kOutputDir), m_dir / "site");
        wnd.Click(ID_WIZNEXT);
        EXPECT_FALSE(Page(25003).GetCheck(kChkIndex));
        wnd.Escape();
    };
    CWebHelpHelper().CHM2WebHelpWizard();
    EXPECT_EQ(g_WebHelpSettings.nTemplate, 4);
}

TEST_F(CWizardEntryTest, LongFileNameWarningOnlyWhenTheFlagWasRaised)
{
    for (bool bRaise : {false, true})
    {
        SCOPED_TRACE(bRaise);
        m_kit.m_vecMessages.clear();
        CRunEnv::Instance().SetFoundLongFilename(1);
        FinishOnGuide();
        CloseProgressAtTheEnd(
            [&]
            {
                // Cleared before the progress window opened.
                EXPECT_EQ(CRunEnv::Instance().GetFoundLongFilename(), 0);
                if (bRaise)
                    CRunEnv::Instance().SetFoundLongFilename(1);
            });
        CWebHelpHelper().CHM2WebHelpWizard();
        EXPECT_EQ(m_kit.m_vecMessages.size(), bRaise ? 1u : 0u);
        if (bRaise && !m_kit.m_vecMessages.empty())
        {
            EXPECT_NE(m_kit.m_vecMessages[0].find("260"), std::string::npos);
        }
    }
}

TEST_F(CWizardEntryTest, WithoutADisplayNothingIsShown)
{
    CDlgToolkit::Set(nullptr);
    const char* pszDisplay = std::getenv("DISPLAY");
    const std::string strDisplay = pszDisplay != nullptr ? pszDisplay : "";
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    std::string strWhy;
    EXPECT_FALSE(CWebHelpHelper::CanShowWizard(strWhy));
    EXPECT_NE(strWhy.find("display"), std::string::npos) << strWhy;
    CWebHelpHelper().CHM2WebHelpWizard();
    EXPECT_TRUE(g_vecLog.empty());
    EXPECT_TRUE(m_kit.m_vecCreated.empty());
    if (!strDisplay.empty())
        setenv("DISPLAY", strDisplay.c_str(), 1);
    CDlgToolkit::Set(&m_kit);
}

TEST(HostWizardCommand, WithoutAUsableDisplayItSaysSoAndExitsTwo)
{
    const SCommandResult result =
        RunCommand("env -u DISPLAY -u WAYLAND_DISPLAY " + ShellQuote(HostProgram()) + " wizard");
    EXPECT_EQ(result.nExit, 2);
    EXPECT_NE(result.strOutput.find("webhelp: the wizard needs a display"), std::string::npos)
        << result.strOutput;
    const SCommandResult noServer =
        RunCommand("env -u WAYLAND_DISPLAY DISPLAY=:987 " + ShellQuote(HostProgram()) + " wizard");
    EXPECT_EQ(noServer.nExit, 2);
    EXPECT_NE(noServer.strOutput.find("webhelp: the wizard cannot open the display :987"), std::string::npos)
        << noServer.strOutput;
    const SCommandResult extra = RunCommand(ShellQuote(HostProgram()) + " wizard --what");
    EXPECT_EQ(extra.nExit, 2);
}

TEST_F(CWizardEntryTest, CaptionsFollowTheFileButOneChangedOnTheSecondPageStays)
{
    struct SBox
    {
        int nID;
        const char* pszEnglish;
        const char* pszChinese;
    };
    const SBox aBoxes[] = {
        {kTxtContents, "Contents", "目录"}, {kTxtIndex, "Index", "索引"},     {kTxtSearch, "Search", "搜索"},
        {kTipHome, "Home", "主页"},         {kTipPrev, "Previous", "上一步"}, {kTipNext, "Next", "下一步"},
        {kTipPrint, "Print", "打印"},
    };
    auto ExpectBoxes = [&](bool bChinese, int nChanged)
    {
        for (const SBox& b : aBoxes)
            EXPECT_EQ(Page(25003).GetControlText(b.nID),
                      b.nID == nChanged ? "mine" : (bChinese ? b.pszChinese : b.pszEnglish))
                << b.nID;
    };
    for (const SBox& changed : aBoxes)
    {
        SCOPED_TRACE(changed.nID);
        g_WebHelpSettings = tagWebHelpSettings();
        m_kit.m_mapScripts[25002] = [&](CFakeWindow& wnd)
        {
            Page(25000).Type(kCHMFile, ChmFixture("pipeline", "full"));
            wnd.Click(ID_WIZNEXT);
            ExpectBoxes(false, 0);
            Page(25003).Type(changed.nID, "mine");
            wnd.Click(ID_WIZBACK);
            Page(25000).Type(kCHMFile, ChmFixture("pipeline", "chinese"));
            wnd.Click(ID_WIZNEXT);
            ExpectBoxes(true, changed.nID);
            wnd.Escape();
        };
        CWebHelpHelper().CHM2WebHelpWizard();
    }
}
