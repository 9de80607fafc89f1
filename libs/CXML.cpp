#include "CXML.h"

#include <charconv>

CXML::~CXML()
{
    // Iterative teardown: sitemaps in the wild nest thousands deep.
    std::vector<std::unique_ptr<CXML>> vecPending = std::move(m_vecChildren);
    while (!vecPending.empty())
    {
        std::unique_ptr<CXML> pNode = std::move(vecPending.back());
        vecPending.pop_back();
        for (auto& pChild : pNode->m_vecChildren)
            vecPending.push_back(std::move(pChild));
        pNode->m_vecChildren.clear();
    }
}

void CXML::SetAttr(const std::string& strName, std::string strValue)
{
    for (auto& attr : m_vecAttrs)
    {
        if (attr.first == strName)
        {
            attr.second = std::move(strValue);
            return;
        }
    }
    m_vecAttrs.emplace_back(strName, std::move(strValue));
}

void CXML::SetAttr(const std::string& strName, int32_t nValue)
{
    SetAttr(strName, std::to_string(nValue));
}

std::string CXML::GetAttr(const std::string& strName) const
{
    for (const auto& attr : m_vecAttrs)
    {
        if (attr.first == strName)
            return attr.second;
    }
    return std::string();
}

bool CXML::HasAttr(const std::string& strName) const
{
    for (const auto& attr : m_vecAttrs)
    {
        if (attr.first == strName)
            return true;
    }
    return false;
}

int32_t CXML::GetAttrInt(const std::string& strName) const
{
    std::string strValue = GetAttr(strName);
    const char* p = strValue.data();
    const char* pEnd = p + strValue.size();
    while (p < pEnd && (*p == ' ' || *p == '\t'))
        ++p;
    if (p < pEnd && *p == '+')
        ++p;
    int32_t nValue = 0;
    std::from_chars(p, pEnd, nValue);
    return nValue;
}

CXML* CXML::AddChild(CXML* pChild)
{
    if (pChild == nullptr)
        return nullptr;
    m_vecChildren.emplace_back(pChild);
    return pChild;
}

CXML* CXML::AddChild(const std::string& strTag, const std::string& strText)
{
    auto pChild = std::make_unique<CXML>();
    pChild->m_strTag = strTag;
    pChild->m_strText = strText;
    m_vecChildren.push_back(std::move(pChild));
    return m_vecChildren.back().get();
}

bool CXML::RemoveChild(CXML* pChild)
{
    for (size_t i = 0; i < m_vecChildren.size(); ++i)
    {
        if (m_vecChildren[i].get() == pChild)
        {
            m_vecChildren[i].release();
            m_vecChildren.erase(m_vecChildren.begin() + static_cast<std::ptrdiff_t>(i));
            if (m_nCursor > i)
                --m_nCursor;
            return true;
        }
    }
    return false;
}

CXML* CXML::GetChildAt(int nIndex) const
{
    if (nIndex < 0 || static_cast<size_t>(nIndex) >= m_vecChildren.size())
        return nullptr;
    return m_vecChildren[static_cast<size_t>(nIndex)].get();
}

CXML* CXML::GetChildByTagName(const std::string& strTag) const
{
    for (const auto& pChild : m_vecChildren)
    {
        if (pChild->m_strTag == strTag)
            return pChild.get();
    }
    return nullptr;
}

CXML* CXML::GetFirstChild()
{
    m_nCursor = 0;
    return GetNextChild();
}

CXML* CXML::GetNextChild()
{
    if (m_nCursor >= m_vecChildren.size())
        return nullptr;
    return m_vecChildren[m_nCursor++].get();
}
