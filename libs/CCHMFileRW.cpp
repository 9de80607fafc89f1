#include "CCHMFileRW.h"

#include "CArchivePath.h"
#include "CCHMFileRWImpl.h"
#include "CHMFormat.h"
#include "CHMSinks.h"
#include "CHMSitemap.h"
#include "CXML.h"

#include <algorithm>
#include <optional>
#include <string_view>
#include <unordered_map>

CCHMFileRW::CCHMFileRW() : m_pImpl(std::make_unique<CImpl>()) {}

CCHMFileRW::~CCHMFileRW() = default;

bool CCHMFileRW::CHM_SetCHMFile(const std::string& strPath)
{
    CImpl& d = *m_pImpl;
    d.Clear();
    if (!d.archive.Open(strPath))
        return false;
    d.BuildIndex();
    if (std::optional<size_t> nIndex = d.FindByWalk("/#SYSTEM"))
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

int CCHMFileRW::CHM2Web_ReadHHKElements(CSitemapElements& elements)
{
    CImpl& d = *m_pImpl;
    std::string strBytes;
    if (!d.ReadSitemapBytes(d.FindOwnSitemap(d.info.strIndexFile, ".hhk"), strBytes))
        return 0;
    elements.Sitemap_Take(std::move(strBytes));
    return 1;
}

bool CCHMFileRW::CHM_SitemapMissing() const
{
    return m_pImpl->archive.IsOpen() && m_pImpl->bSitemapMissing;
}

const std::string& CCHMFileRW::CHM_GetSitemapFolder() const
{
    return m_pImpl->strSitemapFolder;
}

std::vector<std::string> CCHMFileRW::CHM_GetUnsafeEntryNames() const
{
    std::vector<std::string> vecNames;
    const CImpl& d = *m_pImpl;
    if (!d.archive.IsOpen())
        return vecNames;
    std::string strRelative;
    for (size_t i = 0; i < d.archive.Entries().size(); ++i)
    {
        if (d.IsUserEntryAt(i) && !d.RelativePathOf(i, strRelative))
            vecNames.push_back(d.archive.Entries()[i].strName);
    }
    return vecNames;
}

int CCHMFileRW::CHM_ReadAllStorageInfoToXML(CXML* pRoot)
{
    CImpl& d = *m_pImpl;
    if (pRoot == nullptr || !d.archive.IsOpen())
        return 0;
    std::unordered_map<std::string, CXML*> mapFolders;
    std::string strRelative;
    for (size_t i = 0; i < d.archive.Entries().size(); ++i)
    {
        if (!d.IsUserEntryAt(i) || !d.RelativePathOf(i, strRelative) || CHM_IsInternalName("/" + strRelative))
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
    strOut.reserve(static_cast<size_t>(std::min(entry.nLength, kCHMInitialBuffer)));
    if (!d.ReadEntry(*nIndex, strOut))
    {
        strOut.clear();
        return false;
    }
    return true;
}

std::optional<size_t> CCHMFileRW::CHM_FindEntry(std::string_view svPath) const
{
    return m_pImpl->Find(svPath);
}

bool CCHMFileRW::CHM_ReadEntry(size_t nEntry, std::string& strOut)
{
    CImpl& d = *m_pImpl;
    if (nEntry >= d.archive.Entries().size() || !d.ReadEntry(nEntry, strOut))
    {
        strOut.clear();
        return false;
    }
    return true;
}

std::string CCHMFileRW::CHM_FindEntryName(std::string_view svPath) const
{
    const CImpl& d = *m_pImpl;
    const std::optional<size_t> nIndex = d.Find(svPath);
    if (!nIndex || (d.vecEntryFlags[*nIndex] & CImpl::kUserEntry) == 0)
        return std::string();
    const std::string& strEntry = d.archive.Entries()[*nIndex].strName;
    if ((d.vecEntryFlags[*nIndex] & CImpl::kPlainName) != 0)
        return ArchivePath_Entry(strEntry);
    std::string strRelative;
    if (!CHM_SafeRelativePath(strEntry, strRelative))
        return std::string();
    return strRelative;
}

void CCHMFileRW::CHM_SetUnpackCount(SWorkCount* pCount)
{
    m_pImpl->pUnpackCount = pCount;
}

void CCHMFileRW::CHM_SetUnpackStopFlag(const std::atomic<bool>* pStop)
{
    m_pImpl->pStopUnpack = pStop;
}

void CCHMFileRW::CHM_SetUnpackOverlapped(bool bOverlapped)
{
    m_pImpl->bUnpackOverlapped = bOverlapped;
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
