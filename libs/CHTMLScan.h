#pragma once

#include <array>
#include <cstddef>
#include <string_view>

// The HTML tokenizer's rules for markup, shared by every reader of HTML in the project: page text
// harvest and sitemaps. Positions are offsets into the whole input; every read is checked against
// its end.

inline bool HTML_IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '\r';
}

inline bool HTML_IsAsciiAlpha(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

/// End of a comment whose text starts at nPos (after "<!--"), past its closing "-->" or "--!>";
/// the end of the input when it is never closed.
size_t HTML_SkipComment(std::string_view sv, size_t nPos);

/// Past the ">" that ends a bogus comment or doctype started before nPos; the end of the input
/// when there is none.
size_t HTML_SkipToTagEnd(std::string_view sv, size_t nPos);

/// Position of the end tag that closes raw text named svName (lower case), at or after nPos; npos
/// when there is none.
size_t HTML_FindRawEnd(std::string_view sv, size_t nPos, std::string_view svName);

/// Bits of what a byte is to the scan of a tag: most bytes of a page are inside tags, and one
/// lookup per byte is cheaper than comparing it with each of them.
enum EHTMLByte : unsigned char
{
    kHTMLSpace = 1,
    kHTMLSlash = 2,
    kHTMLGreater = 4,
    kHTMLEquals = 8,
};

inline constexpr std::array<unsigned char, 256> g_aHTMLByte = []
{
    std::array<unsigned char, 256> a{};
    for (unsigned char c : {' ', '\t', '\n', '\f', '\r'})
        a[c] = kHTMLSpace;
    a['/'] = kHTMLSlash;
    a['>'] = kHTMLGreater;
    a['='] = kHTMLEquals;
    return a;
}();

/// The EHTMLByte bits of c.
inline unsigned HTML_ByteClass(char c)
{
    return g_aHTMLByte[static_cast<unsigned char>(c)];
}

/// End of the tag name that starts at nPos.
inline size_t HTML_TagNameEnd(std::string_view sv, size_t nPos)
{
    while (nPos < sv.size() && (HTML_ByteClass(sv[nPos]) & (kHTMLSpace | kHTMLSlash | kHTMLGreater)) == 0)
        ++nPos;
    return nPos;
}

/// Reads the attributes of a tag from nPos (just after its name) to its ">", calling
/// onAttribute(svName, svValue, bValue) for each: the name as written, the value without quotes
/// and with character references unresolved, and whether there was a value at all. Returns the position after
/// the
/// ">", or npos when the input ends first: a tag cut off by the end is no tag.
template <typename OnAttribute>
size_t HTML_ReadAttributes(std::string_view sv, size_t nPos, OnAttribute&& onAttribute)
{
    const size_t n = sv.size();
    size_t i = nPos;
    for (;;)
    {
        while (i < n && (HTML_ByteClass(sv[i]) & (kHTMLSpace | kHTMLSlash)) != 0)
            ++i;
        if (i >= n)
            return std::string_view::npos;
        if (sv[i] == '>')
            return i + 1;
        const size_t nNameStart = i;
        ++i; // the first character of a name may be "="
        while (i < n && (HTML_ByteClass(sv[i]) & (kHTMLSpace | kHTMLSlash | kHTMLGreater | kHTMLEquals)) == 0)
            ++i;
        const std::string_view svName = sv.substr(nNameStart, i - nNameStart);
        size_t j = i;
        while (j < n && HTML_IsSpace(sv[j]))
            ++j;
        if (j >= n || sv[j] != '=')
        {
            onAttribute(svName, std::string_view(), false);
            continue;
        }
        i = j + 1;
        while (i < n && HTML_IsSpace(sv[i]))
            ++i;
        if (i < n && (sv[i] == '"' || sv[i] == '\''))
        {
            const size_t nClose = sv.find(sv[i], i + 1);
            if (nClose == std::string_view::npos)
                return std::string_view::npos;
            onAttribute(svName, sv.substr(i + 1, nClose - i - 1), true);
            i = nClose + 1;
        }
        else
        {
            const size_t nValueStart = i;
            while (i < n && (HTML_ByteClass(sv[i]) & (kHTMLSpace | kHTMLGreater)) == 0)
                ++i;
            onAttribute(svName, sv.substr(nValueStart, i - nValueStart), true);
        }
    }
}
