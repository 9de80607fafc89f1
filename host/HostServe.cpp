#include "HostCommands.h"
#include "HostOptions.h"
#include "HostServer.h"

#include "CQZHelper.h"

#include <charconv>
#include <csignal>
#include <cstdio>
#include <pthread.h>

namespace
{
struct SServeOptions
{
    std::string strSite;
    int nPort = 8080;
    bool bOpen = false;
};

bool ParseServeOptions(const std::vector<std::string>& vecArgs, SServeOptions& opt, std::string& strError)
{
    CArgWalker walker(vecArgs);
    std::string strWord;
    bool bOperand = false;
    while (walker.Next(strWord, bOperand))
    {
        if (bOperand)
        {
            if (!opt.strSite.empty())
            {
                strError = "serve takes one site folder";
                return false;
            }
            opt.strSite = strWord;
        }
        else if (strWord == "--port" || strWord == "-p")
        {
            std::string strValue;
            if (!walker.Value(strValue, strError))
                return false;
            const char* pEnd = strValue.data() + strValue.size();
            auto res = std::from_chars(strValue.data(), pEnd, opt.nPort);
            if (strValue.empty() || res.ec != std::errc() || res.ptr != pEnd || opt.nPort < 0 ||
                opt.nPort > 65535)
            {
                strError = "bad port '" + strValue + "' (a number 0-65535; 0 picks a free one)";
                return false;
            }
        }
        else if (strWord == "--open" && !walker.HasJoinedValue())
        {
            opt.bOpen = true;
        }
        else
        {
            strError = "unknown option '" + walker.Word() + "' of serve (try webhelp --help)";
            return false;
        }
    }
    if (opt.strSite.empty())
    {
        strError = "serve needs a site folder (webhelp serve SITE [--port N] [--open])";
        return false;
    }
    return true;
}
} // namespace

int RunServe(const std::vector<std::string>& vecArgs)
{
    SServeOptions opt;
    std::string strError;
    if (!ParseServeOptions(vecArgs, opt, strError))
        return UsageError(strError);

    // Blocked before the server's threads start, so that they inherit the mask and only the wait
    // below takes Ctrl-C and SIGTERM.
    sigset_t setStop;
    sigemptyset(&setStop);
    sigaddset(&setStop, SIGINT);
    sigaddset(&setStop, SIGTERM);
    sigaddset(&setStop, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &setStop, nullptr);

    CHostServer server;
    if (!server.Serve_Start(opt.strSite, opt.nPort, strError))
    {
        pthread_sigmask(SIG_UNBLOCK, &setStop, nullptr);
        return UsageError(strError);
    }
    const std::string strUrl = server.Serve_GetUrl();
    std::printf("Serving %s at %s (Ctrl-C to stop)\n", opt.strSite.c_str(), strUrl.c_str());
    std::fflush(stdout);
    if (opt.bOpen && !CQZHelper::OpenDirectoryInWindowsExplorer(strUrl))
        std::fprintf(stderr, "webhelp: could not start the desktop's browser (xdg-open) for %s\n",
                     strUrl.c_str());

    int nSignal = 0;
    sigwait(&setStop, &nSignal);
    server.Serve_Stop();
    return kExitOk;
}
