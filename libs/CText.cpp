#include "CText.h"

#include "CCodePage.h"
#include "CHTMLEntities.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

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

bool IsAlnum(char c)
{
    const char cLower = LowerASCII(c);
    return IsDigit(c) || (cLower >= 'a' && cLower <= 'z');
}

/// Value of a digit of the given base, -1 for a byte that is none.
int DigitValue(char c, bool bHex)
{
    if (IsDigit(c))
        return c - '0';
    const char cLower = LowerASCII(c);
    if (bHex && cLower >= 'a' && cLower <= 'f')
        return cLower - 'a' + 10;
    return -1;
}

/// Reads the number of a numeric reference from sv, which starts right after "&#". Returns the bytes
/// read (0 when there is no number) and the character, 0 when the number names no character.
size_t ReadNumber(std::string_view sv, char32_t& c)
{
    size_t i = 0;
    const bool bHex = !sv.empty() && (sv[0] == 'x' || sv[0] == 'X');
    if (bHex)
        ++i;
    const size_t nStart = i;
    uint32_t nValue = 0;
    for (int nDigit = 0; i < sv.size() && (nDigit = DigitValue(sv[i], bHex)) >= 0; ++i)
        // Stays out of range however many digits follow.
        nValue = std::min<uint32_t>(nValue * (bHex ? 16 : 10) + static_cast<uint32_t>(nDigit), 0x110000);
    if (i == nStart)
        return 0;
    if (i < sv.size() && sv[i] == ';')
        ++i;
    c = nValue;
    if (nValue == 0 || nValue > 0x10FFFF || (nValue >= 0xD800 && nValue <= 0xDFFF))
        c = 0;
    else if (nValue >= 0x80 && nValue < 0xA0 && g_aC1[nValue - 0x80] != 0)
        c = g_aC1[nValue - 0x80];
    return i;
}

/// A lead byte of a double-byte code page that starts no character where it stands (nLen 1).
bool IsLoneLeadByte(const CCodePage& cp, size_t nLen, unsigned char b)
{
    return nLen == 1 && cp.IsDoubleByte() && cp.IsLeadByte(b);
}

bool StartsEscape(const char* pszEscaped)
{
    return pszEscaped != nullptr && pszEscaped[0] == '\\';
}

/// Copies sv, each ASCII byte for which escape(byte) is not null replaced by what it returns; the
/// bytes of every other character of cp are copied as they are.
template <typename Escape>
std::string EscapeASCII(std::string_view sv, const CCodePage& cp, Escape escape, bool bScript)
{
    std::string strOut;
    strOut.reserve(sv.size() + 8);
    bool bShifted = false;
    // There a byte below 0x80 is always one ASCII character, so it needs no walk.
    const bool bAsciiBytes = cp.IsAsciiCompatible();
    size_t i = 0;
    while (i < sv.size())
    {
        if (bAsciiBytes && static_cast<unsigned char>(sv[i]) < 0x80)
        {
            // A run of bytes that stay as they are is copied at once: most texts are such runs.
            const size_t nRun = i;
            while (i < sv.size() && static_cast<unsigned char>(sv[i]) < 0x80 && escape(sv[i]) == nullptr)
                ++i;
            strOut.append(sv, nRun, i - nRun);
            if (i < sv.size() && static_cast<unsigned char>(sv[i]) < 0x80)
                strOut += escape(sv[i++]);
            continue;
        }
        const CCodePage::SChar ch = cp.WalkChar(sv, i, bShifted);
        if (ch.bASCII)
        {
            if (const char* pszEscaped = escape(sv[i]))
            {
                strOut += pszEscaped;
                ++i;
                continue;
            }
        }
        // U+2028 and U+2029 end a line in scripts older than ES2019.
        else if (bScript && cp.IsUTF8() && ch.nLen == 3 && sv.compare(i, 2, "\xE2\x80") == 0 &&
                 (sv[i + 2] == '\xA8' || sv[i + 2] == '\xA9'))
        {
            strOut += sv[i + 2] == '\xA8' ? "\\u2028" : "\\u2029";
            i += 3;
            continue;
        }
        // A lead byte that starts no character would take the backslash of an escape after it as
        // its trail byte; a browser shows it as U+FFFD, so that is what the script says.
        else if (bScript && IsLoneLeadByte(cp, ch.nLen, static_cast<unsigned char>(sv[i])) &&
                 i + 1 < sv.size() && StartsEscape(escape(sv[i + 1])))
        {
            strOut += "\\uFFFD";
            ++i;
            continue;
        }
        strOut.append(sv, i, ch.nLen);
        i += ch.nLen;
    }
    return strOut;
}

const char* EscapeForHTMLText(char c)
{
    switch (c)
    {
    case '&':
        return "&amp;";
    case '<':
        return "&lt;";
    case '>':
        return "&gt;";
    default:
        return nullptr;
    }
}

const char* EscapeForHTMLAttribute(char c)
{
    return c == '"' ? "&quot;" : EscapeForHTMLText(c);
}

/// What a script string makes of c, with pszQuote for '"'; null for a byte that stays.
const char* EscapeForScript(char c, const char* pszQuote)
{
    switch (c)
    {
    case '"':
        return pszQuote;
    case '\\':
        return "\\\\";
    case '\r':
        return "\\r";
    case '\n':
        return "\\n";
    default:
        return nullptr;
    }
}

const char* EscapeForFileName(char c)
{
    switch (c)
    {
    case '%':
        return "%25";
    case '#':
        return "%23";
    case '?':
        return "%3F";
    default:
        return EscapeForScript(c, "%22");
    }
}

void AppendUnicodeEscape(std::string& str, char32_t c)
{
    static const char aHex[] = "0123456789ABCDEF";
    auto fnUnit = [&str](uint32_t n)
    {
        str += "\\u";
        for (int nShift = 12; nShift >= 0; nShift -= 4)
            str += aHex[(n >> nShift) & 0xF];
    };
    if (c > 0xFFFF)
    {
        fnUnit(0xD800 + ((c - 0x10000) >> 10));
        fnUnit(0xDC00 + ((c - 0x10000) & 0x3FF));
    }
    else
        fnUnit(c);
}

std::string EscapeScript(std::string_view sv, const CCodePage& cp, const char* pszQuote)
{
    return EscapeASCII(
        sv, cp, [pszQuote](char c) { return EscapeForScript(c, pszQuote); }, true);
}
} // namespace

std::string LowerASCII(std::string_view sv)
{
    std::string str(sv);
    for (char& c : str)
        c = LowerASCII(c);
    return str;
}

std::string UpperASCII(std::string_view sv)
{
    std::string str(sv);
    for (char& c : str)
        c = UpperASCII(c);
    return str;
}

int CompareNoCaseASCII(std::string_view sv1, std::string_view sv2)
{
    const size_t n = std::min(sv1.size(), sv2.size());
    for (size_t i = 0; i < n; ++i)
    {
        const auto b1 = static_cast<unsigned char>(LowerASCII(sv1[i]));
        const auto b2 = static_cast<unsigned char>(LowerASCII(sv2[i]));
        if (b1 != b2)
            return b1 < b2 ? -1 : 1;
    }
    return sv1.size() == sv2.size() ? 0 : (sv1.size() < sv2.size() ? -1 : 1);
}

bool EqualsNoCaseASCII(std::string_view sv1, std::string_view sv2)
{
    if (sv1.size() != sv2.size())
        return false;
    for (size_t i = 0; i < sv1.size(); ++i)
    {
        if (LowerASCII(sv1[i]) != LowerASCII(sv2[i]))
            return false;
    }
    return true;
}

bool StartsWithNoCaseASCII(std::string_view sv, std::string_view svPrefix)
{
    return sv.size() >= svPrefix.size() && EqualsNoCaseASCII(sv.substr(0, svPrefix.size()), svPrefix);
}

bool LowerASCIIWord(unsigned char* p)
{
    uint64_t nWord = 0;
    std::memcpy(&nWord, p, sizeof(nWord));
    if ((nWord & 0x8080808080808080u) != 0)
        return false;
    nWord = LowerASCIIBytes(nWord);
    std::memcpy(p, &nWord, sizeof(nWord));
    return true;
}

bool IsPlainASCII(std::string_view sv)
{
    // Thirty-two bytes at a time: every page of a harvest is checked whole.
    constexpr uint64_t kHighBits = 0x8080808080808080u;
    size_t i = 0;
    for (; i + 32 <= sv.size(); i += 32)
    {
        uint64_t aWords[4];
        std::memcpy(aWords, sv.data() + i, sizeof(aWords));
        if (((aWords[0] | aWords[1] | aWords[2] | aWords[3]) & kHighBits) != 0)
            return false;
    }
    for (; i + 8 <= sv.size(); i += 8)
    {
        uint64_t nWord = 0;
        std::memcpy(&nWord, sv.data() + i, sizeof(nWord));
        if ((nWord & kHighBits) != 0)
            return false;
    }
    for (; i < sv.size(); ++i)
    {
        if ((static_cast<unsigned char>(sv[i]) & 0x80) != 0)
            return false;
    }
    return true;
}

size_t DecodeUTF8(const unsigned char* p, const unsigned char* pEnd, char32_t& c)
{
    const unsigned char b = *p;
    if (b < 0x80)
    {
        c = b;
        return 1;
    }
    size_t nLen = 0;
    char32_t cValue = 0;
    if ((b & 0xE0) == 0xC0)
    {
        nLen = 2;
        cValue = b & 0x1F;
    }
    else if ((b & 0xF0) == 0xE0)
    {
        nLen = 3;
        cValue = b & 0x0F;
    }
    else if ((b & 0xF8) == 0xF0)
    {
        nLen = 4;
        cValue = b & 0x07;
    }
    else
        return 0;
    if (static_cast<size_t>(pEnd - p) < nLen)
        return 0;
    for (size_t i = 1; i < nLen; ++i)
    {
        if ((p[i] & 0xC0) != 0x80)
            return 0;
        cValue = (cValue << 6) | (p[i] & 0x3F);
    }
    static const char32_t aMin[5] = {0, 0, 0x80, 0x800, 0x10000};
    if (cValue < aMin[nLen] || cValue > 0x10FFFF || (cValue >= 0xD800 && cValue <= 0xDFFF))
        return 0;
    c = cValue;
    return nLen;
}

bool IsValidUTF8(std::string_view sv)
{
    const auto* p = reinterpret_cast<const unsigned char*>(sv.data());
    const auto* pEnd = p + sv.size();
    while (p < pEnd)
    {
        char32_t c = 0;
        const size_t nLen = DecodeUTF8(p, pEnd, c);
        if (nLen == 0)
            return false;
        p += nLen;
    }
    return true;
}

bool AppendUTF8(std::string& str, char32_t c)
{
    if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        return false;
    if (c < 0x80)
        str += static_cast<char>(c);
    else if (c < 0x800)
    {
        str += static_cast<char>(0xC0 | (c >> 6));
        str += static_cast<char>(0x80 | (c & 0x3F));
    }
    else if (c < 0x10000)
    {
        str += static_cast<char>(0xE0 | (c >> 12));
        str += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        str += static_cast<char>(0x80 | (c & 0x3F));
    }
    else
    {
        str += static_cast<char>(0xF0 | (c >> 18));
        str += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        str += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        str += static_cast<char>(0x80 | (c & 0x3F));
    }
    return true;
}

size_t ReadCharReference(std::string_view sv, ERefPlace nPlace, char32_t& c1, char32_t& c2)
{
    c1 = 0;
    c2 = 0;
    if (sv.size() < 2 || sv[0] != '&')
        return 0;
    // Most references in help pages are no-break spaces: they skip the lookup by name.
    if (sv.starts_with("&nbsp;"))
    {
        c1 = 0xA0;
        return 6;
    }
    if (sv[1] == '#')
    {
        const size_t nLen = ReadNumber(sv.substr(2), c1);
        return nLen == 0 ? 0 : nLen + 2;
    }
    const size_t nLen = HTMLLookupNamedEntity(sv.substr(1), c1, c2);
    if (nLen == 0)
        return 0;
    if (nPlace == ERefPlace::kAttribute && sv[nLen] != ';' && 1 + nLen < sv.size() &&
        (IsAlnum(sv[1 + nLen]) || sv[1 + nLen] == '='))
    {
        c1 = 0;
        c2 = 0;
        return 0;
    }
    return nLen + 1;
}

std::string EscapeHTMLText(std::string_view sv, const CCodePage& cp)
{
    return EscapeASCII(sv, cp, EscapeForHTMLText, false);
}

std::string EscapeHTMLAttribute(std::string_view sv, const CCodePage& cp)
{
    return EscapeASCII(sv, cp, EscapeForHTMLAttribute, false);
}

std::string ScriptTitleLiteral(std::string_view sv, const CCodePage& cp)
{
    return EscapeScript(sv, cp, "'");
}

std::string ScriptAddressLiteral(std::string_view sv, const CCodePage& cp)
{
    return EscapeScript(sv, cp, "\\\"");
}

std::string ScriptFileLiteral(std::string_view sv, const CCodePage& cp)
{
    return EscapeScript(sv, cp, "%22");
}

std::string ScriptLiteralFromUTF8(std::string_view sv, const CCodePage& cp, bool bFileName)
{
    std::string strOut;
    strOut.reserve(sv.size() + 8);
    const auto* p = reinterpret_cast<const unsigned char*>(sv.data());
    const auto* pEnd = p + sv.size();
    // There an ASCII character is written as its own byte.
    const bool bAsciiBytes = cp.IsUTF8() || cp.IsAsciiCompatible();
    while (p < pEnd)
    {
        if (bAsciiBytes && *p < 0x80)
        {
            // A run of characters that stay as they are is copied at once: most names are one.
            auto Escaped = [bFileName](unsigned char ch)
            {
                return bFileName ? EscapeForFileName(static_cast<char>(ch))
                                 : EscapeForScript(static_cast<char>(ch), "'");
            };
            const auto* pRun = p;
            while (p < pEnd && *p < 0x80 && Escaped(*p) == nullptr)
                ++p;
            strOut.append(reinterpret_cast<const char*>(pRun), static_cast<size_t>(p - pRun));
            if (p < pEnd && *p < 0x80)
                strOut += Escaped(*p++);
            continue;
        }
        char32_t c = 0;
        const size_t nLen = DecodeUTF8(p, pEnd, c);
        if (nLen == 0)
        {
            // Not UTF-8: a name already in cp, whose trail byte may be a 0x5C.
            const size_t nChar = std::min<size_t>(cp.CharLength(p, pEnd), static_cast<size_t>(pEnd - p));
            if (IsLoneLeadByte(cp, nChar, *p) && p + 1 < pEnd &&
                StartsEscape(bFileName ? EscapeForFileName(static_cast<char>(p[1]))
                                       : EscapeForScript(static_cast<char>(p[1]), "'")))
                strOut += "\\uFFFD";
            else
                strOut.append(reinterpret_cast<const char*>(p), nChar);
            p += nChar;
            continue;
        }
        p += nLen;
        const char* pszEscaped = nullptr;
        if (c < 0x80)
            pszEscaped = bFileName ? EscapeForFileName(static_cast<char>(c))
                                   : EscapeForScript(static_cast<char>(c), "'");
        if (pszEscaped != nullptr)
            strOut += pszEscaped;
        // U+2028 and U+2029 end a line in scripts older than ES2019.
        else if (c == 0x2028 || c == 0x2029 || !cp.EncodeChar(c, strOut))
            AppendUnicodeEscape(strOut, c);
    }
    return strOut;
}
