#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

class CCodePage;

// ASCII case: only A-Z and a-z change; every other byte, such as a byte of a UTF-8 or double-byte
// character, stays as it is.

inline char LowerASCII(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c;
}

inline char UpperASCII(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - ('a' - 'A')) : c;
}

std::string LowerASCII(std::string_view sv);
std::string UpperASCII(std::string_view sv);
/// Below, at or above zero as sv1 sorts before, with or after sv2 when ASCII letters are folded to
/// lower case; other bytes compare as unsigned values.
int CompareNoCaseASCII(std::string_view sv1, std::string_view sv2);
bool EqualsNoCaseASCII(std::string_view sv1, std::string_view sv2);
bool StartsWithNoCaseASCII(std::string_view sv, std::string_view svPrefix);

/// The eight bytes of nWord, none of them above 0x7F, each lowered as LowerASCII does.
inline uint64_t LowerASCIIBytes(uint64_t nWord)
{
    constexpr uint64_t kHigh = 0x8080808080808080u;
    constexpr uint64_t kOnes = 0x0101010101010101u;
    // The high bit of each byte of nFromA is set from 'A' up, of nPastZ past 'Z'.
    const uint64_t nFromA = nWord + (0x80 - 'A') * kOnes;
    const uint64_t nPastZ = nWord + (0x7F - 'Z') * kOnes;
    return nWord | ((nFromA & ~nPastZ & kHigh) >> 2);
}

/// Lowers the eight bytes at p as LowerASCII does when all of them are ASCII; false, changing
/// nothing, when one is not. Most page text is ASCII, and the harvest lowers every page.
bool LowerASCIIWord(unsigned char* p);
/// True when every byte of sv is below 0x80.
bool IsPlainASCII(std::string_view sv);

/// Decodes the UTF-8 character at p (p < pEnd). Returns its length, or 0 when the bytes there are
/// no character: a stray or cut-off byte, an overlong form, a surrogate, or a value above U+10FFFF.
size_t DecodeUTF8(const unsigned char* p, const unsigned char* pEnd, char32_t& c);
/// True when every byte of sv belongs to a character DecodeUTF8 accepts.
bool IsValidUTF8(std::string_view sv);
/// Appends c in UTF-8; returns false, appending nothing, for a surrogate or a value above U+10FFFF.
bool AppendUTF8(std::string& str, char32_t c);

/// Where a character reference stands. In an attribute value, a legacy name without ";" that is
/// followed by a letter, a digit or "=" is no reference: "a.htm?x=1&copy=2" is a query.
enum class ERefPlace
{
    kText,
    kAttribute,
};

/// Reads the character reference (named, decimal or hexadecimal) at the start of sv, whose first
/// byte is "&". Returns its length, 0 when there is none; c2 is 0 unless the name stands for two
/// characters. A number that names no character (0, a surrogate, above U+10FFFF) gives c1 = 0,
/// which a browser shows as U+FFFD; a number of a C1 control gives what windows-1252 puts there.
size_t ReadCharReference(std::string_view sv, ERefPlace nPlace, char32_t& c1, char32_t& c2);

/// sv (text in cp) as HTML text: "&", "<" and ">" become references. Bytes that belong to a
/// character of cp, such as a trail byte or a byte of a stateful code page's shifted run, are kept.
std::string EscapeHTMLText(std::string_view sv, const CCodePage& cp);
/// The same for a double-quoted attribute value: '"' is escaped too.
std::string EscapeHTMLAttribute(std::string_view sv, const CCodePage& cp);

/// The inside of a double-quoted script string for a title (text in cp): every '"' becomes "'",
/// and backslashes and line breaks are escaped. Bytes that belong to a character of cp are kept;
/// a lead byte that starts no character becomes "\uFFFD" where an escape follows it, which it
/// would otherwise take as its trail byte.
std::string ScriptTitleLiteral(std::string_view sv, const CCodePage& cp);
/// The same for an address, whose '"' is escaped rather than replaced, so it still leads to the
/// same page.
std::string ScriptAddressLiteral(std::string_view sv, const CCodePage& cp);
/// The same for a file name that becomes an address: '"' is written "%22", the same address.
std::string ScriptFileLiteral(std::string_view sv, const CCodePage& cp);
/// The inside of a double-quoted script string, in cp, for a UTF-8 text: a character cp lacks
/// becomes "\uXXXX" (a surrogate pair above U+FFFF), which a script in any code page carries. For a
/// file name that becomes an address '"', '%', '#' and '?' are percent-encoded, so that the address
/// still names that file; for a title '"' becomes "'". Bytes that are not UTF-8 are taken as a
/// character of cp and kept, but for a lead byte that starts no character before an escape
/// ("\uFFFD").
std::string ScriptLiteralFromUTF8(std::string_view sv, const CCodePage& cp, bool bFileName);
