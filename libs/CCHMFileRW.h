#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class COutputFolder;
class CXML;
class CSitemapElements;
struct SWorkCount;

/// What a compiled file's #SYSTEM record says of it. Texts are bytes in the file's own code page.
struct CCHMSystemInfo
{
    std::string strTitle;
    std::string strContentsFile; ///< Archive path of the contents sitemap, "/" separators; may be empty.
    std::string strIndexFile;    ///< Likewise for the index sitemap.
    std::string strDefaultTopic;
    uint32_t nLCID = 0; ///< 0 when the record has none.
};

/// Reader of compiled HTML Help files. Archive paths given to it use "\" (or "/") separators.
/// Nothing it reads from the file is trusted: a damaged file makes reads fail, never crash.
class CCHMFileRW
{
public:
    CCHMFileRW();
    virtual ~CCHMFileRW();
    CCHMFileRW(const CCHMFileRW&) = delete;
    CCHMFileRW& operator=(const CCHMFileRW&) = delete;

    /// Opens strPath (a machine path) for the calls below, closing any open file first.
    /// Returns false when it is not a readable compiled help file; then every read returns 0.
    bool CHM_SetCHMFile(const std::string& strPath);
    /// Harmless when nothing is open.
    void CHM_CloseCHMFile();
    bool CHM_IsOpen() const;

    /// Parses a contents sitemap into pRoot's subtree: strSitemap empty for the file's own, else an
    /// archive path. Non-zero on success; 0 when the file is not open or there is no such sitemap.
    int CHM2Web_ReadHHCInfoToXML(CXML* pRoot, const std::string& strSitemap);
    /// The same for the file's own index sitemap.
    int CHM2Web_ReadHHKInfoToXML(CXML* pRoot);
    /// The same tree, as elements without CXML objects.
    int CHM2Web_ReadHHKElements(CSitemapElements& elements);
    /// After a sitemap read that returned 0: true when the archive is open and readable but simply
    /// has no such sitemap (rather than one that could not be read).
    bool CHM_SitemapMissing() const;
    /// Folder of the sitemap read last, as an archive name (UTF-8, "/" separators, no leading "/",
    /// ending in "/"); empty for one at the top and before any read. Its addresses are relative to it.
    const std::string& CHM_GetSitemapFolder() const;

    /// Fills pRoot with the user files and folders in directory order: "Folder" elements ("Type" 0,
    /// "Local" "/a/") holding their entries, "File" elements ("Type" 3, "Local" "/a/b.htm").
    /// Internal entries and entries that would unpack outside the folder are left out.
    /// Non-zero on success; 0 when no file is open.
    int CHM_ReadAllStorageInfoToXML(CXML* pRoot);

    /// Content of the entry at strPath (no leading separator needed; "\" or "/" separators; the
    /// exact name first, then without regard to case) in a malloc'ed buffer followed by one zero
    /// byte, released by the caller with free(); an empty entry gives 0 and a buffer holding just
    /// the zero byte. Returns -1 with *ppBuf null when there is no such entry or it cannot be
    /// read whole. nFlag is always 1.
    int64_t CHM_GetStream(const std::string& strPath, unsigned char** ppBuf, int nFlag);
    /// The bytes of the entry at strPath, found as CHM_GetStream finds it, into strOut. False, with
    /// strOut empty, when there is no such entry or it cannot be read whole.
    bool CHM_ReadStream(const std::string& strPath, std::string& strOut);
    /// The number of the entry CHM_ReadStream would read for strPath; none when there is no such entry.
    /// Like CHM_FindEntryName, it reads only what opening the file made, so another thread may call
    /// both while this one reads or unpacks.
    std::optional<size_t> CHM_FindEntry(std::string_view svPath) const;
    /// The bytes of entry nEntry into strOut, as CHM_ReadStream reads them.
    bool CHM_ReadEntry(size_t nEntry, std::string& strOut);
    /// The name under which CHM2Web_Decompile writes the entry found at strPath as CHM_GetStream finds
    /// it ("/" separators, no leading separator: "Images/logo.gif"); empty when there is none or it
    /// would unpack outside the folder.
    std::string CHM_FindEntryName(std::string_view svPath) const;

    /// Writes every user file into strDir keeping the archive's folders, creating folders as
    /// needed. An entry named to climb out (absolute, drive letter, "..") is skipped: nothing is
    /// written outside strDir. Raises the long-file-name flag for a path over 260 characters.
    /// Non-zero when every file was written. Files and folders are written through pFolder when
    /// strDir lies below its root (no link inside that root is followed), else through a folder
    /// opened at strDir.
    int CHM2Web_Decompile(const std::string& strDir, COutputFolder* pFolder = nullptr);
    /// Receives each file CHM2Web_Decompile writes, whole, once it is written: the entry's number,
    /// its bytes (the receiver may take them) and whether it was read whole, as CHM_ReadEntry says.
    using FnUnpacked = std::function<void(size_t nEntry, std::string& strBytes, bool bRead)>;
    /// Says whether the file of an entry is wanted whole.
    using FnWanted = std::function<bool(size_t nEntry)>;
    /// The same, handing every file it writes that fnWanted wants (all when it is empty) to
    /// fnUnpacked, in the order it writes them (the archive's own), so that the bytes are
    /// decompressed once for both. Decompresses on the calling thread; a file handed over is held
    /// whole while it is written, any other is written in pieces.
    int CHM2Web_Decompile(const std::string& strDir, COutputFolder* pFolder, const FnUnpacked& fnUnpacked,
                          const FnWanted& fnWanted = FnWanted());
    /// Each CHM2Web_Decompile adds the files it will write to pCount's total and counts each one
    /// done; null counts nothing. pCount must outlive those calls.
    void CHM_SetUnpackCount(SWorkCount* pCount);
    /// Once *pStop is raised (by any thread), CHM2Web_Decompile writes no further file and returns 0;
    /// null never stops. pStop must outlive those calls.
    void CHM_SetUnpackStopFlag(const std::atomic<bool>* pStop);
    /// True (the default): CHM2Web_Decompile decompresses on a second thread while the calling one
    /// writes. False: both on the calling thread, for an unpacking that already runs beside other work.
    void CHM_SetUnpackOverlapped(bool bOverlapped);

    /// The first file that the last CHM2Web_Decompile could not create or write whole, and errno's
    /// reason; false when every file it tried was written.
    bool CHM_GetWriteFailure(std::string& strPath, int& nErrno) const;

    /// Names of the user entries that CHM2Web_Decompile refuses to write because they would land
    /// outside its folder; empty when nothing is open.
    std::vector<std::string> CHM_GetUnsafeEntryNames() const;

    /// Valid while a file is open; empty fields otherwise.
    const CCHMSystemInfo& CHM_GetSystemInfo() const;

private:
    struct CImpl;
    std::unique_ptr<CImpl> m_pImpl;
};
