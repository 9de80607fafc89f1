#include "CHMFormat.h"

#include "CArchivePath.h"
#include "CCHMFileRW.h"
#include "CText.h"

#include <cstdint>

namespace
{
enum ESystemCode : uint16_t
{
    kContentsFile = 0,
    kIndexFile = 1,
    kDefaultTopic = 2,
    kTitle = 3,
    kLocale = 4,
};

uint16_t GetU16(const unsigned char* p)
{
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

/// Text up to the first zero byte of the field.
std::string FieldText(const unsigned char* p, size_t n)
{
    size_t nLen = 0;
    while (nLen < n && p[nLen] != 0)
        ++nLen;
    return std::string(reinterpret_cast<const char*>(p), nLen);
}
} // namespace

bool CHM_ParseSystemRecord(std::string_view svRecord, CCHMSystemInfo& info)
{
    info = CCHMSystemInfo();
    if (svRecord.size() < 4)
        return false;
    const unsigned char* p = reinterpret_cast<const unsigned char*>(svRecord.data());
    const unsigned char* pEnd = p + svRecord.size();
    p += 4; // version
    while (pEnd - p >= 4)
    {
        const uint16_t nCode = GetU16(p);
        const size_t nLen = GetU16(p + 2);
        p += 4;
        if (static_cast<size_t>(pEnd - p) < nLen)
            break;
        switch (nCode)
        {
        case kContentsFile:
            info.strContentsFile = FieldText(p, nLen);
            break;
        case kIndexFile:
            info.strIndexFile = FieldText(p, nLen);
            break;
        case kDefaultTopic:
            info.strDefaultTopic = FieldText(p, nLen);
            break;
        case kTitle:
            info.strTitle = FieldText(p, nLen);
            break;
        case kLocale:
            if (nLen >= 4)
                info.nLCID = static_cast<uint32_t>(GetU16(p)) | static_cast<uint32_t>(GetU16(p + 2)) << 16;
            break;
        default:
            break;
        }
        p += nLen;
    }
    return true;
}

bool CHM_IsInternalName(std::string_view svName)
{
    if (svName.size() >= 2 && svName[0] == ':' && svName[1] == ':')
        return true;
    return svName.size() >= 2 && svName[0] == '/' && (svName[1] == '#' || svName[1] == '$');
}

std::string CHM_NormalizeName(std::string_view svName)
{
    return ArchivePath_Rooted(svName);
}

void CHM_NormalizeNameInto(std::string_view svName, std::string& strOut)
{
    strOut.clear();
    if (svName.empty() || (svName[0] != '/' && svName[0] != '\\'))
        strOut.push_back('/');
    strOut.append(svName);
    for (size_t n = strOut.find('\\'); n != std::string::npos; n = strOut.find('\\', n + 1))
        strOut[n] = '/';
}

bool CHM_IsNormalizedName(std::string_view svName, std::string_view svNormalized, bool bLower)
{
    if (svName.empty() || (svName[0] != '/' && svName[0] != '\\'))
    {
        if (svNormalized.empty() || svNormalized[0] != '/')
            return false;
        svNormalized.remove_prefix(1);
    }
    if (svName.size() != svNormalized.size())
        return false;
    // Most names are stored as they are looked up.
    if (!bLower && svName == svNormalized)
        return svName.find('\\') == std::string_view::npos;
    for (size_t i = 0; i < svName.size(); ++i)
    {
        char c = svName[i] == '\\' ? '/' : svName[i];
        if (bLower)
            c = LowerASCII(c);
        if (c != svNormalized[i])
            return false;
    }
    return true;
}

std::string CHM_LowerName(std::string_view svName)
{
    return LowerASCII(svName);
}

bool CHM_SafeRelativePath(std::string_view svName, std::string& strRelative)
{
    return ArchivePath_SafeRelative(svName, strRelative);
}
