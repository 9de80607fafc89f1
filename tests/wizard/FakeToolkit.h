#pragma once

// A toolkit without a display for the dialog logic's tests: windows are records of their
// controls, modal loops run a script the test gives, posted work waits in a queue until pumped.

#include "CDlgBase.h"
#include "CDlgTemplate.h"
#include "CDlgWindow.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

class CFakeToolkit;

struct SFakeControl
{
    EDlgItemKind eKind = EDlgItemKind::Label;
    std::string strText;
    bool bEnabled = true;
    bool bChecked = false;
    std::vector<std::string> vecItems;
    int nSel = -1;
    SDlgRect rc;
};

class CFakeWindow : public CDlgWindow
{
public:
    CFakeWindow(CFakeToolkit& kit, CDlgBase* pDlg, const SDlgTemplate& tmpl, CFakeWindow* pParent);
    ~CFakeWindow() override;

    int RunModal() override;
    void EndModal(int nResult) override
    {
        m_bEnded = true;
        m_nResult = nResult;
    }
    void Post(std::function<void()> fn) override;

    void SetCaption(const std::string& strText) override { m_strCaption = strText; }
    std::string GetCaption() const override { return m_strCaption; }
    void Show(bool bShow) override { m_bShown = bShow; }
    bool IsShown() const override { return m_bShown; }
    void Enable(bool bEnable) override { m_bEnabled = bEnable; }
    bool IsEnabled() const override { return m_bEnabled; }
    void Move(int x, int y) override
    {
        m_rc.x = x;
        m_rc.y = y;
    }
    SDlgRect GetRect() const override { return m_rc; }
    void Redraw() override { ++m_nRedraws; }

    bool HasControl(int nID) const override { return m_mapControls.count(nID) != 0; }
    SDlgRect GetControlRect(int nID) const override { return HasControl(nID) ? Ctl(nID).rc : SDlgRect(); }
    void EnableControl(int nID, bool bEnable) override
    {
        if (HasControl(nID))
            m_mapControls[nID].bEnabled = bEnable;
    }
    bool IsControlEnabled(int nID) const override { return HasControl(nID) && Ctl(nID).bEnabled; }
    void SetControlText(int nID, const std::string& strText) override
    {
        if (HasControl(nID))
            m_mapControls[nID].strText = strText;
    }
    std::string GetControlText(int nID) const override { return HasControl(nID) ? Ctl(nID).strText : ""; }
    void AppendControlText(int nID, const std::string& strText) override
    {
        if (HasControl(nID))
            m_mapControls[nID].strText += strText;
    }
    void SetCheck(int nID, bool bChecked) override
    {
        if (HasControl(nID))
            m_mapControls[nID].bChecked = bChecked;
    }
    bool GetCheck(int nID) const override { return HasControl(nID) && Ctl(nID).bChecked; }
    void AddListItem(int nID, const std::string& strText) override
    {
        if (HasControl(nID))
            m_mapControls[nID].vecItems.push_back(strText);
    }
    int GetListCount(int nID) const override { return HasControl(nID) ? int(Ctl(nID).vecItems.size()) : -1; }
    void SetListSel(int nID, int nRow) override
    {
        if (HasControl(nID))
            m_mapControls[nID].nSel = (nRow >= 0 && nRow < GetListCount(nID)) ? nRow : -1;
    }
    int GetListSel(int nID) const override { return HasControl(nID) ? Ctl(nID).nSel : -1; }
    void FocusControl(int nID) override { m_nFocus = HasControl(nID) ? nID : m_nFocus; }
    int GetFocusControl() const override { return m_nFocus; }
    void SetBanner(const std::string& strTitle, const std::string& strCaption) override
    {
        m_strBannerTitle = strTitle;
        m_strBannerCaption = strCaption;
    }

    void MessageBox(const std::string& strText, const std::string& strCaption) override;
    std::string ChooseOpenFile(const std::string& strFilterName, const std::string& strPattern) override;
    std::string ChooseFolder(const std::string& strTitle, const std::string& strInitial) override;
    void Beep() override;

    /// A user's click: nothing when the control is disabled; a check box toggles first.
    void Click(int nID)
    {
        if (!IsControlEnabled(nID))
            return;
        if (Ctl(nID).eKind == EDlgItemKind::CheckBox)
            m_mapControls[nID].bChecked = !m_mapControls[nID].bChecked;
        m_pDlg->OnCommand(nID);
    }
    /// Escape, or the window's close box.
    void Escape() { m_pDlg->OnCommand(IDCANCEL); }
    void Type(int nID, const std::string& strText)
    {
        SetControlText(nID, strText);
        m_pDlg->OnEditChange(nID);
    }
    const SFakeControl& Ctl(int nID) const { return m_mapControls.at(nID); }
    CDlgBase* Dlg() const { return m_pDlg; }

    CFakeToolkit& m_kit;
    CDlgBase* m_pDlg;
    int m_nTemplateID;
    CFakeWindow* m_pParent;
    std::map<int, SFakeControl> m_mapControls;
    std::string m_strCaption;
    std::string m_strBannerTitle, m_strBannerCaption;
    bool m_bShown;
    bool m_bEnabled;
    SDlgRect m_rc;
    int m_nRedraws = 0;
    int m_nFocus = 0;
    bool m_bEnded = false;
    int m_nResult = 0;
};

class CFakeToolkit : public CDlgToolkit
{
public:
    CFakeToolkit() { CDlgToolkit::Set(this); }
    ~CFakeToolkit() override { CDlgToolkit::Set(nullptr); }

    std::unique_ptr<CDlgWindow> CreateDlgWindow(CDlgBase* pDlg, const SDlgTemplate& tmpl,
                                                CDlgWindow* pParent) override
    {
        m_vecCreated.push_back(tmpl.nDialogID);
        return std::make_unique<CFakeWindow>(*this, pDlg, tmpl, static_cast<CFakeWindow*>(pParent));
    }
    void ShowMessage(const std::string& strText, const std::string& strCaption) override
    {
        m_vecMessages.push_back(strCaption + ": " + strText);
    }

    /// What the user does while dialog nTemplateID is modal; without a script it is left open.
    std::map<int, std::function<void(CFakeWindow&)>> m_mapScripts;
    /// Every message box as "caption: text".
    std::vector<std::string> m_vecMessages;
    /// Answers of the file and folder dialogs, taken in turn; empty answers cancel.
    std::deque<std::string> m_deqFileAnswers;
    std::deque<std::string> m_deqFolderAnswers;
    std::vector<std::string> m_vecFolderInitials;
    std::vector<int> m_vecCreated;
    std::vector<CFakeWindow*> m_vecLive;
    int m_nBeeps = 0;

    /// Runs posted work on this thread until pDone holds; false after five seconds.
    bool PumpUntil(const std::function<bool()>& fnDone)
    {
        const auto tEnd = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        for (;;)
        {
            Pump();
            if (fnDone())
                return true;
            std::unique_lock<std::mutex> lock(m_mutex);
            if (m_cv.wait_until(lock, tEnd, [this] { return !m_deqPosted.empty(); }) == false)
                return fnDone();
        }
    }
    void Pump()
    {
        for (;;)
        {
            std::pair<CFakeWindow*, std::function<void()>> item;
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                if (m_deqPosted.empty())
                    return;
                item = std::move(m_deqPosted.front());
                m_deqPosted.pop_front();
            }
            item.second();
        }
    }
    void Post(CFakeWindow* pWnd, std::function<void()> fn)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_deqPosted.emplace_back(pWnd, std::move(fn));
        m_cv.notify_all();
    }
    size_t Pending()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_deqPosted.size();
    }
    void Drop(CFakeWindow* pWnd)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        std::erase_if(m_deqPosted, [pWnd](const auto& item) { return item.first == pWnd; });
    }
    CFakeWindow* Live(int nTemplateID) const
    {
        for (CFakeWindow* p : m_vecLive)
        {
            if (p->m_nTemplateID == nTemplateID)
                return p;
        }
        return nullptr;
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_cv;
    std::deque<std::pair<CFakeWindow*, std::function<void()>>> m_deqPosted;
};

inline CFakeWindow::CFakeWindow(CFakeToolkit& kit, CDlgBase* pDlg, const SDlgTemplate& tmpl,
                                CFakeWindow* pParent)
    : m_kit(kit), m_pDlg(pDlg), m_nTemplateID(tmpl.nDialogID), m_pParent(pParent),
      m_strCaption(tmpl.pszCaption), m_bShown(pParent == nullptr), m_bEnabled(pParent == nullptr)
{
    // One pixel per dialog unit is enough to tell positions apart.
    m_rc = SDlgRect{0, 0, tmpl.cx, tmpl.cy};
    for (size_t i = 0; i < tmpl.nItems; ++i)
    {
        const SDlgItem& item = tmpl.pItems[i];
        if (item.nID == 0)
            continue;
        SFakeControl& ctl = m_mapControls[item.nID];
        ctl.eKind = item.eKind;
        ctl.strText = item.pszText;
        ctl.rc = SDlgRect{item.x, item.y, item.cx, item.cy};
    }
    kit.m_vecLive.push_back(this);
}

inline CFakeWindow::~CFakeWindow()
{
    m_kit.Drop(this);
    std::erase(m_kit.m_vecLive, this);
}

inline int CFakeWindow::RunModal()
{
    m_pDlg->OnInitDialog();
    auto it = m_kit.m_mapScripts.find(m_nTemplateID);
    if (!m_bEnded && it != m_kit.m_mapScripts.end())
        it->second(*this);
    // A dialog its script left open would hang a real user: the test sees -2.
    return m_bEnded ? m_nResult : -2;
}

inline void CFakeWindow::Post(std::function<void()> fn)
{
    m_kit.Post(this, std::move(fn));
}

inline void CFakeWindow::MessageBox(const std::string& strText, const std::string& strCaption)
{
    m_kit.m_vecMessages.push_back(strCaption + ": " + strText);
}

inline std::string CFakeWindow::ChooseOpenFile(const std::string&, const std::string&)
{
    if (m_kit.m_deqFileAnswers.empty())
        return std::string();
    std::string str = m_kit.m_deqFileAnswers.front();
    m_kit.m_deqFileAnswers.pop_front();
    return str;
}

inline std::string CFakeWindow::ChooseFolder(const std::string&, const std::string& strInitial)
{
    m_kit.m_vecFolderInitials.push_back(strInitial);
    if (m_kit.m_deqFolderAnswers.empty())
        return std::string();
    std::string str = m_kit.m_deqFolderAnswers.front();
    m_kit.m_deqFolderAnswers.pop_front();
    return str;
}

inline void CFakeWindow::Beep()
{
    ++m_kit.m_nBeeps;
}
