#include "CPath.h"

#include "CArchivePath.h"
#include "CCodePage.h"

#include <cctype>
#include <cstring>
#include <dirent.h>
#include <filesystem>
#include <strings.h>
#include <sys/stat.h>
#include <vector>

namespace
{
bool IsSep(char c)
{
    return c == '/' || c == '\\';
}

// Row of the charset table that is UTF-8, the encoding of file names on this machine.
const int kUTF8Row = 31;

size_t LastSep(const std::string& str)
{
    size_t nPos = str.find_last_of("/\\");
    return nPos;
}
} // namespace

void CPath::SetPath(const std::string& strPath, int, int)
{
    m_strPath = strPath;
}

bool CPath::IsLocalPath() const
{
    const std::string& s = m_strPath;
    return s.size() >= 2 && std::isalpha(static_cast<unsigned char>(s[0])) && s[1] == ':' &&
           (s.size() == 2 || IsSep(s[2]));
}

bool CPath::IsNetworkPath() const
{
    const std::string& s = m_strPath;
    if (s.size() >= 2 && IsSep(s[0]) && IsSep(s[1]))
        return true;
    // A scheme is two or more letters before ':' so that "C:" stays a drive.
    size_t i = 0;
    while (i < s.size() &&
           (std::isalnum(static_cast<unsigned char>(s[i])) || s[i] == '+' || s[i] == '-' || s[i] == '.'))
        ++i;
    // "name.chm::/page.htm" is a reference into a compiled file, not a scheme.
    return i >= 2 && i < s.size() && s[i] == ':' && std::isalpha(static_cast<unsigned char>(s[0])) &&
           (i + 1 == s.size() || s[i + 1] != ':');
}

std::string CPath::GetLocation() const
{
    size_t nPos = LastSep(m_strPath);
    if (nPos == std::string::npos)
        return std::string();
    return m_strPath.substr(0, nPos + 1);
}

std::string CPath::GetFileName() const
{
    size_t nPos = LastSep(m_strPath);
    return nPos == std::string::npos ? m_strPath : m_strPath.substr(nPos + 1);
}

std::string CPath::GetFileTitle() const
{
    std::string strName = GetFileName();
    size_t nDot = strName.rfind('.');
    return (nDot == std::string::npos || nDot == 0) ? strName : strName.substr(0, nDot);
}

std::string CPath::GetExtension() const
{
    std::string strName = GetFileName();
    size_t nDot = strName.rfind('.');
    return (nDot == std::string::npos || nDot == 0) ? std::string() : strName.substr(nDot);
}

bool CPath::ExistFile() const
{
    struct stat st;
    return !m_strPath.empty() && stat(m_strPath.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool CPath::ExistDir() const
{
    struct stat st;
    return !m_strPath.empty() && stat(m_strPath.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool CPath::CreateDir(const std::string& strDir)
{
    if (strDir.empty())
        return false;
    std::error_code ec;
    std::filesystem::create_directories(strDir, ec);
    return std::filesystem::is_directory(strDir, ec);
}

bool CPath::IsFileSystemPath(const std::string& strPath)
{
    if (strPath.empty())
        return false;
    CPath path(strPath);
    return !path.IsNetworkPath();
}

namespace
{
/// Names equal when case is ignored: ASCII letters always, other letters when both are UTF-8.
bool SameNameNoCase(const std::string& strA, const std::string& strB)
{
    if (strcasecmp(strA.c_str(), strB.c_str()) == 0)
        return true;
    static const CCodePage s_utf8(kUTF8Row);
    std::string strLowerA = strA, strLowerB = strB;
    s_utf8.MakeLower(strLowerA);
    s_utf8.MakeLower(strLowerB);
    return strLowerA == strLowerB;
}

/// The entry of folder strDir whose name matches strName without regard to case; empty when none.
std::string FindEntryNoCase(const std::string& strDir, const std::string& strName)
{
    DIR* pDir = opendir(strDir.empty() ? "." : strDir.c_str());
    if (pDir == nullptr)
        return std::string();
    std::string strMatch;
    while (struct dirent* pEntry = readdir(pDir))
    {
        if (SameNameNoCase(pEntry->d_name, strName))
        {
            strMatch = pEntry->d_name;
            break;
        }
    }
    closedir(pDir);
    return strMatch;
}
} // namespace

std::string CPath::FindFileNoCase(const std::string& strPath)
{
    struct stat st;
    if (strPath.empty())
        return std::string();
    if (stat(strPath.c_str(), &st) == 0)
        return strPath;

    std::string strFound = strPath[0] == '/' ? "/" : "";
    size_t nStart = 0;
    while (nStart < strPath.size())
    {
        size_t nEnd = strPath.find('/', nStart);
        if (nEnd == std::string::npos)
            nEnd = strPath.size();
        const std::string strPart = strPath.substr(nStart, nEnd - nStart);
        nStart = nEnd + 1;
        if (strPart.empty() || strPart == ".")
            continue;
        if (!strFound.empty() && strFound.back() != '/')
            strFound += '/';
        std::string strTry = strFound + strPart;
        if (strPart == ".." || stat(strTry.c_str(), &st) == 0)
        {
            strFound = strTry;
            continue;
        }
        std::string strMatch = FindEntryNoCase(strFound, strPart);
        if (strMatch.empty())
            return std::string();
        strFound += strMatch;
    }
    return stat(strFound.c_str(), &st) == 0 ? strFound : std::string();
}

bool CPath::Canonicalize(const std::string& strPath, std::string& strOut, const char* pszSeps)
{
    auto IsSepOf = [pszSeps](char c) { return c != '\0' && std::strchr(pszSeps, c) != nullptr; };
    // Keep a drive or UNC head untouched; resolve the rest segment by segment.
    size_t nPos = 0;
    if (strPath.size() >= 2 && std::isalpha(static_cast<unsigned char>(strPath[0])) && strPath[1] == ':')
        nPos = 2;
    else if (strPath.size() >= 2 && IsSepOf(strPath[0]) && IsSepOf(strPath[1]))
        nPos = 2;
    std::string strHead = strPath.substr(0, nPos);
    const bool bRooted = nPos < strPath.size() && IsSepOf(strPath[nPos]);
    char cSep = '\\';
    size_t nFirstSep = strPath.find_first_of(pszSeps);
    if (nFirstSep != std::string::npos)
        cSep = strPath[nFirstSep];
    if (bRooted)
    {
        strHead += strPath[nPos];
        ++nPos;
    }

    std::vector<std::string> vecSegs;
    while (nPos <= strPath.size())
    {
        size_t nEnd = strPath.find_first_of(pszSeps, nPos);
        if (nEnd == std::string::npos)
            nEnd = strPath.size();
        std::string strSeg = strPath.substr(nPos, nEnd - nPos);
        if (strSeg == "..")
        {
            if (!vecSegs.empty() && vecSegs.back() != "..")
                vecSegs.pop_back();
            else if (strHead.empty())
                vecSegs.push_back(strSeg);
        }
        else if (strSeg != "." && (!strSeg.empty() || nEnd == strPath.size()))
        {
            vecSegs.push_back(strSeg);
        }
        nPos = nEnd + 1;
    }

    std::string strResult = strHead;
    for (size_t i = 0; i < vecSegs.size(); ++i)
    {
        if (i > 0)
            strResult += cSep;
        strResult += vecSegs[i];
    }
    if (strResult.size() + 1 > 260)
        return false;
    strOut = strResult;
    return true;
}

std::string CPath::GetSlashPathTitle(const std::string& strPath)
{
    return ArchivePath_FileTitle(strPath);
}

std::string CPath::Join(const std::string& strDir, const std::string& strName)
{
    if (strDir.empty())
        return strName;
    if (strDir.back() == '/')
        return strDir + strName;
    return strDir + "/" + strName;
}
