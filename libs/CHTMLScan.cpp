#include "CHTMLScan.h"

#include "CText.h"

size_t HTML_SkipComment(std::string_view sv, size_t nPos)
{
    if (sv.substr(nPos, 1) == ">")
        return nPos + 1;
    if (sv.substr(nPos, 2) == "->")
        return nPos + 2;
    for (;;)
    {
        size_t nDash = sv.find("--", nPos);
        if (nDash == std::string_view::npos)
            return sv.size();
        if (sv.substr(nDash + 2, 1) == ">")
            return nDash + 3;
        if (sv.substr(nDash + 2, 2) == "!>")
            return nDash + 4;
        nPos = nDash + 1;
    }
}

size_t HTML_SkipToTagEnd(std::string_view sv, size_t nPos)
{
    size_t nEnd = sv.find('>', nPos);
    return nEnd == std::string_view::npos ? sv.size() : nEnd + 1;
}

size_t HTML_FindRawEnd(std::string_view sv, size_t nPos, std::string_view svName)
{
    for (;;)
    {
        nPos = sv.find("</", nPos);
        if (nPos == std::string_view::npos)
            return nPos;
        size_t nAfter = nPos + 2 + svName.size();
        if (nAfter <= sv.size() && EqualsNoCaseASCII(sv.substr(nPos + 2, svName.size()), svName) &&
            (nAfter == sv.size() || HTML_IsSpace(sv[nAfter]) || sv[nAfter] == '/' || sv[nAfter] == '>'))
            return nPos;
        nPos += 2;
    }
}
