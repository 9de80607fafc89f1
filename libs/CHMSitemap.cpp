#include "CHMSitemap.h"

#include "CText.h"
#include "CXML.h"

#include <gumbo.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <sys/mman.h>
#include <vector>

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

/// gumbo's blocks come from large chunks with a free list per size class, so its many small
/// nodes, strings and vectors cost no malloc each and freed growth buffers are reused at once.
/// Everything is released together at the end, without gumbo's own teardown, which recurses once
/// per tree level. The word in front of a block holds its size class; 0 marks a block too large
/// for a class, which has its own malloc and is linked in front of that word.
class CGumboHeap
{
public:
    CGumboHeap() { m_large.pPrev = m_large.pNext = &m_large; }
    ~CGumboHeap()
    {
        SLink* p = m_large.pNext;
        while (p != &m_large)
        {
            SLink* pNext = p->pNext;
            std::free(p);
            p = pNext;
        }
        for (void* pChunk : m_vecChunks)
            std::free(pChunk);
    }
    CGumboHeap(const CGumboHeap&) = delete;
    CGumboHeap& operator=(const CGumboHeap&) = delete;

    static void* Alloc(void* pUser, size_t nSize) { return static_cast<CGumboHeap*>(pUser)->Allocate(nSize); }
    static void Free(void* pUser, void* pBlock)
    {
        if (pBlock != nullptr)
            static_cast<CGumboHeap*>(pUser)->Release(pBlock);
    }

private:
    struct SLink
    {
        SLink* pPrev;
        SLink* pNext;
    };
    /// gumbo keeps pointers and sizes in its blocks, never anything aligned wider than a word.
    using Word = uint64_t;
    static constexpr size_t kWord = sizeof(Word);
    static constexpr size_t kSmallMax = 256;
    static constexpr size_t kSmallClasses = kSmallMax / kWord;
    static constexpr size_t kPooledMax = size_t(64) << 10;
    static constexpr size_t kClasses = kSmallClasses + 8; // then 512 .. 64 KB
    // Huge pages: the index of a large file fills about a hundred megabytes, and a page fault per
    // 4 KB cost more than gumbo's own work.
    static constexpr size_t kChunk = size_t(2) << 20;

    static size_t ClassOf(size_t nSize)
    {
        if (nSize <= kSmallMax)
            return nSize == 0 ? 0 : (nSize - 1) / kWord;
        size_t nClass = kSmallClasses;
        for (size_t nCap = kSmallMax * 2; nCap < nSize; nCap *= 2)
            ++nClass;
        return nClass;
    }
    static size_t ClassSize(size_t nClass)
    {
        if (nClass < kSmallClasses)
            return (nClass + 1) * kWord;
        return kSmallMax << (nClass - kSmallClasses + 1);
    }

    void* Allocate(size_t nSize)
    {
        if (nSize > kPooledMax)
        {
            static_assert(sizeof(SLink) % kWord == 0);
            char* pRaw = static_cast<char*>(std::malloc(sizeof(SLink) + kWord + nSize));
            if (pRaw == nullptr)
                return nullptr;
            SLink* p = reinterpret_cast<SLink*>(pRaw);
            p->pPrev = &m_large;
            p->pNext = m_large.pNext;
            p->pNext->pPrev = p;
            m_large.pNext = p;
            Word* pTag = reinterpret_cast<Word*>(pRaw + sizeof(SLink));
            *pTag = 0;
            return pTag + 1;
        }
        const size_t nClass = ClassOf(nSize);
        Word* pTag = nullptr;
        if (void* pFree = m_apFree[nClass])
        {
            // A free block keeps the next free one in its first payload word.
            pTag = static_cast<Word*>(pFree);
            std::memcpy(&m_apFree[nClass], pTag + 1, sizeof(void*));
        }
        else
        {
            const size_t nNeed = kWord + ClassSize(nClass);
            if (m_pEnd - m_pNext < static_cast<std::ptrdiff_t>(nNeed))
            {
                // The rest of the old chunk is left unused; it is under one pooled block.
                char* pChunk = static_cast<char*>(std::aligned_alloc(kChunk, kChunk));
                if (pChunk == nullptr)
                    return nullptr;
                ::madvise(pChunk, kChunk, MADV_HUGEPAGE);
                m_vecChunks.push_back(pChunk);
                m_pNext = pChunk;
                m_pEnd = pChunk + kChunk;
            }
            pTag = reinterpret_cast<Word*>(m_pNext);
            m_pNext += nNeed;
        }
        *pTag = nClass + 1;
        return pTag + 1;
    }

    void Release(void* pBlock)
    {
        Word* pTag = static_cast<Word*>(pBlock) - 1;
        const Word nTag = *pTag;
        if (nTag > 0 && nTag <= kClasses)
        {
            std::memcpy(pTag + 1, &m_apFree[nTag - 1], sizeof(void*));
            m_apFree[nTag - 1] = pTag;
            return;
        }
        SLink* p = reinterpret_cast<SLink*>(reinterpret_cast<char*>(pTag) - sizeof(SLink));
        p->pPrev->pNext = p->pNext;
        p->pNext->pPrev = p->pPrev;
        std::free(p);
    }

    SLink m_large;
    void* m_apFree[kClasses] = {};
    std::vector<void*> m_vecChunks;
    char* m_pNext = nullptr;
    char* m_pEnd = nullptr;
};

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

bool CHM_ParseSitemapToXML(std::string_view svBytes, CXML* pRoot, size_t nMaxDepth)
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
