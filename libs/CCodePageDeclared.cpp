#include "CCodePage.h"

#include "CCharsets.h"
#include "CText.h"

#include <algorithm>
#include <map>
#include <memory>
#include <mutex>
#include <utility>

namespace
{
// Browsers look no further for a declaration.
constexpr size_t kPrescanBytes = 1024;

bool IsSpaceByte(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '\r';
}

bool IsAsciiLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

void SkipSpaces(std::string_view sv, size_t& i)
{
    while (i < sv.size() && IsSpaceByte(sv[i]))
        ++i;
}

/// Reads the attribute at sv[i] as the prescan does, leaving i after it; its name and value are
/// views of sv in their own case. False at the tag's ">" (i stays on it) or at the end of the text.
bool ReadAttribute(std::string_view sv, size_t& i, std::string_view& svName, std::string_view& svValue)
{
    svName = {};
    svValue = {};
    while (i < sv.size() && (IsSpaceByte(sv[i]) || sv[i] == '/'))
        ++i;
    if (i >= sv.size() || sv[i] == '>')
        return false;
    const size_t nNameStart = i;
    for (;; ++i)
    {
        if (i >= sv.size())
            return false;
        const char c = sv[i];
        if (c == '=' && i > nNameStart)
            break;
        if (IsSpaceByte(c))
        {
            svName = sv.substr(nNameStart, i - nNameStart);
            SkipSpaces(sv, i);
            if (i >= sv.size() || sv[i] != '=')
                return true;
            break;
        }
        if (c == '/' || c == '>')
        {
            svName = sv.substr(nNameStart, i - nNameStart);
            return true;
        }
    }
    if (svName.empty())
        svName = sv.substr(nNameStart, i - nNameStart);
    ++i;
    SkipSpaces(sv, i);
    if (i >= sv.size())
        return false;
    if (sv[i] == '"' || sv[i] == '\'')
    {
        const size_t nEnd = sv.find(sv[i], i + 1);
        if (nEnd == std::string_view::npos)
            return false;
        svValue = sv.substr(i + 1, nEnd - i - 1);
        i = nEnd + 1;
        return true;
    }
    if (sv[i] == '>')
        return true;
    const size_t nValueStart = i;
    while (i < sv.size() && !IsSpaceByte(sv[i]) && sv[i] != '>')
        ++i;
    svValue = sv.substr(nValueStart, i - nValueStart);
    return true;
}

/// Where "charset" starts in sv, in any case, at nFrom or later; npos when nowhere.
size_t FindCharsetWord(std::string_view sv, size_t nFrom)
{
    constexpr std::string_view svWord = "charset";
    for (size_t i = nFrom; i + svWord.size() <= sv.size(); ++i)
    {
        if (LowerASCII(sv[i]) == 'c' && EqualsNoCaseASCII(sv.substr(i, svWord.size()), svWord))
            return i;
    }
    return std::string_view::npos;
}

/// The charset named in a Content-Type value ("text/html; charset=utf-8"), lower-cased; empty when none.
std::string CharsetOfContentType(std::string_view sv)
{
    size_t i = 0;
    for (;;)
    {
        const size_t nAt = FindCharsetWord(sv, i);
        if (nAt == std::string_view::npos)
            return std::string();
        i = nAt + 7;
        SkipSpaces(sv, i);
        if (i < sv.size() && sv[i] == '=')
            break;
    }
    ++i;
    SkipSpaces(sv, i);
    if (i >= sv.size())
        return std::string();
    if (sv[i] == '"' || sv[i] == '\'')
    {
        const size_t nEnd = sv.find(sv[i], i + 1);
        return nEnd == std::string_view::npos ? std::string() : LowerASCII(sv.substr(i + 1, nEnd - i - 1));
    }
    const size_t nStart = i;
    while (i < sv.size() && !IsSpaceByte(sv[i]) && sv[i] != ';')
        ++i;
    return LowerASCII(sv.substr(nStart, i - nStart));
}

/// The known label a meta element declares; its attributes start at sv[i], and i is left at its end.
std::string ReadMetaCharset(std::string_view sv, size_t& i)
{
    std::string_view svName;
    std::string_view svValue;
    std::string strLabel;
    // The first of two attributes of one name counts: only these three names tell anything.
    bool bSeenPragma = false;
    bool bSeenContent = false;
    bool bSeenCharset = false;
    bool bGotPragma = false;
    bool bNeedPragma = false;
    while (ReadAttribute(sv, i, svName, svValue))
    {
        if (EqualsNoCaseASCII(svName, "http-equiv"))
        {
            if (!std::exchange(bSeenPragma, true))
                bGotPragma = EqualsNoCaseASCII(svValue, "content-type");
        }
        else if (EqualsNoCaseASCII(svName, "content"))
        {
            if (!std::exchange(bSeenContent, true) && strLabel.empty())
            {
                strLabel = CharsetOfContentType(svValue);
                bNeedPragma = !strLabel.empty();
            }
        }
        else if (EqualsNoCaseASCII(svName, "charset"))
        {
            if (!std::exchange(bSeenCharset, true))
            {
                strLabel = LowerASCII(svValue);
                bNeedPragma = false;
            }
        }
    }
    if (strLabel.empty() || (bNeedPragma && !bGotPragma) || Charset_IconvNameOfLabel(strLabel) == nullptr)
        return std::string();
    return strLabel;
}

/// The encoding of an XML declaration at the very start of sv; empty when there is none.
std::string XmlDeclarationEncoding(std::string_view sv)
{
    if (sv.substr(0, 5) != "<?xml" || sv.size() < 6 || !IsSpaceByte(sv[5]))
        return std::string();
    const std::string_view svDecl = sv.substr(0, sv.find("?>"));
    size_t i = svDecl.find("encoding");
    if (i == std::string_view::npos)
        return std::string();
    i += 8;
    SkipSpaces(svDecl, i);
    if (i >= svDecl.size() || svDecl[i] != '=')
        return std::string();
    ++i;
    SkipSpaces(svDecl, i);
    if (i >= svDecl.size() || (svDecl[i] != '"' && svDecl[i] != '\''))
        return std::string();
    const size_t nEnd = svDecl.find(svDecl[i], i + 1);
    if (nEnd == std::string_view::npos)
        return std::string();
    std::string strLabel(svDecl.substr(i + 1, nEnd - i - 1));
    return Charset_IconvNameOfLabel(strLabel) != nullptr ? strLabel : std::string();
}

/// The code page iconv serves as pszIconvName, opened once for the process: opening one costs tens
/// of microseconds, more than reading a small page.
const CCodePage& OpenedCodePage(const char* pszIconvName)
{
    static std::mutex s_mutex;
    static std::map<std::string, std::unique_ptr<CCodePage>, std::less<>> s_mapOpened;
    const std::lock_guard<std::mutex> lock(s_mutex);
    std::unique_ptr<CCodePage>& pCodePage = s_mapOpened[pszIconvName];
    if (!pCodePage)
        pCodePage = std::make_unique<CCodePage>(pszIconvName);
    return *pCodePage;
}
} // namespace

std::string CodePage_DeclaredLabel(std::string_view svPage)
{
    const std::string_view sv = svPage.substr(0, kPrescanBytes);
    size_t i = 0;
    while (i < sv.size())
    {
        // Only a "<" starts anything the prescan reads.
        i = sv.find('<', i);
        if (i == std::string_view::npos)
            break;
        const std::string_view svRest = sv.substr(i);
        if (svRest.substr(0, 4) == "<!--")
        {
            // "<!-->" is a whole comment.
            const size_t nEnd = sv.find("-->", i + 2);
            if (nEnd == std::string_view::npos)
                break;
            i = nEnd + 3;
            continue;
        }
        if (StartsWithNoCaseASCII(svRest, "<meta") && svRest.size() > 5 &&
            (IsSpaceByte(svRest[5]) || svRest[5] == '/'))
        {
            i += 6;
            std::string strLabel = ReadMetaCharset(sv, i);
            if (!strLabel.empty())
                return strLabel;
        }
        else if (svRest.size() > 2 && svRest[0] == '<' &&
                 (IsAsciiLetter(svRest[1]) || (svRest[1] == '/' && IsAsciiLetter(svRest[2]))))
        {
            // Another tag: its attributes are skipped whole, so a quoted ">" does not end it.
            while (i < sv.size() && !IsSpaceByte(sv[i]) && sv[i] != '>')
                ++i;
            std::string_view svName;
            std::string_view svValue;
            while (ReadAttribute(sv, i, svName, svValue))
            {
            }
        }
        else if (svRest.size() > 1 && svRest[0] == '<' &&
                 (svRest[1] == '!' || svRest[1] == '/' || svRest[1] == '?'))
        {
            const size_t nEnd = sv.find('>', i);
            if (nEnd == std::string_view::npos)
                break;
            i = nEnd;
        }
        ++i;
    }
    return XmlDeclarationEncoding(sv);
}

std::string CodePage_PageToSite(std::string strPage, const CCodePage& cpSite)
{
    const std::string strLabel = CodePage_DeclaredLabel(strPage);
    if (strLabel.empty() ||
        (cpSite.GetRow() >= 0 && EqualsNoCaseASCII(strLabel, Charset_Row(cpSite.GetRow()).pszBrowserName)))
        return strPage;
    const char* pszName = Charset_IconvNameOfLabel(strLabel);
    if (pszName == nullptr || cpSite.GetName() == pszName)
        return strPage;
    const CCodePage& cpPage = OpenedCodePage(pszName);
    if (cpPage.GetName() != pszName)
        return strPage;
    // Most pages that declare a charset are plain ASCII: both code pages read such bytes alike.
    if (cpPage.IsAsciiCompatible() && cpSite.IsAsciiCompatible() && IsPlainASCII(strPage))
        return strPage;
    return cpSite.FromWide(cpPage.ToWide(strPage));
}
