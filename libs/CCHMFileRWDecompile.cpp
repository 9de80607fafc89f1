#include "CCHMFileRWImpl.h"

#include "CHMFormat.h"
#include "CHMSinks.h"
#include "CHMUnpackQueue.h"
#include "CRunEnv.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <filesystem>
#include <string_view>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>
#include <unordered_set>
#include <vector>

namespace
{
constexpr size_t kMaxPathChars = 260;

/// Characters, not bytes: names are UTF-8.
size_t CharCount(const std::string& str)
{
    size_t n = 0;
    for (char c : str)
    {
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80)
            ++n;
    }
    return n;
}
} // namespace

void CCHMFileRW::CImpl::NoteWriteFailure(const std::string& strPath)
{
    if (strWriteFailure.empty())
    {
        nWriteErrno = errno;
        strWriteFailure = strPath;
    }
}

int CCHMFileRW::CHM2Web_Decompile(const std::string& strDir)
{
    CImpl& d = *m_pImpl;
    d.strWriteFailure.clear();
    d.nWriteErrno = 0;
    if (!d.archive.IsOpen() || strDir.empty())
        return 0;
    std::error_code ec;
    std::string strBase = std::filesystem::absolute(strDir, ec).string();
    if (ec)
        strBase = strDir;
    while (strBase.size() > 1 && strBase.back() == '/')
        strBase.pop_back();
    std::filesystem::create_directories(strBase, ec);

    struct SJob
    {
        size_t nIndex;
        std::string strRelative;
    };
    bool bAll = true;
    std::vector<SJob> vecJobs;
    const std::vector<SCHMEntry>& vecEntries = d.archive.Entries();
    for (size_t i = 0; i < vecEntries.size(); ++i)
    {
        if (!d.IsUserEntry(vecEntries[i]))
            continue;
        std::string strRelative;
        if (!CHM_SafeRelativePath(vecEntries[i].strName, strRelative) ||
            CHM_IsInternalName("/" + strRelative))
        {
            bAll = false;
            continue;
        }
        vecJobs.push_back({i, std::move(strRelative)});
    }
    // Content order lets the decompressor run forwards through the compressed section once.
    std::stable_sort(vecJobs.begin(), vecJobs.end(),
                     [&](const SJob& a, const SJob& b)
                     {
                         const SCHMEntry& ea = vecEntries[a.nIndex];
                         const SCHMEntry& eb = vecEntries[b.nIndex];
                         return ea.nSection != eb.nSection ? ea.nSection < eb.nSection
                                                           : ea.nOffset < eb.nOffset;
                     });

    std::unordered_set<std::string> setFolders;
    int fd = -1;
    size_t nOpenJob = SIZE_MAX;
    // Called in job order with each job's bytes, in pieces, then once with bEnd.
    auto Store = [&](size_t nJob, std::string_view svBytes, bool bEnd, bool bRead)
    {
        const SJob& job = vecJobs[nJob];
        if (nOpenJob != nJob)
        {
            nOpenJob = nJob;
            const std::string strFull = strBase + "/" + job.strRelative;
            for (size_t nSlash = strFull.find('/', strBase.size() + 1); nSlash != std::string::npos;
                 nSlash = strFull.find('/', nSlash + 1))
            {
                std::string strFolder = strFull.substr(0, nSlash);
                if (setFolders.count(strFolder) == 0)
                {
                    ::mkdir(strFolder.c_str(), 0755);
                    setFolders.insert(std::move(strFolder));
                }
            }
            fd = ::open(strFull.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
            if (fd < 0)
            {
                bAll = false;
                d.NoteWriteFailure(strFull);
            }
            else if (CharCount(strFull) > kMaxPathChars)
                CRunEnv::Instance().SetFoundLongFilename(1);
        }
        if (fd >= 0 && !svBytes.empty())
        {
            CFileSink sink(fd);
            if (!sink.Write(reinterpret_cast<const unsigned char*>(svBytes.data()), svBytes.size()))
            {
                bAll = false;
                d.NoteWriteFailure(strBase + "/" + job.strRelative);
                // The rest of this file is lost anyway; later pieces must not be written at its offset.
                ::close(fd);
                fd = -1;
            }
        }
        if (bEnd)
        {
            if (!bRead)
                bAll = false;
            if (fd >= 0 && ::close(fd) != 0)
            {
                bAll = false;
                d.NoteWriteFailure(strBase + "/" + job.strRelative);
            }
            fd = -1;
        }
    };
    if (!UnpackOverlapped(
            d.archive, vecJobs.size(), [&](size_t nJob) { return vecJobs[nJob].nIndex; }, Store))
    {
        for (size_t nJob = 0; nJob < vecJobs.size(); ++nJob)
        {
            CForwardSink sink([&](std::string_view svBytes) { Store(nJob, svBytes, false, true); });
            const bool bRead = d.archive.Extract(vecJobs[nJob].nIndex, sink);
            Store(nJob, std::string_view(), true, bRead);
        }
    }
    return bAll ? 1 : 0;
}
