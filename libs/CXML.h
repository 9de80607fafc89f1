#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

/// An element: tag name, text attributes and owned children in document order.
class CXML
{
public:
    CXML() = default;
    virtual ~CXML();
    CXML(const CXML&) = delete;
    CXML& operator=(const CXML&) = delete;

    void SetTagName(std::string strTag) { m_strTag = std::move(strTag); }
    /// Valid while the element lives.
    const std::string& GetTagName() const { return m_strTag; }

    /// Replaces an existing value of the same name.
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
    /// Room for nCount attributes and children, for callers that know them in advance.
    void ReserveAttrs(size_t nCount) { m_vecAttrs.reserve(nCount); }
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

    const std::string& GetText() const { return m_strText; }
    void SetText(std::string strText) { m_strText = std::move(strText); }

private:
    std::string m_strTag;
    std::string m_strText;
    std::vector<std::pair<std::string, std::string>> m_vecAttrs;
    std::vector<std::unique_ptr<CXML>> m_vecChildren;
    size_t m_nCursor = 0;
};
