#include "CCHMFileRWImpl.h"

#include "CArchivePath.h"
#include "CHMFormat.h"
#include "CHMSitemap.h"
#include "CText.h"

#include <algorithm>
#include <functional>
#include <vector>

namespace
{
constexpr uint64_t kMaxReservedEntry = 256u << 20;

uint64_t HashName(std::string_view svName)
{
    return std::hash<std::string_view>{}(svName);
}

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
    vecExact.clear();
    vecLower.clear();
    pKeysMade = std::make_unique<std::once_flag>();
    vecEntryFlags.clear();
    bSitemapMissing = false;
    strSitemapFolder.clear();
    strWriteFailure.clear();
    nWriteErrno = 0;
}

bool CCHMFileRW::CImpl::IsUserEntry(const SCHMEntry& entry) const
{
    return !CHM_IsInternalName(entry.strName) && !CHM_IsInternalName(CHM_NormalizeName(entry.strName));
}

bool CCHMFileRW::CImpl::RelativePathOf(size_t i, std::string& strRelative) const
{
    const std::string& strName = archive.Entries()[i].strName;
    if ((vecEntryFlags[i] & kPlainName) == 0)
        return CHM_SafeRelativePath(strName, strRelative);
    // A plain name is its relative path after the first separator, with "/" for "\\".
    strRelative.assign(strName, !strName.empty() && (strName[0] == '/' || strName[0] == '\\') ? 1 : 0);
    std::replace(strRelative.begin(), strRelative.end(), '\\', '/');
    return true;
}

bool CCHMFileRW::CImpl::KeyName(const SEntryKey& key, bool bLower, std::string& strName) const
{
    const std::string& strEntry = archive.Entries()[key.nEntry].strName;
    if (key.bRelative == 0)
        strName = CHM_NormalizeName(strEntry);
    else
    {
        std::string strRelative;
        if (!CHM_SafeRelativePath(strEntry, strRelative))
            return false;
        strName = "/" + strRelative;
    }
    if (bLower)
        strName = CHM_LowerName(strName);
    return true;
}

std::optional<size_t> CCHMFileRW::CImpl::FindKey(const std::vector<SEntryKey>& vecKeys,
                                                 std::string_view svName, bool bLower) const
{
    const uint64_t nHash = HashName(svName);
    auto it = std::lower_bound(vecKeys.begin(), vecKeys.end(), nHash,
                               [](const SEntryKey& key, uint64_t n) { return key.nHash < n; });
    for (; it != vecKeys.end() && it->nHash == nHash; ++it)
    {
        if (it->bRelative == 0)
        {
            if (CHM_IsNormalizedName(archive.Entries()[it->nEntry].strName, svName, bLower))
                return it->nEntry;
            continue;
        }
        // Only names that differ from their unpacked path have such a key.
        std::string strCandidate;
        if (KeyName(*it, bLower, strCandidate) && strCandidate == svName)
            return it->nEntry;
    }
    return std::nullopt;
}

void CCHMFileRW::CImpl::BuildIndex()
{
    const std::vector<SCHMEntry>& vecEntries = archive.Entries();
    vecEntryFlags.assign(vecEntries.size(), 0);
    std::string strName;
    std::string strRelative;
    for (size_t i = 0; i < vecEntries.size(); ++i)
    {
        if (IsUserEntry(vecEntries[i]))
            vecEntryFlags[i] |= kUserEntry;
        if (vecEntries[i].strName.compare(0, 2, "::") == 0)
            continue;
        CHM_NormalizeNameInto(vecEntries[i].strName, strName);
        if (CHM_SafeRelativePath(vecEntries[i].strName, strRelative) &&
            strName.size() == strRelative.size() + 1 &&
            strName.compare(1, std::string::npos, strRelative) == 0)
            vecEntryFlags[i] |= kPlainName;
    }
}

void CCHMFileRW::CImpl::MakeKeys()
{
    const std::vector<SCHMEntry>& vecEntries = archive.Entries();
    vecExact.reserve(vecEntries.size());
    vecLower.reserve(vecEntries.size());
    std::string strName;
    std::string strRelative;
    for (size_t i = 0; i < vecEntries.size(); ++i)
    {
        if (vecEntries[i].strName.compare(0, 2, "::") == 0)
            continue;
        SEntryKey key{0, static_cast<uint32_t>(i), 0};
        CHM_NormalizeNameInto(vecEntries[i].strName, strName);
        key.nHash = HashName(strName);
        vecExact.push_back(key);
        key.nHash = HashName(CHM_LowerName(strName));
        vecLower.push_back(key);
        if ((vecEntryFlags[i] & kPlainName) != 0 || !CHM_SafeRelativePath(vecEntries[i].strName, strRelative))
            continue;
        key.bRelative = 1;
        strName = "/" + strRelative;
        key.nHash = HashName(strName);
        vecExact.push_back(key);
        key.nHash = HashName(CHM_LowerName(strName));
        vecLower.push_back(key);
    }
    // Stable: of keys with one name, the first added is found, as before.
    auto ByHash = [](const SEntryKey& a, const SEntryKey& b) { return a.nHash < b.nHash; };
    std::stable_sort(vecExact.begin(), vecExact.end(), ByHash);
    std::stable_sort(vecLower.begin(), vecLower.end(), ByHash);
}

template <class FnFind>
std::optional<size_t> CCHMFileRW::CImpl::FindSteps(std::string_view svPath, FnFind fnFind) const
{
    if (!archive.IsOpen())
        return std::nullopt;
    // Reused by each thread that looks names up: the harvest looks up every reference of every page.
    thread_local std::string t_strKey;
    thread_local std::string t_strLower;
    CHM_NormalizeNameInto(svPath, t_strKey);
    if (std::optional<size_t> nEntry = fnFind(t_strKey, false))
        return nEntry;
    t_strLower.assign(t_strKey);
    for (char& c : t_strLower)
        c = LowerASCII(c);
    if (std::optional<size_t> nEntry = fnFind(t_strLower, true))
        return nEntry;
    std::string strRelative;
    if (CHM_SafeRelativePath(t_strKey, strRelative))
        return fnFind(CHM_LowerName("/" + strRelative), true);
    return std::nullopt;
}

std::optional<size_t> CCHMFileRW::CImpl::FindByWalk(std::string_view svPath) const
{
    // The keys in the order MakeKeys adds them, each compared by name as FindKey compares it.
    return FindSteps(svPath,
                     [&](std::string_view svName, bool bLower) -> std::optional<size_t>
                     {
                         std::string strCandidate;
                         for (size_t i = 0; i < archive.Entries().size(); ++i)
                         {
                             if (archive.Entries()[i].strName.compare(0, 2, "::") == 0)
                                 continue;
                             if (CHM_IsNormalizedName(archive.Entries()[i].strName, svName, bLower))
                                 return i;
                             const SEntryKey relative{0, static_cast<uint32_t>(i), 1};
                             if ((vecEntryFlags[i] & kPlainName) == 0 &&
                                 KeyName(relative, bLower, strCandidate) && strCandidate == svName)
                                 return i;
                         }
                         return std::nullopt;
                     });
}

std::optional<size_t> CCHMFileRW::CImpl::Find(std::string_view svPath) const
{
    if (!archive.IsOpen())
        return std::nullopt;
    std::call_once(*pKeysMade, [this] { const_cast<CImpl*>(this)->MakeKeys(); });
    return FindSteps(svPath, [this](std::string_view svName, bool bLower)
                     { return FindKey(bLower ? vecLower : vecExact, svName, bLower); });
}

bool CCHMFileRW::CImpl::ReadEntry(size_t nIndex, std::string& strOut)
{
    return ExtractEntry(nIndex, strOut) && strOut.size() == archive.Entries()[nIndex].nLength;
}

bool CCHMFileRW::CImpl::ExtractEntry(size_t nIndex, std::string& strOut)
{
    strOut.clear();
    // Grown by doubling, a large sitemap would hold up to twice its size (and three times while
    // being copied); the claimed length is trusted only as far as room that is never touched costs.
    const uint64_t nClaimed = archive.Entries()[nIndex].nLength;
    if (nClaimed <= kMaxReservedEntry)
        strOut.reserve(static_cast<size_t>(nClaimed));
    CStringSink sink(strOut);
    return archive.Extract(nIndex, sink);
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
        if (IsUserEntryAt(i) && strName.find('/', 1) == std::string::npos &&
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
