#include "CDlgCompileProgress.h"

#include "CCommon.h"
#include "CQZHelper.h"
#include "CStrHelper.h"
#include "CWebHelpHelper.h"

CDlgCompileProgress* g_pCompileProgressDlg = nullptr;

namespace
{
enum : int
{
    kIDOutput = 25043,
    kIDViewInBrowser = 25044,
    kIDViewResult = 25045,
    kIDGroup = 25046,
    kIDClose = 25047,
};
} // namespace

CDlgCompileProgress::CDlgCompileProgress(CWebHelpHelper* pHelper, CDlgBase* pParent)
    : CDlgBase(25004, pParent), m_pHelper(pHelper)
{
}

CDlgCompileProgress::~CDlgCompileProgress()
{
    if (g_pCompileProgressDlg == this)
        g_pCompileProgressDlg = nullptr;
}

bool CDlgCompileProgress::OnInitDialog()
{
    CDlgBase::OnInitDialog();
    CDlgWindow* pWnd = GetWnd();
    SetTextFromTable(kIDGroup, 670);
    SetTextFromTable(kIDViewResult, 671);
    SetTextFromTable(kIDViewInBrowser, 685);
    SetTextFromTable(kIDClose, 5);
    const std::string strCaption = CStrHelper::ML_GetStringEx(8);
    if (!strCaption.empty())
        pWnd->SetCaption(strCaption);
    pWnd->SetBanner(CStrHelper::ML_GetStringEx(672), CStrHelper::ML_GetStringEx(645));

    g_pCompileProgressDlg = this;
    CWebHelpHelper::tagCompileThreadPar par;
    par.pfnOutput = OutputCompileText;
    par.pNotifyWnd = this;
    pWnd->EnableControl(kIDViewResult, false);
    pWnd->EnableControl(kIDViewInBrowser, false);
    if (m_pHelper != nullptr)
        m_pHelper->Compile(&par);
    return true;
}

void CDlgCompileProgress::OutputCompileText(const std::string& strText)
{
    CDlgCompileProgress* pDlg = g_pCompileProgressDlg;
    if (pDlg == nullptr || pDlg->GetWnd() == nullptr)
        return;
    pDlg->GetWnd()->Post(
        [pDlg, strText]
        {
            if (pDlg->GetWnd() != nullptr)
                pDlg->GetWnd()->AppendControlText(kIDOutput, strText);
        });
}

void CDlgCompileProgress::SendMessage(unsigned nMsg)
{
    OnCompileMessage(nMsg);
}

void CDlgCompileProgress::PostMessage(unsigned nMsg)
{
    if (GetWnd() != nullptr)
        GetWnd()->Post([this, nMsg] { OnCompileMessage(nMsg); });
}

void CDlgCompileProgress::OnCompileMessage(unsigned nMsg)
{
    CDlgWindow* pWnd = GetWnd();
    if (pWnd == nullptr)
        return;
    if (nMsg == WM_WEBHELP_COMPILE_START)
    {
        m_bCompiling = true;
        pWnd->EnableControl(kIDClose, false);
        pWnd->EnableControl(kIDViewResult, false);
        pWnd->EnableControl(kIDViewInBrowser, false);
    }
    else if (nMsg == WM_WEBHELP_COMPILE_END)
    {
        m_bCompiling = false;
        pWnd->EnableControl(kIDClose, true);
        pWnd->EnableControl(kIDViewResult, true);
        // Only a finished site is worth serving, and only a host with a server can.
        pWnd->EnableControl(kIDViewInBrowser, m_pHelper != nullptr && m_pHelper->GetLastResult().bSucceeded &&
                                                  CCommon::Instance().CanPreview());
        pWnd->FocusControl(kIDViewResult);
        pWnd->Beep();
    }
}

void CDlgCompileProgress::OnCommand(int nID)
{
    if (nID == kIDViewResult)
    {
        if (!m_bCompiling)
            OnViewResult();
    }
    else if (nID == kIDViewInBrowser)
    {
        if (!m_bCompiling)
            OnViewInBrowser();
    }
    else if (nID == kIDClose)
    {
        if (!m_bCompiling)
            EndDialog(IDOK);
    }
    else
    {
        CDlgBase::OnCommand(nID);
    }
}

void CDlgCompileProgress::OnCancel()
{
    // The worker writes into this window until its end message: Escape and the close box wait.
    if (!m_bCompiling)
        EndDialog(IDOK);
}

void CDlgCompileProgress::OnViewResult()
{
    const std::string strPath = g_WebHelpSettings.strWebHelpDir + "/index.html";
    if (!CQZHelper::OpenDirectoryInWindowsExplorer(strPath) && GetWnd() != nullptr)
        GetWnd()->MessageBox("Could not start the desktop's opener for " + strPath + ".",
                             CStrHelper::ML_GetStringEx(8));
}

void CDlgCompileProgress::OnViewInBrowser()
{
    std::string strError;
    if (m_strPreviewUrl.empty() &&
        !CCommon::Instance().StartPreview(g_WebHelpSettings.strWebHelpDir, m_strPreviewUrl, strError))
    {
        m_strPreviewUrl.clear();
        if (GetWnd() != nullptr)
            GetWnd()->MessageBox(strError, CStrHelper::ML_GetStringEx(8));
        return;
    }
    if (!CQZHelper::OpenDirectoryInWindowsExplorer(m_strPreviewUrl) && GetWnd() != nullptr)
        GetWnd()->MessageBox("Could not start the desktop's opener for " + m_strPreviewUrl + ".",
                             CStrHelper::ML_GetStringEx(8));
}

void CDlgCompileProgress::OnDestroy()
{
    if (g_pCompileProgressDlg == this)
        g_pCompileProgressDlg = nullptr;
}
