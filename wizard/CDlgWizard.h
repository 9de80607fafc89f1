#pragma once

#include "CDlgBase.h"

#include <vector>

class CDlgWizard;

/// Base of the wizard's pages: a child dialog that the frame creates on first show and keeps
/// (hidden) until the frame closes. The On... operations are the contract with the frame.
class CDlgWizardPage : public CDlgBase
{
public:
    CDlgWizardPage(int nDialogID, CDlgBase* pParent);

    /// Right after the page's window was made; false stops the page change.
    virtual bool OnCreatePage() { return true; }
    /// Before the page's window is destroyed when the frame closes.
    virtual void OnDestroyPage() {}
    /// Before the page is hidden or destroyed, and on Finish; false keeps the page.
    virtual bool OnKillActive() { return true; }
    /// After the page was shown.
    virtual void OnSetActive() {}
    /// On Cancel, for every created page; false stops the cancel.
    virtual bool OnQueryCancel() { return true; }
    /// On Back: -1 stays, 0 goes to the previous page, another value to the page of that number.
    virtual int OnWizardBack() { return 0; }
    /// On Next: -1 stays, 0 goes to the next page, another value to the page of that number.
    virtual int OnWizardNext() { return 0; }
    /// On Finish, for every created page; false stops the finish.
    virtual bool OnWizardFinish() { return true; }

    // Escape and Enter inside a page must not end the page on its own; the frame decides.
    void OnOK() override {}
    void OnCancel() override {}

    CDlgWizard* m_pWizard = nullptr;
    bool m_bCreated = false;
    bool m_bActive = false;
    int m_nDialogID;
};

/// A wizard frame: shows one page at a time over a placeholder control and drives Back, Next,
/// Finish and Cancel. It does not own its pages.
class CDlgWizard : public CDlgBase
{
public:
    CDlgWizard(int nDialogID, CDlgBase* pParent);

    /// Appends pPage (which must outlive the frame's window) and gives it its dialog number.
    void AddPage(CDlgWizardPage* pPage, int nDialogID);
    void SetPlaceholderID(int nID) { m_nPlaceholderID = nID; }

    bool OnInitDialog() override;
    void OnCommand(int nID) override;
    void OnCancel() override;
    void OnDestroy() override;

    void OnWizardBack();
    void OnWizardNext();
    void OnWizardFinish();

    /// The page shown; null before the first is.
    CDlgWizardPage* GetActivePage() const;

    std::vector<CDlgWizardPage*> m_listPages;
    int m_nPlaceholderID = 0;

protected:
    /// Creates pPage when needed, hides the active page and shows pPage over the placeholder.
    /// False, with the wizard unchanged, when pPage cannot be made or a page refuses.
    bool ActivatePage(CDlgWizardPage* pPage);
    /// False when the active page refuses to be left.
    bool DeactivatePage();
    /// The page that a Back or Next answer nAnswer leads to from the active page; null for none.
    CDlgWizardPage* PageOfAnswer(int nAnswer, int nStep) const;
    void EnableButton(int nID, bool bEnable);
};

/// The converter's wizard frame (dialog 25002) with the host's texts and a Help button.
class CDlgWebHelpWizard : public CDlgWizard
{
public:
    explicit CDlgWebHelpWizard(CDlgBase* pParent);

    bool OnInitDialog() override;
    void OnCommand(int nID) override;
    /// Opens the host's help topic; says so in a message box when the help is missing.
    void OnHelp();
};
