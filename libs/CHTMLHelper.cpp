#include "CHTMLHelper.h"

#include "CCodePage.h"
#include "CHTMLEntities.h"

#include <strings.h>

namespace
{
// What HTML makes of the C1 controls in numeric references: the characters of windows-1252, which
// is what help authors meant by "&#150;" and the like. Zero where the control stands for itself.
const char32_t g_aC1[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                            0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                            0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                            0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool IsHexDigit(char c)
{
    return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

bool IsAlnum(char c)
{
    return IsDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

int HexValue(char c)
{
    if (IsDigit(c))
        return c - '0';
    return (c | 0x20) - 'a' + 10;
}

/// Reads the number of a numeric reference from sv, which starts right after "&#". Returns the bytes
/// read (0 when there is no number) and the character, 0 when the number names no character.
size_t ReadNumeric(std::string_view sv, char32_t& c)
{
    size_t i = 0;
    bool bHex = false;
    if (i < sv.size() && (sv[i] == 'x' || sv[i] == 'X'))
    {
        bHex = true;
        ++i;
    }
    const size_t nStart = i;
    uint32_t nValue = 0;
    bool bTooBig = false;
    while (i < sv.size() && (bHex ? IsHexDigit(sv[i]) : IsDigit(sv[i])))
    {
        nValue = nValue * (bHex ? 16 : 10) + static_cast<uint32_t>(bHex ? HexValue(sv[i]) : sv[i] - '0');
        if (nValue > 0x10FFFF)
        {
            bTooBig = true;
            nValue = 0x110000; // stays out of range however many digits follow
        }
        ++i;
    }
    if (i == nStart)
        return 0;
    if (i < sv.size() && sv[i] == ';')
        ++i;
    c = nValue;
    if (bTooBig || nValue == 0 || (nValue >= 0xD800 && nValue <= 0xDFFF))
        c = 0;
    else if (nValue >= 0x80 && nValue < 0xA0 && g_aC1[nValue - 0x80] != 0)
        c = g_aC1[nValue - 0x80];
    return i;
}

/// Length of the reference at the start of sv ("&..."), with its one or two characters; 0 when there
/// is no reference there or it names nothing.
size_t ReadReference(std::string_view sv, char32_t& c1, char32_t& c2)
{
    c2 = 0;
    if (sv.size() >= 2 && sv[1] == '#')
    {
        size_t nLen = ReadNumeric(sv.substr(2), c1);
        return (nLen == 0 || c1 == 0) ? 0 : nLen + 2;
    }
    size_t nLen = HTMLLookupNamedEntity(sv.substr(1), c1, c2);
    if (nLen == 0)
        return 0;
    // A legacy name without ";" inside an attribute value stays literal when a letter, digit or
    // "=" follows: "page.htm?a=1&copy=2" is a query, not a copyright sign.
    if (sv[nLen] != ';' && 1 + nLen < sv.size() && (IsAlnum(sv[1 + nLen]) || sv[1 + nLen] == '='))
        return 0;
    return nLen + 1;
}

bool StartsWithNoCase(std::string_view sv, std::string_view svPrefix)
{
    return sv.size() >= svPrefix.size() && strncasecmp(sv.data(), svPrefix.data(), svPrefix.size()) == 0;
}
} // namespace

const CHTMLHelper& CHTMLHelper::Instance()
{
    static const CHTMLHelper s_helper;
    return s_helper;
}

std::string CHTMLHelper::HTMLDecodeParamName(std::string_view svValue, const CCodePage& cp) const
{
    std::string strOut;
    strOut.reserve(svValue.size());
    size_t i = 0;
    while (i < svValue.size())
    {
        size_t nAmp = svValue.find('&', i);
        if (nAmp == std::string_view::npos)
        {
            strOut.append(svValue.substr(i));
            break;
        }
        strOut.append(svValue.substr(i, nAmp - i));
        char32_t c1 = 0, c2 = 0;
        size_t nLen = ReadReference(svValue.substr(nAmp), c1, c2);
        if (nLen == 0)
        {
            strOut += '&';
            i = nAmp + 1;
            continue;
        }
        std::string strChar;
        if (cp.EncodeChar(c1, strChar) && (c2 == 0 || cp.EncodeChar(c2, strChar)))
            strOut += strChar;
        else
            strOut.append(svValue.substr(nAmp, nLen));
        i = nAmp + nLen;
    }
    return strOut;
}

std::string CHTMLHelper::HTMLDecodeParamLocal(std::string_view svValue, const CCodePage& cp) const
{
    std::string strOut = HTMLDecodeParamName(svValue, cp);
    for (std::string_view svPrefix : {std::string_view("ms-its:"), std::string_view("mk:@MSITStore:")})
    {
        if (StartsWithNoCase(strOut, svPrefix))
        {
            strOut.erase(0, svPrefix.size());
            break;
        }
    }
    return strOut;
}
