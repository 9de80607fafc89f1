#include "CHMArchive.h"

#include <mspack.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
// chmcmd writes {7C01FD10-…} as the second header GUID; libmspack accepts only {7C01FD11-…}.
const unsigned char kGuidLoose[16] = {0x10, 0xFD, 0x01, 0x7C, 0xAA, 0x7B, 0xD0, 0x11,
                                      0x9E, 0x0C, 0x00, 0xA0, 0xC9, 0x22, 0xE6, 0xEC};
const unsigned char kGuidStrict[16] = {0x11, 0xFD, 0x01, 0x7C, 0xAA, 0x7B, 0xD0, 0x11,
                                       0x9E, 0x0C, 0x00, 0xA0, 0xC9, 0x22, 0xE6, 0xEC};

constexpr size_t kHeaderGuid2 = 0x28;
constexpr size_t kHeaderDirOffset = 0x48;
constexpr size_t kDirFirstListingChunk = 0x20;
constexpr uint64_t kFrameSize = 0x8000;
// Nothing libmspack allocates for a sound file comes near this; a damaged length field must not
// become a huge allocation.
constexpr size_t kMaxAlloc = size_t(64) << 20;
// Decompressed reset intervals kept for reads out of content order. A conversion holds two readers
// (the sitemaps' and the harvest's) for its whole run, and reads mostly in content order.
constexpr uint64_t kBlockCacheBytes = uint64_t(2) << 20;
constexpr uint64_t kMaxCachedInterval = uint64_t(4) << 20;

const char kContentName[] = "::DataSpace/Storage/MSCompressed/Content";
const char kControlName[] = "::DataSpace/Storage/MSCompressed/ControlData";
const char kResetTableName[] = "::DataSpace/Storage/MSCompressed/Transform/"
                               "{7FC28940-9D31-11D0-9B27-00A0C91E9C7C}/InstanceData/ResetTable";

uint32_t GetU32(const unsigned char* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

uint64_t GetU64(const unsigned char* p)
{
    return uint64_t(GetU32(p)) | uint64_t(GetU32(p + 4)) << 32;
}

/// Bytes that reads of the archive show in place of the stored ones.
struct SPatch
{
    uint64_t nOffset = 0;
    std::vector<unsigned char> vecBytes;
};

enum class EFileKind
{
    Read,
    Sink
};

struct SFileBase
{
    EFileKind eKind;
};

struct SReadFile : SFileBase
{
    int fd = -1;
    uint64_t nPos = 0;
    uint64_t nSize = 0;
    const std::vector<SPatch>* pPatches = nullptr;
};

struct SSinkFile : SFileBase
{
    CCHMSink* pSink = nullptr;
};

/// libmspack hands `base` back to open(); the rest is ours.
struct SSystem
{
    mspack_system base;
    const std::vector<SPatch>* pPatches = nullptr;
    CCHMSink* pPendingSink = nullptr; ///< what the next open for writing returns
};

mspack_file* SysOpen(mspack_system* pSelf, const char* pszName, int nMode)
{
    SSystem* pSys = reinterpret_cast<SSystem*>(pSelf);
    if (nMode == MSPACK_SYS_OPEN_WRITE)
    {
        if (pSys->pPendingSink == nullptr)
            return nullptr;
        SSinkFile* pFile = new SSinkFile{};
        pFile->eKind = EFileKind::Sink;
        pFile->pSink = pSys->pPendingSink;
        return reinterpret_cast<mspack_file*>(pFile);
    }
    if (nMode != MSPACK_SYS_OPEN_READ)
        return nullptr;
    int fd = ::open(pszName, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))
    {
        ::close(fd);
        return nullptr;
    }
    SReadFile* pFile = new SReadFile{};
    pFile->eKind = EFileKind::Read;
    pFile->fd = fd;
    pFile->nSize = static_cast<uint64_t>(st.st_size);
    pFile->pPatches = pSys->pPatches;
    return reinterpret_cast<mspack_file*>(pFile);
}

void SysClose(mspack_file* pFile)
{
    SFileBase* pBase = reinterpret_cast<SFileBase*>(pFile);
    if (pBase == nullptr)
        return;
    if (pBase->eKind == EFileKind::Read)
    {
        SReadFile* pRead = static_cast<SReadFile*>(pBase);
        ::close(pRead->fd);
        delete pRead;
    }
    else
        delete static_cast<SSinkFile*>(pBase);
}

int SysRead(mspack_file* pFile, void* pBuf, int nBytes)
{
    SFileBase* pBase = reinterpret_cast<SFileBase*>(pFile);
    if (pBase == nullptr || pBase->eKind != EFileKind::Read || nBytes < 0)
        return -1;
    SReadFile* pRead = static_cast<SReadFile*>(pBase);
    unsigned char* pOut = static_cast<unsigned char*>(pBuf);
    const uint64_t nStart = pRead->nPos;
    size_t nDone = 0;
    while (nDone < static_cast<size_t>(nBytes))
    {
        ssize_t n = pread(pRead->fd, pOut + nDone, static_cast<size_t>(nBytes) - nDone,
                          static_cast<off_t>(nStart + nDone));
        if (n < 0)
            return -1;
        if (n == 0)
            break;
        nDone += static_cast<size_t>(n);
    }
    if (pRead->pPatches != nullptr)
    {
        for (const SPatch& patch : *pRead->pPatches)
        {
            const uint64_t nPatchEnd = patch.nOffset + patch.vecBytes.size();
            const uint64_t nFrom = std::max(patch.nOffset, nStart);
            const uint64_t nTo = std::min(nPatchEnd, nStart + nDone);
            for (uint64_t i = nFrom; i < nTo; ++i)
                pOut[i - nStart] = patch.vecBytes[i - patch.nOffset];
        }
    }
    pRead->nPos += nDone;
    return static_cast<int>(nDone);
}

int SysWrite(mspack_file* pFile, void* pBuf, int nBytes)
{
    SFileBase* pBase = reinterpret_cast<SFileBase*>(pFile);
    if (pBase == nullptr || pBase->eKind != EFileKind::Sink || nBytes < 0)
        return -1;
    SSinkFile* pSink = static_cast<SSinkFile*>(pBase);
    if (!pSink->pSink->Write(static_cast<const unsigned char*>(pBuf), static_cast<size_t>(nBytes)))
        return -1;
    return nBytes;
}

int SysSeek(mspack_file* pFile, off_t nOffset, int nMode)
{
    SFileBase* pBase = reinterpret_cast<SFileBase*>(pFile);
    if (pBase == nullptr || pBase->eKind != EFileKind::Read)
        return -1;
    SReadFile* pRead = static_cast<SReadFile*>(pBase);
    int64_t nBase = 0;
    if (nMode == MSPACK_SYS_SEEK_CUR)
        nBase = static_cast<int64_t>(pRead->nPos);
    else if (nMode == MSPACK_SYS_SEEK_END)
        nBase = static_cast<int64_t>(pRead->nSize);
    else if (nMode != MSPACK_SYS_SEEK_START)
        return -1;
    int64_t nNew = 0;
    if (__builtin_add_overflow(nBase, static_cast<int64_t>(nOffset), &nNew) || nNew < 0)
        return -1;
    pRead->nPos = static_cast<uint64_t>(nNew);
    return 0;
}

off_t SysTell(mspack_file* pFile)
{
    SFileBase* pBase = reinterpret_cast<SFileBase*>(pFile);
    if (pBase == nullptr || pBase->eKind != EFileKind::Read)
        return -1;
    return static_cast<off_t>(static_cast<SReadFile*>(pBase)->nPos);
}

// libmspack's warnings about sloppy files are not the user's concern.
void SysMessage(mspack_file*, const char*, ...) {}

void* SysAlloc(mspack_system*, size_t nBytes)
{
    if (nBytes > kMaxAlloc)
        return nullptr;
    return std::malloc(nBytes);
}

void SysFree(void* p)
{
    std::free(p);
}

void SysCopy(void* pSrc, void* pDest, size_t nBytes)
{
    std::memmove(pDest, pSrc, nBytes);
}

struct CDecompDeleter
{
    void operator()(mschm_decompressor* p) const { mspack_destroy_chm_decompressor(p); }
};

struct CHeaderCloser
{
    mschm_decompressor* pDecomp = nullptr;
    void operator()(mschmd_header* p) const
    {
        if (pDecomp != nullptr)
            pDecomp->close(pDecomp, p);
    }
};

/// a + b <= nLimit without overflow.
bool FitsIn(uint64_t a, uint64_t b, uint64_t nLimit)
{
    return a <= nLimit && b <= nLimit - a;
}

/// The header fixes a strict reader needs; empty when the file does not look like an archive.
std::vector<SPatch> HeaderPatches(const std::string& strPath)
{
    std::vector<SPatch> vecPatches;
    int fd = ::open(strPath.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return vecPatches;
    unsigned char aHead[0x58] = {};
    const ssize_t nHead = pread(fd, aHead, sizeof(aHead), 0);
    if (nHead >= 0x38 && std::memcmp(aHead, "ITSF", 4) == 0)
    {
        if (std::memcmp(aHead + kHeaderGuid2, kGuidLoose, sizeof(kGuidLoose)) == 0)
            vecPatches.push_back({kHeaderGuid2, {std::begin(kGuidStrict), std::end(kGuidStrict)}});
        // chmcmd sets the first listing chunk to 1 in large files although chunk 0 holds entries;
        // libmspack starts its listing there. From 0 every chunk is read, index chunks are skipped
        // by their signature.
        if (nHead >= 0x58)
        {
            const uint64_t nDir = GetU64(aHead + kHeaderDirOffset);
            unsigned char aDir[0x24] = {};
            if (nDir < (uint64_t(1) << 62) &&
                pread(fd, aDir, sizeof(aDir), static_cast<off_t>(nDir)) == sizeof(aDir) &&
                std::memcmp(aDir, "ITSP", 4) == 0 && GetU32(aDir + kDirFirstListingChunk) != 0)
                vecPatches.push_back({nDir + kDirFirstListingChunk, {0, 0, 0, 0}});
        }
    }
    ::close(fd);
    return vecPatches;
}
} // namespace

struct CCHMArchive::CImpl
{
    SSystem sys{};
    std::string strPath; ///< the open header keeps a pointer to its text
    std::vector<SPatch> vecPatches;
    uint64_t nFileSize = 0;
    std::unique_ptr<mschm_decompressor, CDecompDeleter> pOpenDecomp;
    std::unique_ptr<mschmd_header, CHeaderCloser> pHeader;
    // Extraction has its own decompressor: dropping it is the only way to make libmspack restart
    // LZX at a reset point rather than decompress a long gap forwards.
    std::unique_ptr<mschm_decompressor, CDecompDeleter> pExtractDecomp;
    std::vector<SCHMEntry> vecEntries;
    std::vector<mschmd_file*> vecFiles;

    bool bLzxUsable = false;
    uint64_t nLzxLength = 0;
    uint64_t nResetInterval = 0;
    uint64_t nResetEntries = 0;
    uint64_t nResetEntrySize = 0;
    uint64_t nResetTableOffset = 0;
    uint64_t nResetTableLength = 0;
    int64_t nLzxPos = -1; ///< where the LZX state stands, -1 when there is none

    struct SBlock
    {
        uint64_t nIndex = UINT64_MAX;
        uint64_t nLastUse = 0;
        std::string strData;
    };
    std::vector<SBlock> vecBlocks;
    uint64_t nUseClock = 0;

    CImpl()
    {
        sys.base.open = SysOpen;
        sys.base.close = SysClose;
        sys.base.read = SysRead;
        sys.base.write = SysWrite;
        sys.base.seek = SysSeek;
        sys.base.tell = SysTell;
        sys.base.message = SysMessage;
        sys.base.alloc = SysAlloc;
        sys.base.free = SysFree;
        sys.base.copy = SysCopy;
        sys.base.null_ptr = nullptr;
        sys.pPatches = &vecPatches;
    }

    void Close()
    {
        pExtractDecomp.reset();
        pHeader.reset();
        pOpenDecomp.reset();
        vecEntries.clear();
        vecFiles.clear();
        vecPatches.clear();
        bLzxUsable = false;
        nLzxPos = -1;
        vecBlocks.clear();
    }

    const mschmd_file* FindSysFile(const char* pszName) const
    {
        for (size_t i = 0; i < vecEntries.size(); ++i)
        {
            if (vecEntries[i].strName == pszName)
                return vecFiles[i];
        }
        return nullptr;
    }

    bool ReadSysFile(const char* pszName, std::string& strOut)
    {
        for (size_t i = 0; i < vecEntries.size(); ++i)
        {
            if (vecEntries[i].strName == pszName && vecEntries[i].nSection == 0)
            {
                CStringSink sink(strOut);
                return ExtractEntry(i, sink) && strOut.size() == vecEntries[i].nLength;
            }
        }
        return false;
    }

    /// libmspack falls back to a directory search that can loop forever on damaged files when
    /// these entries are missing or unsound, so compressed entries are read only when all are.
    void CheckLzxSection()
    {
        const mschmd_file* pContent = FindSysFile(kContentName);
        if (pContent == nullptr || pContent->section->id != 0 || pContent->offset < 0 ||
            pContent->length < 0 ||
            !FitsIn(static_cast<uint64_t>(pHeader->sec0.offset), static_cast<uint64_t>(pContent->offset),
                    nFileSize) ||
            !FitsIn(static_cast<uint64_t>(pHeader->sec0.offset + pContent->offset),
                    static_cast<uint64_t>(pContent->length), nFileSize))
            return;
        std::string strControl;
        if (!ReadSysFile(kControlName, strControl) || strControl.size() < 0x18)
            return;
        const unsigned char* pControl = reinterpret_cast<const unsigned char*>(strControl.data());
        if (std::memcmp(pControl + 4, "LZXC", 4) != 0)
            return;
        uint64_t nReset = GetU32(pControl + 12);
        uint64_t nWindow = GetU32(pControl + 16);
        const uint32_t nVersion = GetU32(pControl + 8);
        if (nVersion == 2)
        {
            nReset *= kFrameSize;
            nWindow *= kFrameSize;
        }
        else if (nVersion != 1)
            return;
        // libmspack keeps these in an int.
        if (nReset == 0 || nReset % kFrameSize != 0 || nReset > 0x40000000)
            return;
        if (nWindow < 0x8000 || nWindow > 0x200000 || (nWindow & (nWindow - 1)) != 0)
            return;

        std::string strTable;
        if (!ReadSysFile(kResetTableName, strTable) || strTable.size() < 0x28)
            return;
        const unsigned char* pTable = reinterpret_cast<const unsigned char*>(strTable.data());
        if (GetU64(pTable + 0x20) != kFrameSize)
            return;
        nResetEntries = GetU32(pTable + 4);
        nResetEntrySize = GetU32(pTable + 8);
        nResetTableOffset = GetU32(pTable + 12);
        nResetTableLength = strTable.size();
        nLzxLength = GetU64(pTable + 0x10);
        if ((nResetEntrySize != 4 && nResetEntrySize != 8) || nLzxLength > (uint64_t(1) << 62))
            return;
        nResetInterval = nReset;
        bLzxUsable = true;
    }

    /// libmspack restarts LZX from the reset table entry of the entry's offset; it must exist.
    bool HasResetEntry(uint64_t nOffset) const
    {
        const uint64_t nEntry = nOffset / nResetInterval * (nResetInterval / kFrameSize);
        if (nEntry >= nResetEntries)
            return false;
        const uint64_t nPos = nResetTableOffset + nEntry * nResetEntrySize;
        return nPos <= 0xFFFFFFFFu && FitsIn(nPos, nResetEntrySize, nResetTableLength);
    }

    /// Runs libmspack on pFile. Restarts LZX at the entry's reset point when that lies beyond
    /// where the decompressor stands, rather than decompressing the whole gap.
    bool RunExtract(mschmd_file* pFile, CCHMSink& sink)
    {
        const bool bCompressed = pFile->section->id == 1;
        const uint64_t nOffset = static_cast<uint64_t>(pFile->offset);
        if (bCompressed && nLzxPos >= 0 && nOffset >= static_cast<uint64_t>(nLzxPos) &&
            nOffset / nResetInterval * nResetInterval > static_cast<uint64_t>(nLzxPos))
            pExtractDecomp.reset();
        if (!pExtractDecomp)
        {
            pExtractDecomp.reset(mspack_create_chm_decompressor(&sys.base));
            nLzxPos = -1;
            if (!pExtractDecomp)
                return false;
        }
        sys.pPendingSink = &sink;
        const int nError = pExtractDecomp->extract(pExtractDecomp.get(), pFile, "");
        sys.pPendingSink = nullptr;
        if (bCompressed)
            nLzxPos = nError == MSPACK_ERR_OK
                          ? static_cast<int64_t>(nOffset + static_cast<uint64_t>(pFile->length))
                          : -1;
        return nError == MSPACK_ERR_OK;
    }

    bool Cached(uint64_t nBlock) const
    {
        return std::any_of(vecBlocks.begin(), vecBlocks.end(),
                           [nBlock](const SBlock& block) { return block.nIndex == nBlock; });
    }

    /// Reset interval nBlock of the compressed section, decompressed; null when it cannot be.
    const std::string* Block(uint64_t nBlock)
    {
        for (SBlock& block : vecBlocks)
        {
            if (block.nIndex == nBlock)
            {
                block.nLastUse = ++nUseClock;
                return &block.strData;
            }
        }
        const uint64_t nStart = nBlock * nResetInterval;
        if (nStart >= nLzxLength || !HasResetEntry(nStart))
            return nullptr;
        mschmd_file file{};
        file.section = &pHeader->sec1.base;
        file.offset = static_cast<off_t>(nStart);
        file.length = static_cast<off_t>(std::min(nResetInterval, nLzxLength - nStart));
        file.filename = const_cast<char*>("");

        SBlock* pSlot = nullptr;
        if (vecBlocks.size() < kBlockCacheBytes / nResetInterval || vecBlocks.size() < 2)
            pSlot = &vecBlocks.emplace_back();
        else
        {
            pSlot = &vecBlocks.front();
            for (SBlock& block : vecBlocks)
            {
                if (block.nLastUse < pSlot->nLastUse)
                    pSlot = &block;
            }
        }
        pSlot->nIndex = UINT64_MAX;
        pSlot->strData.clear();
        pSlot->strData.reserve(static_cast<size_t>(file.length));
        CStringSink sink(pSlot->strData);
        if (!RunExtract(&file, sink) || pSlot->strData.size() != static_cast<uint64_t>(file.length))
            return nullptr;
        pSlot->nIndex = nBlock;
        pSlot->nLastUse = ++nUseClock;
        return &pSlot->strData;
    }

    /// A compressed entry served from whole reset intervals: pages read in directory order lie
    /// near each other in the section, so most intervals are decompressed once.
    bool ExtractThroughBlocks(const SCHMEntry& entry, CCHMSink& sink)
    {
        uint64_t nPos = entry.nOffset;
        const uint64_t nEnd = entry.nOffset + entry.nLength;
        while (nPos < nEnd)
        {
            const uint64_t nBlock = nPos / nResetInterval;
            // Where the decompressor stands at the next byte, outside the cache, it goes on from
            // there to the end of the entry without a copy through the cache: files unpacked in the
            // order of their content are read so.
            if (nLzxPos >= 0 && nPos == static_cast<uint64_t>(nLzxPos) && !Cached(nBlock))
            {
                mschmd_file file{};
                file.section = &pHeader->sec1.base;
                file.offset = static_cast<off_t>(nPos);
                file.length = static_cast<off_t>(nEnd - nPos);
                file.filename = const_cast<char*>("");
                return RunExtract(&file, sink);
            }
            const std::string* pData = Block(nBlock);
            const uint64_t nFrom = nPos - nBlock * nResetInterval;
            if (pData == nullptr || nFrom >= pData->size())
                return false;
            const uint64_t nTake = std::min<uint64_t>(pData->size() - nFrom, nEnd - nPos);
            if (!sink.Write(reinterpret_cast<const unsigned char*>(pData->data()) + nFrom,
                            static_cast<size_t>(nTake)))
                return false;
            nPos += nTake;
        }
        return true;
    }

    bool ExtractEntry(size_t nIndex, CCHMSink& sink)
    {
        if (nIndex >= vecEntries.size() || !pHeader)
            return false;
        const SCHMEntry& entry = vecEntries[nIndex];
        if (entry.nLength == 0)
            return true;
        if (entry.nSection == 0)
        {
            if (pHeader->sec0.offset < 0 ||
                !FitsIn(static_cast<uint64_t>(pHeader->sec0.offset), entry.nOffset, nFileSize) ||
                !FitsIn(static_cast<uint64_t>(pHeader->sec0.offset) + entry.nOffset, entry.nLength,
                        nFileSize))
                return false;
            return RunExtract(vecFiles[nIndex], sink);
        }
        if (!bLzxUsable || !FitsIn(entry.nOffset, entry.nLength, nLzxLength))
            return false;
        if (nResetInterval <= kMaxCachedInterval)
            return ExtractThroughBlocks(entry, sink);
        return HasResetEntry(entry.nOffset) && RunExtract(vecFiles[nIndex], sink);
    }
};

CCHMArchive::CCHMArchive() : m_pImpl(std::make_unique<CImpl>()) {}

CCHMArchive::~CCHMArchive()
{
    m_pImpl->Close();
}

bool CCHMArchive::Open(const std::string& strPath)
{
    CImpl& d = *m_pImpl;
    d.Close();
    d.strPath = strPath;
    struct stat st;
    if (stat(strPath.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    d.nFileSize = static_cast<uint64_t>(st.st_size);
    d.vecPatches = HeaderPatches(strPath);

    d.pOpenDecomp.reset(mspack_create_chm_decompressor(&d.sys.base));
    if (!d.pOpenDecomp)
        return false;
    mschmd_header* pHeader = d.pOpenDecomp->open(d.pOpenDecomp.get(), d.strPath.c_str());
    if (pHeader == nullptr)
    {
        d.Close();
        return false;
    }
    d.pHeader = std::unique_ptr<mschmd_header, CHeaderCloser>(pHeader, CHeaderCloser{d.pOpenDecomp.get()});
    // A file shorter than its header says was cut short: its last entries would read as garbage.
    if (pHeader->length < 0 || static_cast<uint64_t>(pHeader->length) > d.nFileSize ||
        pHeader->sec0.offset < 0)
    {
        d.Close();
        return false;
    }

    for (int nList = 0; nList < 2; ++nList)
    {
        for (mschmd_file* pFile = nList == 0 ? pHeader->files : pHeader->sysfiles; pFile != nullptr;
             pFile = pFile->next)
        {
            SCHMEntry entry;
            entry.strName = pFile->filename;
            entry.nSection = static_cast<int>(pFile->section->id);
            // Negative fields come from damaged numbers; they make the entry unreadable.
            entry.nOffset = pFile->offset < 0 ? UINT64_MAX : static_cast<uint64_t>(pFile->offset);
            entry.nLength = pFile->length < 0 ? UINT64_MAX : static_cast<uint64_t>(pFile->length);
            d.vecEntries.push_back(std::move(entry));
            d.vecFiles.push_back(pFile);
        }
    }
    d.CheckLzxSection();
    return true;
}

void CCHMArchive::Close()
{
    m_pImpl->Close();
}

bool CCHMArchive::IsOpen() const
{
    return m_pImpl->pHeader != nullptr;
}

const std::vector<SCHMEntry>& CCHMArchive::Entries() const
{
    return m_pImpl->vecEntries;
}

bool CCHMArchive::Extract(size_t nIndex, CCHMSink& sink)
{
    return m_pImpl->ExtractEntry(nIndex, sink);
}
