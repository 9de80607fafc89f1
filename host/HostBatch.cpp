#include "HostBatch.h"

#include "CPath.h"
#include "CText.h"
#include "WebHelpDefaults.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <system_error>
#include <thread>
#include <unistd.h>

std::string Batch_SafeFolderName(const std::string& strTitle)
{
    std::string strName;
    const auto* p = reinterpret_cast<const unsigned char*>(strTitle.data());
    const auto* pEnd = p + strTitle.size();
    while (p < pEnd)
    {
        const unsigned char c = *p;
        if (c >= 0x80)
        {
            char32_t ch = 0;
            const size_t nLen = DecodeUTF8(p, pEnd, ch);
            if (nLen > 0)
            {
                strName.append(reinterpret_cast<const char*>(p), nLen);
                p += nLen;
                continue;
            }
        }
        const bool bKept = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                           c == '-' || c == '_' || (c == '.' && !strName.empty());
        strName += bKept ? static_cast<char>(c) : '_';
        ++p;
    }
    return strName.empty() ? std::string("help") : strName;
}

std::vector<std::string> Batch_OutputDirs(const std::vector<std::string>& vecInputs,
                                          const std::optional<std::string>& strOutputDir)
{
    std::vector<std::string> vecDirs;
    std::vector<std::string> vecKeys;
    for (const std::string& strInput : vecInputs)
    {
        std::string strDir;
        if (strOutputDir && vecInputs.size() == 1)
            strDir = *strOutputDir;
        else if (strOutputDir)
            strDir = *strOutputDir + "/" + Batch_SafeFolderName(CPath(strInput).GetFileTitle());
        else
            strDir = WebHelp_DefaultOutputDir(strInput);
        while (strDir.size() > 1 && strDir.back() == '/')
            strDir.pop_back();

        // Compared as absolute paths, so that "a/x" and "./a/x" are seen to be one folder.
        std::error_code ec;
        const std::string strBase = std::filesystem::absolute(strDir, ec).lexically_normal().string();
        std::string strCandidate = strDir;
        std::string strKey = LowerASCII(strBase);
        for (int nSuffix = 2; std::find(vecKeys.begin(), vecKeys.end(), strKey) != vecKeys.end(); ++nSuffix)
        {
            strCandidate = strDir + "-" + std::to_string(nSuffix);
            strKey = LowerASCII(strBase + "-" + std::to_string(nSuffix));
        }
        vecKeys.push_back(std::move(strKey));
        vecDirs.push_back(std::move(strCandidate));
    }
    return vecDirs;
}

int Batch_DefaultJobs()
{
    // A conversion keeps its second thread busy only in part (the harvest beside the sitemaps, the
    // decompression beside the writes; the pages are written on one): one conversion per processor
    // lost nothing against one at a time in measurements, so the processors are the default.
    const long nProcessors = sysconf(_SC_NPROCESSORS_ONLN);
    return nProcessors > 0 ? static_cast<int>(nProcessors) : 1;
}

void Batch_Run(size_t nCount, int nJobs, const std::function<void(size_t)>& job,
               const std::function<void(bool bDone)>& wait)
{
    std::mutex mutex;
    std::condition_variable cvDone;
    std::atomic<size_t> nNext{0};
    size_t nRunning = 0;
    auto Work = [&]
    {
        for (size_t i = nNext++; i < nCount; i = nNext++)
            job(i);
        const std::lock_guard<std::mutex> lock(mutex);
        --nRunning;
        cvDone.notify_all();
    };

    std::vector<std::thread> vecThreads;
    const size_t nThreads = std::min(nCount, static_cast<size_t>(std::max(nJobs, 1)));
    for (size_t i = 0; i < nThreads; ++i)
    {
        {
            const std::lock_guard<std::mutex> lock(mutex);
            ++nRunning;
        }
        try
        {
            vecThreads.emplace_back(Work);
        }
        catch (const std::system_error&)
        {
            const std::lock_guard<std::mutex> lock(mutex);
            --nRunning;
            break;
        }
    }
    if (vecThreads.empty())
    {
        // No thread to wait beside: the jobs run here, and the display waits with them.
        for (size_t i = nNext++; i < nCount; i = nNext++)
            job(i);
    }
    else
    {
        std::unique_lock<std::mutex> lock(mutex);
        while (nRunning > 0)
        {
            if (cvDone.wait_for(lock, std::chrono::milliseconds(200), [&] { return nRunning == 0; }))
                break;
            lock.unlock();
            wait(false);
            lock.lock();
        }
    }
    for (std::thread& thread : vecThreads)
        thread.join();
    wait(true);
}
