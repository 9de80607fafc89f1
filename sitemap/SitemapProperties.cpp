#include "SitemapProperties.h"

#include "CText.h"
#include "CXML.h"

#include <string>

void Sitemap_CopyProperties(CXML* pObject, CXML* pProperties, std::initializer_list<const char*> names)
{
    for (int i = 0; i < pObject->GetChildCount(); ++i)
    {
        CXML* pParam = pObject->GetChildAt(i);
        const std::string strName = pParam->GetAttr("name");
        for (const char* pszName : names)
        {
            if (EqualsNoCaseASCII(strName, pszName))
            {
                CXML* pOut = pProperties->AddChild("param", std::string());
                pOut->SetAttr("name", std::string(pszName));
                pOut->SetAttr("value", pParam->GetAttr("value"));
                break;
            }
        }
    }
}
