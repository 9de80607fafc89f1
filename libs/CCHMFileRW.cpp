#include "CCHMFileRW.h"

#include "CHMArchive.h"
#include "CHMFormat.h"
#include "CHMSitemap.h"
#include "CRunEnv.h"
#include "CXML.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <optional>
#include <sys/stat.h>
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

class CStringSink : public CCHMSink
{
public:
    explicit CStringSink(std::string& str) : m_str(str) {}
    bool Write(const unsigned char* pData, size_t nSize) override
    {
        m_str.append(reinterpret_cast<const char*>(pData), nSize);
        return true;
    }

private:
    std::string& m_str;
};

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

    void Clear()
    {
        archive.Close();
        info = CCHMSystemInfo();
        mapExact.clear();
        mapLower.clear();
        bSitemapMissing = false;
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
    for (const SJob& job : vecJobs)
    {
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
        const int fd = ::open(strFull.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (fd < 0)
        {
            bAll = false;
            continue;
        }
        CFileSink sink(fd);
        if (!d.archive.Extract(job.nIndex, sink))
            bAll = false;
        if (::close(fd) != 0)
            bAll = false;
        if (CharCount(strFull) > kMaxPathChars)
            CRunEnv::Instance().SetFoundLongFilename(1);
    }
    return bAll ? 1 : 0;
}

const CCHMSystemInfo& CCHMFileRW::CHM_GetSystemInfo() const
{
    return m_pImpl->info;
}
