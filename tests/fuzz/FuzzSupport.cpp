#include "FuzzSupport.h"

#include "CCodePage.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>
#include <unistd.h>

namespace
{
void (*g_fnFailHandler)(const std::string&) = nullptr;

std::string g_strTempDir;

void RemoveTempDir()
{
    std::error_code ec;
    std::filesystem::remove_all(g_strTempDir, ec);
}

bool IsLineBreak(char32_t c)
{
    return c == U'\n' || c == U'\r' || c == 0x2028 || c == 0x2029;
}

int HexValue(char32_t c)
{
    if (c >= U'0' && c <= U'9')
        return static_cast<int>(c - U'0');
    if (c >= U'a' && c <= U'f')
        return static_cast<int>(c - U'a') + 10;
    if (c >= U'A' && c <= U'F')
        return static_cast<int>(c - U'A') + 10;
    return -1;
}

/// Reads nDigits hex digits at sv[i]; -1 when they are not all there.
long ReadHex(std::u32string_view sv, size_t i, size_t nDigits)
{
    if (sv.size() - i < nDigits)
        return -1;
    long n = 0;
    for (size_t k = 0; k < nDigits; ++k)
    {
        const int nDigit = HexValue(sv[i + k]);
        if (nDigit < 0)
            return -1;
        n = n * 16 + nDigit;
    }
    return n;
}

/// Reads the literal whose quote is at sv[i]; returns the index after its closing quote, 0 when
/// the literal is broken (strWhy says how).
size_t ReadLiteral(std::u32string_view sv, size_t i, std::u32string& strOut, std::string& strWhy)
{
    const char32_t cQuote = sv[i++];
    while (i < sv.size())
    {
        const char32_t c = sv[i++];
        if (c == cQuote)
            return i;
        if (IsLineBreak(c))
        {
            strWhy = "line break inside a string literal";
            return 0;
        }
        if (c != U'\\')
        {
            strOut += c;
            continue;
        }
        if (i >= sv.size())
            break;
        const char32_t e = sv[i++];
        switch (e)
        {
        case U'n':
            strOut += U'\n';
            break;
        case U'r':
            strOut += U'\r';
            break;
        case U't':
            strOut += U'\t';
            break;
        case U'b':
            strOut += U'\b';
            break;
        case U'f':
            strOut += U'\f';
            break;
        case U'v':
            strOut += U'\v';
            break;
        case U'\\':
        case U'"':
        case U'\'':
        case U'/':
            strOut += e;
            break;
        case U'x':
        case U'u':
        {
            const size_t nDigits = e == U'x' ? 2 : 4;
            const long n = ReadHex(sv, i, nDigits);
            if (n < 0)
            {
                strWhy = "bad \\x or \\u escape";
                return 0;
            }
            i += nDigits;
            // A surrogate pair is one character, as the text a script sees.
            if (n >= 0xDC00 && n <= 0xDFFF && !strOut.empty() && strOut.back() >= 0xD800 &&
                strOut.back() <= 0xDBFF)
                strOut.back() =
                    0x10000 + ((strOut.back() - 0xD800) << 10) + (static_cast<char32_t>(n) - 0xDC00);
            else
                strOut += static_cast<char32_t>(n);
            break;
        }
        default:
            // The writers escape nothing else: any other escape means they wrote something they did
            // not mean to (a lead byte taking a backslash, say).
            strWhy = "unexpected escape \\" + std::string(1, e < 0x80 ? static_cast<char>(e) : '?');
            return 0;
        }
    }
    strWhy = "string literal left open";
    return 0;
}
} // namespace

void Fuzz_Fail(const std::string& strWhy)
{
    if (g_fnFailHandler != nullptr)
    {
        g_fnFailHandler(strWhy);
        return;
    }
    std::fprintf(stderr, "fuzz finding: %s\n", strWhy.c_str());
    std::abort();
}

void Fuzz_SetFailHandler(void (*fnHandler)(const std::string& strWhy))
{
    g_fnFailHandler = fnHandler;
}

const std::string& Fuzz_TempDir()
{
    if (g_strTempDir.empty())
    {
        std::error_code ec;
        std::string strTemplate = (std::filesystem::temp_directory_path(ec) / "webhelp-fuzz-XXXXXX").string();
        if (mkdtemp(strTemplate.data()) == nullptr)
        {
            std::perror("mkdtemp");
            std::abort();
        }
        g_strTempDir = strTemplate;
        std::atexit(RemoveTempDir);
    }
    return g_strTempDir;
}

std::string Fuzz_ReadFile(const std::string& strPath)
{
    std::ifstream file(strPath, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

bool Fuzz_WriteFile(const std::string& strPath, const uint8_t* pData, size_t nSize)
{
    std::ofstream file(strPath, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(pData), static_cast<std::streamsize>(nSize));
    return static_cast<bool>(file);
}

int Fuzz_CharsetRow(uint8_t b, bool bAsciiOnly)
{
    // utf-8, windows-1252, gb2312, shift-jis, big5, euc-kr, x-euc; then iso-2022-jp.
    static const int aRows[] = {31, 34, 8, 27, 5, 7, 42, 13};
    const size_t nRows = sizeof(aRows) / sizeof(aRows[0]) - (bAsciiOnly ? 1 : 0);
    return aRows[b % nRows];
}

std::u32string Fuzz_BrowserText(std::string_view sv, const CCodePage& cp)
{
    if (!cp.IsDoubleByte())
        return cp.ToWide(sv);
    std::u32string str;
    const auto* p = reinterpret_cast<const unsigned char*>(sv.data());
    const auto* pEnd = p + sv.size();
    while (p < pEnd)
    {
        const size_t nLen = cp.CharLength(p, pEnd);
        if (nLen == 1 && *p < 0x80)
            str += *p;
        else if (nLen == 1 && cp.IsLeadByte(*p))
            str += 0xFFFD;
        else
        {
            // Above every code point: the bytes name the character.
            char32_t c = 0x110000;
            for (size_t k = 0; k < nLen; ++k)
                c = c * 256 + p[k];
            str += c;
        }
        p += nLen;
    }
    return str;
}

bool JS_ReadDataScript(std::u32string_view svScript, std::vector<std::u32string>& vecLiterals,
                       std::string& strWhy)
{
    vecLiterals.clear();
    int nDepth = 0;
    size_t i = 0;
    while (i < svScript.size())
    {
        const char32_t c = svScript[i];
        if (c == U'"' || c == U'\'')
        {
            std::u32string strLiteral;
            const size_t nNext = ReadLiteral(svScript, i, strLiteral, strWhy);
            if (nNext == 0)
                return false;
            vecLiterals.push_back(std::move(strLiteral));
            i = nNext;
            continue;
        }
        if (c == U'[')
            ++nDepth;
        else if (c == U']')
        {
            if (--nDepth < 0)
            {
                strWhy = "']' without '['";
                return false;
            }
        }
        else if (!(c == U',' || c == U';' || c == U'=' || c == U' ' || c == U'\t' || c == U'\r' ||
                   c == U'\n' || c == U'_' || (c >= U'0' && c <= U'9') || (c >= U'a' && c <= U'z') ||
                   (c >= U'A' && c <= U'Z')))
        {
            strWhy = "unexpected character outside a string literal";
            return false;
        }
        ++i;
    }
    if (nDepth != 0)
    {
        strWhy = "'[' left open";
        return false;
    }
    return true;
}
