#pragma once

#include <string>
#include <string_view>

class CCodePage;

/// A reference into another compiled file ("other.chm::/html/a.htm"), resolved for the site.
struct SCHMReference
{
    std::string strKey;   ///< Lower-cased path of the compiled file: the merge map's key.
    std::string strTitle; ///< Lower-cased file title: the site folder "merge/" + strTitle.
    std::string strPath;  ///< The part after the marker, with "/" separators.
};

/// Bytes of the character at sv[i]: 2 for a lead byte and its trail byte in a double-byte code
/// page, else 1. Text in a code page that the file did not use can have a lone lead byte; it
/// counts as a character of its own when no trail byte can follow it.
size_t SitemapCharLength(std::string_view sv, size_t i, const CCodePage& cp);

/// sv with every "\" that is a character of its own turned into "/". In a double-byte code page a
/// byte 0x5C after a lead byte is half of a character and stays.
std::string SitemapSlashes(std::string_view sv, const CCodePage& cp);

/// Splits an address at its "::/" marker (either slash) and resolves the file part: a relative
/// name against the folder of strCHMFile, then lower-cased. Returns false, leaving ref alone, when
/// there is no marker after a file part, or the resolved path would not fit 260 characters or
/// names no file.
bool SitemapSplitCHMReference(const std::string& strAddress, const std::string& strCHMFile,
                              const CCodePage& cp, SCHMReference& ref);

/// The compiled file on this machine that a merge map key names, found without regard to case;
/// empty when there is none.
std::string SitemapFindCHMFile(const std::string& strKey);

/// The merge map key that a reference to strCHMFile itself would get.
std::string SitemapMainFileKey(const std::string& strCHMFile);
