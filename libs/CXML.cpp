#include "CXML.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <functional>

namespace
{
/// The tags the converter's trees are made of: their elements share one copy of the name.
const std::string* SharedTags(size_t& nCount)
{
    static const std::string aTags[] = {"",       "HTML",  "HEAD",   "BODY",           "UL",     "LI",
                                        "OBJECT", "PARAM", "Topic",  "SiteMap",        "HHC",    "HHK",
                                        "Entry",  "File",  "Folder", "SiteProperties", "CHMInfo"};
    nCount = std::size(aTags);
    return aTags;
}

bool IsShared(const std::string* pTag)
{
    size_t nCount = 0;
    const std::string* pTags = SharedTags(nCount);
    return std::greater_equal<const std::string*>()(pTag, pTags) &&
           std::less<const std::string*>()(pTag, pTags + nCount);
}

// Lengths as base-128 digits, low first: most names and values are shorter than 128 bytes.
void PutLength(char* p, size_t& nPos, size_t nLength)
{
    while (nLength >= 0x80)
    {
        p[nPos++] = static_cast<char>((nLength & 0x7F) | 0x80);
        nLength >>= 7;
    }
    p[nPos++] = static_cast<char>(nLength);
}

size_t LengthSize(size_t nLength)
{
    size_t nSize = 1;
    for (; nLength >= 0x80; nLength >>= 7)
        ++nSize;
    return nSize;
}

size_t GetLength(const char* p, size_t& nPos)
{
    size_t nLength = 0;
    for (unsigned nShift = 0;; nShift += 7)
    {
        const auto c = static_cast<unsigned char>(p[nPos++]);
        nLength |= static_cast<size_t>(c & 0x7F) << nShift;
        if ((c & 0x80) == 0)
            return nLength;
    }
}

const std::string& EmptyText()
{
    static const std::string strEmpty;
    return strEmpty;
}
} // namespace

const std::string* CXML::EmptyTag()
{
    size_t nCount = 0;
    return SharedTags(nCount);
}

CXML::~CXML()
{
    if (!IsShared(m_pTag))
        delete m_pTag;
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

void CXML::SetTagName(std::string strTag)
{
    if (!IsShared(m_pTag))
        delete m_pTag;
    size_t nCount = 0;
    const std::string* pTags = SharedTags(nCount);
    const std::string* pShared = std::find(pTags, pTags + nCount, strTag);
    m_pTag = pShared != pTags + nCount ? pShared : new std::string(std::move(strTag));
}

const std::string& CXML::GetText() const
{
    return m_pText ? *m_pText : EmptyText();
}

void CXML::SetText(std::string strText)
{
    if (strText.empty())
        m_pText.reset();
    else
        m_pText = std::make_unique<std::string>(std::move(strText));
}

void CXML::ReserveAttrs(size_t nCount, size_t nBytes)
{
    // Two length bytes an attribute cover names and values shorter than 128 bytes.
    const size_t nWanted = m_nAttrBytes + 2 * nCount + nBytes;
    if (nWanted > m_nAttrCapacity)
        GrowAttrs(nWanted);
}

void CXML::GrowAttrs(size_t nBytes)
{
    auto pNew = std::make_unique<char[]>(nBytes);
    if (m_nAttrBytes > 0)
        std::memcpy(pNew.get(), m_pAttrs.get(), m_nAttrBytes);
    m_pAttrs = std::move(pNew);
    m_nAttrCapacity = nBytes;
}

bool CXML::FindAttr(const std::string& strName, size_t& nValue, size_t& nLength) const
{
    const char* p = m_pAttrs.get();
    size_t nPos = 0;
    while (nPos < m_nAttrBytes)
    {
        const size_t nNameLength = GetLength(p, nPos);
        const size_t nName = nPos;
        nPos += nNameLength;
        nLength = GetLength(p, nPos);
        nValue = nPos;
        nPos += nLength;
        if (nNameLength == strName.size() && std::memcmp(p + nName, strName.data(), nNameLength) == 0)
            return true;
    }
    return false;
}

void CXML::SetAttr(const std::string& strName, std::string strValue)
{
    size_t nValue = 0;
    size_t nLength = 0;
    if (FindAttr(strName, nValue, nLength))
    {
        // Rebuilt around the new value: its length may take another number of bytes.
        const size_t nStart = nValue - LengthSize(nLength);
        const size_t nEnd = nValue + nLength;
        const size_t nSize = nStart + LengthSize(strValue.size()) + strValue.size() + (m_nAttrBytes - nEnd);
        auto pNew = std::make_unique<char[]>(nSize);
        std::memcpy(pNew.get(), m_pAttrs.get(), nStart);
        size_t nPos = nStart;
        PutLength(pNew.get(), nPos, strValue.size());
        std::memcpy(pNew.get() + nPos, strValue.data(), strValue.size());
        nPos += strValue.size();
        std::memcpy(pNew.get() + nPos, m_pAttrs.get() + nEnd, m_nAttrBytes - nEnd);
        m_pAttrs = std::move(pNew);
        m_nAttrBytes = nSize;
        m_nAttrCapacity = nSize;
        return;
    }
    const size_t nAdd =
        LengthSize(strName.size()) + strName.size() + LengthSize(strValue.size()) + strValue.size();
    if (m_nAttrBytes + nAdd > m_nAttrCapacity)
        GrowAttrs(std::max(m_nAttrBytes + nAdd, m_nAttrCapacity + m_nAttrCapacity / 2));
    char* p = m_pAttrs.get();
    PutLength(p, m_nAttrBytes, strName.size());
    std::memcpy(p + m_nAttrBytes, strName.data(), strName.size());
    m_nAttrBytes += strName.size();
    PutLength(p, m_nAttrBytes, strValue.size());
    std::memcpy(p + m_nAttrBytes, strValue.data(), strValue.size());
    m_nAttrBytes += strValue.size();
}

void CXML::SetAttr(const std::string& strName, int32_t nValue)
{
    SetAttr(strName, std::to_string(nValue));
}

std::string CXML::GetAttr(const std::string& strName) const
{
    size_t nValue = 0;
    size_t nLength = 0;
    if (!FindAttr(strName, nValue, nLength))
        return std::string();
    return std::string(m_pAttrs.get() + nValue, nLength);
}

bool CXML::HasAttr(const std::string& strName) const
{
    size_t nValue = 0;
    size_t nLength = 0;
    return FindAttr(strName, nValue, nLength);
}

int32_t CXML::GetAttrInt(const std::string& strName) const
{
    size_t nValue = 0;
    size_t nLength = 0;
    if (!FindAttr(strName, nValue, nLength))
        return 0;
    const char* p = m_pAttrs.get() + nValue;
    const char* pEnd = p + nLength;
    while (p < pEnd && (*p == ' ' || *p == '\t'))
        ++p;
    if (p < pEnd && *p == '+')
        ++p;
    int32_t nResult = 0;
    std::from_chars(p, pEnd, nResult);
    return nResult;
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
    pChild->SetTagName(strTag);
    pChild->SetText(strText);
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
        if (*pChild->m_pTag == strTag)
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
