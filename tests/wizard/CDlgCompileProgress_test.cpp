#include "CCommon.h"
#include "CDlgCompileProgress.h"
#include "CQZHelper.h"
#include "CStrHelper.h"
#include "CWebHelpHelper.h"
#include "FakeToolkit.h"
#include "TestUtil.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

namespace
{
enum : int
{
    kOutput = 25043,
    kViewInBrowser = 25044,
    kViewResult = 25045,
    kGroup = 25046,
    kClose = 25047,
};

class CProgressTest : public ::testing::Test
{
protected:
    CProgressTest()
    {
        CStrHelper::SetStringTable({{673, "Converting"},
                                    {674, "Ended"},
                                    {675, "done"},
                                    {676, "failed"},
                                    {677, "Reading contents... "},
                                    {8, "WebHelp"},
                                    {672, "Title"},
                                    {645, "Caption"}});
        m_saved = g_WebHelpSettings;
        m_helper.InitWebHelpSettings();
        g_WebHelpSettings.strCHMFile = m_dir / "missing.chm";
        g_WebHelpSettings.strWebHelpDir = m_dir / "site";
    }
    ~CProgressTest() override
    {
        g_WebHelpSettings = m_saved;
        CStrHelper::SetStringTable({});
    }

    /// Waits, running posted work, until the compile's end message was handled.
    bool WaitForEnd(CDlgCompileProgress& dlg)
    {
        return m_kit.PumpUntil([&] { return !dlg.IsCompiling(); });
    }

    // What a compile of a file that cannot be opened shows.
    const std::string m_strMissingFileText = "Converting\r\nReading contents... failed\r\nEnded";
    CTempDir m_dir;
    CFakeToolkit m_kit;
    CWebHelpHelper m_helper;
    tagWebHelpSettings m_saved;
};
} // namespace

TEST_F(CProgressTest, ButtonsWaitForTheEndTextsArriveAndFocusGoesToViewResult)
{
    CDlgCompileProgress dlg(&m_helper, nullptr);
    m_kit.m_mapScripts[25004] = [&](CFakeWindow& wnd)
    {
        // The start message was handled before the worker ran: both buttons are off.
        EXPECT_TRUE(dlg.IsCompiling());
        EXPECT_FALSE(wnd.IsControlEnabled(kClose));
        EXPECT_FALSE(wnd.IsControlEnabled(kViewResult));
        EXPECT_EQ(g_pCompileProgressDlg, &dlg);
        wnd.Click(kClose);
        wnd.Escape();
        EXPECT_FALSE(wnd.m_bEnded);
        EXPECT_EQ(m_kit.m_nBeeps, 0);

        ASSERT_TRUE(WaitForEnd(dlg));
        EXPECT_EQ(wnd.GetControlText(kOutput), m_strMissingFileText);
        EXPECT_TRUE(wnd.IsControlEnabled(kClose));
        EXPECT_TRUE(wnd.IsControlEnabled(kViewResult));
        EXPECT_EQ(wnd.GetFocusControl(), kViewResult);
        EXPECT_EQ(m_kit.m_nBeeps, 1);
        wnd.Click(kClose);
    };
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(g_pCompileProgressDlg, nullptr);
}

TEST_F(CProgressTest, TextsAreAppendedOnTheWindowsThreadOnly)
{
    CDlgCompileProgress dlg(&m_helper, nullptr);
    m_kit.m_mapScripts[25004] = [&](CFakeWindow& wnd)
    {
        // Nothing reaches the box until this thread runs the window's queue.
        m_helper.m_pCompileThread->join();
        EXPECT_EQ(wnd.GetControlText(kOutput), "");
        EXPECT_TRUE(dlg.IsCompiling());
        m_kit.Pump();
        EXPECT_EQ(wnd.GetControlText(kOutput), m_strMissingFileText);
        EXPECT_FALSE(dlg.IsCompiling());
        wnd.Escape();
    };
    EXPECT_EQ(dlg.DoModal(), IDOK);
}

TEST_F(CProgressTest, EmptyStringTableKeepsTheWindowsOwnTexts)
{
    CStrHelper::SetStringTable({});
    CDlgCompileProgress dlg(&m_helper, nullptr);
    m_kit.m_mapScripts[25004] = [&](CFakeWindow& wnd)
    {
        EXPECT_EQ(wnd.GetControlText(kGroup), "Compile Progress");
        EXPECT_EQ(wnd.GetControlText(kViewResult), "View Result");
        EXPECT_EQ(wnd.GetControlText(kClose), "Close");
        EXPECT_EQ(wnd.GetCaption(), "WebHelp");
        ASSERT_TRUE(WaitForEnd(dlg));
        wnd.Click(kClose);
    };
    dlg.DoModal();
}

TEST_F(CProgressTest, StringTableTextsAndBanner)
{
    CStrHelper::SetStringTable(
        {{670, "Progress"}, {671, "Open"}, {5, "Done"}, {8, "Converter"}, {672, "Title"}, {645, "Caption"}});
    CDlgCompileProgress dlg(&m_helper, nullptr);
    m_kit.m_mapScripts[25004] = [&](CFakeWindow& wnd)
    {
        EXPECT_EQ(wnd.GetControlText(kGroup), "Progress");
        EXPECT_EQ(wnd.GetControlText(kViewResult), "Open");
        EXPECT_EQ(wnd.GetControlText(kClose), "Done");
        EXPECT_EQ(wnd.GetCaption(), "Converter");
        EXPECT_EQ(wnd.m_strBannerTitle, "Title");
        EXPECT_EQ(wnd.m_strBannerCaption, "Caption");
        ASSERT_TRUE(WaitForEnd(dlg));
        wnd.Click(kClose);
    };
    dlg.DoModal();
}

TEST_F(CProgressTest, WithoutACompileTheWindowCanStillBeClosed)
{
    CDlgCompileProgress dlg(nullptr, nullptr);
    m_kit.m_mapScripts[25004] = [&](CFakeWindow& wnd)
    {
        EXPECT_FALSE(dlg.IsCompiling());
        EXPECT_TRUE(wnd.IsControlEnabled(kClose));
        EXPECT_FALSE(wnd.IsControlEnabled(kViewResult));
        wnd.Escape();
    };
    EXPECT_EQ(dlg.DoModal(), IDOK);
}

TEST_F(CProgressTest, ViewResultOpensTheSitesIndexPage)
{
    const std::string strOpened = m_dir / "opened.txt";
    CQZHelper::SetOpener({"sh", "-c", "printf '%s' \"$1\" > " + ShellQuote(strOpened), "opener"});
    CDlgCompileProgress dlg(&m_helper, nullptr);
    m_kit.m_mapScripts[25004] = [&](CFakeWindow& wnd)
    {
        ASSERT_TRUE(WaitForEnd(dlg));
        wnd.Click(kViewResult);
        wnd.Click(kClose);
    };
    dlg.DoModal();
    for (int i = 0; i < 100 && ReadFileBytes(strOpened).empty(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(ReadFileBytes(strOpened), m_dir / "site/index.html");

    CQZHelper::SetOpener({m_dir / "no-such-opener"});
    CDlgCompileProgress dlg2(&m_helper, nullptr);
    m_kit.m_mapScripts[25004] = [&](CFakeWindow& wnd)
    {
        ASSERT_TRUE(WaitForEnd(dlg2));
        wnd.Click(kViewResult);
        EXPECT_EQ(m_kit.m_vecMessages.size(), 1u);
        wnd.Click(kClose);
    };
    dlg2.DoModal();
    CQZHelper::SetOpener({});
}

TEST_F(CProgressTest, TheWindowsQueueDropsWorkForADestroyedWindow)
{
    // Texts posted after the window is gone must not reach freed memory.
    CDlgCompileProgress dlg(nullptr, nullptr);
    m_kit.m_mapScripts[25004] = [&](CFakeWindow& wnd)
    {
        CDlgCompileProgress::OutputCompileText("late");
        EXPECT_EQ(m_kit.Pending(), 1u);
        wnd.Escape();
    };
    dlg.DoModal();
    EXPECT_EQ(m_kit.Pending(), 0u);
    EXPECT_EQ(g_pCompileProgressDlg, nullptr);
    CDlgCompileProgress::OutputCompileText("after");
    EXPECT_EQ(m_kit.Pending(), 0u);
}

TEST_F(CProgressTest, AFileThatCannotBeWrittenShowsTheFailureText)
{
    CStrHelper::SetStringTable({{673, "Converting"},
                                {674, "Ended"},
                                {675, "done"},
                                {676, "failed"},
                                {677, "Read contents "},
                                {678, "Write contents "}});
    g_WebHelpSettings.strCHMFile = ChmFixture("pipeline", "full");
    // A folder in the place of the contents script refuses it.
    std::filesystem::create_directories(m_dir / "site/whfiles/contentsdata.js");
    CDlgCompileProgress dlg(&m_helper, nullptr);
    m_kit.m_mapScripts[25004] = [&](CFakeWindow& wnd)
    {
        ASSERT_TRUE(WaitForEnd(dlg));
        EXPECT_EQ(wnd.GetControlText(kOutput),
                  "Converting\r\nRead contents done\r\nWrite contents failed\r\nEnded");
        wnd.Click(kClose);
    };
    dlg.DoModal();
    EXPECT_EQ(m_helper.GetLastResult().strFile, m_dir / "site/whfiles/contentsdata.js");
}

TEST_F(CProgressTest, ViewInBrowserServesAFinishedSiteOnceAndOpensItsAddress)
{
    struct SCase
    {
        const char* pszWhat;
        bool bConverts;
        bool bHostServes; ///< the host lent a server
        bool bServerFails;
        bool bEnabled;
        int nStarts;            ///< after two clicks
        const char* pszOpened;  ///< the opener's log after two clicks
        const char* pszMessage; ///< the message box shown, if any
    };
    const SCase aCases[] = {
        {"served", true, true, false, true, 1, "http://127.0.0.1:4321/\nhttp://127.0.0.1:4321/\n", nullptr},
        {"no server", true, false, false, false, 0, "", nullptr},
        {"failed conversion", false, true, false, false, 0, "", nullptr},
        {"server fails", true, true, true, true, 2, "", "WebHelp: port trouble"},
    };
    const std::string strOpened = m_dir / "opened.txt";
    CQZHelper::SetOpener({"sh", "-c", "printf '%s\\n' \"$1\" >> " + ShellQuote(strOpened), "opener"});
    for (const SCase& c : aCases)
    {
        SCOPED_TRACE(c.pszWhat);
        std::filesystem::remove(strOpened);
        m_kit.m_vecMessages.clear();
        g_WebHelpSettings.strCHMFile = c.bConverts ? ChmFixture("pipeline", "full") : m_dir / "missing.chm";
        int nStarts = 0;
        std::string strServed;
        if (c.bHostServes)
            CCommon::Instance().SetPreviewServer(
                [&](const std::string& strSite, std::string& strUrl, std::string& strError)
                {
                    ++nStarts;
                    strServed = strSite;
                    strError = "port trouble";
                    strUrl = c.bServerFails ? "" : "http://127.0.0.1:4321/";
                    return !c.bServerFails;
                });
        CDlgCompileProgress dlg(&m_helper, nullptr);
        m_kit.m_mapScripts[25004] = [&](CFakeWindow& wnd)
        {
            EXPECT_FALSE(wnd.IsControlEnabled(kViewInBrowser));
            ASSERT_TRUE(WaitForEnd(dlg));
            EXPECT_EQ(wnd.IsControlEnabled(kViewInBrowser), c.bEnabled);
            EXPECT_TRUE(wnd.IsControlEnabled(kViewResult));
            wnd.Click(kViewInBrowser);
            wnd.Click(kViewInBrowser);
            wnd.Click(kClose);
        };
        dlg.DoModal();
        CCommon::Instance().SetPreviewServer(nullptr);
        EXPECT_EQ(nStarts, c.nStarts);
        EXPECT_EQ(strServed, nStarts > 0 ? g_WebHelpSettings.strWebHelpDir : "");
        const std::string strExpected = c.pszOpened;
        for (int i = 0; i < 100 && ReadFileBytes(strOpened).size() < strExpected.size(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        EXPECT_EQ(ReadFileBytes(strOpened), strExpected);
        EXPECT_EQ(m_kit.m_vecMessages, c.pszMessage != nullptr ? std::vector<std::string>(2, c.pszMessage)
                                                               : std::vector<std::string>());
    }
    CQZHelper::SetOpener({});
}
