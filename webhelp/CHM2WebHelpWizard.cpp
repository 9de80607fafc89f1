#include "CWebHelpHelper.h"

#include "CDlgCompileProgress.h"
#include "CDlgTemplate.h"
#include "CDlgWarnLongFilename.h"
#include "CDlgWebHelpButtonsPage.h"
#include "CDlgWebHelpFilesPage.h"
#include "CDlgWizard.h"
#include "CQZHelper.h"
#include "CRunEnv.h"
#include "CStrHelper.h"
#include "WebHelpDefaults.h"
#include "WebHelpLanguage.h"

namespace
{
PFNHOSTLOG g_pfnHostLog = nullptr;

void SendHostLog(const std::string& strLine)
{
    if (g_pfnHostLog != nullptr)
        g_pfnHostLog(strLine);
}
} // namespace

void CWebHelpHelper::SetHostLog(PFNHOSTLOG pfnLog)
{
    g_pfnHostLog = pfnLog;
}

bool CWebHelpHelper::CanShowWizard(std::string& strWhy)
{
    return CDlgToolkit::Start(strWhy) != nullptr;
}

void CWebHelpHelper::CHM2WebHelpWizard()
{
    std::string strWhy;
    if (CDlgToolkit::Start(strWhy) == nullptr)
        return;

    if (g_WebHelpSettings.strCHMFile.empty())
    {
        InitWebHelpSettings();
        // Until a file names its language, the user's own is the likeliest one.
        WebHelp_SetLanguage(g_WebHelpSettings, WebHelpDesktopLCID());
    }

    CDlgWebHelpWizard dlgWizard(nullptr);
    CDlgWebHelpFilesPage pageFiles(&g_WebHelpSettings, nullptr);
    pageFiles.SetHelper(this);
    CDlgWebHelpButtonsPage pageButtons(&g_WebHelpSettings, nullptr);
    dlgWizard.AddPage(&pageFiles, 25000);
    dlgWizard.AddPage(&pageButtons, 25003);
    if (dlgWizard.DoModal() != ID_WIZFINISH)
        return;

    const std::string strConversion = CStrHelper::ML_GetStringEx(618);
    std::string strNow;
    CQZHelper::GetDateTimeString3(strNow);
    SendHostLog("\r\n>>>>>> " + strNow + " " + strConversion + " " + CStrHelper::ML_GetStringEx(619));

    CRunEnv::Instance().SetFoundLongFilename(0);
    CDlgCompileProgress dlgProgress(this, nullptr);
    dlgProgress.DoModal();

    SendHostLog("\r\n<<<<<< " + strConversion + " " + CStrHelper::ML_GetStringEx(620));

    if (CRunEnv::Instance().GetFoundLongFilename())
        CDlgWarnLongFilename().DoModal();
}
