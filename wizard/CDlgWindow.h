#pragma once

#include <functional>
#include <memory>
#include <string>

class CDlgBase;
struct SDlgTemplate;

/// A rectangle in pixels.
struct SDlgRect
{
    int x = 0, y = 0, cx = 0, cy = 0;
};

/// One window of a toolkit, made from a dialog template, as the dialog logic sees it. Controls
/// are found by number; a number the window lacks is ignored (getters answer empty, false or -1).
/// Every call is made on the user-interface thread, except Post. Texts are UTF-8.
class CDlgWindow
{
public:
    virtual ~CDlgWindow() = default;

    /// Calls OnInitDialog of the dialog, shows the window and runs its modal loop until EndModal;
    /// returns EndModal's result. Only for a window made without a parent.
    virtual int RunModal() = 0;
    /// Ends the modal loop after the present handler returns.
    virtual void EndModal(int nResult) = 0;
    /// Runs fn on the user-interface thread later, in posting order; callable from any thread.
    /// Dropped if the window is destroyed first.
    virtual void Post(std::function<void()> fn) = 0;

    virtual void SetCaption(const std::string& strText) = 0;
    virtual std::string GetCaption() const = 0;
    virtual void Show(bool bShow) = 0;
    virtual bool IsShown() const = 0;
    virtual void Enable(bool bEnable) = 0;
    virtual bool IsEnabled() const = 0;
    /// Moves a child window to x, y in its parent's client area; size and z-order stay.
    virtual void Move(int x, int y) = 0;
    /// A child window's rectangle in its parent's client area.
    virtual SDlgRect GetRect() const = 0;
    /// Redraws the window at once.
    virtual void Redraw() = 0;

    virtual bool HasControl(int nID) const = 0;
    /// In this window's client area.
    virtual SDlgRect GetControlRect(int nID) const = 0;
    virtual void EnableControl(int nID, bool bEnable) = 0;
    virtual bool IsControlEnabled(int nID) const = 0;
    virtual void SetControlText(int nID, const std::string& strText) = 0;
    virtual std::string GetControlText(int nID) const = 0;
    /// Puts strText at the end of a text box and scrolls it into view.
    virtual void AppendControlText(int nID, const std::string& strText) = 0;
    virtual void SetCheck(int nID, bool bChecked) = 0;
    virtual bool GetCheck(int nID) const = 0;
    virtual void AddListItem(int nID, const std::string& strText) = 0;
    virtual int GetListCount(int nID) const = 0;
    /// -1 clears the selection; a row outside the list selects nothing.
    virtual void SetListSel(int nID, int nRow) = 0;
    /// -1 when nothing is selected.
    virtual int GetListSel(int nID) const = 0;
    virtual void FocusControl(int nID) = 0;
    /// Number of the control that has the keyboard focus; 0 when none of this window has it.
    virtual int GetFocusControl() const = 0;
    /// Shows the drawn banner's title and caption.
    virtual void SetBanner(const std::string& strTitle, const std::string& strCaption) = 0;

    /// A modal message box owned by this window: exclamation icon, OK button.
    virtual void MessageBox(const std::string& strText, const std::string& strCaption) = 0;
    /// The open-file dialog for existing files matching strPattern; empty when cancelled.
    virtual std::string ChooseOpenFile(const std::string& strFilterName, const std::string& strPattern) = 0;
    /// The folder browser, opened on strInitial when it is set; empty when cancelled.
    virtual std::string ChooseFolder(const std::string& strTitle, const std::string& strInitial) = 0;
    virtual void Beep() = 0;
};

/// Makes the windows of one toolkit. The wizard windows reach it through Get.
class CDlgToolkit
{
public:
    virtual ~CDlgToolkit() = default;

    /// A window for pDlg from tmpl: a top-level window when pParent is null, else a child window
    /// of pParent, created hidden and disabled. Commands of its controls go to pDlg, which must
    /// outlive the window. Null when the window cannot be made.
    virtual std::unique_ptr<CDlgWindow> CreateDlgWindow(CDlgBase* pDlg, const SDlgTemplate& tmpl,
                                                        CDlgWindow* pParent) = 0;
    /// A modal message box without an owner: exclamation icon, OK button.
    virtual void ShowMessage(const std::string& strText, const std::string& strCaption) = 0;

    /// The toolkit in use; null before Start or Set.
    static CDlgToolkit* Get();
    /// Puts pToolkit in use (null for none); it must outlive its use.
    static void Set(CDlgToolkit* pToolkit);
    /// The toolkit in use, starting the built-in one when there is none. Null with a reason
    /// when there is no display or the module was built without windows.
    static CDlgToolkit* Start(std::string& strWhy);
};
