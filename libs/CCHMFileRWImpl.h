#pragma once

#include "CCHMFileRW.h"
#include "CHMArchive.h"
#include "CWorkCount.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

class CXML;

/// The open archive of a CCHMFileRW and its lookup index: entry names, exact and lower-cased,
/// to entry numbers.
struct CCHMFileRW::CImpl
{
    CCHMArchive archive;
    CCHMSystemInfo info;
    std::unordered_map<std::string, size_t> mapExact;
    std::unordered_map<std::string, size_t> mapLower;
    bool bSitemapMissing = false;
    std::string strSitemapFolder;
    std::string strWriteFailure; ///< The first file the last unpacking could not write.
    int nWriteErrno = 0;
    SWorkCount* pUnpackCount = nullptr;

    void Clear();
    /// Keeps the first write failure, with errno's reason.
    void NoteWriteFailure(const std::string& strPath);
    bool IsUserEntry(const SCHMEntry& entry) const;
    void AddKey(const std::string& strKey, size_t nIndex);
    void BuildIndex();
    std::optional<size_t> Find(std::string_view svPath) const;
    bool ReadEntry(size_t nIndex, std::string& strOut);
    /// The named sitemap, else the first one with that extension at the archive root.
    std::optional<size_t> FindOwnSitemap(const std::string& strNamed, std::string_view svExtension) const;
    int ReadSitemap(CXML* pRoot, std::optional<size_t> nIndex);
    /// The sitemap's bytes, noting its folder or that it is missing; false when it cannot be read.
    bool ReadSitemapBytes(std::optional<size_t> nIndex, std::string& strBytes);
};
