#include "GumboSitemap.h"

#include "CGumboHeap.h"
#include "CHMSitemap.h"
#include "CText.h"
#include "CXML.h"

#include <gumbo.h>

#include <cstring>
#include <memory>
#include <vector>

namespace
{
/// gumbo reads UTF-8: each byte b goes in as the code point b, so every byte comes back out.
std::string BytesToUtf8(std::string_view sv)
{
    size_t nHigh = 0;
    for (char c : sv)
        nHigh += static_cast<unsigned char>(c) >> 7;
    std::string str(sv.size() + nHigh, '\0');
    char* pOut = str.data();
    for (char c : sv)
    {
        const unsigned char b = static_cast<unsigned char>(c);
        if (b < 0x80)
            *pOut++ = c;
        else
        {
            *pOut++ = static_cast<char>(0xC0 | (b >> 6));
            *pOut++ = static_cast<char>(0x80 | (b & 0x3F));
        }
    }
    return str;
}

std::string Utf8ToBytes(const char* p, size_t n)
{
    std::string str;
    str.reserve(n);
    for (size_t i = 0; i < n; ++i)
    {
        const unsigned char b = static_cast<unsigned char>(p[i]);
        if ((b == 0xC2 || b == 0xC3) && i + 1 < n)
        {
            str.push_back(
                static_cast<char>(((b & 0x1F) << 6) | (static_cast<unsigned char>(p[i + 1]) & 0x3F)));
            ++i;
        }
        else
            str.push_back(static_cast<char>(b));
    }
    return str;
}

/// The value as written: without its quotes, character references unresolved.
std::string OriginalValue(const GumboAttribute& attr)
{
    const char* p = attr.original_value.data;
    size_t n = attr.original_value.length;
    // gumbo points a value-less attribute's value at its name.
    if (p == nullptr || n == 0 || p == attr.original_name.data)
        return std::string();
    if (p[0] == '"' || p[0] == '\'')
    {
        const char cQuote = p[0];
        ++p;
        --n;
        if (n > 0 && p[n - 1] == cQuote)
            --n;
    }
    return Utf8ToBytes(p, n);
}

std::string TagName(const GumboElement& el)
{
    std::string strName;
    if (el.tag != GUMBO_TAG_UNKNOWN)
        strName = gumbo_normalized_tagname(el.tag);
    else
    {
        GumboStringPiece piece = el.original_tag;
        if (piece.data != nullptr && piece.length > 0)
        {
            gumbo_tag_from_original_text(&piece);
            strName = Utf8ToBytes(piece.data, piece.length);
        }
    }
    for (char& c : strName)
        c = UpperASCII(c);
    return strName;
}

bool IsElement(const GumboNode* pNode)
{
    return pNode != nullptr && (pNode->type == GUMBO_NODE_ELEMENT || pNode->type == GUMBO_NODE_TEMPLATE);
}

CXML* AddElement(CXML* pParent, const GumboElement& el)
{
    auto pNew = std::make_unique<CXML>();
    CXML* pChild = pNew.get();
    pChild->SetTagName(TagName(el));
    pChild->ReserveAttrs(el.attributes.length);
    unsigned int nElements = 0;
    for (unsigned int i = 0; i < el.children.length; ++i)
        nElements += IsElement(static_cast<const GumboNode*>(el.children.data[i])) ? 1 : 0;
    pChild->ReserveChildren(nElements);
    pParent->AddChild(pNew.release());
    for (unsigned int i = 0; i < el.attributes.length; ++i)
    {
        const GumboAttribute* pAttr = static_cast<const GumboAttribute*>(el.attributes.data[i]);
        std::string strName = Utf8ToBytes(pAttr->name, std::strlen(pAttr->name));
        for (char& c : strName)
            c = LowerASCII(c);
        pChild->SetAttr(strName, OriginalValue(*pAttr));
    }
    return pChild;
}
} // namespace

bool Gumbo_ParseSitemapToXML(std::string_view svBytes, CXML* pRoot, size_t nMaxDepth)
{
    if (pRoot == nullptr)
        return false;
    std::string strHtml(svBytes);
    CHM_FlattenDeepNesting(strHtml);
    const std::string strUtf8 = BytesToUtf8(strHtml);

    CGumboHeap heap;
    GumboOptions options = kGumboDefaultOptions;
    options.allocator = &CGumboHeap::Alloc;
    options.deallocator = &CGumboHeap::Free;
    options.userdata = &heap;
    options.max_errors = 0;
    GumboOutput* pOutput = gumbo_parse_with_options(&options, strUtf8.data(), strUtf8.size());
    if (pOutput == nullptr || pOutput->document == nullptr)
        return true;

    struct SFrame
    {
        const GumboNode* pNode;
        unsigned int nNext;
        CXML* pXml;    ///< where this node's children go
        size_t nDepth; ///< depth of pXml below pRoot
    };
    std::vector<SFrame> vecStack;
    vecStack.push_back({pOutput->document, 0, pRoot, 0});
    while (!vecStack.empty())
    {
        SFrame& top = vecStack.back();
        const GumboVector& children = top.pNode->type == GUMBO_NODE_DOCUMENT ? top.pNode->v.document.children
                                                                             : top.pNode->v.element.children;
        if (top.nNext >= children.length)
        {
            vecStack.pop_back();
            continue;
        }
        const GumboNode* pChild = static_cast<const GumboNode*>(children.data[top.nNext++]);
        if (!IsElement(pChild))
            continue;
        CXML* pXml = AddElement(top.pXml, pChild->v.element);
        // At the bound the element's descendants follow it as its siblings.
        if (top.nDepth + 1 < nMaxDepth)
            vecStack.push_back({pChild, 0, pXml, top.nDepth + 1});
        else
            vecStack.push_back({pChild, 0, top.pXml, top.nDepth});
    }
    return true;
}
