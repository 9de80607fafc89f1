#include "CCommon.h"
#include "CDlgWizard.h"
#include "CQZHelper.h"
#include "CStrHelper.h"
#include "FakeToolkit.h"
#include "TestUtil.h"

#include <gtest/gtest.h>

namespace
{
// A page's dialog number names its template: the probes borrow the three the module has.
const int kDialog1 = 25000, kDialog2 = 25003, kDialog3 = 25004;
const int kPlaceholder = 25015;

std::vector<std::string> g_vecCalls;

class CProbePage : public CDlgWizardPage
{
public:
    CProbePage(const char* pszName) : CDlgWizardPage(0, nullptr), m_pszName(pszName) {}
    bool OnCreatePage() override { return Log("create", m_bCreateOk); }
    void OnDestroyPage() override { Log("destroy", true); }
    bool OnKillActive() override { return Log("kill", m_bKillOk); }
    void OnSetActive() override { Log("set", true); }
    bool OnQueryCancel() override { return Log("querycancel", m_bCancelOk); }
    int OnWizardBack() override
    {
        Log("back", true);
        return m_nBack;
    }
    int OnWizardNext() override
    {
        Log("next", true);
        return m_nNext;
    }
    bool OnWizardFinish() override { return Log("finish", m_bFinishOk); }

    bool m_bCreateOk = true, m_bKillOk = true, m_bCancelOk = true, m_bFinishOk = true;
    int m_nBack = 0, m_nNext = 0;

private:
    bool Log(const char* pszWhat, bool bResult)
    {
        g_vecCalls.push_back(std::string(m_pszName) + ":" + pszWhat);
        return bResult;
    }
    const char* m_pszName;
};

struct SButtons
{
    bool bBack, bNext, bFinish;
    bool operator==(const SButtons&) const = default;
};

std::ostream& operator<<(std::ostream& os, const SButtons& b)
{
    return os << "back " << b.bBack << " next " << b.bNext << " finish " << b.bFinish;
}

class CDlgWizardTest : public ::testing::Test
{
protected:
    CDlgWizardTest()
    {
        g_vecCalls.clear();
        CStrHelper::SetStringTable({});
    }

    /// Adds the pages and shows the frame; the script runs while it is modal.
    int Run(std::vector<CProbePage*> vecPages, std::function<void(CFakeWindow&)> fnScript)
    {
        const int aNumbers[] = {kDialog1, kDialog2, kDialog3};
        for (size_t i = 0; i < vecPages.size(); ++i)
            m_wizard.AddPage(vecPages[i], aNumbers[i]);
        m_kit.m_mapScripts[25002] = std::move(fnScript);
        return m_wizard.DoModal();
    }
    static SButtons Buttons(const CFakeWindow& wnd)
    {
        return SButtons{wnd.Ctl(ID_WIZBACK).bEnabled, wnd.Ctl(ID_WIZNEXT).bEnabled,
                        wnd.Ctl(ID_WIZFINISH).bEnabled};
    }
    static bool Shown(const CProbePage& page) { return page.GetWnd() != nullptr && page.GetWnd()->IsShown(); }

    CFakeToolkit m_kit;
    CDlgWebHelpWizard m_wizard{nullptr};
    CProbePage m_page1{"p1"}, m_page2{"p2"}, m_page3{"p3"};
};
} // namespace

TEST_F(CDlgWizardTest, TwoPagesButtonStatesThroughNextAndBack)
{
    const SButtons kFirst{false, true, false};
    const SButtons kLast{true, false, true};
    int nResult = Run({&m_page1, &m_page2},
                      [&](CFakeWindow& wnd)
                      {
                          EXPECT_EQ(Buttons(wnd), kFirst);
                          EXPECT_TRUE(Shown(m_page1));
                          wnd.Click(ID_WIZNEXT);
                          EXPECT_EQ(Buttons(wnd), kLast);
                          EXPECT_FALSE(Shown(m_page1));
                          EXPECT_TRUE(Shown(m_page2));
                          EXPECT_TRUE(m_page2.m_bActive);
                          EXPECT_FALSE(m_page1.m_bActive);
                          wnd.Click(ID_WIZBACK);
                          EXPECT_EQ(Buttons(wnd), kFirst);
                          EXPECT_TRUE(Shown(m_page1));
                          EXPECT_FALSE(Shown(m_page2));
                          wnd.Escape();
                      });
    EXPECT_EQ(nResult, IDCANCEL);
}

TEST_F(CDlgWizardTest, OnePageCanOnlyFinish)
{
    int nResult = Run({&m_page1},
                      [&](CFakeWindow& wnd)
                      {
                          EXPECT_EQ(Buttons(wnd), (SButtons{false, false, true}));
                          wnd.Click(ID_WIZFINISH);
                      });
    EXPECT_EQ(nResult, ID_WIZFINISH);
    EXPECT_EQ(g_vecCalls, (std::vector<std::string>{"p1:create", "p1:set", "p1:kill", "p1:finish", "p1:kill",
                                                    "p1:destroy"}));
}

TEST_F(CDlgWizardTest, NoPagesShowsAnEmptyFrameThatCanFinish)
{
    int nResult = Run({},
                      [&](CFakeWindow& wnd)
                      {
                          EXPECT_EQ(Buttons(wnd), (SButtons{false, false, true}));
                          EXPECT_EQ(m_wizard.GetActivePage(), nullptr);
                          wnd.Click(ID_WIZNEXT);
                          wnd.Click(ID_WIZBACK);
                          wnd.Click(ID_WIZFINISH);
                      });
    EXPECT_EQ(nResult, ID_WIZFINISH);
}

TEST_F(CDlgWizardTest, NextAnswersDecideWherePagesGo)
{
    struct SCase
    {
        int nNext;
        int nExpectedPage; ///< 1-based
        bool bStays;       ///< the buttons stay as they were
    };
    const SCase aCases[] = {
        {-1, 1, true}, {0, 2, false}, {kDialog3, 3, false}, {77, 1, true}, {kDialog1, 1, false}};
    for (const SCase& c : aCases)
    {
        SCOPED_TRACE(c.nNext);
        CFakeToolkit kit;
        CDlgWebHelpWizard wizard(nullptr);
        CProbePage page1("p1"), page2("p2"), page3("p3");
        CProbePage* apPages[] = {&page1, &page2, &page3};
        wizard.AddPage(&page1, kDialog1);
        wizard.AddPage(&page2, kDialog2);
        wizard.AddPage(&page3, kDialog3);
        page1.m_nNext = c.nNext;
        kit.m_mapScripts[25002] = [&](CFakeWindow& wnd)
        {
            wnd.Click(ID_WIZNEXT);
            EXPECT_EQ(wizard.GetActivePage(), apPages[c.nExpectedPage - 1]);
            if (c.bStays)
            {
                EXPECT_EQ(Buttons(wnd), (SButtons{false, true, false}));
            }
            else if (c.nExpectedPage == 3)
            {
                EXPECT_EQ(Buttons(wnd), (SButtons{true, false, true}));
            }
            wnd.Escape();
        };
        wizard.DoModal();
    }
}

TEST_F(CDlgWizardTest, BackAnswersDecideWherePagesGo)
{
    m_page3.m_nBack = kDialog1;
    Run({&m_page1, &m_page2, &m_page3},
        [&](CFakeWindow& wnd)
        {
            wnd.Click(ID_WIZNEXT);
            EXPECT_EQ(Buttons(wnd), (SButtons{true, true, false}));
            wnd.Click(ID_WIZNEXT);
            EXPECT_EQ(Buttons(wnd), (SButtons{true, false, true}));
            wnd.Click(ID_WIZBACK);
            EXPECT_EQ(m_wizard.GetActivePage(), &m_page1);
            EXPECT_EQ(Buttons(wnd), (SButtons{false, true, false}));
            m_page1.m_nBack = -1;
            wnd.Click(ID_WIZNEXT);
            m_page2.m_nBack = -1;
            wnd.Click(ID_WIZBACK);
            EXPECT_EQ(m_wizard.GetActivePage(), &m_page2);
            wnd.Escape();
        });
}

TEST_F(CDlgWizardTest, PagesAreCreatedOnFirstShowAndKept)
{
    Run({&m_page1, &m_page2},
        [&](CFakeWindow& wnd)
        {
            EXPECT_FALSE(m_page2.m_bCreated);
            m_page1.GetWnd()->SetControlText(25041, "typed");
            EXPECT_EQ(m_page1.m_pWizard, &m_wizard);
            wnd.Click(ID_WIZNEXT);
            wnd.Click(ID_WIZBACK);
            wnd.Click(ID_WIZNEXT);
            wnd.Click(ID_WIZBACK);
            EXPECT_EQ(m_page1.GetWnd()->GetControlText(25041), "typed");
            EXPECT_EQ(m_page2.m_pWizard, &m_wizard);
            wnd.Escape();
        });
    // The frame and one window per page, each made once.
    EXPECT_EQ(m_kit.m_vecCreated, (std::vector<int>{25002, kDialog1, kDialog2}));
    EXPECT_EQ(std::count(g_vecCalls.begin(), g_vecCalls.end(), "p2:create"), 1);
    // Closing the frame destroyed both pages' windows.
    EXPECT_FALSE(m_page1.m_bCreated);
    EXPECT_FALSE(m_page2.m_bCreated);
    EXPECT_EQ(m_page2.GetWnd(), nullptr);
    EXPECT_TRUE(m_kit.m_vecLive.empty());
}

TEST_F(CDlgWizardTest, PageIsPlacedInsideThePlaceholder)
{
    Run({&m_page1},
        [&](CFakeWindow& wnd)
        {
            const SDlgRect rcHolder = wnd.GetControlRect(kPlaceholder);
            const SDlgRect rcPage = m_page1.GetWnd()->GetRect();
            EXPECT_EQ(rcPage.x, rcHolder.x + 2);
            EXPECT_EQ(rcPage.y, rcHolder.y + 2);
            EXPECT_TRUE(m_page1.GetWnd()->IsEnabled());
            EXPECT_GT(static_cast<CFakeWindow*>(m_page1.GetWnd())->m_nRedraws, 0);
            wnd.Escape();
        });
}

TEST_F(CDlgWizardTest, RefusingPagesKeepTheWizardWhereItIs)
{
    m_page2.m_bCreateOk = false;
    Run({&m_page1, &m_page2},
        [&](CFakeWindow& wnd)
        {
            wnd.Click(ID_WIZNEXT);
            EXPECT_EQ(m_wizard.GetActivePage(), &m_page1);
            EXPECT_EQ(Buttons(wnd), (SButtons{false, true, false}));
            m_page2.m_bCreateOk = true;
            m_page1.m_bKillOk = false;
            wnd.Click(ID_WIZNEXT);
            EXPECT_EQ(m_wizard.GetActivePage(), &m_page1);
            EXPECT_TRUE(Shown(m_page1));
            m_page1.m_bKillOk = true;
            wnd.Escape();
        });
}

TEST_F(CDlgWizardTest, RefusedCancelKeepsTheWizardOpen)
{
    m_page2.m_bCancelOk = false;
    int nResult =
        Run({&m_page1, &m_page2, &m_page3},
            [&](CFakeWindow& wnd)
            {
                wnd.Click(ID_WIZNEXT);
                g_vecCalls.clear();
                wnd.Click(IDCANCEL);
                EXPECT_FALSE(wnd.m_bEnded);
                // Only created pages are asked, in list order.
                EXPECT_EQ(g_vecCalls, (std::vector<std::string>{"p1:querycancel", "p2:querycancel"}));
                m_page2.m_bCancelOk = true;
                wnd.Escape();
            });
    EXPECT_EQ(nResult, IDCANCEL);
}

TEST_F(CDlgWizardTest, EscapeInsideAPageDoesNothing)
{
    Run({&m_page1, &m_page2},
        [&](CFakeWindow& wnd)
        {
            m_page1.OnCommand(IDCANCEL);
            m_page1.OnCommand(IDOK);
            EXPECT_FALSE(wnd.m_bEnded);
            EXPECT_TRUE(Shown(m_page1));
            EXPECT_TRUE(m_page1.m_bCreated);
            wnd.Escape();
        });
}

TEST_F(CDlgWizardTest, FinishAsksTheActivePageThenEveryCreatedPage)
{
    int nResult =
        Run({&m_page1, &m_page2, &m_page3},
            [&](CFakeWindow& wnd)
            {
                wnd.Click(ID_WIZNEXT);
                wnd.Click(ID_WIZNEXT);
                m_page3.m_bKillOk = false;
                g_vecCalls.clear();
                wnd.Click(ID_WIZFINISH);
                EXPECT_FALSE(wnd.m_bEnded);
                EXPECT_EQ(g_vecCalls, (std::vector<std::string>{"p3:kill"}));
                m_page3.m_bKillOk = true;
                m_page2.m_bFinishOk = false;
                g_vecCalls.clear();
                wnd.Click(ID_WIZFINISH);
                EXPECT_FALSE(wnd.m_bEnded);
                EXPECT_EQ(g_vecCalls, (std::vector<std::string>{"p3:kill", "p1:finish", "p2:finish"}));
                m_page2.m_bFinishOk = true;
                wnd.Click(ID_WIZFINISH);
            });
    EXPECT_EQ(nResult, ID_WIZFINISH);
}

TEST_F(CDlgWizardTest, ClosingKillsAndDestroysEveryCreatedPage)
{
    Run({&m_page1, &m_page2, &m_page3},
        [&](CFakeWindow& wnd)
        {
            wnd.Click(ID_WIZNEXT);
            m_page1.m_bKillOk = false; // its answer does not stop the closing
            g_vecCalls.clear();
            wnd.Escape();
        });
    EXPECT_EQ(g_vecCalls, (std::vector<std::string>{"p1:querycancel", "p2:querycancel", "p1:kill",
                                                    "p1:destroy", "p2:kill", "p2:destroy"}));
    EXPECT_FALSE(m_page3.m_bCreated);
}

TEST_F(CDlgWizardTest, TextsComeFromTheStringTableUnlessEmpty)
{
    Run({&m_page1, &m_page2},
        [&](CFakeWindow& wnd)
        {
            EXPECT_EQ(wnd.GetCaption(), "Wizard");
            EXPECT_EQ(wnd.GetControlText(ID_WIZBACK), "< Back");
            EXPECT_EQ(wnd.GetControlText(ID_WIZNEXT), "Next >");
            EXPECT_EQ(wnd.GetControlText(IDCANCEL), "Cancel");
            EXPECT_EQ(wnd.GetControlText(ID_WIZFINISH), "Finish");
            EXPECT_EQ(wnd.GetControlText(25048), "Help");
            wnd.Escape();
        });

    CStrHelper::SetStringTable({{1, "Abbrechen"},
                                {2, "Hilfe"},
                                {646, "Assistent"},
                                {647, "Fertig"},
                                {648, "< Zur\xC3\xBC"
                                      "ck"},
                                {649, "Weiter >"}});
    CFakeToolkit kit;
    CDlgWebHelpWizard wizard(nullptr);
    kit.m_mapScripts[25002] = [&](CFakeWindow& wnd)
    {
        EXPECT_EQ(wnd.GetCaption(), "Assistent");
        EXPECT_EQ(wnd.GetControlText(ID_WIZBACK), "< Zur\xC3\xBC"
                                                  "ck");
        EXPECT_EQ(wnd.GetControlText(ID_WIZNEXT), "Weiter >");
        EXPECT_EQ(wnd.GetControlText(IDCANCEL), "Abbrechen");
        EXPECT_EQ(wnd.GetControlText(ID_WIZFINISH), "Fertig");
        EXPECT_EQ(wnd.GetControlText(25048), "Hilfe");
        wnd.Escape();
    };
    wizard.DoModal();
    CStrHelper::SetStringTable({});
}

TEST_F(CDlgWizardTest, HelpOpensTheGuidesWizardPageOrSaysItIsMissing)
{
    CTempDir dir;
    const std::string strIndex = dir / "guide site/index.html";
    CCommon::Instance().SetHelpSite(strIndex, {{"webhelp1.htm", "source/using/wizard.htm"}});
    const std::string strOpened = dir / "opened.txt";
    CQZHelper::SetOpener({"sh", "-c", "printf '%s' \"$1\" > " + ShellQuote(strOpened), "opener"});

    Run({&m_page1},
        [&](CFakeWindow& wnd)
        {
            wnd.Click(25048);
            ASSERT_EQ(m_kit.m_vecMessages.size(), 1u);
            EXPECT_NE(m_kit.m_vecMessages[0].find(strIndex), std::string::npos) << m_kit.m_vecMessages[0];
            ASSERT_TRUE(WriteFileBytes(strIndex, "<html></html>"));
            wnd.Click(25048);
            EXPECT_EQ(m_kit.m_vecMessages.size(), 1u);
            wnd.Escape();
        });
    for (int i = 0; i < 100 && ReadFileBytes(strOpened).empty(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(ReadFileBytes(strOpened),
              "file://" + dir.Path() + "/guide%20site/index.html?page=source%2Fusing%2Fwizard.htm");
    CQZHelper::SetOpener({});
    CCommon::Instance().SetHelpSite("", {});
}
