#include "CDlgWebHelpButtonsPage.h"
#include "CStrHelper.h"
#include "CWebHelpHelper.h"
#include "FakeToolkit.h"

#include <gtest/gtest.h>

namespace
{
// Each check box with the settings switch it shows and the boxes it enables.
struct SSwitch
{
    int nCheck;
    int32_t tagWebHelpSettings::*pbShow;
    int nBox;
    int nSecondBox;
};

const SSwitch kSwitches[] = {
    {25016, &tagWebHelpSettings::bShowIndex, 25023, 0},
    {25017, &tagWebHelpSettings::bShowSearch, 25024, 0},
    {25018, &tagWebHelpSettings::bShowPrint, 25025, 0},
    {25019, &tagWebHelpSettings::bShowPrev, 25026, 0},
    {25020, &tagWebHelpSettings::bShowHome, 25027, 25021},
    {25031, &tagWebHelpSettings::bShowNext, 25030, 0},
};

// Each box with the settings text it shows.
struct SBox
{
    int nBox;
    std::string tagWebHelpSettings::*pstr;
};

const SBox kBoxes[] = {
    {25022, &tagWebHelpSettings::strTxtContents}, {25023, &tagWebHelpSettings::strTxtIndex},
    {25024, &tagWebHelpSettings::strTxtSearch},   {25025, &tagWebHelpSettings::strTipPrint},
    {25026, &tagWebHelpSettings::strTipPrev},     {25030, &tagWebHelpSettings::strTipNext},
    {25027, &tagWebHelpSettings::strTipHome},     {25021, &tagWebHelpSettings::strHomePage},
};

class CButtonsPageTest : public ::testing::Test
{
protected:
    CButtonsPageTest()
    {
        CStrHelper::SetStringTable({});
        CWebHelpHelper().InitWebHelpSettings();
        m_settings = g_WebHelpSettings;
        int n = 0;
        for (const SBox& b : kBoxes)
            m_settings.*b.pstr = "text " + std::to_string(n++);
        m_settings.bShowSearch = 0;
        m_settings.bShowHome = 0;
        m_wizard.AddPage(&m_page, 25003);
    }

    void Show(std::function<void(CFakeWindow&)> fnScript)
    {
        m_kit.m_mapScripts[25002] = [&, fnScript](CFakeWindow& wnd)
        {
            fnScript(*static_cast<CFakeWindow*>(m_page.GetWnd()));
            wnd.Escape();
        };
        m_wizard.DoModal();
    }

    CFakeToolkit m_kit;
    tagWebHelpSettings m_settings;
    CDlgWizard m_wizard{25002, nullptr};
    CDlgWebHelpButtonsPage m_page{&m_settings, nullptr};
};
} // namespace

TEST_F(CButtonsPageTest, StartUpShowsTheRecordAndEnablesBoxesOfCheckedSwitches)
{
    Show(
        [&](CFakeWindow& wnd)
        {
            for (const SBox& b : kBoxes)
            {
                SCOPED_TRACE(b.nBox);
                EXPECT_EQ(wnd.GetControlText(b.nBox), m_settings.*b.pstr);
            }
            for (const SSwitch& s : kSwitches)
            {
                SCOPED_TRACE(s.nCheck);
                const bool bOn = m_settings.*s.pbShow != 0;
                EXPECT_EQ(wnd.GetCheck(s.nCheck), bOn);
                EXPECT_EQ(wnd.IsControlEnabled(s.nBox), bOn);
                if (s.nSecondBox != 0)
                {
                    EXPECT_EQ(wnd.IsControlEnabled(s.nSecondBox), bOn);
                }
            }
            EXPECT_TRUE(wnd.IsControlEnabled(25022));
        });
}

TEST_F(CButtonsPageTest, EachCheckBoxEnablesOnlyItsOwnBoxes)
{
    Show(
        [&](CFakeWindow& wnd)
        {
            for (const SSwitch& s : kSwitches)
            {
                SCOPED_TRACE(s.nCheck);
                for (int nClick = 0; nClick < 2; ++nClick)
                {
                    std::map<int, bool> mapBefore;
                    for (const SBox& b : kBoxes)
                        mapBefore[b.nBox] = wnd.IsControlEnabled(b.nBox);
                    wnd.Click(s.nCheck);
                    const bool bOn = wnd.GetCheck(s.nCheck);
                    for (const SBox& b : kBoxes)
                    {
                        SCOPED_TRACE(b.nBox);
                        const bool bOwn = b.nBox == s.nBox || b.nBox == s.nSecondBox;
                        EXPECT_EQ(wnd.IsControlEnabled(b.nBox), bOwn ? bOn : mapBefore[b.nBox]);
                    }
                }
            }
        });
}

TEST_F(CButtonsPageTest, FinishStoresEveryBoxAndSwitchEvenDisabledOnes)
{
    Show(
        [&](CFakeWindow& wnd)
        {
            wnd.Click(25016); // Index off
            wnd.Click(25017); // Search on
            wnd.Type(25021, "http://example.invalid/");
            wnd.Type(25023, "Stichwort");
            wnd.Type(25022, "");
            EXPECT_TRUE(m_page.OnWizardFinish());
        });
    EXPECT_EQ(m_settings.bShowIndex, 0);
    EXPECT_EQ(m_settings.bShowSearch, 1);
    EXPECT_EQ(m_settings.bShowHome, 0);
    EXPECT_EQ(m_settings.bShowPrint, 1);
    EXPECT_EQ(m_settings.bShowPrev, 1);
    EXPECT_EQ(m_settings.bShowNext, 1);
    // The Home boxes are disabled but still stored; empty texts are accepted.
    EXPECT_EQ(m_settings.strHomePage, "http://example.invalid/");
    EXPECT_EQ(m_settings.strTxtIndex, "Stichwort");
    EXPECT_EQ(m_settings.strTxtContents, "");
    EXPECT_EQ(m_settings.strTipHome, "text 6");
}

TEST_F(CButtonsPageTest, CancelStoresNothing)
{
    const tagWebHelpSettings before = m_settings;
    Show(
        [&](CFakeWindow& wnd)
        {
            wnd.Click(25016);
            wnd.Type(25022, "changed");
        });
    EXPECT_EQ(m_settings.bShowIndex, before.bShowIndex);
    EXPECT_EQ(m_settings.strTxtContents, before.strTxtContents);
}

TEST_F(CButtonsPageTest, TextsComeFromTheStringTable)
{
    CStrHelper::SetStringTable({{655, "Buttons"}, {660, "Idx"}, {662, "Start"}, {665, "Forward"}});
    Show(
        [&](CFakeWindow& wnd)
        {
            EXPECT_EQ(wnd.GetControlText(25028), "Buttons");
            EXPECT_EQ(wnd.GetControlText(25032), "Idx");
            EXPECT_EQ(wnd.GetControlText(25016), "Idx");
            EXPECT_EQ(wnd.GetControlText(25020), "Start");
            EXPECT_EQ(wnd.GetControlText(25040), "Start");
            EXPECT_EQ(wnd.GetControlText(25031), "Forward");
            EXPECT_EQ(wnd.GetControlText(25038), "Forward");
            EXPECT_EQ(wnd.GetControlText(25035), "Button Captions");
        });
    CStrHelper::SetStringTable({});
}
