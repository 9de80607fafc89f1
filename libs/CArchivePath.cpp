#include "CArchivePath.h"

#include "CCharsets.h"
#include "CCodePage.h"
#include "CPath.h"
#include "CText.h"

#include <algorithm>
#include <vector>

namespace
{
const CCodePage& MachineCodePage()
{
    static const CCodePage s_utf8(kCharsetUTF8);
    return s_utf8;
}

bool IsSeparator(char c)
{
    return c == '/' || c == '\\';
}

/// sv with "\" turned into "/" wherever fnLength, the length of the character at a position, lands.
template <typename FnLength> std::string Slashes(std::string_view sv, FnLength fnLength)
{
    std::string strOut(sv);
    const auto* pBegin = reinterpret_cast<const unsigned char*>(strOut.data());
    const auto* pEnd = pBegin + strOut.size();
    for (const auto* p = pBegin; p < pEnd; p += fnLength(p, pEnd))
    {
        if (*p == '\\')
            strOut[static_cast<size_t>(p - pBegin)] = '/';
    }
    return strOut;
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    c = LowerASCII(c);
    return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

/// sv with every "%XX" turned into its byte, as a server does before it looks for the file.
std::string PercentDecoded(std::string_view sv)
{
    std::string strOut;
    strOut.reserve(sv.size());
    for (size_t i = 0; i < sv.size(); ++i)
    {
        if (sv[i] == '%' && i + 2 < sv.size() && HexValue(sv[i + 1]) >= 0 && HexValue(sv[i + 2]) >= 0)
        {
            strOut += static_cast<char>(HexValue(sv[i + 1]) * 16 + HexValue(sv[i + 2]));
            i += 2;
        }
        else
            strOut += sv[i];
    }
    return strOut;
}

/// svFolder (UTF-8) in cp; a character cp lacks is percent-encoded, which a browser resolves to
/// the same UTF-8 name on disk.
std::string FolderInCodePage(std::string_view svFolder, const CCodePage& cp)
{
    if (cp.IsUTF8())
        return std::string(svFolder);
    std::string strOut;
    const auto* p = reinterpret_cast<const unsigned char*>(svFolder.data());
    const auto* pEnd = p + svFolder.size();
    while (p < pEnd)
    {
        char32_t c = 0;
        const size_t nLen = DecodeUTF8(p, pEnd, c);
        if (nLen == 0 || !cp.EncodeChar(c, strOut))
        {
            static const char aHex[] = "0123456789ABCDEF";
            for (size_t i = 0; i < std::max<size_t>(nLen, 1); ++i)
            {
                strOut += '%';
                strOut += aHex[p[i] >> 4];
                strOut += aHex[p[i] & 0x0F];
            }
        }
        p += std::max<size_t>(nLen, 1);
    }
    return strOut;
}

/// Position of the first byte of sv that is cA or cB, else npos; find_first_of would search its
/// set once for every byte.
size_t FindEither(std::string_view sv, char cA, char cB)
{
    for (size_t i = 0; i < sv.size(); ++i)
    {
        if (sv[i] == cA || sv[i] == cB)
            return i;
    }
    return std::string_view::npos;
}

bool IsTagSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '\r';
}

/// Appends to strOut, after what it holds (segments joined with "/"), the segments of sv split at
/// "/" and "\\", without empty and "." ones, joined the same way. A ".." removes the segment before
/// it when bClimb (false when there is none), else fails. In place: every page reference and every
/// archive name goes through here.
bool AppendSegments(std::string_view sv, bool bClimb, std::string& strOut)
{
    size_t nStart = 0;
    for (size_t i = 0; i <= sv.size(); ++i)
    {
        if (i < sv.size() && !IsSeparator(sv[i]))
            continue;
        const std::string_view svSegment = sv.substr(nStart, i - nStart);
        nStart = i + 1;
        if (svSegment.empty() || svSegment == ".")
            continue;
        if (svSegment == "..")
        {
            if (!bClimb || strOut.empty())
                return false;
            const size_t nSlash = strOut.rfind('/');
            strOut.resize(nSlash == std::string::npos ? 0 : nSlash);
            continue;
        }
        if (!strOut.empty())
            strOut.push_back('/');
        strOut.append(svSegment);
    }
    return true;
}

/// The segments joined with "/".
std::string JoinSegments(const std::vector<std::string_view>& vecSegments)
{
    std::string strOut;
    for (std::string_view svSegment : vecSegments)
    {
        if (!strOut.empty())
            strOut.push_back('/');
        strOut.append(svSegment);
    }
    return strOut;
}

/// svPath ("/" separators) without "." segments, each ".." taking the segment before it along and
/// dropped at the top, and without a leading "/". Empty segments stay: they are part of a name.
std::string CollapseDots(std::string_view svPath)
{
    if (!svPath.empty() && svPath[0] == '/')
        svPath.remove_prefix(1);
    if (svPath.find('.') == std::string_view::npos)
        return std::string(svPath);
    std::vector<std::string_view> vecSegments;
    bool bTrailing = false;
    size_t nStart = 0;
    while (nStart <= svPath.size())
    {
        const size_t nEnd = std::min(svPath.find('/', nStart), svPath.size());
        const std::string_view svSegment = svPath.substr(nStart, nEnd - nStart);
        const bool bLast = nEnd == svPath.size();
        // A path that ends in "." or ".." names a folder, as one ending in "/" does.
        bTrailing = bLast && (svSegment == "." || svSegment == "..");
        if (svSegment == "..")
        {
            if (!vecSegments.empty())
                vecSegments.pop_back();
        }
        else if (svSegment != ".")
            vecSegments.push_back(svSegment);
        nStart = nEnd + 1;
    }
    std::string strOut = JoinSegments(vecSegments);
    if (bTrailing && !strOut.empty())
        strOut += '/';
    return strOut;
}
} // namespace

std::string ArchivePath_Slashes(std::string_view sv, const CCodePage& cp)
{
    // Every character of an ASCII text is one byte, whatever the code page.
    if (IsPlainASCII(sv))
        return ArchivePath_Slashes(sv);
    return Slashes(sv, [&cp](const unsigned char* p, const unsigned char* pEnd)
                   { return cp.CharLength(p, pEnd); });
}

std::string ArchivePath_Slashes(std::string_view svName)
{
    return Slashes(svName, [](const unsigned char*, const unsigned char*) { return size_t{1}; });
}

std::string ArchivePath_SitemapAddress(std::string_view sv, const CCodePage& cp, std::string_view svFolder)
{
    CPath path{std::string(sv)};
    if (path.IsLocalPath() || path.IsNetworkPath())
        return std::string(sv);
    // "#" and "?" are never part of a double-byte character, nor are "/" and ".".
    const size_t nPathEnd = std::min(FindEither(sv, '#', '?'), sv.size());
    std::string strPath = ArchivePath_Slashes(sv.substr(0, nPathEnd), cp);
    if (strPath.empty() || strPath[0] != '/')
        strPath = FolderInCodePage(svFolder, cp) + strPath;
    return CollapseDots(strPath) + std::string(sv.substr(nPathEnd));
}

std::string ArchivePath_Rooted(std::string_view svName)
{
    if (svName.empty() || !IsSeparator(svName[0]))
        return "/" + ArchivePath_Slashes(svName);
    return ArchivePath_Slashes(svName);
}

std::string ArchivePath_Entry(std::string_view svName)
{
    if (!svName.empty() && IsSeparator(svName[0]))
        svName.remove_prefix(1);
    return ArchivePath_Slashes(svName);
}

bool ArchivePath_SafeRelative(std::string_view svName, std::string& strRelative)
{
    strRelative.clear();
    if (!svName.empty() && svName[0] == '/')
        svName.remove_prefix(1);
    if (svName.empty() || IsSeparator(svName[0]))
        return false;
    if (!AppendSegments(svName, false, strRelative) || strRelative.empty())
    {
        strRelative.clear();
        return false;
    }
    if (strRelative.size() >= 2 && strRelative[1] == ':' &&
        ((strRelative[0] >= 'A' && strRelative[0] <= 'Z') ||
         (strRelative[0] >= 'a' && strRelative[0] <= 'z')))
    {
        strRelative.clear();
        return false;
    }
    return true;
}

std::string_view ArchivePath_WithoutCHMPrefix(std::string_view sv)
{
    for (std::string_view svPrefix : {std::string_view("ms-its:"), std::string_view("mk:@MSITStore:")})
    {
        if (StartsWithNoCaseASCII(sv, svPrefix))
            return sv.substr(svPrefix.size());
    }
    return sv;
}

std::string ArchivePath_FileTitle(std::string_view svPath)
{
    const size_t nSep = svPath.rfind('/');
    const std::string_view svName = nSep == std::string_view::npos ? svPath : svPath.substr(nSep + 1);
    const size_t nDot = svName.rfind('.');
    return std::string(nDot == std::string_view::npos || nDot == 0 ? svName : svName.substr(0, nDot));
}

bool ArchivePath_SplitCHMReference(const std::string& strAddress, const std::string& strCHMFile,
                                   const CCodePage& cp, SCHMReference& ref)
{
    const std::string strSlashed = ArchivePath_Slashes(strAddress, cp);
    const size_t nMarker = strSlashed.find("::/");
    if (nMarker == std::string::npos || nMarker == 0)
        return false;

    // The file part is in the help file's code page, the main file's folder is a name of this
    // machine (UTF-8): each is lower-cased by its own rules.
    std::string strFile = strSlashed.substr(0, nMarker);
    cp.MakeLower(strFile);
    std::string strResolved = strFile;
    CPath path(strFile);
    if (!path.IsLocalPath() && !path.IsNetworkPath())
    {
        if (strFile[0] == '/')
            strFile.erase(0, 1);
        std::string strFolder = CPath(strCHMFile).GetLocation();
        MachineCodePage().MakeLower(strFolder);
        if (!CPath::Canonicalize(strFolder + strFile, strResolved, "/"))
            return false;
    }
    std::string strTitle = ArchivePath_FileTitle(strResolved);
    if (strTitle.empty() || strTitle == "." || strTitle == "..")
        return false;

    ref.strKey = std::move(strResolved);
    ref.strTitle = std::move(strTitle);
    ref.strPath = strSlashed.substr(nMarker + 3);
    return true;
}

std::string ArchivePath_CHMFileKey(const std::string& strCHMFile)
{
    std::string strKey = strCHMFile;
    MachineCodePage().MakeLower(strKey);
    std::string strCanonical;
    return CPath::Canonicalize(strKey, strCanonical, "/") ? strCanonical : strKey;
}

std::string ArchivePath_FindCHMFile(const std::string& strKey)
{
    // Help data was written for a file system that ignores case; the key is lower-cased.
    std::string strFound = CPath::FindFileNoCase(strKey);
    if (strFound.empty() || !CPath(strFound).ExistFile())
        return std::string();
    return strFound;
}

std::string ArchivePath_NameForSite(std::string_view svName, const CCodePage& cp, bool bAddress)
{
    return ScriptLiteralFromUTF8(svName, cp, bAddress);
}

bool ArchivePath_ResolveReference(std::string_view svPageEntry, std::string_view svRef, const CCodePage& cp,
                                  std::string& strPath)
{
    strPath.clear();
    while (!svRef.empty() && IsTagSpace(svRef.front()))
        svRef.remove_prefix(1);
    while (!svRef.empty() && IsTagSpace(svRef.back()))
        svRef.remove_suffix(1);
    svRef = svRef.substr(0, std::min(FindEither(svRef, '#', '?'), svRef.size()));
    if (svRef.empty() || IsSeparator(svRef[0]))
        return false;
    const size_t nColon = svRef.find(':');
    if (nColon != std::string_view::npos && nColon < std::min(FindEither(svRef, '/', '\\'), svRef.size()))
        return false;

    // npos + 1 is 0: a page at the root has no folder.
    if (!AppendSegments(svPageEntry.substr(0, svPageEntry.rfind('/') + 1), true, strPath))
    {
        strPath.clear();
        return false;
    }
    // A browser asks for a path in UTF-8, whatever the page's code page. Most references are ASCII
    // without "%": those are their own path, "\\" included, which is a separator either way.
    if (IsPlainASCII(svRef) && svRef.find('%') == std::string_view::npos)
    {
        if (!AppendSegments(svRef, true, strPath))
        {
            strPath.clear();
            return false;
        }
        return !strPath.empty();
    }
    std::string strRef = ArchivePath_Slashes(svRef, cp);
    if (!cp.IsUTF8() && std::any_of(strRef.begin(), strRef.end(), [](char c) { return (c & 0x80) != 0; }))
    {
        std::string strUTF8;
        for (char32_t c : cp.ToWide(strRef))
            AppendUTF8(strUTF8, c);
        strRef = std::move(strUTF8);
    }
    if (strRef.find('%') != std::string::npos)
        strRef = PercentDecoded(strRef);
    if (!AppendSegments(strRef, true, strPath))
    {
        strPath.clear();
        return false;
    }
    return !strPath.empty();
}
