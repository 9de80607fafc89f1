#include "CCHMFileRWImpl.h"

#include "CHMFormat.h"
#include "CHMSinks.h"
#include "CHMUnpackQueue.h"
#include "COutputFolder.h"
#include "CRunEnv.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <string_view>
#include <system_error>
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

int CCHMFileRW::CHM2Web_Decompile(const std::string& strDir, COutputFolder* pFolder)
{
    return CHM2Web_Decompile(strDir, pFolder, FnUnpacked());
}

int CCHMFileRW::CHM2Web_Decompile(const std::string& strDir, COutputFolder* pFolder,
                                  const FnUnpacked& fnUnpacked, const FnWanted& fnWanted)
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

    // Entry numbers only: a large archive's names would be held twice while it unpacks.
    bool bAll = true;
    std::vector<size_t> vecJobs;
    const std::vector<SCHMEntry>& vecEntries = d.archive.Entries();
    std::string strRelative;
    for (size_t i = 0; i < vecEntries.size(); ++i)
    {
        if (!d.IsUserEntryAt(i))
            continue;
        if (!d.RelativePathOf(i, strRelative) || CHM_IsInternalName("/" + strRelative))
        {
            bAll = false;
            continue;
        }
        vecJobs.push_back(i);
    }
    // Content order lets the decompressor run forwards through the compressed section once.
    std::stable_sort(vecJobs.begin(), vecJobs.end(),
                     [&](size_t a, size_t b)
                     {
                         const SCHMEntry& ea = vecEntries[a];
                         const SCHMEntry& eb = vecEntries[b];
                         return ea.nSection != eb.nSection ? ea.nSection < eb.nSection
                                                           : ea.nOffset < eb.nOffset;
                     });

    // Files are opened by the path as given, which is what the folder's root is compared with;
    // failures name the whole path.
    COutputFolder ownFolder;
    std::string strOpenBase = strDir;
    while (strOpenBase.size() > 1 && strOpenBase.back() == '/')
        strOpenBase.pop_back();
    std::string strBelow;
    if (pFolder == nullptr || !pFolder->Relative(strOpenBase, strBelow))
    {
        if (!ownFolder.Open(strBase))
        {
            d.NoteWriteFailure(strBase);
            return 0;
        }
        pFolder = &ownFolder;
        strOpenBase = strBase;
    }
    COutputFile file;
    bool bOpen = false;
    if (d.pUnpackCount != nullptr)
        d.pUnpackCount->nTotal.fetch_add(static_cast<int>(vecJobs.size()), std::memory_order_relaxed);
    size_t nOpenJob = SIZE_MAX;
    std::string strFull;
    // Called in job order with each job's bytes, in pieces, then once with bEnd.
    auto Store = [&](size_t nJob, std::string_view svBytes, bool bEnd, bool bRead)
    {
        if (nOpenJob != nJob)
        {
            nOpenJob = nJob;
            d.RelativePathOf(vecJobs[nJob], strRelative);
            strFull = strBase + "/" + strRelative;
            bOpen = pFolder->OpenFile(strOpenBase + "/" + strRelative, file, 0644);
            if (!bOpen)
            {
                bAll = false;
                d.NoteWriteFailure(strFull);
            }
            else if (CharCount(strFull) > kMaxPathChars)
                CRunEnv::Instance().SetFoundLongFilename(1);
        }
        if (bOpen && !svBytes.empty() && !file.Write(svBytes))
        {
            bAll = false;
            d.NoteWriteFailure(strFull);
        }
        if (bEnd)
        {
            if (d.pUnpackCount != nullptr)
                d.pUnpackCount->nDone.fetch_add(1, std::memory_order_relaxed);
            if (!bRead)
                bAll = false;
            if (bOpen && !file.Commit())
            {
                bAll = false;
                d.NoteWriteFailure(strFull);
            }
            bOpen = false;
        }
    };
    auto Stopped = [&] { return d.pStopUnpack != nullptr && d.pStopUnpack->load(std::memory_order_relaxed); };
    if (fnUnpacked)
    {
        std::string strBytes;
        for (size_t nJob = 0; nJob < vecJobs.size() && !Stopped(); ++nJob)
        {
            const size_t nEntry = vecJobs[nJob];
            if (fnWanted && !fnWanted(nEntry))
            {
                // A large file nobody reads, a sitemap say, is never held whole.
                CForwardSink sink([&](std::string_view svBytes) { Store(nJob, svBytes, false, true); });
                const bool bRead = d.archive.Extract(nEntry, sink);
                Store(nJob, std::string_view(), true, bRead);
                continue;
            }
            const bool bExtracted = d.ExtractEntry(nEntry, strBytes);
            Store(nJob, strBytes, true, bExtracted);
            fnUnpacked(nEntry, strBytes, bExtracted && strBytes.size() == vecEntries[nEntry].nLength);
        }
    }
    else if (!d.bUnpackOverlapped ||
             !UnpackOverlapped(
                 d.archive, vecJobs.size(), [&](size_t nJob) { return vecJobs[nJob]; }, Store, d.pStopUnpack))
    {
        for (size_t nJob = 0; nJob < vecJobs.size() && !Stopped(); ++nJob)
        {
            CForwardSink sink([&](std::string_view svBytes) { Store(nJob, svBytes, false, true); });
            const bool bRead = d.archive.Extract(vecJobs[nJob], sink);
            Store(nJob, std::string_view(), true, bRead);
        }
    }
    return bAll && !Stopped() ? 1 : 0;
}
