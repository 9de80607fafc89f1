#include "CCharsets.h"
#include "CCodePage.h"
#include "CText.h"
#include "TestUtil.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace
{
/// One data script's string literals that follow strMarker ("var SearchFiles = ["), up to "];".
std::vector<std::string> Literals(const std::string& strScript, const std::string& strMarker)
{
    std::vector<std::string> vec;
    size_t i = strScript.find(strMarker);
    const size_t nEnd = i == std::string::npos ? i : strScript.find("];", i);
    if (i == std::string::npos || nEnd == std::string::npos)
        return vec;
    for (i = strScript.find('"', i); i < nEnd; i = strScript.find('"', i))
    {
        std::string str;
        for (++i; i < nEnd && strScript[i] != '"'; ++i)
        {
            if (strScript[i] == '\\')
                str += strScript[i++];
            str += strScript[i];
        }
        vec.push_back(str);
        ++i;
    }
    return vec;
}

/// A script literal (bytes in cp) as the script's string, in UTF-8: the site's charset decodes it,
/// then its escapes are resolved.
std::string ScriptString(const std::string& strLiteral, const CCodePage& cp)
{
    const std::u32string strWide = cp.ToWide(strLiteral);
    std::u32string strOut;
    for (size_t i = 0; i < strWide.size(); ++i)
    {
        if (strWide[i] != U'\\' || i + 1 >= strWide.size())
        {
            strOut += strWide[i];
            continue;
        }
        const char32_t c = strWide[++i];
        if (c == U'u' && i + 4 < strWide.size())
        {
            std::string strHex(strWide.begin() + i + 1, strWide.begin() + i + 5);
            strOut += static_cast<char32_t>(std::stoul(strHex, nullptr, 16));
            i += 4;
        }
        else
            strOut += c == U'r' ? U'\r' : c == U'n' ? U'\n' : c;
    }
    std::string strUTF8;
    for (size_t i = 0; i < strOut.size(); ++i)
    {
        char32_t c = strOut[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < strOut.size())
            c = 0x10000 + ((c - 0xD800) << 10) + (strOut[++i] - 0xDC00);
        AppendUTF8(strUTF8, c);
    }
    return strUTF8;
}

/// The addresses (second field) of the contents or index entries.
std::vector<std::string> EntryAddresses(const std::string& strScript, const std::string& strMarker)
{
    std::vector<std::string> vecLiterals = Literals(strScript, strMarker);
    std::vector<std::string> vec;
    for (size_t i = 1; i < vecLiterals.size(); i += strMarker == "var ContentItems = [" ? 3 : 2)
        vec.push_back(vecLiterals[i]);
    return vec;
}

struct SSite
{
    std::string strDir;
    std::string strSearch, strContents, strIndex;
};

SSite Convert(const CTempDir& dir, const std::string& strProject, const std::string& strName,
              const std::string& strCharset)
{
    SSite site;
    site.strDir = dir / (strName + "_" + strCharset);
    SCommandResult res =
        RunCommand(ShellQuote(HostProgram()) + " convert " + ShellQuote(ChmFixture(strProject, strName)) +
                   " -q --charset " + strCharset + " -o " + ShellQuote(site.strDir) + " 2>&1");
    EXPECT_EQ(res.nExit, 0) << res.strOutput;
    site.strSearch = ReadFileBytes(site.strDir + "/whfiles/searchdata.js");
    site.strContents = ReadFileBytes(site.strDir + "/whfiles/contentsdata.js");
    site.strIndex = ReadFileBytes(site.strDir + "/whfiles/indexdata.js");
    return site;
}

/// The sitemaps of names_subfolder lie in Documents/ and lead up with "../"; "merging" merges one.
TEST(CSiteNamesTest, DataScriptAddressesLeadToTheirFilesAndNamesShowAsTitles)
{
    struct SCase
    {
        const char* pszProject;
        const char* pszName;
        const char* pszCharset;
        int nRow;
        size_t nEntries;                    ///< contents and index entries
        std::vector<std::string> vecTitles; ///< titles taken from file names, in UTF-8
    };
    const std::vector<std::string> vecChinese = {"\xE6\x97\xA0\xE6\xA0\x87\xE9\xA2\x98",
                                                 "\xED\x95\x9C\xEA\xB8\x80"}; // 无标题, 한글
    const std::vector<std::string> vecKorean = {
        "\xEC\x84\xA4\xEC\xA0\x95", "\xE0\xB8\xA0\xE0\xB8\xB2\xE0\xB8\xA9\xE0\xB8\xB2"}; // 설정, ภาษา
    const SCase aCases[] = {
        {"names_gbk", "gbk", "gb2312", kCharsetGb2312, 5, vecChinese},
        {"names_gbk", "gbk", "utf-8", kCharsetUTF8, 0, vecChinese},
        {"names_gbk", "gbk", "windows-1252", kCharsetWin1252, 0, vecChinese},
        {"names_korean", "korean", "euc-kr", kCharsetEucKr, 4, vecKorean},
        {"names_korean", "korean", "gb2312", kCharsetGb2312, 0, vecKorean},
        {"names_subfolder", "subfolder", "windows-1252", kCharsetWin1252, 8, {}},
        {"names_subfolder", "merging", "windows-1252", kCharsetWin1252, 7, {}},
    };
    CTempDir dir;
    for (const SCase& c : aCases)
    {
        SCOPED_TRACE(std::string(c.pszName) + " " + c.pszCharset);
        const SSite site = Convert(dir, c.pszProject, c.pszName, c.pszCharset);
        const CCodePage cp(c.nRow);
        std::vector<std::string> vecAddresses = Literals(site.strSearch, "var SearchFiles = [");
        EXPECT_GE(vecAddresses.size(), 3u);
        std::vector<std::string> vecEntries = EntryAddresses(site.strContents, "var ContentItems = [");
        for (const std::string& str : EntryAddresses(site.strIndex, "var IndexItems = ["))
            vecEntries.push_back(str);
        if (c.nEntries > 0)
        {
            EXPECT_EQ(vecEntries.size(), c.nEntries);
            vecAddresses.insert(vecAddresses.end(), vecEntries.begin(), vecEntries.end());
        }
        for (const std::string& strLiteral : vecAddresses)
        {
            const std::string strFile = AddressFile(ScriptString(strLiteral, cp));
            SCOPED_TRACE(strFile);
            EXPECT_EQ(strFile.compare(0, 7, "source/"), 0);
            EXPECT_EQ(strFile.find("/.."), std::string::npos);
            EXPECT_TRUE(FileExists(site.strDir + "/" + strFile));
        }
        std::vector<std::string> vecTitles;
        for (const std::string& strLiteral : Literals(site.strSearch, "var SearchTitles = ["))
            vecTitles.push_back(ScriptString(strLiteral, cp));
        for (const std::string& strTitle : c.vecTitles)
            EXPECT_NE(std::find(vecTitles.begin(), vecTitles.end(), strTitle), vecTitles.end()) << strTitle;
    }
}

} // namespace
