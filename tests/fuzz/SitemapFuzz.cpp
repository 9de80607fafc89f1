#include "FuzzSupport.h"

#include "CCodePage.h"
#include "CHMSitemap.h"
#include "CWebHelpHelper.h"
#include "CXML.h"

#include <string_view>

int Fuzz_Sitemap(const uint8_t* pData, size_t nSize)
{
    if (nSize == 0)
        return 0;
    // The first byte picks the kind of sitemap and the site's code page.
    const bool bContents = (pData[0] & 1) == 0;
    g_WebHelpSettings.nCharset = Fuzz_CharsetRow(static_cast<uint8_t>(pData[0] >> 1));
    const std::string_view svSitemap(reinterpret_cast<const char*>(pData + 1), nSize - 1);

    CXML raw;
    CHM_ParseSitemapToXML(svSitemap, &raw);
    CFuzzHelper helper;
    helper.m_strSourceDir = "source";
    CXML root;
    root.SetTagName(bContents ? "HHC" : "HHK");
    const std::string strScript = Fuzz_TempDir() + "/sitemapdata.js";
    if (bContents)
    {
        helper.CHM2Web_SplitHHCInfo(&raw, &root);
        helper.CHM2Web_CreateContentsScriptFile(&root, strScript);
    }
    else
    {
        helper.CHM2Web_SplitHHKInfo(&raw, &root);
        helper.CHM2Web_CreateIndexScriptFile(&root, strScript);
    }
    std::vector<std::u32string> vecLiterals;
    std::string strWhy;
    if (!JS_ReadDataScript(Fuzz_BrowserText(Fuzz_ReadFile(strScript), helper.GetSiteCodePage()), vecLiterals,
                           strWhy))
        Fuzz_Fail(std::string(bContents ? "contentsdata.js" : "indexdata.js") + ": " + strWhy);
    return 0;
}
