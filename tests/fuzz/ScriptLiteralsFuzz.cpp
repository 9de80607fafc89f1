#include "FuzzSupport.h"

#include "CCodePage.h"
#include "CPath.h"
#include "CText.h"
#include "CWebHelpHelper.h"
#include "CXML.h"

#include <algorithm>

namespace
{

/// A title as the lists show it: its double quotes are apostrophes.
std::string ShownTitle(std::string str)
{
    std::replace(str.begin(), str.end(), '"', '\'');
    return str;
}

/// A valid UTF-8 name as a data script in cp shows it: as the address of its file, with the
/// characters that would end the path escaped, else as a title. A character cp has is read as the
/// browser reads it in cp, one it lacks as itself.
std::u32string NameAsShown(std::string_view svName, const CCodePage& cp, bool bAddress)
{
    std::u32string str;
    const auto* p = reinterpret_cast<const unsigned char*>(svName.data());
    const auto* pEnd = p + svName.size();
    while (p < pEnd)
    {
        char32_t c = 0;
        p += DecodeUTF8(p, pEnd, c);
        std::string strEncoded;
        if (c >= 0x80 && c != 0x2028 && c != 0x2029 && cp.EncodeChar(c, strEncoded))
        {
            str += Fuzz_BrowserText(strEncoded, cp);
            continue;
        }
        if (!bAddress)
        {
            str += c == U'"' ? U'\'' : c;
            continue;
        }
        switch (c)
        {
        case U'%':
            str += U"%25";
            break;
        case U'#':
            str += U"%23";
            break;
        case U'?':
            str += U"%3F";
            break;
        case U'"':
            str += U"%22";
            break;
        default:
            str += c;
        }
    }
    return str;
}

/// The literals of the script at strPath, as a browser reads it in cp; reports one that is broken.
std::vector<std::u32string> ReadLiterals(const std::string& strPath, const CCodePage& cp, const char* pszWhat)
{
    std::vector<std::u32string> vecLiterals;
    std::string strWhy;
    if (!JS_ReadDataScript(Fuzz_BrowserText(Fuzz_ReadFile(strPath), cp), vecLiterals, strWhy))
        Fuzz_Fail(std::string(pszWhat) + ": " + strWhy);
    return vecLiterals;
}

void Expect(const std::vector<std::u32string>& vecLiterals, size_t nIndex, const std::u32string& strExpected,
            const std::string& strWhat)
{
    if (nIndex >= vecLiterals.size())
        Fuzz_Fail(strWhat + ": missing");
    else if (vecLiterals[nIndex] != strExpected)
        Fuzz_Fail(strWhat + ": read back differently");
}
} // namespace

int Fuzz_ScriptLiterals(const uint8_t* pData, size_t nSize)
{
    if (nSize < 2)
        return 0;
    const int nRow = Fuzz_CharsetRow(pData[0], true);
    const size_t nTitle = std::min<size_t>(pData[1], nSize - 2);
    const std::string strTitle(reinterpret_cast<const char*>(pData + 2), nTitle);
    const std::string strLocal(reinterpret_cast<const char*>(pData + 2 + nTitle), nSize - 2 - nTitle);

    g_WebHelpSettings.nCharset = nRow;
    CFuzzHelper helper;
    helper.m_strSourceDir = "source";
    const CCodePage& cp = helper.GetSiteCodePage();
    const std::u32string strShownTitle = Fuzz_BrowserText(ShownTitle(strTitle), cp);
    const std::string strScript = Fuzz_TempDir() + "/data.js";

    CXML root;
    CXML* pTopic = root.AddChild("SiteMap", std::string())->AddChild("Topic", std::string());
    pTopic->SetAttr("Name", strTitle);
    pTopic->SetAttr("Local", strLocal);
    pTopic->SetAttr("XPosition", 0);
    pTopic->SetAttr("ImageNumber", 0);

    helper.CHM2Web_CreateContentsScriptFile(&root, strScript);
    std::vector<std::u32string> vecLiterals = ReadLiterals(strScript, cp, "contentsdata.js");
    Expect(vecLiterals, 0, strShownTitle, "contents title");
    if (!strLocal.empty())
    {
        const CPath path(strLocal);
        const std::u32string strAddress = Fuzz_BrowserText(
            path.IsLocalPath() || path.IsNetworkPath() ? strLocal : "source/" + strLocal, cp);
        Expect(vecLiterals, 1, strAddress, "contents address");
        Expect(vecLiterals, 3, strAddress, "first address");
    }

    helper.CHM2Web_CreateIndexScriptFile(&root, strScript);
    vecLiterals = ReadLiterals(strScript, cp, "indexdata.js");
    Expect(vecLiterals, 0, strShownTitle, "index title");
    if (strLocal.compare(0, 3, "@@@") == 0)
        Expect(vecLiterals, 1, Fuzz_BrowserText(ShownTitle(strLocal), cp), "index cross-reference");
    else if (!strLocal.empty())
        Expect(vecLiterals, 1, Fuzz_BrowserText("source/" + strLocal, cp), "index address");

    // The search data: the address as a file name (UTF-8), the title as a page's and as a name.
    helper.m_arrSearchFiles = {strLocal};
    helper.m_arrSearchTitles = {strTitle, strLocal};
    helper.m_arrSearchTitleIsName = {false, true};
    helper.WriteSearchDataToFile(strScript);
    vecLiterals = ReadLiterals(strScript, cp, "searchdata.js");
    if (IsValidUTF8(strLocal))
    {
        Expect(vecLiterals, 0, U"source/" + NameAsShown(strLocal, cp, true), "search file");
        Expect(vecLiterals, 2, NameAsShown(strLocal, cp, false), "search title of a name");
    }
    Expect(vecLiterals, 1, strShownTitle, "search title");
    return 0;
}
