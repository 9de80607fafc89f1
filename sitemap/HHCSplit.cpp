#include "CWebHelpHelper.h"

#include "SitemapProperties.h"

#include "CArchivePath.h"
#include "CHTMLHelper.h"
#include "CPath.h"
#include "CText.h"
#include "CXML.h"

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

namespace
{
/// The node whose children hold the lists: BODY of HTML, HTML, BODY of the root, or the root.
CXML* FindContainer(CXML* pRaw)
{
    if (CXML* pHTML = pRaw->GetChildByTagName("HTML"))
    {
        CXML* pBody = pHTML->GetChildByTagName("BODY");
        return pBody != nullptr ? pBody : pHTML;
    }
    CXML* pBody = pRaw->GetChildByTagName("BODY");
    return pBody != nullptr ? pBody : pRaw;
}

/// Depth of the Topic about to be appended: at most one below the Topic before it and 0 for the
/// first, so that entries under an item that yields no Topic still nest correctly.
int BoundedDepth(CXML* pSiteMap, int nDepth)
{
    const int nCount = pSiteMap->GetChildCount();
    const int nMax = nCount == 0 ? 0 : pSiteMap->GetChildAt(nCount - 1)->GetAttrInt("XPosition") + 1;
    return std::clamp(nDepth, 0, nMax);
}

struct SEntryParams
{
    std::string strName;
    std::string strLocal;
    std::string strMerge;
    int nImage = -1;
    std::string strFrameName;
    std::string strWindowName;
    std::string strComment;
    std::string strNew;
};

SEntryParams ReadEntryParams(CXML* pObject)
{
    SEntryParams params;
    for (int i = 0; i < pObject->GetChildCount(); ++i)
    {
        CXML* pParam = pObject->GetChildAt(i);
        const std::string strName = LowerASCII(pParam->GetAttrText("name"));
        if (strName == "name")
            params.strName = pParam->GetAttrText("value");
        else if (strName == "local")
            params.strLocal = pParam->GetAttrText("value");
        else if (strName == "merge")
            params.strMerge = pParam->GetAttrText("value");
        else if (strName == "imagenumber")
            // A negative number names no icon; the book or page default serves better.
            params.nImage = std::max(pParam->GetAttrInt("value"), -1);
        else if (strName == "framename")
            params.strFrameName = pParam->GetAttr("value");
        else if (strName == "windowname")
            params.strWindowName = pParam->GetAttr("value");
        else if (strName == "comment")
            params.strComment = pParam->GetAttr("value");
        else if (strName == "new")
            params.strNew = pParam->GetAttr("value");
    }
    if (params.nImage > 0)
        --params.nImage;
    return params;
}
} // namespace

int CWebHelpHelper::CHM2Web_SplitHHCInfo(CXML* pRaw, CXML* pRoot)
{
    if (pRaw == nullptr || pRoot == nullptr)
        return 1;
    CXML* pContainer = FindContainer(pRaw);
    CXML* pObject = pContainer->GetChildByTagName("OBJECT");
    CXML* pProperties = pRoot->AddChild("SiteProperties", std::string());
    if (pObject != nullptr && EqualsNoCaseASCII(pObject->GetAttr("type"), "text/site properties"))
        HHC_SplitSitePropertiesInfo(pObject, pProperties);
    CXML* pSiteMap = pRoot->AddChild("SiteMap", std::string());

    m_vecMergeChain.assign(1, ArchivePath_CHMFileKey(m_strCHMFile));
    HHC_SplitSiteMapInfo(pContainer, pSiteMap, 0, std::string());
    m_vecMergeChain.clear();
    return 1;
}

int CWebHelpHelper::CHM2Web_SplitMergeHHCInfo(CXML* pRaw, CXML* pSiteMap, int nDepth, std::string strPrefix)
{
    if (pRaw == nullptr || pSiteMap == nullptr)
        return 1;
    HHC_SplitSiteMapInfo(FindContainer(pRaw), pSiteMap, nDepth, std::move(strPrefix));
    return 1;
}

int CWebHelpHelper::HHC_SplitSitePropertiesInfo(CXML* pObject, CXML* pProperties)
{
    Sitemap_CopyProperties(
        pObject, pProperties,
        {"FrameName", "WindowName", "ImageType", "Window Styles", "Foreground", "Background", "Font"});
    return 1;
}

int CWebHelpHelper::HHC_SplitSiteMapInfo(CXML* pNode, CXML* pSiteMap, int nDepth, std::string strPrefix)
{
    for (int i = 0; i < pNode->GetChildCount(); ++i)
    {
        CXML* pChild = pNode->GetChildAt(i);
        const std::string& strTag = pChild->GetTagName();
        if (strTag == "UL")
            HHC_SplitULInfo(pChild, pSiteMap, nDepth, strPrefix);
        else if (strTag == "LI")
            HHC_SplitLIInfo(pChild, pSiteMap, nDepth, strPrefix);
        else if (strTag == "OBJECT" && EqualsNoCaseASCII(pChild->GetAttr("type"), "text/sitemap"))
            HHC_SplitObjectInfo(pChild, pSiteMap, nDepth, strPrefix);
    }
    return 1;
}

int CWebHelpHelper::HHC_SplitULInfo(CXML* pUL, CXML* pSiteMap, int nDepth, std::string strPrefix)
{
    HHC_SplitLists(pUL, false, pSiteMap, nDepth, strPrefix);
    return 1;
}

int CWebHelpHelper::HHC_SplitLIInfo(CXML* pLI, CXML* pSiteMap, int nDepth, std::string strPrefix)
{
    if (!HHC_SplitItemEntry(pLI, pSiteMap, nDepth, strPrefix))
        return 0;
    HHC_SplitLists(pLI, true, pSiteMap, nDepth, strPrefix);
    return 1;
}

bool CWebHelpHelper::HHC_SplitItemEntry(CXML* pLI, CXML* pSiteMap, int nDepth, const std::string& strPrefix)
{
    CXML* pFirst = pLI->GetChildAt(0);
    if (pFirst == nullptr || pFirst->GetTagName() != "OBJECT")
        return false;
    CXML* pTopic = HHC_SplitObjectInfo(pFirst, pSiteMap, nDepth, strPrefix);
    if (pTopic != nullptr && pTopic->GetAttrInt("ImageNumber") == -1)
        pTopic->SetAttr("ImageNumber", pLI->GetChildByTagName("UL") != nullptr ? 0 : 10);
    return true;
}

void CWebHelpHelper::HHC_SplitLists(CXML* pStart, bool bItem, CXML* pSiteMap, int nDepth,
                                    const std::string& strPrefix)
{
    // A list's items, and an item's lists and objects after its own entry, in document order; with a
    // stack of its own, as the lists nest up to the tree's depth bound.
    struct SFrame
    {
        CXML* pNode;
        bool bItem;
        int nNext;
        int nDepth;
    };
    std::vector<SFrame> vecStack{{pStart, bItem, bItem ? 1 : 0, nDepth}};
    while (!vecStack.empty())
    {
        SFrame& top = vecStack.back();
        if (top.nNext >= top.pNode->GetChildCount())
        {
            vecStack.pop_back();
            continue;
        }
        CXML* pChild = top.pNode->GetChildAt(top.nNext++);
        const int nHere = top.nDepth;
        if (!top.bItem)
        {
            if (pChild->GetTagName() == "LI" && HHC_SplitItemEntry(pChild, pSiteMap, nHere, strPrefix))
                vecStack.push_back({pChild, true, 1, nHere});
            continue;
        }
        if (pChild->GetChildCount() == 0)
            continue;
        if (pChild->GetTagName() == "UL")
            vecStack.push_back({pChild, false, 0, nHere + 1});
        else if (pChild->GetTagName() == "OBJECT")
            HHC_SplitObjectInfo(pChild, pSiteMap, nHere + 1, strPrefix);
    }
}

CXML* CWebHelpHelper::HHC_SplitObjectInfo(CXML* pObject, CXML* pSiteMap, int nDepth, std::string strPrefix)
{
    if (pObject->GetChildCount() == 0)
        return nullptr;
    const SEntryParams params = ReadEntryParams(pObject);
    const CCodePage& cp = GetSiteCodePage();
    const CHTMLHelper& html = CHTMLHelper::Instance();

    if (!params.strMerge.empty())
    {
        SCHMReference ref;
        const std::string strMerge = html.HTMLDecodeParamLocal(params.strMerge, cp);
        if (!ArchivePath_SplitCHMReference(strMerge, m_strCHMFile, cp, ref))
            return nullptr;
        const std::string strFound = ArchivePath_FindCHMFile(ref.strKey);
        if (ref.strPath.size() <= 4 ||
            !EqualsNoCaseASCII(ref.strPath.substr(ref.strPath.size() - 4), ".hhc") || strFound.empty())
            return nullptr;
        if (std::find(m_vecMergeChain.begin(), m_vecMergeChain.end(), ref.strKey) != m_vecMergeChain.end())
            return nullptr;

        auto pReader = std::make_unique<CCHMFileRW>();
        auto pTree = std::make_unique<CXML>();
        pReader->CHM_SetCHMFile(strFound);
        if (pReader->CHM2Web_ReadHHCInfoToXML(pTree.get(), ref.strPath) != 0)
        {
            std::string strOwnFolder = std::exchange(m_strSitemapFolder, pReader->CHM_GetSitemapFolder());
            pReader->CHM_CloseCHMFile();
            m_vecMergeChain.push_back(ref.strKey);
            CHM2Web_SplitMergeHHCInfo(pTree.get(), pSiteMap, nDepth, "merge/" + ref.strTitle);
            m_strSitemapFolder = std::move(strOwnFolder);
            m_vecMergeChain.pop_back();
            m_mapMergeCHMFiles.insert(ref.strKey);
        }
        return nullptr;
    }

    const int nXPosition = BoundedDepth(pSiteMap, nDepth);
    CXML* pTopic = pSiteMap->AddChild("Topic", std::string());
    pTopic->SetAttr("Name", html.HTMLDecodeParamName(params.strName, cp));
    pTopic->SetAttr("XPosition", nXPosition);
    if (!params.strLocal.empty())
    {
        bool bMerged = false;
        std::string strLocal =
            CHM2Web_SitemapLocal(html.HTMLDecodeParamLocal(params.strLocal, cp), cp, bMerged);
        if (!bMerged)
        {
            CPath path(strLocal);
            if (!strPrefix.empty() && !path.IsLocalPath() && !path.IsNetworkPath())
                strLocal = strPrefix + "/" + strLocal;
        }
        pTopic->SetAttr("Local", strLocal);
    }
    pTopic->SetAttr("ImageNumber", params.nImage);
    if (!params.strFrameName.empty())
        pTopic->SetAttr("FrameName", params.strFrameName);
    if (!params.strWindowName.empty())
        pTopic->SetAttr("WindowName", params.strWindowName);
    if (!params.strComment.empty())
        pTopic->SetAttr("Comment", params.strComment);
    if (params.strNew == "1")
        pTopic->SetAttr("New", std::string("1"));
    return pTopic;
}

std::string CWebHelpHelper::CHM2Web_SitemapLocal(const std::string& strDecoded, const CCodePage& cp,
                                                 bool& bMerged)
{
    SCHMReference ref;
    bMerged = ArchivePath_SplitCHMReference(strDecoded, m_strCHMFile, cp, ref);
    if (!bMerged)
        return ArchivePath_SitemapAddress(strDecoded, cp, m_strSitemapFolder);
    m_mapMergeCHMFiles.insert(ref.strKey);
    return "merge/" + ref.strTitle + "/" + ref.strPath;
}
