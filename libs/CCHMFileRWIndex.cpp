#include "CCHMFileRWImpl.h"

#include "CArchivePath.h"
#include "CHMFormat.h"
#include "CHMSitemap.h"

#include <vector>

namespace
{
constexpr uint64_t kMaxReservedEntry = 256u << 20;

bool EndsWithNoCase(const std::string& str, std::string_view svSuffix)
{
    return str.size() >= svSuffix.size() &&
           CHM_LowerName(str.substr(str.size() - svSuffix.size())) == svSuffix;
}
} // namespace

void CCHMFileRW::CImpl::Clear()
{
    archive.Close();
    info = CCHMSystemInfo();
    mapExact.clear();
    mapLower.clear();
    bSitemapMissing = false;
    strSitemapFolder.clear();
    strWriteFailure.clear();
    nWriteErrno = 0;
}

bool CCHMFileRW::CImpl::IsUserEntry(const SCHMEntry& entry) const
{
    return !CHM_IsInternalName(entry.strName) && !CHM_IsInternalName(CHM_NormalizeName(entry.strName));
}

void CCHMFileRW::CImpl::AddKey(const std::string& strKey, size_t nIndex)
{
    mapExact.emplace(strKey, nIndex);
    mapLower.emplace(CHM_LowerName(strKey), nIndex);
}

void CCHMFileRW::CImpl::BuildIndex()
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

std::optional<size_t> CCHMFileRW::CImpl::Find(std::string_view svPath) const
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

bool CCHMFileRW::CImpl::ReadEntry(size_t nIndex, std::string& strOut)
{
    strOut.clear();
    // Grown by doubling, a large sitemap would hold up to twice its size (and three times while
    // being copied); the claimed length is trusted only as far as room that is never touched costs.
    const uint64_t nClaimed = archive.Entries()[nIndex].nLength;
    if (nClaimed <= kMaxReservedEntry)
        strOut.reserve(static_cast<size_t>(nClaimed));
    CStringSink sink(strOut);
    return archive.Extract(nIndex, sink) && strOut.size() == archive.Entries()[nIndex].nLength;
}

std::optional<size_t> CCHMFileRW::CImpl::FindOwnSitemap(const std::string& strNamed,
                                                        std::string_view svExtension) const
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

bool CCHMFileRW::CImpl::ReadSitemapBytes(std::optional<size_t> nIndex, std::string& strBytes)
{
    bSitemapMissing = false;
    strSitemapFolder.clear();
    if (!archive.IsOpen())
        return false;
    if (!nIndex)
    {
        bSitemapMissing = true;
        return false;
    }
    const std::string strEntry = ArchivePath_Entry(archive.Entries()[*nIndex].strName);
    strSitemapFolder = strEntry.substr(0, strEntry.rfind('/') + 1);
    return ReadEntry(*nIndex, strBytes);
}

int CCHMFileRW::CImpl::ReadSitemap(CXML* pRoot, std::optional<size_t> nIndex)
{
    if (pRoot == nullptr)
    {
        bSitemapMissing = false;
        strSitemapFolder.clear();
        return 0;
    }
    std::string strBytes;
    if (!ReadSitemapBytes(nIndex, strBytes))
        return 0;
    return CHM_ParseSitemapToXML(strBytes, pRoot) ? 1 : 0;
}
