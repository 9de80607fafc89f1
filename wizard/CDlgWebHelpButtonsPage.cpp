#include "CDlgWebHelpButtonsPage.h"

#include "WebHelpSettings.h"

namespace
{
enum : int
{
    kIDChkIndex = 25016,
    kIDChkSearch = 25017,
    kIDChkPrint = 25018,
    kIDChkPrev = 25019,
    kIDChkHome = 25020,
    kIDChkNext = 25031,
    kIDHomePage = 25021,
    kIDTxtContents = 25022,
    kIDTxtIndex = 25023,
    kIDTxtSearch = 25024,
    kIDTipPrint = 25025,
    kIDTipPrev = 25026,
    kIDTipHome = 25027,
    kIDTipNext = 25030,
};

struct SText
{
    int nControlID;
    int nTextID;
};

struct SCaptionBox
{
    int nBoxID;
    std::string tagWebHelpSettings::*pstr;
};

const SCaptionBox kCaptionBoxes[] = {
    {kIDTxtContents, &tagWebHelpSettings::strTxtContents}, {kIDTxtIndex, &tagWebHelpSettings::strTxtIndex},
    {kIDTxtSearch, &tagWebHelpSettings::strTxtSearch},     {kIDTipHome, &tagWebHelpSettings::strTipHome},
    {kIDTipPrint, &tagWebHelpSettings::strTipPrint},       {kIDTipPrev, &tagWebHelpSettings::strTipPrev},
    {kIDTipNext, &tagWebHelpSettings::strTipNext},
};

const SText kTexts[] = {{25028, 655}, {25035, 656}, {25036, 657}, {25034, 658}, {25029, 659}, {25032, 660},
                        {25033, 661}, {25016, 660}, {25017, 661}, {25020, 662}, {25018, 663}, {25019, 664},
                        {25031, 665}, {25040, 662}, {25037, 663}, {25039, 664}, {25038, 665}};
} // namespace

CDlgWebHelpButtonsPage::CDlgWebHelpButtonsPage(tagWebHelpSettings* pSettings, CDlgBase* pParent)
    : CDlgWizardPage(25003, pParent), m_pSettings(pSettings)
{
}

void CDlgWebHelpButtonsPage::EnableForCheck(int nCheckID, int nBoxID, int nSecondBoxID)
{
    CDlgWindow* pWnd = GetWnd();
    const bool bChecked = pWnd->GetCheck(nCheckID);
    pWnd->EnableControl(nBoxID, bChecked);
    if (nSecondBoxID != 0)
        pWnd->EnableControl(nSecondBoxID, bChecked);
}

bool CDlgWebHelpButtonsPage::OnInitDialog()
{
    CDlgWizardPage::OnInitDialog();
    for (const SText& t : kTexts)
        SetTextFromTable(t.nControlID, t.nTextID);
    if (m_pSettings == nullptr)
        return true;

    CDlgWindow* pWnd = GetWnd();
    const tagWebHelpSettings& s = *m_pSettings;
    for (const SCaptionBox& b : kCaptionBoxes)
    {
        pWnd->SetControlText(b.nBoxID, s.*b.pstr);
        m_mapShown[b.nBoxID] = s.*b.pstr;
    }
    pWnd->SetCheck(kIDChkSearch, s.bShowSearch != 0);
    EnableForCheck(kIDChkSearch, kIDTxtSearch);
    pWnd->SetCheck(kIDChkIndex, s.bShowIndex != 0);
    EnableForCheck(kIDChkIndex, kIDTxtIndex);
    pWnd->SetCheck(kIDChkHome, s.bShowHome != 0);
    pWnd->SetControlText(kIDHomePage, s.strHomePage);
    EnableForCheck(kIDChkHome, kIDTipHome, kIDHomePage);
    pWnd->SetCheck(kIDChkPrint, s.bShowPrint != 0);
    EnableForCheck(kIDChkPrint, kIDTipPrint);
    pWnd->SetCheck(kIDChkPrev, s.bShowPrev != 0);
    EnableForCheck(kIDChkPrev, kIDTipPrev);
    pWnd->SetCheck(kIDChkNext, s.bShowNext != 0);
    EnableForCheck(kIDChkNext, kIDTipNext);
    return true;
}

void CDlgWebHelpButtonsPage::OnSetActive()
{
    if (m_pSettings == nullptr)
        return;
    CDlgWindow* pWnd = GetWnd();
    for (const SCaptionBox& b : kCaptionBoxes)
    {
        std::string& strShown = m_mapShown[b.nBoxID];
        if (pWnd->GetControlText(b.nBoxID) == strShown)
        {
            strShown = m_pSettings->*b.pstr;
            pWnd->SetControlText(b.nBoxID, strShown);
        }
    }
}

void CDlgWebHelpButtonsPage::OnCommand(int nID)
{
    switch (nID)
    {
    case kIDChkHome:
        OnClickHome();
        break;
    case kIDChkIndex:
        OnClickIndex();
        break;
    case kIDChkSearch:
        OnClickSearch();
        break;
    case kIDChkNext:
        OnClickNext();
        break;
    case kIDChkPrev:
        OnClickPrev();
        break;
    case kIDChkPrint:
        OnClickPrint();
        break;
    default:
        CDlgWizardPage::OnCommand(nID);
        break;
    }
}

void CDlgWebHelpButtonsPage::OnClickHome()
{
    EnableForCheck(kIDChkHome, kIDTipHome, kIDHomePage);
}

void CDlgWebHelpButtonsPage::OnClickIndex()
{
    EnableForCheck(kIDChkIndex, kIDTxtIndex);
}

void CDlgWebHelpButtonsPage::OnClickSearch()
{
    EnableForCheck(kIDChkSearch, kIDTxtSearch);
}

void CDlgWebHelpButtonsPage::OnClickNext()
{
    EnableForCheck(kIDChkNext, kIDTipNext);
}

void CDlgWebHelpButtonsPage::OnClickPrev()
{
    EnableForCheck(kIDChkPrev, kIDTipPrev);
}

void CDlgWebHelpButtonsPage::OnClickPrint()
{
    EnableForCheck(kIDChkPrint, kIDTipPrint);
}

bool CDlgWebHelpButtonsPage::OnWizardFinish()
{
    if (m_pSettings == nullptr)
        return true;
    CDlgWindow* pWnd = GetWnd();
    tagWebHelpSettings& s = *m_pSettings;
    s.strHomePage = pWnd->GetControlText(kIDHomePage);
    for (const SCaptionBox& b : kCaptionBoxes)
        s.*b.pstr = pWnd->GetControlText(b.nBoxID);
    s.bShowIndex = pWnd->GetCheck(kIDChkIndex) ? 1 : 0;
    s.bShowSearch = pWnd->GetCheck(kIDChkSearch) ? 1 : 0;
    s.bShowHome = pWnd->GetCheck(kIDChkHome) ? 1 : 0;
    s.bShowPrint = pWnd->GetCheck(kIDChkPrint) ? 1 : 0;
    s.bShowPrev = pWnd->GetCheck(kIDChkPrev) ? 1 : 0;
    s.bShowNext = pWnd->GetCheck(kIDChkNext) ? 1 : 0;
    return true;
}
