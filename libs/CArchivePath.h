#pragma once

#include <string>
#include <string_view>

class CCodePage;

// Archive paths: names inside a compiled file and the addresses that lead to them. An archive path
// comes out of this module with "/" separators; a byte 0x5C left in it is half of a character.

/// A reference into another compiled file ("other.chm::/html/a.htm"), resolved for the site.
struct SCHMReference
{
    std::string strKey;   ///< Lower-cased path of the compiled file: the merge map's key.
    std::string strTitle; ///< Lower-cased file title: the site folder "merge/" + strTitle.
    std::string strPath;  ///< The part after the marker, with "/" separators.
};

/// sv (text in cp) with every "\" that is a character of its own turned into "/": in a double-byte
/// code page a byte 0x5C after a lead byte is half of a character and stays.
std::string ArchivePath_Slashes(std::string_view sv, const CCodePage& cp);

/// The same for a name of the archive directory, which is UTF-8: no character of it holds a 0x5C.
std::string ArchivePath_Slashes(std::string_view svName);

/// An address from a sitemap (text in cp) as the site writes it: a relative one names an archive
/// path and gets "/" separators before its query or fragment; a local or network address stays.
/// svFolder is the sitemap's folder as CCHMFileRW::CHM_GetSitemapFolder gives it (UTF-8): a relative
/// path is resolved against it and one starting with "/" against the top, with "." and ".."
/// segments collapsed; a ".." at the top is dropped, as the help viewer's address resolution does,
/// so no result climbs out of the topic folder.
std::string ArchivePath_SitemapAddress(std::string_view sv, const CCodePage& cp,
                                       std::string_view svFolder = {});

/// A name of the archive directory with "/" separators and one leading "/" ("sub\b.hhc" ->
/// "/sub/b.hhc"): the form the reader looks names up in.
std::string ArchivePath_Rooted(std::string_view svName);

/// A name of the archive directory as the site's addresses name it, below the topic folder: "/"
/// separators, without its leading separator ("/sub\b.htm" -> "sub/b.htm").
std::string ArchivePath_Entry(std::string_view svName);

/// The path below the unpacking folder for an archive name, "/"-separated without a leading
/// separator; "\" separates too, empty and "." segments are dropped. False for a name that
/// would leave the folder: absolute after its leading "/", with a drive letter, or with a ".."
/// segment; also for a name with nothing left.
bool ArchivePath_SafeRelative(std::string_view svName, std::string& strRelative);

/// sv without a leading "ms-its:" or "mk:@MSITStore:" in any case; sv itself when it has neither.
std::string_view ArchivePath_WithoutCHMPrefix(std::string_view sv);

/// Name without folders and extension of a path whose separators are all "/" (a byte 0x5C is part
/// of a name, and "." is never part of a double-byte character). A leading dot is no extension.
std::string ArchivePath_FileTitle(std::string_view svPath);

/// Splits an address (text in cp) at its "::/" marker (either slash) and resolves the file part: a
/// relative name against the folder of strCHMFile, then lower-cased. Returns false, leaving ref
/// alone, when there is no marker after a file part, or the resolved path would not fit 260
/// characters or names no file.
bool ArchivePath_SplitCHMReference(const std::string& strAddress, const std::string& strCHMFile,
                                   const CCodePage& cp, SCHMReference& ref);

/// The merge map key that a reference to strCHMFile itself would get.
std::string ArchivePath_CHMFileKey(const std::string& strCHMFile);

/// The compiled file on this machine that a merge map key names, found without regard to case
/// when the exact name is missing; empty when there is no such regular file.
std::string ArchivePath_FindCHMFile(const std::string& strKey);

/// The archive path (UTF-8, "/" separators) that a reference in a page (an href, src or url()
/// value, text in cp) names, as a browser resolves it against the page at svPageEntry (an archive
/// path): query and fragment dropped, "%XX" decoded. False, with strPath empty, for a reference with
/// a scheme, an absolute one, one without a path, or one that climbs out of the archive.
bool ArchivePath_ResolveReference(std::string_view svPageEntry, std::string_view svRef, const CCodePage& cp,
                                  std::string& strPath);

/// A name of this machine or of the archive (UTF-8) as the inside of a string in a data script of
/// a site in cp: as an address (bAddress) or as a title. Every character is kept: one cp lacks is
/// written "\uXXXX", which a browser resolves to the same UTF-8 name on disk.
std::string ArchivePath_NameForSite(std::string_view svName, const CCodePage& cp, bool bAddress);
