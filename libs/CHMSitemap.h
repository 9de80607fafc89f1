#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class CXML;

/// Deepest element level built below the root; deeper elements are attached at this level.
constexpr size_t kSitemapMaxDepth = 1000;

/// Parses sitemap HTML into pRoot's subtree as an HTML5 parser builds it, in one pass with the
/// project's HTML tokenizer (see CSitemapTreeBuilder for what is read as plain elements): the document
/// element "HTML" (with "HEAD" and "BODY") as pRoot's child, upper-case tag names, lower-case attribute
/// names, attribute values as written in the source (without quotes, character references kept,
/// bytes unchanged whatever their code page). Text and comments are left out. Any bytes give a
/// tree; false only when pRoot is null.
bool CHM_ParseSitemapToXML(std::string_view svBytes, CXML* pRoot, size_t nMaxDepth = kSitemapMaxDepth);

/// The list nesting the tree is built with at most. Deeper list tags are dropped (their items join
/// the deepest list), because tree construction costs time in proportion to the depth for every
/// tag.
constexpr size_t kSitemapMaxListNesting = 200;

/// Blanks out (with spaces, so no other byte moves) list tags nested deeper than nMaxLists and
/// start tags of other never-implied containers nested deeper than nMaxOther. Returns the
/// number of tags blanked.
size_t CHM_FlattenDeepNesting(std::string& strHtml, size_t nMaxLists = kSitemapMaxListNesting,
                              size_t nMaxOther = 2 * kSitemapMaxListNesting);

class CSitemapTreeBuilder;

/// A sitemap's elements exactly as CHM_ParseSitemapToXML builds them (same elements, order, names
/// and attributes, the same depth bound), held in a few arrays instead of one object per element:
/// the index of a large file is read and walked in a fraction of the memory of its CXML tree.
/// Elements are numbered; kRoot stands for the element the tree is built under.
class CSitemapElements
{
public:
    static constexpr uint32_t kRoot = 0;
    static constexpr uint32_t kNone = UINT32_MAX;

    CSitemapElements();
    ~CSitemapElements();
    CSitemapElements(const CSitemapElements&) = delete;
    CSitemapElements& operator=(const CSitemapElements&) = delete;

    /// Reads svBytes, which must outlive this object; any bytes give elements.
    void Sitemap_Read(std::string_view svBytes, size_t nMaxDepth = kSitemapMaxDepth);
    /// The same, keeping the bytes.
    void Sitemap_Take(std::string strBytes, size_t nMaxDepth = kSitemapMaxDepth);

    /// Upper case, as the tree has it; empty for kRoot.
    const std::string& GetTagName(uint32_t nElement) const;
    /// As CXML::GetAttr on the tree's element.
    std::string GetAttr(uint32_t nElement, std::string_view svName) const;
    int GetChildCount(uint32_t nElement) const;
    /// kNone outside 0..count-1.
    uint32_t GetChildAt(uint32_t nElement, int nIndex) const;
    /// Appends the element's children, as CXML elements with their descendants, to pParent.
    void Children_CopyTo(uint32_t nElement, CXML* pParent) const;

private:
    void Build(std::string_view svBytes, size_t nMaxDepth);

    std::string m_strBytes; ///< the bytes when taken
    const char* m_pBytes = nullptr;
    std::unique_ptr<CSitemapTreeBuilder> m_pBuilder;
    /// What is read of a node once the tree is built.
    struct SElement
    {
        uint32_t nName;
        uint32_t nAttrBegin;
        uint32_t nAttrCount;
    };
    std::vector<SElement> m_vecElements;
    std::vector<std::string> m_vecTags;    ///< by name number
    std::vector<uint32_t> m_vecChildBegin; ///< by element: where its children start in m_vecChildren
    std::vector<uint32_t> m_vecChildren;   ///< the children of element 0, then of 1, and so on
    std::string m_strNoTag;
};
