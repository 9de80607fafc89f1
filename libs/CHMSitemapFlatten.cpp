#include "CHMSitemap.h"

#include "CText.h"

#include <cstring>

namespace
{
bool IsAsciiAlpha(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool IsHtmlSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

enum class ENesting
{
    None,
    List,
    Other
};

/// Containers whose end an HTML5 parser never implies, so every unclosed one deepens the tree.
ENesting NestingOf(std::string_view svName)
{
    static constexpr std::string_view aLists[] = {"ul", "ol", "dir", "menu"};
    static constexpr std::string_view aOther[] = {"div", "span",   "font",   "b",   "i",          "u",
                                                  "em",  "strong", "small",  "big", "s",          "strike",
                                                  "tt",  "code",   "center", "sub", "blockquote", "sup"};
    for (std::string_view sv : aLists)
    {
        if (svName == sv)
            return ENesting::List;
    }
    for (std::string_view sv : aOther)
    {
        if (svName == sv)
            return ENesting::Other;
    }
    return ENesting::None;
}

/// Elements whose content is text up to their end tag.
bool IsRawText(std::string_view svName)
{
    return svName == "script" || svName == "style" || svName == "xmp" || svName == "iframe" ||
           svName == "noembed" || svName == "noframes" || svName == "title" || svName == "textarea";
}

/// Position after the '>' closing a tag whose attributes start at nPos; quoted values may hold '>'.
size_t SkipTagRest(std::string_view sv, size_t nPos)
{
    size_t i = nPos;
    while (i < sv.size())
    {
        const char c = sv[i];
        if (c == '>')
            return i + 1;
        if (IsHtmlSpace(c) || c == '/')
        {
            ++i;
            continue;
        }
        // An attribute name, then maybe "=" and a value.
        ++i;
        while (i < sv.size() && !IsHtmlSpace(sv[i]) && sv[i] != '/' && sv[i] != '>' && sv[i] != '=')
            ++i;
        size_t j = i;
        while (j < sv.size() && IsHtmlSpace(sv[j]))
            ++j;
        if (j >= sv.size() || sv[j] != '=')
            continue;
        i = j + 1;
        while (i < sv.size() && IsHtmlSpace(sv[i]))
            ++i;
        if (i < sv.size() && (sv[i] == '"' || sv[i] == '\''))
        {
            const size_t nClose = sv.find(sv[i], i + 1);
            if (nClose == std::string_view::npos)
                return sv.size();
            i = nClose + 1;
        }
        else
        {
            while (i < sv.size() && !IsHtmlSpace(sv[i]) && sv[i] != '>')
                ++i;
        }
    }
    return sv.size();
}
} // namespace

size_t CHM_FlattenDeepNesting(std::string& strHtml, size_t nMaxLists, size_t nMaxOther)
{
    const std::string_view sv(strHtml);
    size_t nLists = 0;
    size_t nOther = 0;
    size_t nBlanked = 0;
    size_t i = 0;
    while (i < sv.size())
    {
        if (sv[i] != '<')
        {
            ++i;
            continue;
        }
        const size_t nStart = i;
        if (sv.compare(i, 4, "<!--") == 0)
        {
            if (i + 4 < sv.size() && sv[i + 4] == '>')
                i += 5;
            else if (sv.compare(i + 4, 2, "->") == 0)
                i += 6;
            else
            {
                const size_t nEnd = sv.find("-->", i + 4);
                i = nEnd == std::string_view::npos ? sv.size() : nEnd + 3;
            }
            continue;
        }
        if (i + 1 < sv.size() && (sv[i + 1] == '!' || sv[i + 1] == '?'))
        {
            const size_t nEnd = sv.find('>', i + 2);
            i = nEnd == std::string_view::npos ? sv.size() : nEnd + 1;
            continue;
        }
        const bool bEnd = i + 1 < sv.size() && sv[i + 1] == '/';
        size_t nName = i + (bEnd ? 2 : 1);
        if (nName >= sv.size() || !IsAsciiAlpha(sv[nName]))
        {
            ++i;
            continue;
        }
        size_t nNameEnd = nName;
        // Every name looked for is short; a longer one is kept empty and matches none.
        char aName[12];
        size_t nNameLen = 0;
        while (nNameEnd < sv.size() && !IsHtmlSpace(sv[nNameEnd]) && sv[nNameEnd] != '/' &&
               sv[nNameEnd] != '>')
        {
            if (nNameLen < sizeof(aName))
                aName[nNameLen] = LowerASCII(sv[nNameEnd]);
            ++nNameLen;
            ++nNameEnd;
        }
        const std::string_view svTagName =
            nNameLen <= sizeof(aName) ? std::string_view(aName, nNameLen) : std::string_view();
        i = SkipTagRest(sv, nNameEnd);

        if (!bEnd && IsRawText(svTagName))
        {
            size_t j = i;
            while (j < sv.size())
            {
                j = sv.find("</", j);
                if (j == std::string_view::npos || StartsWithNoCaseASCII(sv.substr(j + 2), svTagName))
                    break;
                j += 2;
            }
            i = j == std::string_view::npos ? sv.size() : j;
            continue;
        }

        const ENesting eKind = NestingOf(svTagName);
        if (eKind == ENesting::None)
            continue;
        size_t& nDepth = eKind == ENesting::List ? nLists : nOther;
        const size_t nMax = eKind == ENesting::List ? nMaxLists : nMaxOther;
        bool bBlank = false;
        if (!bEnd)
            bBlank = ++nDepth > nMax;
        else if (nDepth > 0)
            bBlank = nDepth-- > nMax;
        if (bBlank)
        {
            std::memset(strHtml.data() + nStart, ' ', i - nStart);
            ++nBlanked;
        }
    }
    return nBlanked;
}
