#include "CDlgBase.h"

#include "CDlgTemplate.h"
#include "CStrHelper.h"

CDlgBase::CDlgBase(int nTemplateID, CDlgBase* pParent) : m_nTemplateID(nTemplateID), m_pParentDlg(pParent) {}

CDlgBase::~CDlgBase()
{
    m_pWnd.reset();
}

int CDlgBase::DoModal()
{
    CDlgToolkit* pToolkit = CDlgToolkit::Get();
    const SDlgTemplate* pTemplate = FindDlgTemplate(m_nTemplateID);
    if (pToolkit == nullptr || pTemplate == nullptr)
        return -1;
    m_pWnd = pToolkit->CreateDlgWindow(this, *pTemplate, nullptr);
    if (!m_pWnd)
        return -1;
    const int nResult = m_pWnd->RunModal();
    DestroyWindow();
    return nResult;
}

bool CDlgBase::Create(int nTemplateID, CDlgBase* pParent)
{
    CDlgToolkit* pToolkit = CDlgToolkit::Get();
    const SDlgTemplate* pTemplate = FindDlgTemplate(nTemplateID);
    if (pToolkit == nullptr || pTemplate == nullptr || pParent == nullptr || pParent->GetWnd() == nullptr)
        return false;
    m_nTemplateID = nTemplateID;
    m_pParentDlg = pParent;
    m_pWnd = pToolkit->CreateDlgWindow(this, *pTemplate, pParent->GetWnd());
    if (!m_pWnd)
        return false;
    OnInitDialog();
    return true;
}

void CDlgBase::DestroyWindow()
{
    if (!m_pWnd)
        return;
    OnDestroy();
    m_pWnd.reset();
}

void CDlgBase::EndDialog(int nResult)
{
    if (m_pWnd)
        m_pWnd->EndModal(nResult);
}

void CDlgBase::OnCommand(int nID)
{
    if (nID == IDOK)
        OnOK();
    else if (nID == IDCANCEL)
        OnCancel();
}

void CDlgBase::SetTextFromTable(int nControlID, int nTextID)
{
    const std::string strText = CStrHelper::ML_GetStringEx(nTextID);
    if (!strText.empty() && m_pWnd)
        m_pWnd->SetControlText(nControlID, strText);
}
