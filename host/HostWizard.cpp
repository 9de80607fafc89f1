#include "HostCommands.h"
#include "HostServer.h"

#include "CCommon.h"
#include "CWebHelpHelper.h"

#include <cstdio>
#include <cstdlib>

namespace
{
// The wizard's log lines begin with "\r\n" for an output window; a terminal wants "\n".
void PrintLogLine(const std::string& strLine)
{
    std::string strOut;
    for (size_t i = 0; i < strLine.size(); ++i)
    {
        if (strLine[i] == '\r' && i + 1 < strLine.size() && strLine[i + 1] == '\n')
            continue;
        strOut += strLine[i];
    }
    if (!strOut.empty() && strOut.front() == '\n')
        strOut.erase(0, 1);
    std::printf("%s\n", strOut.c_str());
    std::fflush(stdout);
}

bool HasDisplay()
{
    const char* pszDisplay = std::getenv("DISPLAY");
    const char* pszWayland = std::getenv("WAYLAND_DISPLAY");
    return (pszDisplay != nullptr && *pszDisplay != '\0') || (pszWayland != nullptr && *pszWayland != '\0');
}
} // namespace

int RunWizard(const std::vector<std::string>& vecArgs)
{
    if (!vecArgs.empty())
        return UsageError("wizard takes no options (try webhelp --help)");
    if (!HasDisplay())
        return UsageError("the wizard needs a display (no DISPLAY or WAYLAND_DISPLAY); use webhelp convert");
    std::string strWhy;
    if (!CWebHelpHelper::CanShowWizard(strWhy))
        return UsageError(strWhy);

    CWebHelpHelper helper;
    // The wizard's Help button opens the user guide's page on the wizard, when the guide's site
    // was made beside the program.
    CCommon::Instance().SetHelpSite(helper.m_strAppRunPath + "guide-site/index.html",
                                    {{"webhelp1.htm", "source/using/wizard.htm"}});
    // The progress window's preview serves the new site on a free port for as long as the wizard
    // is open.
    CHostServer server;
    CCommon::Instance().SetPreviewServer(
        [&server](const std::string& strSite, std::string& strUrl, std::string& strError)
        {
            server.Serve_Stop();
            if (!server.Serve_Start(strSite, 0, strError))
                return false;
            strUrl = server.Serve_GetUrl();
            return true;
        });
    CWebHelpHelper::SetHostLog(PrintLogLine);
    helper.CHM2WebHelpWizard();
    CWebHelpHelper::SetHostLog(nullptr);
    CCommon::Instance().SetPreviewServer(nullptr);
    return kExitOk;
}
