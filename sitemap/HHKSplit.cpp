#include "CWebHelpHelper.h"

#include "HHKSink.h"
#include "SitemapProperties.h"

#include "CArchivePath.h"
#include "CHMSitemap.h"
#include "CHTMLHelper.h"
#include "CText.h"
#include "CXML.h"

#include <string>
#include <type_traits>
#include <unordered_map>
#include <vector>

namespace
{
/// Keywords name the same pages again and again: each "Local" value as written is made an address
/// once a split.
struct SHHKAddresses
{
    mutable std::unordered_map<std::string, std::string> mapAddresses;
};
} // namespace

// The index is split from a CXML tree or, for the converter's own large index, from the elements
// as read, without building the tree; both are read through the same few calls.
struct CWebHelpHelper::SHHKXmlTree : SHHKAddresses
{
    using TNode = CXML*;
    static constexpr TNode kNull = nullptr;
    const std::string& Tag(TNode p) const { return p->GetTagName(); }
    std::string Attr(TNode p, const std::string& strName) const { return p->GetAttr(strName); }
    int Count(TNode p) const { return p->GetChildCount(); }
    TNode At(TNode p, int nIndex) const { return p->GetChildAt(nIndex); }
};

struct CWebHelpHelper::SHHKElementTree : SHHKAddresses
{
    using TNode = uint32_t;
    static constexpr TNode kNull = CSitemapElements::kNone;
    const CSitemapElements& elements;
    const std::string& Tag(TNode n) const { return elements.GetTagName(n); }
    std::string Attr(TNode n, const std::string& strName) const { return elements.GetAttr(n, strName); }
    int Count(TNode n) const { return elements.GetChildCount(n); }
    TNode At(TNode n, int nIndex) const { return elements.GetChildAt(n, nIndex); }
};

namespace
{
template <class TTree>
typename TTree::TNode ChildByTag(const TTree& tree, typename TTree::TNode node, const char* pszTag)
{
    for (int i = 0; i < tree.Count(node); ++i)
    {
        const typename TTree::TNode child = tree.At(node, i);
        if (tree.Tag(child) == pszTag)
            return child;
    }
    return TTree::kNull;
}

/// Makes the Topic elements of a split's SiteMap.
class CHHKXmlSink : public CHHKSink
{
public:
    explicit CHHKXmlSink(CXML* pSiteMap) : m_pSiteMap(pSiteMap) {}

    void HHK_Keyword(const std::string& strName, int nLevel) override
    {
        m_pKeyword = m_pCurrent = m_pSiteMap->AddChild("Topic", std::string());
        m_pKeyword->SetAttr("Name", strName);
        m_pKeyword->SetAttr("XPosition", nLevel);
    }
    void HHK_Title(const std::string& strName, int nLevel) override
    {
        m_pCurrent = m_pSiteMap->AddChild("Topic", std::string());
        m_pCurrent->SetAttr("Name", strName);
        m_pCurrent->SetAttr("XPosition", nLevel);
        m_pCurrent->SetAttr("Type", std::string("5"));
    }
    void HHK_Local(const std::string& strLocal) override { m_pCurrent->SetAttr("Local", strLocal); }
    void HHK_EndItem(bool bTitles, const std::string& strSeeAlso) override
    {
        if (bTitles)
            m_pKeyword->SetAttr("Type", std::string("4"));
        // The index runtime follows "@@@" + keyword to that keyword in the list.
        if (!strSeeAlso.empty() && m_pKeyword->GetAttr("Local").empty())
            m_pKeyword->SetAttr("Local", "@@@" + strSeeAlso);
    }

private:
    CXML* m_pSiteMap;
    CXML* m_pKeyword = nullptr;
    CXML* m_pCurrent = nullptr;
};
} // namespace

int CWebHelpHelper::CHM2Web_SplitHHKInfo(CXML* pRaw, CXML* pRoot)
{
    if (pRaw == nullptr || pRoot == nullptr)
        return 0;
    const int nResult = HHK_SplitTree(SHHKXmlTree(), pRaw, pRoot);
    // An empty first list goes, as it always has; it gave no keyword.
    if (CXML* pHTML = pRaw->GetChildByTagName("HTML"))
    {
        CXML* pContainer = pHTML->GetChildByTagName("BODY");
        if (pContainer == nullptr)
            pContainer = pHTML;
        CXML* pUL = pContainer->GetChildByTagName("UL");
        if (pUL != nullptr && pUL->GetChildCount() == 0)
        {
            pContainer->RemoveChild(pUL);
            delete pUL;
        }
    }
    return nResult;
}

int CWebHelpHelper::CHM2Web_SplitHHKElements(const CSitemapElements& elements, CXML* pRoot)
{
    if (pRoot == nullptr)
        return 0;
    return HHK_SplitTree(SHHKElementTree{{}, elements}, CSitemapElements::kRoot, pRoot);
}

void CWebHelpHelper::HHK_SplitElementsTo(const CSitemapElements& elements, CHHKSink& sink)
{
    const SHHKElementTree tree{{}, elements};
    uint32_t container = CSitemapElements::kNone;
    uint32_t start = CSitemapElements::kNone;
    int nLevel = 0;
    if (HHK_FindStart(tree, CSitemapElements::kRoot, container, start, nLevel))
        HHK_SplitNodes(tree, start, sink, nLevel);
}

template <class TTree>
bool CWebHelpHelper::HHK_FindStart(const TTree& tree, typename TTree::TNode raw,
                                   typename TTree::TNode& container, typename TTree::TNode& start,
                                   int& nLevel)
{
    const typename TTree::TNode html = ChildByTag(tree, raw, "HTML");
    if (html == TTree::kNull)
        return false;
    container = ChildByTag(tree, html, "BODY");
    if (container == TTree::kNull)
        container = html;
    start = container;
    nLevel = 0;
    const typename TTree::TNode ul = ChildByTag(tree, container, "UL");
    if (ul != TTree::kNull && tree.Count(ul) > 0)
    {
        start = ul;
        nLevel = -1;
    }
    return true;
}

template <class TTree>
int CWebHelpHelper::HHK_SplitTree(const TTree& tree, typename TTree::TNode raw, CXML* pRoot)
{
    typename TTree::TNode container = TTree::kNull;
    typename TTree::TNode start = TTree::kNull;
    int nLevel = 0;
    if (!HHK_FindStart(tree, raw, container, start, nLevel))
        return 0;

    const typename TTree::TNode object = ChildByTag(tree, container, "OBJECT");
    CXML* pProperties = pRoot->AddChild("SiteProperties", std::string());
    if (object != TTree::kNull && EqualsNoCaseASCII(tree.Attr(object, "type"), "text/site properties"))
    {
        if constexpr (std::is_same_v<TTree, SHHKXmlTree>)
            HHK_SplitSitePropertiesInfo(object, pProperties);
        else
        {
            CXML copy;
            tree.elements.Children_CopyTo(object, &copy);
            HHK_SplitSitePropertiesInfo(&copy, pProperties);
        }
    }
    CHHKXmlSink sink(pRoot->AddChild("SiteMap", std::string()));
    HHK_SplitNodes(tree, start, sink, nLevel);
    return 1;
}

int CWebHelpHelper::HHK_SplitSitePropertiesInfo(CXML* pObject, CXML* pProperties)
{
    Sitemap_CopyProperties(pObject, pProperties, {"WindowName", "FrameName", "Font"});
    return 1;
}

int CWebHelpHelper::HHK_SplitSiteMapInfo(CXML* pNode, CXML* pSiteMap, int nLevel)
{
    CHHKXmlSink sink(pSiteMap);
    return HHK_SplitNodes(SHHKXmlTree(), pNode, sink, nLevel);
}

template <class TTree>
int CWebHelpHelper::HHK_SplitNodes(const TTree& tree, typename TTree::TNode node, CHHKSink& sink, int nLevel)
{
    if (tree.Tag(node) == "OBJECT")
        return 0;
    // In document order, with a stack of its own: the tree nests up to its depth bound.
    struct SItem
    {
        typename TTree::TNode node;
        int nLevel;
    };
    std::vector<SItem> vecStack{{node, nLevel}};
    while (!vecStack.empty())
    {
        const SItem item = vecStack.back();
        vecStack.pop_back();
        const std::string& strTag = tree.Tag(item.node);
        if (strTag == "OBJECT")
            continue;
        int nHere = item.nLevel;
        if (strTag == "UL")
            ++nHere;
        else if (strTag == "LI")
            HHK_SplitItem(tree, item.node, sink, nHere);
        for (int i = tree.Count(item.node); i-- > 0;)
            vecStack.push_back({tree.At(item.node, i), nHere});
    }
    return 1;
}

int CWebHelpHelper::HHK_SplitLIInfo(CXML* pLI, CXML* pSiteMap, int nLevel)
{
    CHHKXmlSink sink(pSiteMap);
    return HHK_SplitItem(SHHKXmlTree(), pLI, sink, nLevel);
}

template <class TTree>
int CWebHelpHelper::HHK_SplitItem(const TTree& tree, typename TTree::TNode li, CHHKSink& sink, int nLevel)
{
    const typename TTree::TNode object = ChildByTag(tree, li, "OBJECT");
    if (object == TTree::kNull || tree.Count(object) == 0)
        return 0;
    const typename TTree::TNode first = tree.At(object, 0);
    const std::string strFirst = LowerASCII(tree.Attr(first, "name"));
    if (strFirst != "name" && strFirst != "keyword")
        return 0;

    const CCodePage& cp = GetSiteCodePage();
    const CHTMLHelper& html = CHTMLHelper::Instance();
    sink.HHK_Keyword(html.HTMLDecodeParamName(tree.Attr(first, "value"), cp), nLevel);

    bool bTitles = false;
    std::string strSeeAlso;
    for (int i = 1; i < tree.Count(object); ++i)
    {
        const typename TTree::TNode param = tree.At(object, i);
        const std::string strName = LowerASCII(tree.Attr(param, "name"));
        const std::string strValue = tree.Attr(param, "value");
        if (strName == "name")
        {
            sink.HHK_Title(html.HTMLDecodeParamName(strValue, cp), nLevel + 1);
            bTitles = true;
        }
        else if (strName == "local" && !strValue.empty())
        {
            auto [it, bNew] = tree.mapAddresses.try_emplace(strValue);
            if (bNew)
            {
                bool bMerged = false;
                it->second = CHM2Web_SitemapLocal(html.HTMLDecodeParamLocal(strValue, cp), cp, bMerged);
            }
            sink.HHK_Local(it->second);
        }
        else if (strName == "see also")
        {
            strSeeAlso = html.HTMLDecodeParamName(strValue, cp);
        }
    }
    sink.HHK_EndItem(bTitles, strSeeAlso);
    return 1;
}
