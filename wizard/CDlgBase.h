#pragma once

#include "CDlgTemplate.h"
#include "CDlgWindow.h"

#include <memory>
#include <string>

/// A dialog's logic, apart from the toolkit that shows it: the toolkit's window calls the
/// handlers below, the logic works the window's controls by number.
class CDlgBase
{
public:
    CDlgBase(int nTemplateID, CDlgBase* pParent);
    virtual ~CDlgBase();
    CDlgBase(const CDlgBase&) = delete;
    CDlgBase& operator=(const CDlgBase&) = delete;

    /// Shows the dialog modally and destroys its window afterwards. -1 when it cannot be shown.
    int DoModal();
    /// Makes the window as a hidden, disabled child of pParent and runs OnInitDialog.
    /// False when there is no toolkit or template, or the window cannot be made.
    bool Create(int nTemplateID, CDlgBase* pParent);
    /// Runs OnDestroy and destroys the window; harmless without one.
    void DestroyWindow();
    /// Ends the modal loop with nResult.
    void EndDialog(int nResult);
    /// The window; null before Create or DoModal and after the window is destroyed.
    CDlgWindow* GetWnd() const { return m_pWnd.get(); }

    /// Dialog start-up, after the controls exist. True: the toolkit focuses the first control.
    virtual bool OnInitDialog() { return true; }
    /// A button, check box or the cancel request (Escape, the window's close box) with IDCANCEL.
    virtual void OnCommand(int nID);
    /// The user changed the text of box nID (typed, pasted, cut); SetControlText does not call it.
    virtual void OnEditChange(int /*nID*/) {}
    virtual void OnOK() { EndDialog(IDOK); }
    virtual void OnCancel() { EndDialog(IDCANCEL); }
    /// Before the window is destroyed.
    virtual void OnDestroy() {}

protected:
    /// Sets a control's text from string-table entry nTextID unless that entry is empty.
    void SetTextFromTable(int nControlID, int nTextID);

    int m_nTemplateID;
    CDlgBase* m_pParentDlg;

private:
    std::unique_ptr<CDlgWindow> m_pWnd;
};
