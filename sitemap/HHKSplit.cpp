#include "CWebHelpHelper.h"

#include "SitemapProperties.h"

#include "CArchivePath.h"
#include "CHTMLHelper.h"
#include "CText.h"
#include "CXML.h"

#include <vector>

int CWebHelpHelper::CHM2Web_SplitHHKInfo(CXML* pRaw, CXML* pRoot)
{
    if (pRaw == nullptr || pRoot == nullptr)
        return 0;
    CXML* pHTML = pRaw->GetChildByTagName("HTML");
    if (pHTML == nullptr)
        return 0;
    CXML* pContainer = pHTML->GetChildByTagName("BODY");
    if (pContainer == nullptr)
        pContainer = pHTML;

    CXML* pObject = pContainer->GetChildByTagName("OBJECT");
    CXML* pProperties = pRoot->AddChild("SiteProperties", std::string());
    if (pObject != nullptr && EqualsNoCaseASCII(pObject->GetAttr("type"), "text/site properties"))
        HHK_SplitSitePropertiesInfo(pObject, pProperties);
    CXML* pSiteMap = pRoot->AddChild("SiteMap", std::string());

    CXML* pStart = pContainer;
    int nLevel = 0;
    if (CXML* pUL = pContainer->GetChildByTagName("UL"))
    {
        if (pUL->GetChildCount() > 0)
        {
            pStart = pUL;
            nLevel = -1;
        }
        else
        {
            pContainer->RemoveChild(pUL);
            delete pUL;
        }
    }
    HHK_SplitSiteMapInfo(pStart, pSiteMap, nLevel);
    return 1;
}

int CWebHelpHelper::HHK_SplitSitePropertiesInfo(CXML* pObject, CXML* pProperties)
{
    Sitemap_CopyProperties(pObject, pProperties, {"WindowName", "FrameName", "Font"});
    return 1;
}

int CWebHelpHelper::HHK_SplitSiteMapInfo(CXML* pNode, CXML* pSiteMap, int nLevel)
{
    if (pNode->GetTagName() == "OBJECT")
        return 0;
    // In document order, with a stack of its own: the tree nests up to its depth bound.
    struct SItem
    {
        CXML* pNode;
        int nLevel;
    };
    std::vector<SItem> vecStack{{pNode, nLevel}};
    while (!vecStack.empty())
    {
        const SItem item = vecStack.back();
        vecStack.pop_back();
        const std::string& strTag = item.pNode->GetTagName();
        if (strTag == "OBJECT")
            continue;
        int nHere = item.nLevel;
        if (strTag == "UL")
            ++nHere;
        else if (strTag == "LI")
            HHK_SplitLIInfo(item.pNode, pSiteMap, nHere);
        for (int i = item.pNode->GetChildCount(); i-- > 0;)
            vecStack.push_back({item.pNode->GetChildAt(i), nHere});
    }
    return 1;
}

int CWebHelpHelper::HHK_SplitLIInfo(CXML* pLI, CXML* pSiteMap, int nLevel)
{
    CXML* pObject = pLI->GetChildByTagName("OBJECT");
    if (pObject == nullptr || pObject->GetChildCount() == 0)
        return 0;
    const std::string strFirst = LowerASCII(pObject->GetChildAt(0)->GetAttrText("name"));
    if (strFirst != "name" && strFirst != "keyword")
        return 0;

    const CCodePage& cp = GetSiteCodePage();
    const CHTMLHelper& html = CHTMLHelper::Instance();
    CXML* pKeyword = pSiteMap->AddChild("Topic", std::string());
    pKeyword->SetAttr("Name", html.HTMLDecodeParamName(pObject->GetChildAt(0)->GetAttrText("value"), cp));
    pKeyword->SetAttr("XPosition", nLevel);

    CXML* pCurrent = pKeyword;
    bool bTitles = false;
    std::string strSeeAlso;
    for (int i = 1; i < pObject->GetChildCount(); ++i)
    {
        CXML* pParam = pObject->GetChildAt(i);
        const std::string strName = LowerASCII(pParam->GetAttrText("name"));
        const std::string strValue = pParam->GetAttrText("value");
        if (strName == "name")
        {
            pCurrent = pSiteMap->AddChild("Topic", std::string());
            pCurrent->SetAttr("Name", html.HTMLDecodeParamName(strValue, cp));
            pCurrent->SetAttr("XPosition", nLevel + 1);
            pCurrent->SetAttr("Type", std::string("5"));
            bTitles = true;
        }
        else if (strName == "local" && !strValue.empty())
        {
            std::string strLocal = html.HTMLDecodeParamLocal(strValue, cp);
            SCHMReference ref;
            if (ArchivePath_SplitCHMReference(strLocal, m_strCHMFile, cp, ref))
            {
                strLocal = "merge/" + ref.strTitle + "/" + ref.strPath;
                m_mapMergeCHMFiles.insert(ref.strKey);
            }
            else
                strLocal = ArchivePath_SitemapAddress(strLocal, cp, m_strSitemapFolder);
            pCurrent->SetAttr("Local", strLocal);
        }
        else if (strName == "see also")
        {
            strSeeAlso = html.HTMLDecodeParamName(strValue, cp);
        }
    }
    if (bTitles)
        pKeyword->SetAttr("Type", std::string("4"));
    // The index runtime follows "@@@" + keyword to that keyword in the list.
    if (!strSeeAlso.empty() && pKeyword->GetAttr("Local").empty())
        pKeyword->SetAttr("Local", "@@@" + strSeeAlso);
    return 1;
}
