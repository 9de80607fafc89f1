#include "CHTMLDocument.h"

#include "CCodePage.h"
#include "CHTMLScan.h"
#include "CText.h"

#include <algorithm>
#include <array>
#include <iterator>

namespace
{
enum ERawKind
{
    kRawHidden,   ///< contents not shown: script, style and the like
    kRawTitle,    ///< the title, with character references
    kRawTextarea, ///< shown, with character references
    kRawShown,    ///< shown as it stands
    kRawPlaintext ///< the rest of the page is shown as it stands
};

struct SRawElement
{
    std::string_view svName;
    ERawKind nKind;
};

// noscript and noframes are raw text where scripts and frames work, as in every browser the site is
// meant for, so their contents are not shown.
constexpr SRawElement g_aRawElements[] = {
    {"iframe", kRawHidden},   {"noembed", kRawHidden},      {"noframes", kRawHidden},
    {"noscript", kRawHidden}, {"plaintext", kRawPlaintext}, {"script", kRawHidden},
    {"style", kRawHidden},    {"textarea", kRawTextarea},   {"title", kRawTitle},
    {"xmp", kRawShown},
};

// Sorted by name. Elements whose start or end separates the text before them from the text after them.
constexpr std::string_view g_aBlockElements[] = {
    "address", "article", "aside",  "blockquote", "body",     "br",    "button",   "caption",  "center",
    "dd",      "details", "dialog", "dir",        "div",      "dl",    "dt",       "fieldset", "figcaption",
    "figure",  "footer",  "form",   "frame",      "frameset", "h1",    "h2",       "h3",       "h4",
    "h5",      "h6",      "head",   "header",     "hgroup",   "hr",    "html",     "input",    "legend",
    "li",      "listing", "main",   "menu",       "nav",      "ol",    "optgroup", "option",   "p",
    "pre",     "section", "select", "summary",    "table",    "tbody", "td",       "textarea", "tfoot",
    "th",      "thead",   "title",  "tr",         "ul",       "xmp",
};

constexpr std::array<bool, 256> MakeTextStops()
{
    std::array<bool, 256> a{};
    a['<'] = true;
    a['&'] = true;
    a[0] = true;
    return a;
}
constexpr std::array<bool, 256> g_aTextStop = MakeTextStops();

struct SRange
{
    unsigned char nBegin = 0;
    unsigned char nEnd = 0;
};

/// For each first letter, where the names starting with it lie in a table sorted by name: every
/// tag of every page is looked up, and most tags rule themselves out on their first letter.
template <typename T, size_t N, typename GetName>
constexpr std::array<SRange, 26> MakeRanges(const T (&aTable)[N], GetName getName)
{
    std::array<SRange, 26> a{};
    for (size_t i = 0; i < N; ++i)
    {
        const size_t nLetter = static_cast<size_t>(getName(aTable[i])[0] - 'a');
        if (a[nLetter].nEnd == 0)
            a[nLetter].nBegin = static_cast<unsigned char>(i);
        a[nLetter].nEnd = static_cast<unsigned char>(i + 1);
    }
    return a;
}

static_assert(std::is_sorted(std::begin(g_aBlockElements), std::end(g_aBlockElements)));
static_assert(std::is_sorted(std::begin(g_aRawElements), std::end(g_aRawElements),
                             [](const SRawElement& a, const SRawElement& b) { return a.svName < b.svName; }));

constexpr std::array<SRange, 26> g_aBlockRanges =
    MakeRanges(g_aBlockElements, [](std::string_view sv) { return sv; });
constexpr std::array<SRange, 26> g_aRawRanges =
    MakeRanges(g_aRawElements, [](const SRawElement& e) { return e.svName; });

/// Names are lower case here.
const SRange* RangeOf(const std::array<SRange, 26>& aRanges, std::string_view svName)
{
    if (svName.empty() || svName[0] < 'a' || svName[0] > 'z')
        return nullptr;
    return &aRanges[static_cast<size_t>(svName[0] - 'a')];
}

bool IsBlockElement(std::string_view svName)
{
    if (const SRange* pRange = RangeOf(g_aBlockRanges, svName))
    {
        for (size_t i = pRange->nBegin; i < pRange->nEnd; ++i)
        {
            if (g_aBlockElements[i] == svName)
                return true;
        }
    }
    return false;
}

const SRawElement* FindRawElement(std::string_view svName)
{
    if (const SRange* pRange = RangeOf(g_aRawRanges, svName))
    {
        for (size_t i = pRange->nBegin; i < pRange->nEnd; ++i)
        {
            if (g_aRawElements[i].svName == svName)
                return &g_aRawElements[i];
        }
    }
    return nullptr;
}

} // namespace

void CHTMLDocument::AppendChar(char32_t c, std::string& strOut) const
{
    if (c == 0)
        return;
    // A no-break space separates words like a space; as a byte of its own it would become a keyword.
    if (c == 0xA0)
        c = ' ';
    if (c < 0x80 && m_cp.IsAsciiCompatible())
    {
        strOut += static_cast<char>(c);
        return;
    }
    if (!m_cp.EncodeChar(c, strOut))
        strOut += '?';
}

size_t CHTMLDocument::ReadReference(std::string_view sv, size_t nPos, std::string& strOut) const
{
    char32_t c1 = 0;
    char32_t c2 = 0;
    const size_t nLen = ReadCharReference(sv.substr(nPos), ERefPlace::kText, c1, c2);
    if (nLen == 0)
    {
        strOut += '&';
        return 1;
    }
    AppendChar(c1 == 0 ? 0xFFFD : c1, strOut);
    if (c2 != 0)
        AppendChar(c2, strOut);
    return nLen;
}

void CHTMLDocument::AppendTextWithReferences(std::string_view sv, std::string& strOut) const
{
    size_t i = 0;
    while (i < sv.size())
    {
        size_t j = i;
        while (j < sv.size() && !g_aTextStop[static_cast<unsigned char>(sv[j])])
            ++j;
        strOut.append(sv.data() + i, j - i);
        if (j >= sv.size())
            break;
        if (sv[j] == '&')
            j += ReadReference(sv, j, strOut);
        else if (sv[j] == '<')
            strOut += sv[j++];
        else
            ++j; // a zero byte
        i = j;
    }
}

void CHTMLDocument::SetTitle(std::string_view svRaw)
{
    std::string strText;
    AppendTextWithReferences(svRaw, strText);
    bool bSpace = false;
    for (char ch : strText)
    {
        if (HTML_IsSpace(ch))
        {
            bSpace = !m_strTitle.empty();
            continue;
        }
        if (bSpace)
            m_strTitle += ' ';
        bSpace = false;
        m_strTitle += ch;
    }
}

size_t CHTMLDocument::ReadTag(std::string_view sv, size_t nPos)
{
    const size_t n = sv.size();
    bool bEnd = sv[nPos + 1] == '/';
    size_t i = nPos + (bEnd ? 2 : 1);
    char aName[12];
    size_t nName = 0;
    for (; i < n && !HTML_IsSpace(sv[i]) && sv[i] != '/' && sv[i] != '>'; ++i)
    {
        if (nName < sizeof(aName))
            aName[nName] = LowerASCII(sv[i]);
        ++nName;
    }
    std::string_view svName = nName <= sizeof(aName) ? std::string_view(aName, nName) : std::string_view();
    i = HTML_ReadAttributes(sv, i,
                            [this](std::string_view svAttrName, std::string_view svValue, bool bValue)
                            {
                                if (bValue)
                                    NoteAttribute(svAttrName, svValue);
                            });
    if (i == std::string_view::npos)
        return n; // a tag cut off by the end of the page is dropped

    if (svName.empty())
        return i;
    if (bEnd)
    {
        if (svName == "template" && m_nTemplateDepth > 0)
            --m_nTemplateDepth;
    }
    else if (const SRawElement* pRaw = FindRawElement(svName))
    {
        if (pRaw->nKind == kRawPlaintext)
        {
            if (m_nTemplateDepth == 0)
            {
                m_strBody += '\n';
                m_strBody.append(sv.substr(i));
            }
            return n;
        }
        m_svRawEnd = pRaw->svName;
    }
    else if (svName == "template")
        ++m_nTemplateDepth;
    else if (svName == "body")
        m_bBodyTagSeen = true;
    else if (svName == "frameset" && !m_bBodyTagSeen && m_bHasBody)
    {
        // Only text since the last look is scanned, so that a page of many framesets stays linear.
        for (; m_nBlankChecked < m_strBody.size() && !m_bBodyText; ++m_nBlankChecked)
            m_bBodyText = !HTML_IsSpace(m_strBody[m_nBlankChecked]);
        if (!m_bBodyText)
            m_bHasBody = false; // a frameset page: the frameset stands where the body would
    }
    if (IsBlockElement(svName) && m_nTemplateDepth == 0)
        m_strBody += '\n';
    return i;
}

void CHTMLDocument::NoteAttribute(std::string_view svName, std::string_view svValue)
{
    if (m_pReferences == nullptr || m_nTemplateDepth > 0)
        return;
    const bool bStyle = EqualsNoCaseASCII(svName, "style");
    if (!bStyle && !EqualsNoCaseASCII(svName, "href") && !EqualsNoCaseASCII(svName, "src") &&
        !EqualsNoCaseASCII(svName, "background"))
        return;
    std::string strValue;
    for (size_t i = 0; i < svValue.size();)
    {
        char32_t c1 = 0;
        char32_t c2 = 0;
        const size_t nLen =
            svValue[i] == '&' ? ReadCharReference(svValue.substr(i), ERefPlace::kAttribute, c1, c2) : 0;
        if (nLen == 0)
        {
            strValue += svValue[i++];
            continue;
        }
        AppendChar(c1 == 0 ? 0xFFFD : c1, strValue);
        if (c2 != 0)
            AppendChar(c2, strValue);
        i += nLen;
    }
    if (bStyle)
        CSS_AppendURLs(strValue, *m_pReferences);
    else
        m_pReferences->push_back(std::move(strValue));
}

void CSS_AppendURLs(std::string_view svCSS, std::vector<std::string>& vecOut)
{
    for (size_t nPos = 0; nPos + 4 <= svCSS.size(); ++nPos)
    {
        if (!EqualsNoCaseASCII(svCSS.substr(nPos, 4), "url("))
            continue;
        size_t i = nPos + 4;
        while (i < svCSS.size() && HTML_IsSpace(svCSS[i]))
            ++i;
        const char chQuote = i < svCSS.size() && (svCSS[i] == '"' || svCSS[i] == '\'') ? svCSS[i] : ')';
        if (chQuote != ')')
            ++i;
        const size_t nEnd = svCSS.find(chQuote, i);
        if (nEnd == std::string_view::npos)
            return;
        std::string_view svURL = svCSS.substr(i, nEnd - i);
        while (!svURL.empty() && HTML_IsSpace(svURL.back()))
            svURL.remove_suffix(1);
        if (!svURL.empty())
            vecOut.emplace_back(svURL);
        nPos = nEnd;
    }
}

void CHTMLDocument::Write(std::string_view sv)
{
    m_strTitle.clear();
    m_strBody.clear();
    m_bHasBody = true;
    m_bTitleSeen = false;
    m_bBodyTagSeen = false;
    m_bBodyText = false;
    m_nBlankChecked = 0;
    m_nTemplateDepth = 0;
    m_svRawEnd = std::string_view();
    m_strBody.reserve(sv.size() / 2);

    const size_t n = sv.size();
    size_t i = 0;
    while (i < n)
    {
        if (!m_svRawEnd.empty())
        {
            const SRawElement* pRaw = FindRawElement(m_svRawEnd);
            size_t nEnd = HTML_FindRawEnd(sv, i, m_svRawEnd);
            if (nEnd == std::string_view::npos)
                nEnd = n;
            std::string_view svText = sv.substr(i, nEnd - i);
            bool bShown = m_nTemplateDepth == 0;
            if (pRaw->nKind == kRawTitle && !m_bTitleSeen && bShown)
            {
                m_bTitleSeen = true;
                SetTitle(svText);
            }
            else if (pRaw->nKind == kRawTextarea && bShown)
                AppendTextWithReferences(svText, m_strBody);
            else if (pRaw->nKind == kRawShown && bShown)
                m_strBody.append(svText);
            else if (m_pReferences != nullptr && bShown && m_svRawEnd == "style")
                CSS_AppendURLs(svText, *m_pReferences);
            m_svRawEnd = std::string_view();
            i = nEnd;
            continue;
        }
        size_t j = i;
        while (j < n && !g_aTextStop[static_cast<unsigned char>(sv[j])])
            ++j;
        if (m_nTemplateDepth == 0)
            m_strBody.append(sv.data() + i, j - i);
        i = j;
        if (i >= n)
            break;
        char ch = sv[i];
        if (ch == '&')
        {
            if (m_nTemplateDepth == 0)
                i += ReadReference(sv, i, m_strBody);
            else
                ++i;
            continue;
        }
        if (ch != '<')
        {
            ++i; // a zero byte
            continue;
        }
        char chNext = i + 1 < n ? sv[i + 1] : '\0';
        if (chNext == '!')
        {
            i = sv.substr(i + 2, 2) == "--" ? HTML_SkipComment(sv, i + 4) : HTML_SkipToTagEnd(sv, i + 2);
            continue;
        }
        if (chNext == '?')
        {
            i = HTML_SkipToTagEnd(sv, i + 2);
            continue;
        }
        if (chNext == '/')
        {
            char chAfter = i + 2 < n ? sv[i + 2] : '\0';
            if (HTML_IsAsciiAlpha(chAfter))
                i = ReadTag(sv, i);
            else if (chAfter == '>')
                i += 3;
            else if (i + 2 >= n)
            {
                if (m_nTemplateDepth == 0)
                    m_strBody += "</";
                i = n;
            }
            else
                i = HTML_SkipToTagEnd(sv, i + 2);
            continue;
        }
        if (HTML_IsAsciiAlpha(chNext))
        {
            i = ReadTag(sv, i);
            continue;
        }
        if (m_nTemplateDepth == 0)
            m_strBody += '<';
        ++i;
    }
    if (!m_bHasBody)
        m_strBody.clear();
}
