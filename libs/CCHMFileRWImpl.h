#pragma once

#include "CCHMFileRW.h"
#include "CHMArchive.h"
#include "CWorkCount.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class CXML;

/// The open archive of a CCHMFileRW and its lookup index: entry names, exact and lower-cased,
/// to entry numbers.
struct CCHMFileRW::CImpl
{
    CCHMArchive archive;
    CCHMSystemInfo info;
    /// A name an entry is found by, as its hash: the name is made again from the entry when the
    /// hash matches, so that a large archive's lookup takes 16 bytes a name.
    struct SEntryKey
    {
        uint64_t nHash;
        uint32_t nEntry;
        uint32_t bRelative; ///< "/" + the entry's safe relative path, else its normalized name
    };
    std::vector<SEntryKey> vecExact; ///< by hash, then in the order the keys were added
    std::vector<SEntryKey> vecLower; ///< the same for the lower-cased names
    /// The keys are made on the first lookup: a reader that only lists or unpacks never needs them.
    std::unique_ptr<std::once_flag> pKeysMade = std::make_unique<std::once_flag>();
    /// Per entry: kUserEntry when IsUserEntry holds, kPlainName when its normalized name is "/" +
    /// its safe relative path (its second key is left out then: the first is always found before it).
    std::vector<uint8_t> vecEntryFlags;
    static constexpr uint8_t kUserEntry = 1;
    static constexpr uint8_t kPlainName = 2;
    bool bSitemapMissing = false;
    std::string strSitemapFolder;
    std::string strWriteFailure; ///< The first file the last unpacking could not write.
    int nWriteErrno = 0;
    SWorkCount* pUnpackCount = nullptr;
    const std::atomic<bool>* pStopUnpack = nullptr;
    bool bUnpackOverlapped = true;

    void Clear();
    /// Keeps the first write failure, with errno's reason.
    void NoteWriteFailure(const std::string& strPath);
    bool IsUserEntry(const SCHMEntry& entry) const;
    /// IsUserEntry of entry i, as noted when the file opened.
    bool IsUserEntryAt(size_t i) const { return (vecEntryFlags[i] & kUserEntry) != 0; }
    /// CHM_SafeRelativePath of entry i's name, without the walk of its segments when the file's
    /// opening found the name plain.
    bool RelativePathOf(size_t i, std::string& strRelative) const;
    /// The name key stands for, lower-cased or not; false when the entry has no such name.
    bool KeyName(const SEntryKey& key, bool bLower, std::string& strName) const;
    /// The first entry added under svName, if any.
    std::optional<size_t> FindKey(const std::vector<SEntryKey>& vecKeys, std::string_view svName,
                                  bool bLower) const;
    /// The entry flags, at once; the keys on the first Find.
    void BuildIndex();
    void MakeKeys();
    std::optional<size_t> Find(std::string_view svPath) const;
    /// What Find finds, by a walk of the entries instead of the keys: for one name, that costs
    /// less than making the keys.
    std::optional<size_t> FindByWalk(std::string_view svPath) const;
    /// The steps of a lookup of svPath (its normalized name, lower-cased, then its relative path
    /// lower-cased), each asking fnFind(name, bLower) for an entry, until one answers.
    template <class FnFind> std::optional<size_t> FindSteps(std::string_view svPath, FnFind fnFind) const;
    /// The entry whole; false when it cannot be read or is shorter or longer than the directory says.
    bool ReadEntry(size_t nIndex, std::string& strOut);
    /// What the archive gives for the entry; false only when the extraction fails.
    bool ExtractEntry(size_t nIndex, std::string& strOut);
    /// The named sitemap, else the first one with that extension at the archive root.
    std::optional<size_t> FindOwnSitemap(const std::string& strNamed, std::string_view svExtension) const;
    int ReadSitemap(CXML* pRoot, std::optional<size_t> nIndex);
    /// The sitemap's bytes, noting its folder or that it is missing; false when it cannot be read.
    bool ReadSitemapBytes(std::optional<size_t> nIndex, std::string& strBytes);
};
