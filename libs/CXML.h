#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

/// An element: tag name, text attributes and owned children in document order.
/// Kept small: a large index sitemap is a few hundred thousand of these.
class CXML
{
public:
    CXML() = default;
    ~CXML();
    CXML(const CXML&) = delete;
    CXML& operator=(const CXML&) = delete;

    void SetTagName(std::string strTag);
    /// Valid while the element lives and its tag is not set again.
    const std::string& GetTagName() const { return *m_pTag; }

    /// Replaces an existing value of the same name. Names and values are any bytes.
    void SetAttr(const std::string& strName, std::string strValue);
    void SetAttr(const std::string& strName, int32_t nValue);
    /// Empty when absent.
    std::string GetAttr(const std::string& strName) const;
    std::string GetAttrText(const std::string& strName) const { return GetAttr(strName); }
    /// 0 when absent or not a number.
    int32_t GetAttrInt(const std::string& strName) const;
    bool HasAttr(const std::string& strName) const;

    /// Appends pChild and takes ownership of it; returns it.
    CXML* AddChild(CXML* pChild);
    /// Creates, appends and returns a new child with that tag.
    CXML* AddChild(const std::string& strTag, const std::string& strText);
    /// Room for nCount attributes whose names and values total nBytes, and for nCount children,
    /// for callers that know them in advance.
    void ReserveAttrs(size_t nCount, size_t nBytes = 0);
    void ReserveChildren(size_t nCount) { m_vecChildren.reserve(nCount); }
    /// Detaches pChild without destroying it; the caller deletes it. False if it is not a child.
    bool RemoveChild(CXML* pChild);

    int GetChildCount() const { return static_cast<int>(m_vecChildren.size()); }
    /// Null outside 0..count-1.
    CXML* GetChildAt(int nIndex) const;
    /// First direct child with that tag, or null.
    CXML* GetChildByTagName(const std::string& strTag) const;

    /// This element's own cursor: walking other elements' children does not move it.
    CXML* GetFirstChild();
    /// Null after the last child.
    CXML* GetNextChild();

    const std::string& GetText() const;
    void SetText(std::string strText);

private:
    static const std::string* EmptyTag();
    /// Where the value of strName starts in m_pAttrs and its length; false when absent.
    bool FindAttr(const std::string& strName, size_t& nValue, size_t& nLength) const;
    void GrowAttrs(size_t nBytes);

    /// One of the shared names or, for any other tag, a string this element owns.
    const std::string* m_pTag = EmptyTag();
    std::unique_ptr<std::string> m_pText; ///< null when empty: elements of sitemaps keep no text
    /// Each attribute as the length of its name, the name, the length of its value, the value.
    std::unique_ptr<char[]> m_pAttrs;
    size_t m_nAttrBytes = 0;
    size_t m_nAttrCapacity = 0;
    std::vector<std::unique_ptr<CXML>> m_vecChildren;
    uint32_t m_nCursor = 0;
};
