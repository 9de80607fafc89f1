#include "CDlgWizard.h"

#include "CCommon.h"
#include "CStrHelper.h"

#include <algorithm>

namespace
{
const int kIDHelp = 25048;
const int kIDPlaceholder = 25015;
// Pages sit inside the placeholder's sunken edge.
const int kPageInset = 2;
} // namespace

CDlgWizardPage::CDlgWizardPage(int nDialogID, CDlgBase* pParent)
    : CDlgBase(nDialogID, pParent), m_nDialogID(nDialogID)
{
}

CDlgWizard::CDlgWizard(int nDialogID, CDlgBase* pParent) : CDlgBase(nDialogID, pParent) {}

void CDlgWizard::AddPage(CDlgWizardPage* pPage, int nDialogID)
{
    if (pPage == nullptr)
        return;
    pPage->m_nDialogID = nDialogID;
    m_listPages.push_back(pPage);
}

CDlgWizardPage* CDlgWizard::GetActivePage() const
{
    for (CDlgWizardPage* pPage : m_listPages)
    {
        if (pPage->m_bActive)
            return pPage;
    }
    return nullptr;
}

void CDlgWizard::EnableButton(int nID, bool bEnable)
{
    if (GetWnd() != nullptr && GetWnd()->HasControl(nID))
        GetWnd()->EnableControl(nID, bEnable);
}

bool CDlgWizard::DeactivatePage()
{
    CDlgWizardPage* pActive = GetActivePage();
    if (pActive == nullptr)
        return true;
    if (!pActive->OnKillActive())
        return false;
    if (pActive->GetWnd() != nullptr)
        pActive->GetWnd()->Show(false);
    pActive->m_bActive = false;
    return true;
}

bool CDlgWizard::ActivatePage(CDlgWizardPage* pPage)
{
    if (pPage == nullptr || GetWnd() == nullptr)
        return false;
    if (!pPage->m_bCreated)
    {
        if (!pPage->Create(pPage->m_nDialogID, this))
            return false;
        pPage->m_bCreated = true;
        pPage->m_pWizard = this;
        if (!pPage->OnCreatePage())
            return false;
    }
    if (!DeactivatePage())
        return false;

    CDlgWindow* pPageWnd = pPage->GetWnd();
    const SDlgRect rc = GetWnd()->GetControlRect(m_nPlaceholderID);
    pPageWnd->Move(rc.x + kPageInset, rc.y + kPageInset);
    pPageWnd->Enable(true);
    pPageWnd->Show(true);
    pPageWnd->Redraw();
    pPage->OnSetActive();
    pPage->m_bActive = true;
    return true;
}

bool CDlgWizard::OnInitDialog()
{
    CDlgBase::OnInitDialog();
    if (!DeactivatePage())
        return true;
    EnableButton(ID_WIZBACK, false);
    const bool bOnePage = m_listPages.size() < 2;
    EnableButton(ID_WIZFINISH, bOnePage);
    EnableButton(ID_WIZNEXT, !bOnePage);
    if (!m_listPages.empty())
        ActivatePage(m_listPages.front());
    return true;
}

CDlgWizardPage* CDlgWizard::PageOfAnswer(int nAnswer, int nStep) const
{
    if (nAnswer == -1)
        return nullptr;
    if (nAnswer != 0)
    {
        auto it = std::find_if(m_listPages.begin(), m_listPages.end(),
                               [nAnswer](const CDlgWizardPage* p) { return p->m_nDialogID == nAnswer; });
        return it == m_listPages.end() ? nullptr : *it;
    }
    auto it = std::find(m_listPages.begin(), m_listPages.end(), GetActivePage());
    if (it == m_listPages.end())
        return nullptr;
    const auto nIndex = (it - m_listPages.begin()) + nStep;
    if (nIndex < 0 || nIndex >= static_cast<long>(m_listPages.size()))
        return nullptr;
    return m_listPages[static_cast<size_t>(nIndex)];
}

void CDlgWizard::OnWizardBack()
{
    CDlgWizardPage* pActive = GetActivePage();
    if (pActive == nullptr)
        return;
    CDlgWizardPage* pPage = PageOfAnswer(pActive->OnWizardBack(), -1);
    if (pPage == nullptr || !ActivatePage(pPage))
        return;
    if (pPage == m_listPages.front())
    {
        EnableButton(ID_WIZBACK, false);
        EnableButton(ID_WIZFINISH, false);
    }
    EnableButton(ID_WIZNEXT, true);
}

void CDlgWizard::OnWizardNext()
{
    CDlgWizardPage* pActive = GetActivePage();
    if (pActive == nullptr)
        return;
    CDlgWizardPage* pPage = PageOfAnswer(pActive->OnWizardNext(), 1);
    if (pPage == nullptr || !ActivatePage(pPage))
        return;
    if (pPage == m_listPages.back())
    {
        EnableButton(ID_WIZNEXT, false);
        EnableButton(ID_WIZFINISH, true);
    }
    EnableButton(ID_WIZBACK, true);
}

void CDlgWizard::OnWizardFinish()
{
    CDlgWizardPage* pActive = GetActivePage();
    if (pActive != nullptr && !pActive->OnKillActive())
        return;
    for (CDlgWizardPage* pPage : m_listPages)
    {
        if (pPage->m_bCreated && !pPage->OnWizardFinish())
            return;
    }
    EndDialog(ID_WIZFINISH);
}

void CDlgWizard::OnCancel()
{
    for (CDlgWizardPage* pPage : m_listPages)
    {
        if (pPage->m_bCreated && !pPage->OnQueryCancel())
            return;
    }
    EndDialog(IDCANCEL);
}

void CDlgWizard::OnCommand(int nID)
{
    // A disabled button cannot be pressed; a toolkit may still deliver its accelerator.
    if ((nID == ID_WIZBACK || nID == ID_WIZNEXT || nID == ID_WIZFINISH) && GetWnd() != nullptr &&
        GetWnd()->HasControl(nID) && !GetWnd()->IsControlEnabled(nID))
        return;
    switch (nID)
    {
    case ID_WIZBACK:
        OnWizardBack();
        break;
    case ID_WIZNEXT:
        OnWizardNext();
        break;
    case ID_WIZFINISH:
        OnWizardFinish();
        break;
    case IDOK:
        break;
    default:
        CDlgBase::OnCommand(nID);
        break;
    }
}

void CDlgWizard::OnDestroy()
{
    for (CDlgWizardPage* pPage : m_listPages)
    {
        if (!pPage->m_bCreated)
            continue;
        pPage->OnKillActive();
        pPage->OnDestroyPage();
        pPage->DestroyWindow();
        pPage->m_bCreated = false;
        pPage->m_bActive = false;
    }
}

CDlgWebHelpWizard::CDlgWebHelpWizard(CDlgBase* pParent) : CDlgWizard(25002, pParent) {}

bool CDlgWebHelpWizard::OnInitDialog()
{
    SetPlaceholderID(kIDPlaceholder);
    CDlgWizard::OnInitDialog();
    SetTextFromTable(IDCANCEL, 1);
    SetTextFromTable(kIDHelp, 2);
    SetTextFromTable(ID_WIZFINISH, 647);
    SetTextFromTable(ID_WIZBACK, 648);
    SetTextFromTable(ID_WIZNEXT, 649);
    const std::string strCaption = CStrHelper::ML_GetStringEx(646);
    if (!strCaption.empty())
        GetWnd()->SetCaption(strCaption);
    return true;
}

void CDlgWebHelpWizard::OnCommand(int nID)
{
    if (nID == kIDHelp)
        OnHelp();
    else
        CDlgWizard::OnCommand(nID);
}

void CDlgWebHelpWizard::OnHelp()
{
    std::string strError;
    if (!CCommon::Instance().ShowHelp("webhelp1.htm", strError) && GetWnd() != nullptr)
        GetWnd()->MessageBox(strError, CStrHelper::ML_GetStringEx(8));
}
