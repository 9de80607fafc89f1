#include "FuzzSupport.h"

#include "CCodePage.h"
#include "CHTMLDocument.h"
#include "CSearchHarvest.h"
#include "CWebHelpHelper.h"

#include <string_view>

int Fuzz_Harvest(const uint8_t* pData, size_t nSize)
{
    if (nSize == 0)
        return 0;
    const int nRow = Fuzz_CharsetRow(pData[0]);
    const std::string& strDir = Fuzz_TempDir();
    const std::string strPage = strDir + "/page.htm";
    if (!Fuzz_WriteFile(strPage, pData + 1, nSize - 1))
        return 0;

    // The references a page makes, as the letter-case step gathers them.
    const CCodePage cp(nRow);
    CHTMLDocument doc(cp);
    std::vector<std::string> vecReferences;
    doc.SetReferenceList(&vecReferences);
    doc.Write(std::string_view(reinterpret_cast<const char*>(pData + 1), nSize - 1));
    CSS_AppendURLs(std::string_view(reinterpret_cast<const char*>(pData + 1), nSize - 1), vecReferences);

    CSearchHarvest harvest(nRow);
    harvest.ReadSearchDataFromFiles({strPage});
    CFuzzHelper helper;
    g_WebHelpSettings.nCharset = nRow;
    helper.m_strSourceDir = "source";
    harvest.Harvest_MoveResultsTo(helper);
    const std::string strScript = strDir + "/searchdata.js";
    helper.WriteSearchDataToFile(strScript);

    std::vector<std::u32string> vecLiterals;
    std::string strWhy;
    if (!JS_ReadDataScript(Fuzz_BrowserText(Fuzz_ReadFile(strScript), helper.GetSiteCodePage()), vecLiterals,
                           strWhy))
        Fuzz_Fail("searchdata.js: " + strWhy);
    return 0;
}
