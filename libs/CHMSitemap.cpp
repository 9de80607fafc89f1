#include "CHMSitemap.h"

#include "CHMSitemapBuilder.h"
#include "CHTMLScan.h"
#include "CText.h"
#include "CXML.h"

#include <algorithm>
#include <vector>

namespace
{
bool IsSpaceChar(char32_t c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '\r';
}

/// Reads the text from nPos to the next "<" for what the tree needs of it: whether it holds more
/// than white space (character references count as the characters they stand for) and whether it
/// holds anything other than zero bytes. Returns the position of the "<" or the end.
size_t ReadText(std::string_view sv, size_t nPos, bool& bNonSpace, bool& bShown)
{
    bNonSpace = false;
    bShown = false;
    size_t i = nPos;
    // Most text between a sitemap's tags is the indentation of the next line.
    while (i < sv.size() && HTML_IsSpace(sv[i]))
        ++i;
    bShown = i > nPos;
    while (i < sv.size() && sv[i] != '<')
    {
        const char c = sv[i];
        if (c == '&')
        {
            char32_t c1 = 0;
            char32_t c2 = 0;
            const size_t nLen = ReadCharReference(sv.substr(i), ERefPlace::kText, c1, c2);
            bShown = true;
            bNonSpace = bNonSpace || nLen == 0 || c2 != 0 || !IsSpaceChar(c1);
            i += std::max<size_t>(nLen, 1);
            continue;
        }
        if (c == '\0')
            bNonSpace = true;
        else
        {
            bShown = true;
            bNonSpace = bNonSpace || !HTML_IsSpace(c);
        }
        ++i;
    }
    return i;
}

/// svName lower-cased into strOut, whose room is kept from name to name.
void LowerInto(std::string_view svName, std::string& strOut)
{
    strOut.assign(svName);
    for (char& c : strOut)
        c = LowerASCII(c);
}

/// Adds an attribute read from sv to a tag's, unless the tag has one of that name already.
void AddAttribute(std::string_view sv, std::string_view svName, std::string_view svValue,
                  CSitemapTreeBuilder& builder, std::vector<SSitemapAttr>& vecAttrs, std::string& strLower)
{
    LowerInto(svName, strLower);
    const uint32_t nName = builder.Name_Intern(strLower);
    for (const SSitemapAttr& attr : vecAttrs)
    {
        if (attr.nName == nName)
            return;
    }
    size_t nValue = svValue.empty() ? 0 : static_cast<size_t>(svValue.data() - sv.data());
    size_t nLength = svValue.size();
    // Today's trees (and so the sites made so far) lose a character reference that opens a value
    // without quotes; kept so that every site stays byte for byte the same.
    if (nLength > 0 && svValue[0] == '&' && sv[nValue - 1] != '"' && sv[nValue - 1] != '\'')
    {
        char32_t c1 = 0;
        char32_t c2 = 0;
        const size_t nRef = ReadCharReference(svValue, ERefPlace::kAttribute, c1, c2);
        nValue += nRef;
        nLength -= nRef;
    }
    vecAttrs.push_back({nName, nValue, nLength});
}

/// The number of "<" followed by a letter: at most the start tags, and about their number.
size_t CountTagStarts(std::string_view sv)
{
    size_t nCount = 0;
    for (size_t i = sv.find('<'); i != std::string_view::npos; i = sv.find('<', i + 1))
    {
        if (i + 1 < sv.size() && HTML_IsAsciiAlpha(sv[i + 1]))
            ++nCount;
    }
    return nCount;
}

/// The number of "=": about the number of attributes. Found by find, which skips the bytes between
/// them many at a time, where a byte-by-byte count reads each.
size_t CountEquals(std::string_view sv)
{
    size_t nCount = 0;
    for (size_t i = sv.find('='); i != std::string_view::npos; i = sv.find('=', i + 1))
        ++nCount;
    return nCount;
}

/// Builds the element tree of the tokens in sv; the text of raw elements is skipped.
void BuildTree(std::string_view sv, CSitemapTreeBuilder& builder)
{
    builder.Reserve(CountTagStarts(sv), CountEquals(sv));
    CSitemapNesting nesting(kSitemapMaxListNesting, 2 * kSitemapMaxListNesting);
    std::vector<SSitemapAttr> vecAttrs;
    std::string strName;
    std::string strAttrName;
    const size_t n = sv.size();
    size_t i = 0;
    while (i < n)
    {
        bool bNonSpace = false;
        bool bShown = false;
        const size_t nTextEnd = ReadText(sv, i, bNonSpace, bShown);
        if (nTextEnd > i)
            builder.Text_Add(bNonSpace, bShown);
        i = nTextEnd;
        if (i >= n)
            break;
        const char chNext = i + 1 < n ? sv[i + 1] : '\0';
        if (chNext == '!')
        {
            if (sv.substr(i + 2, 2) == "--")
            {
                i = HTML_SkipComment(sv, i + 4);
                continue;
            }
            if (EqualsNoCaseASCII(sv.substr(i + 2, 7), "doctype"))
                builder.Doctype_Add();
            i = HTML_SkipToTagEnd(sv, i + 2);
            continue;
        }
        if (chNext == '?')
        {
            i = HTML_SkipToTagEnd(sv, i + 2);
            continue;
        }
        const bool bEnd = chNext == '/';
        const size_t nName = i + (bEnd ? 2 : 1);
        if (nName >= n)
        {
            builder.Text_Add(true, true);
            break;
        }
        if (!HTML_IsAsciiAlpha(sv[nName]))
        {
            if (!bEnd)
            {
                builder.Text_Add(true, true);
                ++i;
            }
            else
                i = sv[nName] == '>' ? nName + 1 : HTML_SkipToTagEnd(sv, nName);
            continue;
        }
        const size_t nNameEnd = HTML_TagNameEnd(sv, nName);
        LowerInto(sv.substr(nName, nNameEnd - nName), strName);
        vecAttrs.clear();
        i = HTML_ReadAttributes(sv, nNameEnd,
                                [&](std::string_view svAttr, std::string_view svValue, bool)
                                { AddAttribute(sv, svAttr, svValue, builder, vecAttrs, strAttrName); });
        if (i == std::string_view::npos)
            break; // a tag cut off by the end is no tag
        if (nesting.Tag_Drop(strName, bEnd))
        {
            // As the blanks the tag would be.
            builder.Text_Add(false, true);
            continue;
        }
        if (bEnd)
        {
            builder.Tag_End(strName);
            continue;
        }
        const ESitemapContent eContent = builder.Tag_Start(strName, vecAttrs);
        if (eContent == ESitemapContent::kPlaintext)
            break;
        if (eContent == ESitemapContent::kRaw)
        {
            i = HTML_FindRawEnd(sv, i, strName);
            if (i == std::string_view::npos)
                break;
        }
    }
    builder.Finish();
}
} // namespace

bool CHM_ParseSitemapToXML(std::string_view svBytes, CXML* pRoot, size_t nMaxDepth)
{
    if (pRoot == nullptr)
        return false;
    CSitemapElements elements;
    elements.Sitemap_Read(svBytes, nMaxDepth);
    elements.Children_CopyTo(CSitemapElements::kRoot, pRoot);
    return true;
}

CSitemapElements::CSitemapElements() = default;

CSitemapElements::~CSitemapElements() = default;

void CSitemapElements::Sitemap_Read(std::string_view svBytes, size_t nMaxDepth)
{
    m_strBytes.clear();
    Build(svBytes, nMaxDepth);
}

void CSitemapElements::Sitemap_Take(std::string strBytes, size_t nMaxDepth)
{
    m_strBytes = std::move(strBytes);
    Build(m_strBytes, nMaxDepth);
}

void CSitemapElements::Build(std::string_view svBytes, size_t nMaxDepth)
{
    m_pBytes = svBytes.data();
    m_pBuilder = std::make_unique<CSitemapTreeBuilder>(svBytes.data());
    BuildTree(svBytes, *m_pBuilder);
    const CSitemapTreeBuilder& builder = *m_pBuilder;
    m_vecTags.clear();
    m_vecTags.reserve(builder.NameCount());
    for (uint32_t nName = 0; nName < builder.NameCount(); ++nName)
        m_vecTags.push_back(UpperASCII(builder.Name(nName)));

    // Children are filed by parent in two walks, counting and then placing; at the depth bound an
    // element's descendants follow it as its siblings.
    const std::vector<CSitemapTreeBuilder::SNode>& vecNodes = builder.Nodes();
    auto Walk = [&](auto&& fnChild)
    {
        struct SFrame
        {
            uint32_t nNext;   ///< next child to file
            uint32_t nParent; ///< where the children go
            size_t nDepth;    ///< depth of nParent
        };
        std::vector<SFrame> vecStack{{vecNodes[0].nFirst, kRoot, 0}};
        while (!vecStack.empty())
        {
            SFrame& top = vecStack.back();
            if (top.nNext == CSitemapTreeBuilder::kNone)
            {
                vecStack.pop_back();
                continue;
            }
            const uint32_t nNode = top.nNext;
            top.nNext = vecNodes[nNode].nNext;
            fnChild(top.nParent, nNode);
            const SFrame next = top.nDepth + 1 < nMaxDepth
                                    ? SFrame{vecNodes[nNode].nFirst, nNode, top.nDepth + 1}
                                    : SFrame{vecNodes[nNode].nFirst, top.nParent, top.nDepth};
            vecStack.push_back(next);
        }
    };
    m_vecChildBegin.assign(vecNodes.size() + 1, 0);
    Walk([&](uint32_t nParent, uint32_t) { ++m_vecChildBegin[nParent + 1]; });
    for (size_t i = 1; i < m_vecChildBegin.size(); ++i)
        m_vecChildBegin[i] += m_vecChildBegin[i - 1];
    m_vecChildren.assign(m_vecChildBegin.back(), kNone);
    std::vector<uint32_t> vecFill(m_vecChildBegin.begin(), m_vecChildBegin.end() - 1);
    Walk([&](uint32_t nParent, uint32_t nNode) { m_vecChildren[vecFill[nParent]++] = nNode; });
    std::vector<uint32_t>().swap(vecFill);
    m_vecElements.clear();
    m_vecElements.reserve(vecNodes.size());
    for (const CSitemapTreeBuilder::SNode& node : vecNodes)
        m_vecElements.push_back({node.nName, node.nAttrBegin, node.nAttrCount});
    m_pBuilder->Nodes_Release();
}

const std::string& CSitemapElements::GetTagName(uint32_t nElement) const
{
    if (nElement == kRoot || nElement >= m_vecElements.size())
        return m_strNoTag;
    return m_vecTags[m_vecElements[nElement].nName];
}

std::string CSitemapElements::GetAttr(uint32_t nElement, std::string_view svName) const
{
    if (nElement == kRoot || nElement >= m_vecElements.size())
        return std::string();
    const SElement& node = m_vecElements[nElement];
    const std::vector<SSitemapAttr>& vecAttrs = m_pBuilder->Attrs();
    // The builder keeps one attribute of a name.
    for (uint32_t a = node.nAttrBegin; a < node.nAttrBegin + node.nAttrCount; ++a)
    {
        if (m_pBuilder->Name(vecAttrs[a].nName) == svName)
            return std::string(m_pBytes + vecAttrs[a].nValue, vecAttrs[a].nValueLength);
    }
    return std::string();
}

int CSitemapElements::GetChildCount(uint32_t nElement) const
{
    if (size_t{nElement} + 1 >= m_vecChildBegin.size())
        return 0;
    return static_cast<int>(m_vecChildBegin[nElement + 1] - m_vecChildBegin[nElement]);
}

uint32_t CSitemapElements::GetChildAt(uint32_t nElement, int nIndex) const
{
    if (nIndex < 0 || nIndex >= GetChildCount(nElement))
        return kNone;
    return m_vecChildren[m_vecChildBegin[nElement] + static_cast<uint32_t>(nIndex)];
}

void CSitemapElements::Children_CopyTo(uint32_t nElement, CXML* pParent) const
{
    if (pParent == nullptr || size_t{nElement} + 1 >= m_vecChildBegin.size())
        return;
    const std::vector<SSitemapAttr>& vecAttrs = m_pBuilder->Attrs();
    struct SFrame
    {
        uint32_t nNext; ///< next child's place in m_vecChildren
        uint32_t nEnd;
        CXML* pXml;
    };
    std::vector<SFrame> vecStack{{m_vecChildBegin[nElement], m_vecChildBegin[nElement + 1], pParent}};
    while (!vecStack.empty())
    {
        SFrame& top = vecStack.back();
        if (top.nNext == top.nEnd)
        {
            vecStack.pop_back();
            continue;
        }
        const uint32_t nChild = m_vecChildren[top.nNext++];
        const SElement& node = m_vecElements[nChild];
        auto pNew = std::make_unique<CXML>();
        CXML* pXml = pNew.get();
        pXml->SetTagName(m_vecTags[node.nName]);
        size_t nAttrBytes = 0;
        for (uint32_t a = node.nAttrBegin; a < node.nAttrBegin + node.nAttrCount; ++a)
            nAttrBytes += m_pBuilder->Name(vecAttrs[a].nName).size() + vecAttrs[a].nValueLength;
        pXml->ReserveAttrs(node.nAttrCount, nAttrBytes);
        for (uint32_t a = node.nAttrBegin; a < node.nAttrBegin + node.nAttrCount; ++a)
            pXml->SetAttr(std::string(m_pBuilder->Name(vecAttrs[a].nName)),
                          std::string(m_pBytes + vecAttrs[a].nValue, vecAttrs[a].nValueLength));
        pXml->ReserveChildren(static_cast<size_t>(GetChildCount(nChild)));
        top.pXml->AddChild(pNew.release());
        vecStack.push_back({m_vecChildBegin[nChild], m_vecChildBegin[nChild + 1], pXml});
    }
}
