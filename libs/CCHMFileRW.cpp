#include "CCHMFileRW.h"

#include "CHMArchive.h"
#include "CHMFormat.h"
#include "CHMSitemap.h"
#include "CRunEnv.h"
#include "CXML.h"

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <fcntl.h>
#include <filesystem>
#include <mutex>
#include <optional>
#include <string_view>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <unordered_map>
#include <unordered_set>

namespace
{
constexpr size_t kMaxPathChars = 260;
constexpr uint64_t kInitialBuffer = uint64_t(16) << 20;

/// Collects an entry into a malloc'ed buffer for callers that release it with free().
class CMallocSink : public CCHMSink
{
public:
    explicit CMallocSink(uint64_t nExpected) : m_nExpected(nExpected) {}
    ~CMallocSink() override { std::free(m_pBuf); }
    CMallocSink(const CMallocSink&) = delete;
    CMallocSink& operator=(const CMallocSink&) = delete;

    bool Write(const unsigned char* pData, size_t nSize) override
    {
        if (nSize > m_nExpected - m_nSize)
            return false;
        if (!Reserve(m_nSize + nSize + 1))
            return false;
        std::memcpy(m_pBuf + m_nSize, pData, nSize);
        m_nSize += nSize;
        return true;
    }

    uint64_t Size() const { return m_nSize; }

    /// The bytes followed by one zero byte; the caller frees them. Null when out of memory.
    unsigned char* Release()
    {
        if (!Reserve(m_nSize + 1))
            return nullptr;
        m_pBuf[m_nSize] = 0;
        unsigned char* p = m_pBuf;
        m_pBuf = nullptr;
        m_nSize = m_nCapacity = 0;
        return p;
    }

private:
    // Grows as bytes arrive, so a damaged length field costs no more than the data really there.
    bool Reserve(uint64_t nNeeded)
    {
        if (nNeeded <= m_nCapacity)
            return true;
        uint64_t nNew = m_nCapacity == 0 ? std::min(m_nExpected, kInitialBuffer) + 1 : m_nCapacity * 2;
        nNew = std::max(std::min(nNew, m_nExpected + 1), nNeeded);
        void* p = std::realloc(m_pBuf, static_cast<size_t>(nNew));
        if (p == nullptr)
            return false;
        m_pBuf = static_cast<unsigned char*>(p);
        m_nCapacity = nNew;
        return true;
    }

    unsigned char* m_pBuf = nullptr;
    uint64_t m_nSize = 0;
    uint64_t m_nCapacity = 0;
    uint64_t m_nExpected;
};

class CFileSink : public CCHMSink
{
public:
    explicit CFileSink(int fd) : m_fd(fd) {}
    bool Write(const unsigned char* pData, size_t nSize) override
    {
        while (nSize > 0)
        {
            const ssize_t n = ::write(m_fd, pData, nSize);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                return false;
            pData += n;
            nSize -= static_cast<size_t>(n);
        }
        return true;
    }

private:
    int m_fd;
};

/// Hands every piece straight on.
template <typename TForward> class CForwardSink : public CCHMSink
{
public:
    explicit CForwardSink(TForward forward) : m_forward(std::move(forward)) {}
    bool Write(const unsigned char* pData, size_t nSize) override
    {
        m_forward(std::string_view(reinterpret_cast<const char*>(pData), nSize));
        return true;
    }

private:
    TForward m_forward;
};

/// One piece of an unpacked entry, passed from the thread that decompresses to the one that writes.
struct SUnpackPiece
{
    size_t nJob = 0;
    std::string strBytes;
    bool bEnd = false;  ///< the entry's last piece
    bool bRead = false; ///< with bEnd: the whole entry was read
};

/// Pieces in order, handed over in batches of about kBatch bytes (most entries are small, and a
/// hand-over costs a wake-up), holding at most about kMaxQueued bytes so that a large entry never
/// sits in memory whole.
class CUnpackQueue
{
public:
    void Add(SUnpackPiece piece)
    {
        m_nPending += piece.strBytes.size();
        m_vecPending.push_back(std::move(piece));
        if (m_nPending >= kBatch || m_vecPending.size() >= kBatchPieces)
            Flush();
    }
    /// Hands over what Add gathered and, once bFinish is given, says that nothing follows.
    void Flush(bool bFinish = false)
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_cvRoom.wait(lock, [&] { return m_nBytes < kMaxQueued; });
        if (!m_vecPending.empty())
        {
            m_nBytes += m_nPending;
            m_deqBatches.push_back({std::move(m_vecPending), m_nPending});
            m_vecPending.clear();
            m_nPending = 0;
        }
        m_bFinished = m_bFinished || bFinish;
        m_cvItems.notify_one();
    }
    /// The next batch; false once the queue is finished and empty.
    bool Take(std::vector<SUnpackPiece>& vecBatch)
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_cvItems.wait(lock, [&] { return !m_deqBatches.empty() || m_bFinished; });
        if (m_deqBatches.empty())
            return false;
        vecBatch = std::move(m_deqBatches.front().first);
        m_nBytes -= m_deqBatches.front().second;
        m_deqBatches.pop_front();
        m_cvRoom.notify_one();
        return true;
    }

private:
    static constexpr size_t kBatch = size_t(1) << 20;
    static constexpr size_t kBatchPieces = 256;
    static constexpr size_t kMaxQueued = size_t(8) << 20;
    std::vector<SUnpackPiece> m_vecPending; ///< the decompressing thread's own
    size_t m_nPending = 0;
    std::mutex m_mutex;
    std::condition_variable m_cvItems;
    std::condition_variable m_cvRoom;
    std::deque<std::pair<std::vector<SUnpackPiece>, size_t>> m_deqBatches;
    size_t m_nBytes = 0;
    bool m_bFinished = false;
};

/// Gathers an entry's bytes into pieces of about kPiece bytes for the queue.
class CQueueSink : public CCHMSink
{
public:
    CQueueSink(CUnpackQueue& queue, size_t nJob) : m_queue(queue), m_nJob(nJob) {}
    bool Write(const unsigned char* pData, size_t nSize) override
    {
        m_strBytes.append(reinterpret_cast<const char*>(pData), nSize);
        if (m_strBytes.size() >= kPiece)
            Send(false, false);
        return true;
    }
    void Send(bool bEnd, bool bRead)
    {
        SUnpackPiece piece;
        piece.nJob = m_nJob;
        piece.strBytes = std::move(m_strBytes);
        piece.bEnd = bEnd;
        piece.bRead = bRead;
        m_strBytes.clear();
        m_queue.Add(std::move(piece));
    }

private:
    static constexpr size_t kPiece = size_t(1) << 20;
    CUnpackQueue& m_queue;
    size_t m_nJob;
    std::string m_strBytes;
};

/// Decompresses entries IndexOf(0 .. nJobs-1) on a second thread while this one hands their bytes
/// to store(nJob, bytes, bEnd, bRead) in job order: the decompressor and the file system each keep
/// a core busy. False, having done nothing, when no thread can be started.
template <typename TIndexOf, typename TStore>
bool UnpackOverlapped(CCHMArchive& archive, size_t nJobs, TIndexOf IndexOf, TStore& store)
{
    CUnpackQueue queue;
    std::thread reader;
    try
    {
        reader = std::thread(
            [&]
            {
                for (size_t nJob = 0; nJob < nJobs; ++nJob)
                {
                    CQueueSink sink(queue, nJob);
                    const bool bRead = archive.Extract(IndexOf(nJob), sink);
                    sink.Send(true, bRead);
                }
                queue.Flush(true);
            });
    }
    catch (...)
    {
        return false;
    }
    std::vector<SUnpackPiece> vecBatch;
    while (queue.Take(vecBatch))
    {
        for (const SUnpackPiece& piece : vecBatch)
            store(piece.nJob, piece.strBytes, piece.bEnd, piece.bRead);
    }
    reader.join();
    return true;
}

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

bool EndsWithNoCase(const std::string& str, std::string_view svSuffix)
{
    return str.size() >= svSuffix.size() &&
           CHM_LowerName(str.substr(str.size() - svSuffix.size())) == svSuffix;
}
} // namespace

struct CCHMFileRW::CImpl
{
    CCHMArchive archive;
    CCHMSystemInfo info;
    std::unordered_map<std::string, size_t> mapExact;
    std::unordered_map<std::string, size_t> mapLower;
    bool bSitemapMissing = false;
    std::string strWriteFailure; ///< The first file the last unpacking could not write.
    int nWriteErrno = 0;

    void Clear()
    {
        archive.Close();
        info = CCHMSystemInfo();
        mapExact.clear();
        mapLower.clear();
        bSitemapMissing = false;
        strWriteFailure.clear();
        nWriteErrno = 0;
    }

    /// Keeps the first write failure, with errno's reason.
    void NoteWriteFailure(const std::string& strPath)
    {
        if (strWriteFailure.empty())
        {
            nWriteErrno = errno;
            strWriteFailure = strPath;
        }
    }

    bool IsUserEntry(const SCHMEntry& entry) const
    {
        return !CHM_IsInternalName(entry.strName) && !CHM_IsInternalName(CHM_NormalizeName(entry.strName));
    }

    void AddKey(const std::string& strKey, size_t nIndex)
    {
        mapExact.emplace(strKey, nIndex);
        mapLower.emplace(CHM_LowerName(strKey), nIndex);
    }

    void BuildIndex()
    {
        const std::vector<SCHMEntry>& vecEntries = archive.Entries();
        mapExact.reserve(vecEntries.size());
        mapLower.reserve(vecEntries.size());
        for (size_t i = 0; i < vecEntries.size(); ++i)
        {
            const std::string& strName = vecEntries[i].strName;
            if (strName.compare(0, 2, "::") == 0)
                continue;
            AddKey(CHM_NormalizeName(strName), i);
            std::string strRelative;
            if (CHM_SafeRelativePath(strName, strRelative))
                AddKey("/" + strRelative, i);
        }
    }

    std::optional<size_t> Find(std::string_view svPath) const
    {
        if (!archive.IsOpen())
            return std::nullopt;
        const std::string strKey = CHM_NormalizeName(svPath);
        if (auto it = mapExact.find(strKey); it != mapExact.end())
            return it->second;
        if (auto it = mapLower.find(CHM_LowerName(strKey)); it != mapLower.end())
            return it->second;
        std::string strRelative;
        if (CHM_SafeRelativePath(strKey, strRelative))
        {
            if (auto it = mapLower.find(CHM_LowerName("/" + strRelative)); it != mapLower.end())
                return it->second;
        }
        return std::nullopt;
    }

    bool ReadEntry(size_t nIndex, std::string& strOut)
    {
        strOut.clear();
        CStringSink sink(strOut);
        return archive.Extract(nIndex, sink) && strOut.size() == archive.Entries()[nIndex].nLength;
    }

    /// The named sitemap, else the first one with that extension at the archive root.
    std::optional<size_t> FindOwnSitemap(const std::string& strNamed, std::string_view svExtension) const
    {
        if (!strNamed.empty())
        {
            if (std::optional<size_t> nIndex = Find(strNamed))
                return nIndex;
        }
        const std::vector<SCHMEntry>& vecEntries = archive.Entries();
        for (size_t i = 0; i < vecEntries.size(); ++i)
        {
            const std::string strName = CHM_NormalizeName(vecEntries[i].strName);
            if (IsUserEntry(vecEntries[i]) && strName.find('/', 1) == std::string::npos &&
                EndsWithNoCase(strName, svExtension))
                return i;
        }
        return std::nullopt;
    }

    int ReadSitemap(CXML* pRoot, std::optional<size_t> nIndex)
    {
        bSitemapMissing = false;
        if (pRoot == nullptr || !archive.IsOpen())
            return 0;
        if (!nIndex)
        {
            bSitemapMissing = true;
            return 0;
        }
        std::string strBytes;
        if (!ReadEntry(*nIndex, strBytes))
            return 0;
        return CHM_ParseSitemapToXML(strBytes, pRoot) ? 1 : 0;
    }
};

CCHMFileRW::CCHMFileRW() : m_pImpl(std::make_unique<CImpl>()) {}

CCHMFileRW::~CCHMFileRW() = default;

bool CCHMFileRW::CHM_SetCHMFile(const std::string& strPath)
{
    CImpl& d = *m_pImpl;
    d.Clear();
    if (!d.archive.Open(strPath))
        return false;
    d.BuildIndex();
    if (std::optional<size_t> nIndex = d.Find("/#SYSTEM"))
    {
        std::string strRecord;
        if (d.ReadEntry(*nIndex, strRecord))
            CHM_ParseSystemRecord(strRecord, d.info);
    }
    return true;
}

void CCHMFileRW::CHM_CloseCHMFile()
{
    m_pImpl->Clear();
}

bool CCHMFileRW::CHM_IsOpen() const
{
    return m_pImpl->archive.IsOpen();
}

int CCHMFileRW::CHM2Web_ReadHHCInfoToXML(CXML* pRoot, const std::string& strSitemap)
{
    CImpl& d = *m_pImpl;
    if (strSitemap.empty())
        return d.ReadSitemap(pRoot, d.FindOwnSitemap(d.info.strContentsFile, ".hhc"));
    return d.ReadSitemap(pRoot, d.Find(strSitemap));
}

int CCHMFileRW::CHM2Web_ReadHHKInfoToXML(CXML* pRoot)
{
    CImpl& d = *m_pImpl;
    return d.ReadSitemap(pRoot, d.FindOwnSitemap(d.info.strIndexFile, ".hhk"));
}

bool CCHMFileRW::CHM_SitemapMissing() const
{
    return m_pImpl->archive.IsOpen() && m_pImpl->bSitemapMissing;
}

std::vector<std::string> CCHMFileRW::CHM_GetUnsafeEntryNames() const
{
    std::vector<std::string> vecNames;
    const CImpl& d = *m_pImpl;
    if (!d.archive.IsOpen())
        return vecNames;
    for (const SCHMEntry& entry : d.archive.Entries())
    {
        std::string strRelative;
        if (d.IsUserEntry(entry) && !CHM_SafeRelativePath(entry.strName, strRelative))
            vecNames.push_back(entry.strName);
    }
    return vecNames;
}

int CCHMFileRW::CHM_ReadAllStorageInfoToXML(CXML* pRoot)
{
    CImpl& d = *m_pImpl;
    if (pRoot == nullptr || !d.archive.IsOpen())
        return 0;
    std::unordered_map<std::string, CXML*> mapFolders;
    for (const SCHMEntry& entry : d.archive.Entries())
    {
        std::string strRelative;
        if (!d.IsUserEntry(entry) || !CHM_SafeRelativePath(entry.strName, strRelative) ||
            CHM_IsInternalName("/" + strRelative))
            continue;
        CXML* pParent = pRoot;
        for (size_t nSlash = strRelative.find('/'); nSlash != std::string::npos;
             nSlash = strRelative.find('/', nSlash + 1))
        {
            const std::string strFolder = strRelative.substr(0, nSlash);
            auto it = mapFolders.find(strFolder);
            if (it == mapFolders.end())
            {
                CXML* pFolder = pParent->AddChild("Folder", std::string());
                pFolder->SetAttr("Type", 0);
                pFolder->SetAttr("Local", "/" + strFolder + "/");
                it = mapFolders.emplace(strFolder, pFolder).first;
            }
            pParent = it->second;
        }
        CXML* pFile = pParent->AddChild("File", std::string());
        pFile->SetAttr("Type", 3);
        pFile->SetAttr("Local", "/" + strRelative);
    }
    return 1;
}

int64_t CCHMFileRW::CHM_GetStream(const std::string& strPath, unsigned char** ppBuf, int)
{
    if (ppBuf == nullptr)
        return -1;
    *ppBuf = nullptr;
    CImpl& d = *m_pImpl;
    const std::optional<size_t> nIndex = d.Find(strPath);
    if (!nIndex)
        return -1;
    const SCHMEntry& entry = d.archive.Entries()[*nIndex];
    CMallocSink sink(entry.nLength);
    if (!d.archive.Extract(*nIndex, sink) || sink.Size() != entry.nLength)
        return -1;
    const int64_t nSize = static_cast<int64_t>(sink.Size());
    *ppBuf = sink.Release();
    return *ppBuf != nullptr ? nSize : -1;
}

bool CCHMFileRW::CHM_ReadStream(const std::string& strPath, std::string& strOut)
{
    strOut.clear();
    CImpl& d = *m_pImpl;
    const std::optional<size_t> nIndex = d.Find(strPath);
    if (!nIndex)
        return false;
    const SCHMEntry& entry = d.archive.Entries()[*nIndex];
    // Reserved up to a bound only: a damaged length must not become a huge allocation.
    strOut.reserve(static_cast<size_t>(std::min(entry.nLength, kInitialBuffer)));
    if (!d.ReadEntry(*nIndex, strOut))
    {
        strOut.clear();
        return false;
    }
    return true;
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

bool CCHMFileRW::CHM_GetWriteFailure(std::string& strPath, int& nErrno) const
{
    if (m_pImpl->strWriteFailure.empty())
        return false;
    strPath = m_pImpl->strWriteFailure;
    nErrno = m_pImpl->nWriteErrno;
    return true;
}

const CCHMSystemInfo& CCHMFileRW::CHM_GetSystemInfo() const
{
    return m_pImpl->info;
}
