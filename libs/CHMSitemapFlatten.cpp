#include "CHMSitemap.h"

#include "CHMSitemapBuilder.h"
#include "CHTMLScan.h"
#include "CText.h"

#include <cstring>

namespace
{
/// Elements whose content is text up to their end tag.
bool IsRawText(std::string_view svName)
{
    return svName == "script" || svName == "style" || svName == "xmp" || svName == "iframe" ||
           svName == "noembed" || svName == "noframes" || svName == "title" || svName == "textarea";
}

} // namespace

size_t CHM_FlattenDeepNesting(std::string& strHtml, size_t nMaxLists, size_t nMaxOther)
{
    const std::string_view sv(strHtml);
    CSitemapNesting nesting(nMaxLists, nMaxOther);
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
            i = HTML_SkipComment(sv, i + 4);
            continue;
        }
        if (i + 1 < sv.size() && (sv[i + 1] == '!' || sv[i + 1] == '?'))
        {
            i = HTML_SkipToTagEnd(sv, i + 2);
            continue;
        }
        const bool bEnd = i + 1 < sv.size() && sv[i + 1] == '/';
        size_t nName = i + (bEnd ? 2 : 1);
        if (nName >= sv.size() || !HTML_IsAsciiAlpha(sv[nName]))
        {
            ++i;
            continue;
        }
        size_t nNameEnd = nName;
        // Every name looked for is short; a longer one is kept empty and matches none.
        char aName[12];
        size_t nNameLen = 0;
        while (nNameEnd < sv.size() && !HTML_IsSpace(sv[nNameEnd]) && sv[nNameEnd] != '/' &&
               sv[nNameEnd] != '>')
        {
            if (nNameLen < sizeof(aName))
                aName[nNameLen] = LowerASCII(sv[nNameEnd]);
            ++nNameLen;
            ++nNameEnd;
        }
        const std::string_view svTagName =
            nNameLen <= sizeof(aName) ? std::string_view(aName, nNameLen) : std::string_view();
        i = HTML_ReadAttributes(sv, nNameEnd, [](std::string_view, std::string_view, bool) {});
        if (i == std::string_view::npos)
            i = sv.size();

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

        const bool bBlank = nesting.Tag_Drop(svTagName, bEnd);
        if (bBlank)
        {
            std::memset(strHtml.data() + nStart, ' ', i - nStart);
            ++nBlanked;
        }
    }
    return nBlanked;
}
