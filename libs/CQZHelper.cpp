#include "CQZHelper.h"

#include <ctime>
#include <mutex>
#include <spawn.h>
#include <sys/wait.h>
#include <system_error>
#include <thread>

extern char** environ;

namespace
{
std::mutex g_openerMutex;
std::vector<std::string> g_vecOpener;
} // namespace

void CQZHelper::GetDateTimeString3(std::string& strOut)
{
    const std::time_t now = std::time(nullptr);
    std::tm tmNow{};
    localtime_r(&now, &tmNow);
    char szBuf[32];
    std::strftime(szBuf, sizeof(szBuf), "%Y-%m-%d %H:%M:%S", &tmNow);
    strOut = szBuf;
}

bool CQZHelper::OpenDirectoryInWindowsExplorer(const std::string& strPath)
{
    std::vector<std::string> vecArgs;
    {
        std::lock_guard<std::mutex> lock(g_openerMutex);
        vecArgs = g_vecOpener.empty() ? std::vector<std::string>{"xdg-open"} : g_vecOpener;
    }
    vecArgs.push_back(strPath);
    std::vector<char*> vecArgv;
    for (std::string& str : vecArgs)
        vecArgv.push_back(str.data());
    vecArgv.push_back(nullptr);

    pid_t pid = 0;
    if (posix_spawnp(&pid, vecArgv[0], nullptr, nullptr, vecArgv.data(), environ) != 0)
        return false;
    // The opener may stay for as long as the browser does: reap it without making anyone wait.
    try
    {
        std::thread([pid] { waitpid(pid, nullptr, 0); }).detach();
    }
    catch (const std::system_error&)
    {
    }
    return true;
}

void CQZHelper::SetOpener(std::vector<std::string> vecCommand)
{
    std::lock_guard<std::mutex> lock(g_openerMutex);
    g_vecOpener = std::move(vecCommand);
}
