#pragma once

#include "CDlgBase.h"
#include "CNotifyWnd.h"

#include <string>

class CWebHelpHelper;

/// The window that runs the background compile as it opens (dialog 25004), shows its texts as
/// they come and cannot be closed until the compile has ended.
class CDlgCompileProgress : public CDlgBase, public CNotifyWnd
{
public:
    /// pHelper must outlive the window's compile.
    CDlgCompileProgress(CWebHelpHelper* pHelper, CDlgBase* pParent);
    ~CDlgCompileProgress() override;

    bool OnInitDialog() override;
    void OnCommand(int nID) override;
    void OnCancel() override;
    void OnDestroy() override;

    /// Handled at once, on the thread that starts the compile.
    void SendMessage(unsigned nMsg) override;
    /// Handled later on the window's own thread; from any thread.
    void PostMessage(unsigned nMsg) override;

    /// The compile's output function: appends strText to the open window's text box. Called on
    /// the worker; the text reaches the box through the window's queue.
    static void OutputCompileText(const std::string& strText);

    void OnViewResult();
    /// Serves the site through the host's server (started once, on a free port) and opens its
    /// address in the desktop's browser; tells the user when either cannot be done.
    void OnViewInBrowser();
    /// True from the start message to the end message.
    bool IsCompiling() const { return m_bCompiling; }

    CWebHelpHelper* m_pHelper;

protected:
    void OnCompileMessage(unsigned nMsg);

    bool m_bCompiling = false;
    std::string m_strPreviewUrl; ///< the address the site is served at; empty until served
};

/// The progress window that is open; the output function writes to it.
extern CDlgCompileProgress* g_pCompileProgressDlg;
