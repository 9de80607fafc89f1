// The wizard's real windows under a display (Xvfb in the test run): a driver on a timer acts as
// the user through the windows' own controls while the module's modal loops run.

#include "CDlgCompileProgress.h"
#include "CPath.h"
#include "CStrHelper.h"
#include "CWebHelpHelper.h"
#include "HostCommands.h"
#include "TestUtil.h"

#include <gtest/gtest.h>

#include <wx/app.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/dialog.h>
#include <wx/image.h>
#include <wx/init.h>
#include <wx/msgdlg.h>
#include <wx/odcombo.h>
#include <wx/textctrl.h>
#include <wx/timer.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <functional>
#include <thread>

namespace
{
enum : int
{
    kCHMFile = 25000,
    kOutputDir = 25002,
    kCharset = 25008,
    kTemplate = 25010,
    kTitle = 25041,
    kChkIndex = 25016,
    kChkHome = 25020,
    kTipHome = 25027,
    kTxtContents = 25022,
    kHomePage = 25021,
    kOutput = 25043,
    kViewResult = 25045,
    kClose = 25047,
};

std::vector<std::string> g_vecLog;

void HostLog(const std::string& strLine)
{
    g_vecLog.push_back(strLine);
}

/// A control with number nID in a shown top-level window; null when none is on screen.
template <class T = wxWindow> T* Find(int nID)
{
    for (wxWindow* pTop : wxTopLevelWindows)
    {
        if (!pTop->IsShown())
            continue;
        wxWindow* pCtrl = pTop->FindWindow(nID);
        if (pCtrl != nullptr && pCtrl->IsShownOnScreen())
            return dynamic_cast<T*>(pCtrl);
    }
    return nullptr;
}

wxDialog* DialogOf(int nID)
{
    wxWindow* pCtrl = Find(nID);
    return pCtrl != nullptr ? dynamic_cast<wxDialog*>(wxGetTopLevelParent(pCtrl)) : nullptr;
}

void Click(int nID)
{
    wxWindow* pCtrl = Find(nID);
    ASSERT_NE(pCtrl, nullptr) << nID;
    ASSERT_TRUE(pCtrl->IsEnabled()) << nID;
    if (auto* pCheck = dynamic_cast<wxCheckBox*>(pCtrl))
    {
        pCheck->SetValue(!pCheck->GetValue());
        wxCommandEvent event(wxEVT_CHECKBOX, nID);
        event.SetEventObject(pCheck);
        event.SetInt(pCheck->GetValue());
        pCheck->GetEventHandler()->ProcessEvent(event);
        return;
    }
    wxCommandEvent event(wxEVT_BUTTON, nID);
    event.SetEventObject(pCtrl);
    pCtrl->GetEventHandler()->ProcessEvent(event);
}

void Type(int nID, const std::string& strText)
{
    auto* pText = Find<wxTextCtrl>(nID);
    ASSERT_NE(pText, nullptr) << nID;
    pText->SetValue(wxString::FromUTF8(strText));
}

std::string Text(int nID)
{
    auto* pText = Find<wxTextCtrl>(nID);
    return pText != nullptr ? std::string(pText->GetValue().utf8_str()) : std::string();
}

bool Enabled(int nID)
{
    wxWindow* pCtrl = Find(nID);
    return pCtrl != nullptr && pCtrl->IsEnabled();
}

/// The message box that is up; null when none is.
wxGenericMessageDialog* MessageBoxUp()
{
    for (wxWindow* pTop : wxTopLevelWindows)
    {
        auto* pDlg = dynamic_cast<wxGenericMessageDialog*>(pTop);
        if (pDlg != nullptr && pDlg->IsModal())
            return pDlg;
    }
    return nullptr;
}

void PressEscape(wxDialog* pDlg)
{
    wxKeyEvent event(wxEVT_CHAR_HOOK);
    event.m_keyCode = WXK_ESCAPE;
    event.SetEventObject(pDlg);
    pDlg->GetEventHandler()->ProcessEvent(event);
}

/// The whole screen as a PNG under the build folder; the path, or empty. Read straight from the
/// X server: the toolkit's screen device gives a stale picture under a virtual display.
std::string Screenshot(const std::string& strName)
{
    const std::string strDir = std::string(WEBHELP_BUILD_DIR) + "/wizard-screenshots";
    CPath::CreateDir(strDir);
    Display* pDisplay = XOpenDisplay(nullptr);
    if (pDisplay == nullptr)
        return std::string();
    const Window root = DefaultRootWindow(pDisplay);
    XWindowAttributes attrs;
    XGetWindowAttributes(pDisplay, root, &attrs);
    XImage* pImage = XGetImage(pDisplay, root, 0, 0, attrs.width, attrs.height, AllPlanes, ZPixmap);
    std::string strPath;
    if (pImage != nullptr)
    {
        wxImage img(attrs.width, attrs.height);
        for (int y = 0; y < attrs.height; ++y)
        {
            for (int x = 0; x < attrs.width; ++x)
            {
                const unsigned long nPixel = XGetPixel(pImage, x, y);
                img.SetRGB(x, y, (nPixel >> 16) & 0xFF, (nPixel >> 8) & 0xFF, nPixel & 0xFF);
            }
        }
        XDestroyImage(pImage);
        strPath = strDir + "/" + strName + ".png";
        if (!img.SaveFile(strPath, wxBITMAP_TYPE_PNG))
            strPath.clear();
    }
    XCloseDisplay(pDisplay);
    return strPath;
}

/// Steps of a user, each waiting for its window; run by a timer inside the module's modal loops.
class CUser
{
public:
    struct SStep
    {
        std::string strWhat;
        std::function<bool()> fnReady;
        std::function<void()> fnDo;
    };

    void Then(std::string strWhat, std::function<bool()> fnReady, std::function<void()> fnDo)
    {
        m_vecSteps.push_back({std::move(strWhat), std::move(fnReady), std::move(fnDo)});
    }
    void Start()
    {
        m_timer.Bind(wxEVT_TIMER, [this](wxTimerEvent&) { Tick(); });
        m_tStep = std::chrono::steady_clock::now();
        m_timer.Start(50);
    }
    ~CUser()
    {
        m_timer.Stop();
        EXPECT_EQ(m_nDone, m_vecSteps.size()) << "stopped before: " << Next();
    }
    std::string Next() const
    {
        return m_nDone < m_vecSteps.size() ? m_vecSteps[m_nDone].strWhat : "(all done)";
    }

private:
    void Tick()
    {
        if (m_bBusy || m_nDone >= m_vecSteps.size())
            return;
        m_bBusy = true;
        SStep& step = m_vecSteps[m_nDone];
        const auto tNow = std::chrono::steady_clock::now();
        if (step.fnReady())
        {
            // Let the toolkit draw the window before acting on it.
            if (++m_nReadyTicks >= 6)
            {
                m_nReadyTicks = 0;
                ++m_nDone;
                m_tStep = tNow;
                // An action may open a modal window whose loop must go on ticking: it runs after
                // the timer's callback, which the toolkit does not re-enter.
                m_handler.CallAfter(step.fnDo);
            }
        }
        else if (tNow - m_tStep > std::chrono::seconds(30))
        {
            ADD_FAILURE() << "timed out waiting for: " << step.strWhat;
            Screenshot("timeout");
            m_nDone = m_vecSteps.size() + 1;
            // Leave no modal loop running, so the test ends instead of hanging.
            for (wxWindow* pTop : wxTopLevelWindows)
            {
                auto* pDlg = dynamic_cast<wxDialog*>(pTop);
                if (pDlg != nullptr && pDlg->IsModal())
                    pDlg->EndModal(wxID_CANCEL);
            }
        }
        m_bBusy = false;
    }

    wxTimer m_timer;
    wxEvtHandler m_handler;
    std::vector<SStep> m_vecSteps;
    size_t m_nDone = 0;
    int m_nReadyTicks = 0;
    bool m_bBusy = false;
    std::chrono::steady_clock::time_point m_tStep;
};

// The module starts the toolkit and keeps it for the process; a host that wants a clean exit
// ends it last, as this one does.
class CToolkitEnd : public ::testing::Environment
{
public:
    void TearDown() override
    {
        if (wxTheApp != nullptr)
            wxEntryCleanup();
    }
};
const auto* g_pToolkitEnd = ::testing::AddGlobalTestEnvironment(new CToolkitEnd);

class CWizardWindowsTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        InitHost();
        std::string strWhy;
        ASSERT_TRUE(CWebHelpHelper::CanShowWizard(strWhy)) << strWhy;
        wxInitAllImageHandlers();
    }

    CWizardWindowsTest()
    {
        m_saved = g_WebHelpSettings;
        g_WebHelpSettings = tagWebHelpSettings();
        g_vecLog.clear();
        CWebHelpHelper::SetHostLog(HostLog);
        m_helper.m_strAppRunPath = std::string(WEBHELP_BUILD_DIR) + "/";
    }
    ~CWizardWindowsTest() override
    {
        CWebHelpHelper::SetHostLog(nullptr);
        g_WebHelpSettings = m_saved;
    }

    CTempDir m_dir;
    CWebHelpHelper m_helper;
    tagWebHelpSettings m_saved;
};
} // namespace

TEST_F(CWizardWindowsTest, BothPagesToFinishConvertTheFixture)
{
    const std::string strCHM = ChmFixture("wizard", "sample");
    ASSERT_TRUE(FileExists(strCHM));
    const std::string strSite = m_dir / "site";
    std::string strProgress;
    CUser user;
    user.Then(
        "the files page", [] { return Find(kCHMFile) != nullptr; },
        [&]
        {
            EXPECT_EQ(Find<wxOwnerDrawnComboBox>(kCharset)->GetCount(), 44u);
            EXPECT_EQ(Find<wxOwnerDrawnComboBox>(kTemplate)->GetSelection(), 1);
            EXPECT_FALSE(Enabled(ID_WIZBACK));
            EXPECT_FALSE(Enabled(ID_WIZFINISH));
            Type(kCHMFile, strCHM);
            Type(kOutputDir, strSite);
            Type(kTitle, "Wizard sample \xE3\x83\x98\xE3\x83\xAB\xE3\x83\x97");
            Find<wxOwnerDrawnComboBox>(kCharset)->SetSelection(31);
            Find<wxOwnerDrawnComboBox>(kTemplate)->SetSelection(2);
            Find(kCHMFile)->Refresh();
        });
    user.Then(
        "the files page filled in", [] { return true; },
        [&]
        {
            EXPECT_FALSE(Screenshot("1-files-page").empty());
            Click(ID_WIZNEXT);
        });
    user.Then(
        "the buttons page", [] { return Find(kChkIndex) != nullptr; },
        [&]
        {
            EXPECT_TRUE(Enabled(ID_WIZBACK));
            EXPECT_TRUE(Enabled(ID_WIZFINISH));
            EXPECT_FALSE(Enabled(ID_WIZNEXT));
            EXPECT_EQ(Find(kCHMFile), nullptr);
            Click(kChkHome);
            EXPECT_FALSE(Enabled(kTipHome));
            EXPECT_FALSE(Enabled(kHomePage));
        });
    user.Then(
        "the buttons page redrawn", [] { return true; },
        [&]
        {
            EXPECT_FALSE(Screenshot("2-buttons-page").empty());
            Click(ID_WIZFINISH);
        });
    user.Then(
        "the end of the compile",
        [] { return Find(kOutput) != nullptr && Enabled(kClose) && Enabled(kViewResult); },
        [&]
        {
            strProgress = Text(kOutput);
            wxWindow* pFocus = wxWindow::FindFocus();
            EXPECT_TRUE(pFocus != nullptr && pFocus->GetId() == kViewResult);
            EXPECT_FALSE(Screenshot("3-progress").empty());
            Click(kClose);
        });
    user.Start();
    m_helper.CHM2WebHelpWizard();

    const std::string& strStart = CStrHelper::ML_GetStringEx(673);
    const std::string& strEnd = CStrHelper::ML_GetStringEx(674);
    EXPECT_EQ(strProgress.rfind(strStart, 0), 0u) << strProgress;
    EXPECT_EQ(strProgress.substr(strProgress.size() - strEnd.size()), strEnd) << strProgress;
    EXPECT_EQ(g_vecLog.size(), 2u);
    EXPECT_EQ(g_WebHelpSettings.nCharset, 31);
    EXPECT_EQ(g_WebHelpSettings.nTemplate, 2);
    EXPECT_EQ(g_WebHelpSettings.bShowHome, 0);
    EXPECT_EQ(strProgress.find(CStrHelper::ML_GetStringEx(676)), std::string::npos) << strProgress;
    // The site is there, made with the choices of both pages.
    const std::string strIndex = ReadFileBytes(strSite + "/index.html");
    EXPECT_NE(strIndex.find("charset=utf-8"), std::string::npos);
    EXPECT_NE(strIndex.find("Wizard sample \xE3\x83\x98\xE3\x83\xAB\xE3\x83\x97"), std::string::npos);
    for (const char* pszFile :
         {"whfiles/contentsdata.js", "whfiles/indexdata.js", "whfiles/searchdata.js", "whheaderc.html",
          "whnavi.html", "source/intro.htm", "source/steps/second.htm"})
    {
        EXPECT_TRUE(FileExists(strSite + "/" + pszFile)) << pszFile;
    }
    EXPECT_EQ(ReadFileBytes(strSite + "/whheaderc.html").find("wh_home.gif"), std::string::npos);
}

TEST_F(CWizardWindowsTest, CancelOnEitherPageEndsQuietly)
{
    struct SCase
    {
        const char* pszHow;
        bool bSecondPage;
        std::function<void()> fnCancel;
    };
    const SCase aCases[] = {
        {"Cancel button on the first page", false, [] { Click(IDCANCEL); }},
        {"Escape on the first page", false, [] { PressEscape(DialogOf(kCHMFile)); }},
        {"close box on the second page", true, [] { DialogOf(kChkIndex)->Close(); }},
        {"Escape on the second page", true, [] { PressEscape(DialogOf(kChkIndex)); }},
    };
    ASSERT_TRUE(WriteFileBytes(m_dir / "guide.chm", "x"));
    for (const SCase& c : aCases)
    {
        SCOPED_TRACE(c.pszHow);
        CUser user;
        user.Then(
            "the files page", [] { return Find(kCHMFile) != nullptr; },
            [&]
            {
                if (!c.bSecondPage)
                    return c.fnCancel();
                Type(kCHMFile, m_dir / "guide.chm");
                Type(kOutputDir, m_dir / "site");
                Click(ID_WIZNEXT);
            });
        if (c.bSecondPage)
            user.Then(
                "the buttons page", [] { return Find(kChkIndex) != nullptr; }, c.fnCancel);
        user.Start();
        CWebHelpHelper helper;
        helper.CHM2WebHelpWizard();
        EXPECT_TRUE(g_vecLog.empty());
        EXPECT_FALSE(helper.m_pCompileThread);
        EXPECT_FALSE(FileExists(m_dir / "site"));
    }
}

TEST_F(CWizardWindowsTest, NotACompiledFileShowsTheFailureAndTheButtonsComeBack)
{
    ASSERT_TRUE(WriteFileBytes(m_dir / "notes.chm", "These are notes, not a compiled help file.\n"));
    std::string strProgress;
    CUser user;
    user.Then(
        "the files page", [] { return Find(kCHMFile) != nullptr; },
        [&]
        {
            Type(kCHMFile, m_dir / "notes");
            Type(kOutputDir, m_dir / "site");
            Click(ID_WIZNEXT);
        });
    user.Then(
        "the buttons page", [] { return Find(kChkIndex) != nullptr; }, [] { Click(ID_WIZFINISH); });
    user.Then(
        "the end of the failed compile", [] { return Find(kOutput) != nullptr && Enabled(kClose); },
        [&]
        {
            strProgress = Text(kOutput);
            EXPECT_TRUE(Enabled(kViewResult));
            EXPECT_FALSE(Screenshot("4-progress-not-a-chm").empty());
            Click(kClose);
        });
    user.Start();
    m_helper.CHM2WebHelpWizard();
    EXPECT_NE(strProgress.find(CStrHelper::ML_GetStringEx(676)), std::string::npos) << strProgress;
    EXPECT_EQ(g_vecLog.size(), 2u);
}

TEST_F(CWizardWindowsTest, ProgressWindowStaysWhileRunningAndTakesTextsFromAnotherThread)
{
    // Driven by hand: this thread plays Compile, a second thread the worker.
    CDlgCompileProgress dlg(nullptr, nullptr);
    std::thread worker;
    bool bStayed = false;
    CUser user;
    user.Then(
        "the progress window", [] { return Find(kOutput) != nullptr; },
        [&]
        {
            dlg.SendMessage(WM_WEBHELP_COMPILE_START);
            EXPECT_FALSE(Enabled(kClose));
            wxDialog* pDlg = DialogOf(kOutput);
            PressEscape(pDlg);
            pDlg->Close();
            bStayed = Find(kOutput) != nullptr && pDlg->IsModal();
            worker = std::thread(
                [&dlg]
                {
                    for (int i = 0; i < 50; ++i)
                    {
                        CDlgCompileProgress::OutputCompileText("line " + std::to_string(i));
                        CDlgCompileProgress::OutputCompileText("\r\n");
                    }
                    dlg.PostMessage(WM_WEBHELP_COMPILE_END);
                });
        });
    user.Then(
        "the end message", [] { return Enabled(kClose); },
        [&]
        {
            std::string strExpected;
            for (int i = 0; i < 50; ++i)
                strExpected += "line " + std::to_string(i) + "\n";
            EXPECT_EQ(Text(kOutput), strExpected);
            EXPECT_TRUE(Enabled(kViewResult));
            wxWindow* pFocus = wxWindow::FindFocus();
            EXPECT_TRUE(pFocus != nullptr && pFocus->GetId() == kViewResult);
            Click(kClose);
        });
    user.Start();
    EXPECT_EQ(dlg.DoModal(), IDOK);
    worker.join();
    EXPECT_TRUE(bStayed);
}

TEST_F(CWizardWindowsTest, InvalidEntriesAndMissingHelpAreReportedInMessageBoxes)
{
    std::vector<std::string> vecMessages;
    auto Answer = [&]
    {
        vecMessages.push_back(std::string(MessageBoxUp()->GetMessage().utf8_str()));
        MessageBoxUp()->EndModal(wxID_OK);
    };
    CUser user;
    user.Then(
        "the files page", [] { return Find(kCHMFile) != nullptr; },
        [&]
        {
            Type(kCHMFile, m_dir / "missing");
            Type(kOutputDir, m_dir / "site");
            Click(ID_WIZNEXT);
        });
    user.Then(
        "the message that the file is missing", [] { return MessageBoxUp() != nullptr; },
        [&]
        {
            EXPECT_FALSE(Screenshot("5-message-missing-file").empty());
            Answer();
        });
    user.Then(
        "the files page again", [] { return MessageBoxUp() == nullptr && Find(kCHMFile) != nullptr; },
        [&] { Click(25048); });
    user.Then(
        "the message that there is no help", [] { return MessageBoxUp() != nullptr; }, Answer);
    user.Then(
        "the files page once more", [] { return MessageBoxUp() == nullptr && Find(kCHMFile) != nullptr; },
        [&] { Click(IDCANCEL); });
    user.Start();
    m_helper.CHM2WebHelpWizard();
    ASSERT_EQ(vecMessages.size(), 2u);
    EXPECT_EQ(vecMessages[0], m_dir / "missing.chm" + CStrHelper::ML_GetStringEx(668));
    EXPECT_NE(vecMessages[1].find("help"), std::string::npos) << vecMessages[1];
    EXPECT_TRUE(g_vecLog.empty());
}

TEST_F(CWizardWindowsTest, TypedFileOrElseTheDesktopLanguageGivesCharsetTitleAndCaptions)
{
    struct SCase
    {
        const char* pszWhat;
        const char* pszLang;
        std::string strCHM; ///< typed into the first page; empty for none
        const char* pszCharset;
        const char* pszTitle;
        const char* pszContents;
        const char* pszHome;
    };
    const SCase aCases[] = {
        {"German desktop, no file", "de_DE.UTF-8", "", "windows-1252", "Online-Hilfe", "Inhalt",
         "Startseite"},
        {"English file on a German desktop", "de_DE.UTF-8", ChmFixture("pipeline", "full"), "windows-1252",
         "Pipeline full", "Contents", "Home"},
        {"Chinese file", "C", ChmFixture("pipeline", "chinese"), "gb2312", "Pipeline 中文", "目录", "主页"},
    };
    ASSERT_TRUE(WriteFileBytes(m_dir / "notes.chm", "not a compiled help file"));
    for (const SCase& c : aCases)
    {
        SCOPED_TRACE(c.pszWhat);
        g_WebHelpSettings = tagWebHelpSettings();
        CScopedLocaleEnv env(nullptr, nullptr, c.pszLang);
        std::string strCharset, strTitle, strContents, strHome;
        CUser user;
        user.Then(
            "the files page", [] { return Find(kCHMFile) != nullptr; },
            [&]
            {
                // Without a file of its own the page must still be left: a file that says nothing.
                Type(kCHMFile, c.strCHM.empty() ? m_dir / "notes.chm" : c.strCHM);
                strCharset =
                    CWebHelpHelper::m_strCharset[Find<wxOwnerDrawnComboBox>(kCharset)->GetSelection()][0];
                strTitle = Text(kTitle);
                Type(kOutputDir, m_dir / "site");
                Click(ID_WIZNEXT);
            });
        user.Then(
            "the buttons page", [] { return Find(kChkIndex) != nullptr; },
            [&]
            {
                strContents = Text(kTxtContents);
                strHome = Text(kTipHome);
                Click(IDCANCEL);
            });
        user.Start();
        m_helper.CHM2WebHelpWizard();
        EXPECT_EQ(strCharset, c.pszCharset);
        EXPECT_EQ(strTitle, c.pszTitle);
        EXPECT_EQ(strContents, c.pszContents);
        EXPECT_EQ(strHome, c.pszHome);
    }
}
