#pragma once

#include "CWebHelpHelper.h"
#include "CXML.h"

#include <initializer_list>
#include <memory>
#include <string>
#include <utility>
#include <vector>

/// The data scripts of the two worked examples (a contents list of four entries, an index of six),
/// as the unit tests build them and as a compiled file of the same sitemaps converts.
inline const char* const kContentsExampleScript = "var ContentItems = [\r\n"
                                                  "\t[\"Getting Started\", \"source/start.htm\", \"1\",\r\n"
                                                  "\t\t[\"Install\", \"source/install.htm\", \"11\"],\r\n"
                                                  "\t\t[\"Notes\", null, \"11\"]\r\n"
                                                  "\t],\r\n"
                                                  "\t[\"Reference\", \"source/ref.htm\", \"11\"]\r\n"
                                                  "];\r\n"
                                                  "\r\n"
                                                  "var gInitURL = \"source/start.htm\"";
inline const char* const kIndexExampleScript = "var IndexItems = [\r\n"
                                               "[\"fonts\", \"source/fonts.htm\"],\r\n"
                                               "[\" size\", \"source/size.htm\"],\r\n"
                                               "[\"typefaces\", \"\"],\r\n"
                                               "[\"printing\", \"\"],\r\n"
                                               "[\" Print a page\", \"source/print.htm\"],\r\n"
                                               "[\" Print setup\", \"source/setup.htm\"]];\r\n"
                                               "\r\n";

/// Builders for raw sitemap trees as the reader delivers them. Each returns a new element that the
/// parent it is handed to adopts.
using SParams = std::initializer_list<std::pair<const char*, const char*>>;

inline CXML* El(const char* pszTag, std::initializer_list<CXML*> children = {})
{
    auto* p = new CXML();
    p->SetTagName(pszTag);
    for (CXML* pChild : children)
        p->AddChild(pChild);
    return p;
}

inline CXML* Obj(SParams params, const char* pszType = "text/sitemap")
{
    CXML* p = El("OBJECT");
    if (pszType != nullptr)
        p->SetAttr("type", std::string(pszType));
    for (const auto& param : params)
    {
        CXML* pParam = p->AddChild("PARAM", std::string());
        pParam->SetAttr("name", std::string(param.first));
        pParam->SetAttr("value", std::string(param.second));
    }
    return p;
}

inline CXML* LI(std::initializer_list<CXML*> children)
{
    return El("LI", children);
}

inline CXML* UL(std::initializer_list<CXML*> children)
{
    return El("UL", children);
}

/// An entry item with Name and Local params and optional nested items.
inline CXML* Item(const char* pszName, const char* pszLocal, std::initializer_list<CXML*> nested = {})
{
    CXML* p = LI({Obj({{"Name", pszName}, {"Local", pszLocal}})});
    if (nested.size() > 0)
        p->AddChild(UL(nested));
    return p;
}

/// root > HTML > BODY > children.
inline std::unique_ptr<CXML> RawSitemap(std::initializer_list<CXML*> bodyChildren)
{
    auto pRaw = std::make_unique<CXML>();
    pRaw->AddChild(El("HTML", {El("HEAD"), El("BODY", bodyChildren)}));
    return pRaw;
}

inline std::unique_ptr<CXML> NewRoot(const char* pszTag)
{
    auto pRoot = std::make_unique<CXML>();
    pRoot->SetTagName(pszTag);
    pRoot->SetAttr("ft", std::string("ft"));
    return pRoot;
}

/// The Topics of a converted root, one line each: Name|XPosition|Local|ImageNumber (contents) or
/// Name|XPosition|Local|Type (index). Absent attributes show as "-".
inline std::string DumpTopics(CXML* pRoot, bool bContents)
{
    std::string str;
    CXML* pSiteMap = pRoot->GetChildByTagName("SiteMap");
    if (pSiteMap == nullptr)
        return "(no SiteMap)";
    for (int i = 0; i < pSiteMap->GetChildCount(); ++i)
    {
        CXML* p = pSiteMap->GetChildAt(i);
        auto Attr = [p](const char* pszName) { return p->HasAttr(pszName) ? p->GetAttr(pszName) : "-"; };
        str += Attr("Name") + "|" + Attr("XPosition") + "|" + Attr("Local") + "|" +
               Attr(bContents ? "ImageNumber" : "Type") + "\n";
    }
    return str;
}

/// Runs a script file through node: it is decoded with the WHATWG encoding label pszEncoding, run,
/// and strExpr's value printed as JSON. Returns node's output; "SyntaxError..." when it fails.
std::string NodeEvalScript(const std::string& strPath, const char* pszEncoding, const std::string& strExpr);
