#include "CHTMLDocument.h"

#include "CCodePage.h"
#include "CHTMLScan.h"
#include "CText.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
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

/// What a tag's name means to the harvest.
struct STag
{
    std::string_view svName;
    bool bBlock = false; ///< its start or end separates the text before it from the text after it
    bool bRaw = false;   ///< its contents are raw text, of kind nRaw
    ERawKind nRaw = kRawHidden;
};

constexpr STag Block(std::string_view svName)
{
    return {svName, true, false, kRawHidden};
}
constexpr STag Raw(std::string_view svName, ERawKind nRaw, bool bBlock)
{
    return {svName, bBlock, true, nRaw};
}
constexpr STag Plain(std::string_view svName)
{
    return {svName, false, false, kRawHidden};
}

// noscript and noframes are raw text where scripts and frames work, as in every
// browser the site is meant for, so their contents are not shown.
constexpr STag g_aTags[] = {
    Block("address"),
    Block("article"),
    Block("aside"),
    Block("blockquote"),
    Block("body"),
    Block("br"),
    Block("button"),
    Block("caption"),
    Block("center"),
    Block("dd"),
    Block("details"),
    Block("dialog"),
    Block("dir"),
    Block("div"),
    Block("dl"),
    Block("dt"),
    Block("fieldset"),
    Block("figcaption"),
    Block("figure"),
    Block("footer"),
    Block("form"),
    Block("frame"),
    Block("frameset"),
    Block("h1"),
    Block("h2"),
    Block("h3"),
    Block("h4"),
    Block("h5"),
    Block("h6"),
    Block("head"),
    Block("header"),
    Block("hgroup"),
    Block("hr"),
    Block("html"),
    Raw("iframe", kRawHidden, false),
    Block("input"),
    Block("legend"),
    Block("li"),
    Block("listing"),
    Block("main"),
    Block("menu"),
    Block("nav"),
    Raw("noembed", kRawHidden, false),
    Raw("noframes", kRawHidden, false),
    Raw("noscript", kRawHidden, false),
    Block("ol"),
    Block("optgroup"),
    Block("option"),
    Block("p"),
    Raw("plaintext", kRawPlaintext, false),
    Block("pre"),
    Raw("script", kRawHidden, false),
    Block("section"),
    Block("select"),
    Raw("style", kRawHidden, false),
    Block("summary"),
    Block("table"),
    Block("tbody"),
    Block("td"),
    Plain("template"),
    Raw("textarea", kRawTextarea, true),
    Block("tfoot"),
    Block("th"),
    Block("thead"),
    Raw("title", kRawTitle, true),
    Block("tr"),
    Block("ul"),
    Raw("xmp", kRawShown, true),
};

/// Longest name the lookup tells apart; longer names are none of the table's.
constexpr size_t kMaxTagName = 16;

/// A name of up to kMaxTagName bytes as two words, zero-padded, so that a lookup compares words.
struct SNameKey
{
    uint64_t n0 = 0;
    uint64_t n1 = 0;
    size_t nLen = 0;
    friend constexpr bool operator==(const SNameKey&, const SNameKey&) = default;
};

// A name read from a page becomes its key by loading its bytes into the words as they lie.
static_assert(std::endian::native == std::endian::little, "keys are built in little-endian byte order");

constexpr SNameKey KeyOf(std::string_view svName)
{
    SNameKey key;
    key.nLen = svName.size();
    for (size_t i = 0; i < svName.size() && i < kMaxTagName; ++i)
        (i < 8 ? key.n0 : key.n1) |= uint64_t{static_cast<unsigned char>(svName[i])} << (8 * (i % 8));
    return key;
}

static_assert(std::size(g_aTags) < 128, "the table of slots stays at most half full");

constexpr size_t HashOf(const SNameKey& key)
{
    return static_cast<size_t>(((key.n0 ^ (key.n1 * 31) ^ key.nLen) * 0x9E3779B97F4A7C15u) >> 56);
}

/// The table by hash of name, open addressing: every tag of every page is looked up, and a
/// lookup mostly ends at its first slot. Holds the index + 1 of an entry, 0 when free.
constexpr std::array<unsigned char, 256> MakeSlots()
{
    std::array<unsigned char, 256> a{};
    for (size_t i = 0; i < std::size(g_aTags); ++i)
    {
        size_t nSlot = HashOf(KeyOf(g_aTags[i].svName));
        while (a[nSlot] != 0)
            nSlot = (nSlot + 1) % a.size();
        a[nSlot] = static_cast<unsigned char>(i + 1);
    }
    return a;
}

constexpr std::array<unsigned char, 256> g_aTagSlots = MakeSlots();

constexpr std::array<SNameKey, std::size(g_aTags)> MakeKeys()
{
    std::array<SNameKey, std::size(g_aTags)> a{};
    for (size_t i = 0; i < std::size(g_aTags); ++i)
        a[i] = KeyOf(g_aTags[i].svName);
    return a;
}

constexpr std::array<SNameKey, std::size(g_aTags)> g_aTagKeys = MakeKeys();

/// The table's entry for a lower-case name given as its key, else null.
const STag* FindTag(const SNameKey& key)
{
    for (size_t nSlot = HashOf(key); g_aTagSlots[nSlot] != 0; nSlot = (nSlot + 1) % g_aTagSlots.size())
    {
        const size_t i = g_aTagSlots[nSlot] - 1u;
        if (g_aTagKeys[i] == key)
            return &g_aTags[i];
    }
    return nullptr;
}

/// The table's entry for the tag name at [nStart, nEnd) of sv, in any case, else null. The name is
/// loaded and lowered a word at a time: every tag of every page is looked up.
const STag* FindTagName(std::string_view sv, size_t nStart, size_t nEnd)
{
    SNameKey key;
    key.nLen = nEnd - nStart;
    if (key.nLen > kMaxTagName)
        return nullptr;
    uint64_t aWords[2] = {};
    if (nStart + kMaxTagName <= sv.size())
    {
        std::memcpy(aWords, sv.data() + nStart, sizeof(aWords));
        const size_t nBits = key.nLen * 8;
        if (key.nLen < 8)
        {
            aWords[0] &= (uint64_t{1} << nBits) - 1;
            aWords[1] = 0;
        }
        else if (key.nLen < 16)
            aWords[1] &= (uint64_t{1} << (nBits - 64)) - 1;
    }
    else
        std::memcpy(aWords, sv.data() + nStart, key.nLen);
    // No name of the table has a byte above 0x7F.
    if (((aWords[0] | aWords[1]) & 0x8080808080808080u) != 0)
        return nullptr;
    key.n0 = LowerASCIIBytes(aWords[0]);
    key.n1 = LowerASCIIBytes(aWords[1]);
    return FindTag(key);
}

constexpr std::array<bool, 256> MakeTextStops()
{
    std::array<bool, 256> a{};
    a['<'] = true;
    a['&'] = true;
    a[0] = true;
    return a;
}
constexpr std::array<bool, 256> g_aTextStop = MakeTextStops();

/// Position of the first "<", "&" or zero byte at or after i, else the end: where plain text ends.
/// Byte by byte: most runs of text between tags are shorter than a machine word or two.
inline size_t FindTextStop(std::string_view sv, size_t i)
{
    while (i < sv.size() && !g_aTextStop[static_cast<unsigned char>(sv[i])])
        ++i;
    return i;
}

/// Calls add with the address of every url() in a style sheet's text.
template <typename TAdd> void ForEachCSSURL(std::string_view svCSS, TAdd add)
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
            add(svURL);
        nPos = nEnd;
    }
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
        size_t j = FindTextStop(sv, i);
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
    const size_t nNameStart = nPos + (bEnd ? 2 : 1);
    size_t i = HTML_TagNameEnd(sv, nNameStart);
    const STag* pTag = FindTagName(sv, nNameStart, i);
    if (m_pReferences == nullptr || m_nTemplateDepth > 0)
        i = HTML_ReadAttributes(sv, i, [](std::string_view, std::string_view, bool) {});
    else
        i = HTML_ReadAttributes(sv, i,
                                [this](std::string_view svAttrName, std::string_view svValue, bool bValue)
                                {
                                    if (bValue)
                                        NoteAttribute(svAttrName, svValue);
                                });
    if (i == std::string_view::npos)
        return n; // a tag cut off by the end of the page is dropped
    if (pTag == nullptr)
        return i;
    const std::string_view svName = pTag->svName;
    if (bEnd)
    {
        if (svName == "template" && m_nTemplateDepth > 0)
            --m_nTemplateDepth;
    }
    else if (pTag->bRaw)
    {
        if (pTag->nRaw == kRawPlaintext)
        {
            if (m_nTemplateDepth == 0)
            {
                m_strBody += '\n';
                m_strBody.append(sv.substr(i));
            }
            return n;
        }
        m_svRawEnd = svName;
        m_nRawKind = pTag->nRaw;
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
    // One line break separates as well as several, and most block tags follow one.
    if (pTag->bBlock && m_nTemplateDepth == 0 && !m_strBody.ends_with('\n'))
        m_strBody += '\n';
    return i;
}

void CHTMLDocument::NoteAttribute(std::string_view svName, std::string_view svValue)
{
    // Each name is compared only with the one it could be by its length: most attributes are none.
    std::string_view svWanted;
    switch (svName.size())
    {
    case 3:
        svWanted = "src";
        break;
    case 4:
        svWanted = "href";
        break;
    case 5:
        svWanted = "style";
        break;
    case 10:
        svWanted = "background";
        break;
    default:
        return;
    }
    // "class" has the length of "style": the first letter mostly tells them apart without a call.
    if (LowerASCII(svName[0]) != svWanted[0] || !EqualsNoCaseASCII(svName, svWanted))
        return;
    const bool bStyle = svWanted == "style";
    if (svValue.find('&') == std::string_view::npos)
    {
        if (bStyle)
            ForEachCSSURL(svValue, [this](std::string_view svURL) { AddReference(svURL); });
        else
            AddReference(svValue);
        return;
    }
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
        ForEachCSSURL(strValue, [this](std::string_view svURL) { AddReference(svURL); });
    else
        AddReference(strValue);
}

void CSS_AppendURLs(std::string_view svCSS, std::vector<std::string>& vecOut)
{
    ForEachCSSURL(svCSS, [&](std::string_view svURL) { vecOut.emplace_back(svURL); });
}

void CHTMLDocument::AddReference(std::string_view svReference)
{
    // The list's strings are taken up again, so that a list kept from page to page stops allocating.
    if (m_nReferences < m_pReferences->size())
        (*m_pReferences)[m_nReferences].assign(svReference);
    else if (!m_vecSpareReferences.empty())
    {
        m_pReferences->push_back(std::move(m_vecSpareReferences.back()));
        m_vecSpareReferences.pop_back();
        m_pReferences->back().assign(svReference);
    }
    else
        m_pReferences->emplace_back(svReference);
    ++m_nReferences;
}

void CHTMLDocument::Write(std::string_view sv)
{
    m_nReferences = 0;
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
            const int nRaw = m_nRawKind;
            size_t nEnd = HTML_FindRawEnd(sv, i, m_svRawEnd);
            if (nEnd == std::string_view::npos)
                nEnd = n;
            std::string_view svText = sv.substr(i, nEnd - i);
            bool bShown = m_nTemplateDepth == 0;
            if (nRaw == kRawTitle && !m_bTitleSeen && bShown)
            {
                m_bTitleSeen = true;
                SetTitle(svText);
            }
            else if (nRaw == kRawTextarea && bShown)
                AppendTextWithReferences(svText, m_strBody);
            else if (nRaw == kRawShown && bShown)
                m_strBody.append(svText);
            else if (m_pReferences != nullptr && bShown && m_svRawEnd == "style")
                ForEachCSSURL(svText, [this](std::string_view svURL) { AddReference(svURL); });
            m_svRawEnd = std::string_view();
            i = nEnd;
            continue;
        }
        size_t j = FindTextStop(sv, i);
        if (j > i && m_nTemplateDepth == 0)
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
    if (m_pReferences != nullptr)
    {
        for (size_t i = m_nReferences; i < m_pReferences->size(); ++i)
            m_vecSpareReferences.push_back(std::move((*m_pReferences)[i]));
        m_pReferences->resize(m_nReferences);
    }
}
