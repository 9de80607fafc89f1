#include "BuiltInToolkit.h"
#include "CDlgBase.h"
#include "CDlgTemplate.h"
#include "CDlgWindow.h"
#include "WxPictures.h"

#include <wx/app.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/dialog.h>
#include <wx/dirdlg.h>
#include <wx/filedlg.h>
#include <wx/init.h>
#include <wx/msgdlg.h>
#include <wx/odcombo.h>
#include <wx/panel.h>
#include <wx/statbmp.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/utils.h>

#include <cstdlib>
#include <map>

namespace
{
// Height of a closed drop-down list in dialog units, as a one-line box.
const int kClosedListHeight = 14;

wxString FromUTF8(const std::string& str)
{
    return wxString::FromUTF8(str.data(), str.size());
}

std::string ToUTF8(const wxString& str)
{
    const wxScopedCharBuffer buf = str.utf8_str();
    return std::string(buf.data(), buf.length());
}

/// A dialog of the toolkit shown for one CDlgBase: a top-level wxDialog, or a wxPanel child
/// for a wizard page.
class CWxDlgWindow : public CDlgWindow
{
public:
    CWxDlgWindow(CDlgBase* pDlg, const SDlgTemplate& tmpl, CWxDlgWindow* pParent);
    ~CWxDlgWindow() override;
    bool IsValid() const { return m_pWin != nullptr; }
    wxWindow* GetWxWindow() const { return m_pWin; }

    int RunModal() override;
    void EndModal(int nResult) override;
    void Post(std::function<void()> fn) override;

    void SetCaption(const std::string& strText) override;
    std::string GetCaption() const override;
    void Show(bool bShow) override;
    bool IsShown() const override;
    void Enable(bool bEnable) override;
    bool IsEnabled() const override;
    void Move(int x, int y) override;
    SDlgRect GetRect() const override;
    void Redraw() override;

    bool HasControl(int nID) const override { return Control(nID) != nullptr; }
    SDlgRect GetControlRect(int nID) const override;
    void EnableControl(int nID, bool bEnable) override;
    bool IsControlEnabled(int nID) const override;
    void SetControlText(int nID, const std::string& strText) override;
    std::string GetControlText(int nID) const override;
    void AppendControlText(int nID, const std::string& strText) override;
    void SetCheck(int nID, bool bChecked) override;
    bool GetCheck(int nID) const override;
    void AddListItem(int nID, const std::string& strText) override;
    int GetListCount(int nID) const override;
    void SetListSel(int nID, int nRow) override;
    int GetListSel(int nID) const override;
    void FocusControl(int nID) override;
    int GetFocusControl() const override;
    void SetBanner(const std::string& strTitle, const std::string& strCaption) override;

    void MessageBox(const std::string& strText, const std::string& strCaption) override;
    std::string ChooseOpenFile(const std::string& strFilterName, const std::string& strPattern) override;
    std::string ChooseFolder(const std::string& strTitle, const std::string& strInitial) override;
    void Beep() override { wxBell(); }

private:
    wxWindow* Control(int nID) const;
    void CreateControls(const SDlgTemplate& tmpl);
    void BindEvents();

    CDlgBase* m_pDlg;
    wxDialog* m_pDialog = nullptr;
    wxWindow* m_pWin = nullptr;
    CWxBanner* m_pBanner = nullptr;
    std::map<int, wxWindow*> m_mapControls;
    bool m_bEnded = false;
    int m_nResult = IDCANCEL;
};

CWxDlgWindow::CWxDlgWindow(CDlgBase* pDlg, const SDlgTemplate& tmpl, CWxDlgWindow* pParent) : m_pDlg(pDlg)
{
    const wxFont font(wxFontInfo(8).FaceName("Verdana").Family(wxFONTFAMILY_SWISS));
    if (pParent == nullptr)
    {
        // The progress window has a caption but no close box: it closes through its buttons.
        const long nStyle = tmpl.nDialogID == 25004 ? wxCAPTION : wxDEFAULT_DIALOG_STYLE;
        m_pDialog = new wxDialog(nullptr, wxID_ANY, FromUTF8(tmpl.pszCaption), wxDefaultPosition,
                                 wxDefaultSize, nStyle);
        m_pWin = m_pDialog;
    }
    else
    {
        if (pParent->GetWxWindow() == nullptr)
            return;
        auto* pPanel = new wxPanel();
        pPanel->Hide();
        pPanel->Create(pParent->GetWxWindow(), wxID_ANY, wxDefaultPosition, wxDefaultSize, wxTAB_TRAVERSAL);
        pPanel->Disable();
        m_pWin = pPanel;
    }
    m_pWin->SetFont(font);
    CreateControls(tmpl);
    BindEvents();
}

CWxDlgWindow::~CWxDlgWindow()
{
    if (m_pWin == nullptr)
        return;
    wxWindow* pWin = m_pWin;
    m_pWin = nullptr;
    if (m_pDialog != nullptr)
        delete pWin;
    else
        pWin->Destroy();
}

void CWxDlgWindow::CreateControls(const SDlgTemplate& tmpl)
{
    const int nTop =
        tmpl.nBannerHeight > 0 ? m_pWin->ConvertDialogToPixels(wxSize(0, tmpl.nBannerHeight)).y : 0;
    const wxSize clientSize = m_pWin->ConvertDialogToPixels(wxSize(tmpl.cx, tmpl.cy));
    m_pWin->SetClientSize(clientSize.x, clientSize.y + nTop);
    if (nTop > 0)
        m_pBanner = new CWxBanner(m_pWin, wxPoint(0, 0), wxSize(clientSize.x, nTop));

    for (size_t i = 0; i < tmpl.nItems; ++i)
    {
        const SDlgItem& item = tmpl.pItems[i];
        wxPoint pos = m_pWin->ConvertDialogToPixels(wxPoint(item.x, item.y));
        pos.y += nTop;
        const wxSize size = m_pWin->ConvertDialogToPixels(wxSize(item.cx, item.cy));
        const wxWindowID nID = item.nID != 0 ? item.nID : wxID_ANY;
        const wxString strText = FromUTF8(item.pszText);
        wxWindow* pCtrl = nullptr;
        switch (item.eKind)
        {
        case EDlgItemKind::EtchedFrame:
            pCtrl = new wxPanel(m_pWin, nID, pos, size, wxBORDER_THEME);
            break;
        case EDlgItemKind::Button:
        case EDlgItemKind::DefaultButton:
        {
            auto* pButton = new wxButton(m_pWin, nID, strText, pos, size);
            if (item.eKind == EDlgItemKind::DefaultButton)
                pButton->SetDefault();
            pCtrl = pButton;
            break;
        }
        case EDlgItemKind::Edit:
            pCtrl = new wxTextCtrl(m_pWin, nID, wxEmptyString, pos, size, wxBORDER_THEME);
            break;
        case EDlgItemKind::OutputEdit:
            pCtrl = new wxTextCtrl(m_pWin, nID, wxEmptyString, pos, size,
                                   wxTE_MULTILINE | wxTE_READONLY | wxVSCROLL | wxBORDER_THEME);
            break;
        case EDlgItemKind::Label:
            pCtrl = new wxStaticText(m_pWin, nID, strText, pos, size);
            break;
        case EDlgItemKind::DropList:
        {
            // The template gives the height of the open list. The closed box is drawn by the
            // toolkit's generic combo box, which keeps the one-line height of the other boxes
            // where the native one would grow over the label below it.
            const int nHeight = m_pWin->ConvertDialogToPixels(wxSize(0, kClosedListHeight)).y;
            pCtrl = new wxOwnerDrawnComboBox(m_pWin, nID, wxEmptyString, pos, wxSize(size.x, nHeight),
                                             wxArrayString(), wxCB_READONLY);
            break;
        }
        case EDlgItemKind::CheckBox:
            pCtrl = new wxCheckBox(m_pWin, nID, strText, pos, size);
            break;
        case EDlgItemKind::GroupBox:
            pCtrl = new wxStaticBox(m_pWin, nID, strText, pos, size);
            break;
        case EDlgItemKind::Picture:
            pCtrl = new wxStaticBitmap(m_pWin, nID, MakeSidePicture(size), pos, size);
            break;
        }
        if (pCtrl != nullptr && item.nID != 0)
            m_mapControls[item.nID] = pCtrl;
    }
}

void CWxDlgWindow::BindEvents()
{
    auto OnCommand = [this](wxCommandEvent& event) { m_pDlg->OnCommand(event.GetId()); };
    m_pWin->Bind(wxEVT_BUTTON, OnCommand);
    m_pWin->Bind(wxEVT_CHECKBOX, OnCommand);
    // SetControlText uses ChangeValue, which sends no event: only the user's edits arrive here.
    m_pWin->Bind(wxEVT_TEXT, [this](wxCommandEvent& event) { m_pDlg->OnEditChange(event.GetId()); });
    m_pWin->Bind(wxEVT_DESTROY,
                 [this](wxWindowDestroyEvent& event)
                 {
                     if (event.GetEventObject() == m_pWin)
                     {
                         m_pWin = nullptr;
                         m_pDialog = nullptr;
                     }
                     event.Skip();
                 });
    if (m_pDialog == nullptr)
        return;
    wxIcon icon;
    icon.CopyFromBitmap(MakeModuleIcon(32));
    m_pDialog->SetIcon(icon);
    m_pDialog->Bind(wxEVT_CHAR_HOOK,
                    [this](wxKeyEvent& event)
                    {
                        if (event.GetKeyCode() == WXK_ESCAPE)
                            m_pDlg->OnCommand(IDCANCEL);
                        else
                            event.Skip();
                    });
    // The close box asks the dialog as Escape does; a dialog that stays open vetoes the close.
    m_pDialog->Bind(wxEVT_CLOSE_WINDOW,
                    [this](wxCloseEvent& event)
                    {
                        m_pDlg->OnCommand(IDCANCEL);
                        if (!m_bEnded && event.CanVeto())
                            event.Veto();
                    });
}

int CWxDlgWindow::RunModal()
{
    if (m_pDialog == nullptr)
        return -1;
    m_bEnded = false;
    m_pDlg->OnInitDialog();
    if (m_bEnded)
        return m_nResult;
    m_pDialog->CentreOnScreen();
    return m_pDialog->ShowModal();
}

void CWxDlgWindow::EndModal(int nResult)
{
    m_bEnded = true;
    m_nResult = nResult;
    if (m_pDialog != nullptr && m_pDialog->IsModal())
        m_pDialog->EndModal(nResult);
}

void CWxDlgWindow::Post(std::function<void()> fn)
{
    if (m_pWin != nullptr)
        m_pWin->CallAfter(std::move(fn));
}

void CWxDlgWindow::SetCaption(const std::string& strText)
{
    if (m_pWin != nullptr)
        m_pWin->SetLabel(FromUTF8(strText));
}

std::string CWxDlgWindow::GetCaption() const
{
    return m_pWin != nullptr ? ToUTF8(m_pWin->GetLabel()) : std::string();
}

void CWxDlgWindow::Show(bool bShow)
{
    if (m_pWin != nullptr)
        m_pWin->Show(bShow);
}

bool CWxDlgWindow::IsShown() const
{
    return m_pWin != nullptr && m_pWin->IsShown();
}

void CWxDlgWindow::Enable(bool bEnable)
{
    if (m_pWin != nullptr)
        m_pWin->Enable(bEnable);
}

bool CWxDlgWindow::IsEnabled() const
{
    return m_pWin != nullptr && m_pWin->IsThisEnabled();
}

void CWxDlgWindow::Move(int x, int y)
{
    if (m_pWin != nullptr)
        m_pWin->Move(x, y);
}

SDlgRect CWxDlgWindow::GetRect() const
{
    if (m_pWin == nullptr)
        return SDlgRect();
    const wxRect rc = m_pWin->GetRect();
    return SDlgRect{rc.x, rc.y, rc.width, rc.height};
}

void CWxDlgWindow::Redraw()
{
    if (m_pWin != nullptr)
    {
        m_pWin->Refresh();
        m_pWin->Update();
    }
}

wxWindow* CWxDlgWindow::Control(int nID) const
{
    if (m_pWin == nullptr)
        return nullptr;
    auto it = m_mapControls.find(nID);
    return it == m_mapControls.end() ? nullptr : it->second;
}

SDlgRect CWxDlgWindow::GetControlRect(int nID) const
{
    wxWindow* pCtrl = Control(nID);
    if (pCtrl == nullptr)
        return SDlgRect();
    const wxRect rc = pCtrl->GetRect();
    return SDlgRect{rc.x, rc.y, rc.width, rc.height};
}

void CWxDlgWindow::EnableControl(int nID, bool bEnable)
{
    if (wxWindow* pCtrl = Control(nID))
        pCtrl->Enable(bEnable);
}

bool CWxDlgWindow::IsControlEnabled(int nID) const
{
    wxWindow* pCtrl = Control(nID);
    return pCtrl != nullptr && pCtrl->IsThisEnabled();
}

void CWxDlgWindow::SetControlText(int nID, const std::string& strText)
{
    wxWindow* pCtrl = Control(nID);
    if (auto* pText = dynamic_cast<wxTextCtrl*>(pCtrl))
        pText->ChangeValue(FromUTF8(strText));
    else if (pCtrl != nullptr)
        pCtrl->SetLabel(FromUTF8(strText));
}

std::string CWxDlgWindow::GetControlText(int nID) const
{
    wxWindow* pCtrl = Control(nID);
    if (auto* pText = dynamic_cast<wxTextCtrl*>(pCtrl))
        return ToUTF8(pText->GetValue());
    return pCtrl != nullptr ? ToUTF8(pCtrl->GetLabel()) : std::string();
}

void CWxDlgWindow::AppendControlText(int nID, const std::string& strText)
{
    auto* pText = dynamic_cast<wxTextCtrl*>(Control(nID));
    if (pText == nullptr)
        return;
    wxString str = FromUTF8(strText);
    str.Replace("\r\n", "\n");
    pText->SetInsertionPointEnd();
    pText->WriteText(str);
    pText->ShowPosition(pText->GetLastPosition());
}

void CWxDlgWindow::SetCheck(int nID, bool bChecked)
{
    if (auto* pCheck = dynamic_cast<wxCheckBox*>(Control(nID)))
        pCheck->SetValue(bChecked);
}

bool CWxDlgWindow::GetCheck(int nID) const
{
    auto* pCheck = dynamic_cast<wxCheckBox*>(Control(nID));
    return pCheck != nullptr && pCheck->GetValue();
}

void CWxDlgWindow::AddListItem(int nID, const std::string& strText)
{
    if (auto* pChoice = dynamic_cast<wxOwnerDrawnComboBox*>(Control(nID)))
        pChoice->Append(FromUTF8(strText));
}

int CWxDlgWindow::GetListCount(int nID) const
{
    auto* pChoice = dynamic_cast<wxOwnerDrawnComboBox*>(Control(nID));
    return pChoice != nullptr ? static_cast<int>(pChoice->GetCount()) : -1;
}

void CWxDlgWindow::SetListSel(int nID, int nRow)
{
    auto* pChoice = dynamic_cast<wxOwnerDrawnComboBox*>(Control(nID));
    if (pChoice == nullptr)
        return;
    const bool bInList = nRow >= 0 && nRow < static_cast<int>(pChoice->GetCount());
    pChoice->SetSelection(bInList ? nRow : wxNOT_FOUND);
}

int CWxDlgWindow::GetListSel(int nID) const
{
    auto* pChoice = dynamic_cast<wxOwnerDrawnComboBox*>(Control(nID));
    return pChoice != nullptr ? pChoice->GetSelection() : -1;
}

void CWxDlgWindow::FocusControl(int nID)
{
    if (wxWindow* pCtrl = Control(nID))
        pCtrl->SetFocus();
}

int CWxDlgWindow::GetFocusControl() const
{
    const wxWindow* pFocus = wxWindow::FindFocus();
    for (const auto& entry : m_mapControls)
    {
        if (entry.second == pFocus)
            return entry.first;
    }
    return 0;
}

void CWxDlgWindow::SetBanner(const std::string& strTitle, const std::string& strCaption)
{
    if (m_pBanner != nullptr && m_pWin != nullptr)
        m_pBanner->SetTexts(FromUTF8(strTitle), FromUTF8(strCaption));
}

void CWxDlgWindow::MessageBox(const std::string& strText, const std::string& strCaption)
{
    // The toolkit's own message dialog, so that it looks and behaves as the wizard's windows do.
    wxGenericMessageDialog dlg(m_pWin != nullptr ? wxGetTopLevelParent(m_pWin) : nullptr, FromUTF8(strText),
                               FromUTF8(strCaption), wxOK | wxICON_EXCLAMATION);
    dlg.ShowModal();
}

std::string CWxDlgWindow::ChooseOpenFile(const std::string& strFilterName, const std::string& strPattern)
{
    // The file systems here tell case apart: the pattern is offered in both cases.
    wxString strPatterns = FromUTF8(strPattern);
    strPatterns += ";" + FromUTF8(strPattern).Upper();
    wxFileDialog dlg(m_pWin != nullptr ? wxGetTopLevelParent(m_pWin) : nullptr, wxFileSelectorPromptStr,
                     wxEmptyString, wxEmptyString, FromUTF8(strFilterName) + "|" + strPatterns,
                     wxFD_OPEN | wxFD_FILE_MUST_EXIST);
    if (dlg.ShowModal() != wxID_OK)
        return std::string();
    return ToUTF8(dlg.GetPath());
}

std::string CWxDlgWindow::ChooseFolder(const std::string& strTitle, const std::string& strInitial)
{
    wxDirDialog dlg(m_pWin != nullptr ? wxGetTopLevelParent(m_pWin) : nullptr, FromUTF8(strTitle),
                    FromUTF8(strInitial), wxDD_DEFAULT_STYLE);
    if (dlg.ShowModal() != wxID_OK)
        return std::string();
    return ToUTF8(dlg.GetPath());
}

class CWxToolkit : public CDlgToolkit
{
public:
    std::unique_ptr<CDlgWindow> CreateDlgWindow(CDlgBase* pDlg, const SDlgTemplate& tmpl,
                                                CDlgWindow* pParent) override
    {
        auto pWnd = std::make_unique<CWxDlgWindow>(pDlg, tmpl, static_cast<CWxDlgWindow*>(pParent));
        if (!pWnd->IsValid())
            return nullptr;
        return pWnd;
    }

    void ShowMessage(const std::string& strText, const std::string& strCaption) override
    {
        wxGenericMessageDialog dlg(nullptr, FromUTF8(strText), FromUTF8(strCaption),
                                   wxOK | wxICON_EXCLAMATION);
        dlg.ShowModal();
    }
};
} // namespace

extern "C" __attribute__((visibility("default"))) CDlgToolkit*
WebHelp_StartWindowsToolkit(std::string& strWhy)
{
    static CWxToolkit s_toolkit;
    static bool s_bStarted = false;
    if (s_bStarted)
        return &s_toolkit;
    if (wxTheApp == nullptr)
    {
        const char* pszDisplay = std::getenv("DISPLAY");
        const char* pszWayland = std::getenv("WAYLAND_DISPLAY");
        if ((pszDisplay == nullptr || *pszDisplay == '\0') && (pszWayland == nullptr || *pszWayland == '\0'))
        {
            strWhy = "the wizard needs a display (no DISPLAY or WAYLAND_DISPLAY)";
            return nullptr;
        }
        // The host is a console program: the toolkit is started here and kept for the process.
        wxApp::SetInstance(new wxApp());
        static char szName[] = "webhelp";
        static char* aArgv[] = {szName, nullptr};
        int nArgc = 1;
        if (!wxEntryStart(nArgc, aArgv) || wxTheApp == nullptr || !wxTheApp->CallOnInit())
        {
            strWhy = std::string("the wizard cannot open the display ") +
                     (pszDisplay != nullptr ? pszDisplay : pszWayland);
            return nullptr;
        }
    }
    s_bStarted = true;
    return &s_toolkit;
}
