#include "TestUtil.h"

#include <gtest/gtest.h>

namespace
{
/// The bodies of a data script's string literals, as written (escapes not undone).
std::vector<std::string> ScriptLiterals(const std::string& strScript)
{
    std::vector<std::string> vecLiterals;
    size_t i = 0;
    while ((i = strScript.find('"', i)) != std::string::npos)
    {
        size_t nEnd = ++i;
        while (nEnd < strScript.size() && strScript[nEnd] != '"')
            nEnd += strScript[nEnd] == '\\' ? 2 : 1;
        vecLiterals.push_back(strScript.substr(i, nEnd - i));
        i = nEnd + 1;
    }
    return vecLiterals;
}

/// Every literal of the script that ends in strFileName: the addresses of that page.
std::vector<std::string> AddressesOf(const std::string& strScript, const std::string& strFileName)
{
    std::vector<std::string> vecFound;
    for (const std::string& str : ScriptLiterals(strScript))
    {
        if (str.size() >= strFileName.size() &&
            str.compare(str.size() - strFileName.size(), strFileName.size(), strFileName) == 0)
            vecFound.push_back(str);
    }
    return vecFound;
}
} // namespace

// The folder names' UTF-8 bytes hold lead bytes of GBK (both) and of Shift-JIS (the second): a walk
// over archive names by the site's code page took the separator after them for a trail byte.
TEST(SiteAddressesTest, APageHasOneAddressInEveryDataScriptWhateverTheSitesCharset)
{
    const std::string strCHM = ChmFixture("nonascii_folders", "folders");
    const char* const apszPages[] = {"\xE6\x97\xA5/a.htm", "\xE5\xAD\x97/b.htm"};
    CTempDir dir;
    for (const char* pszCharset : {"utf-8", "gb2312", "shift-jis"})
    {
        SCOPED_TRACE(pszCharset);
        const std::string strSite = dir / pszCharset;
        SCommandResult res =
            RunCommand(ShellQuote(HostProgram()) + " convert " + ShellQuote(strCHM) + " -o " +
                       ShellQuote(strSite) + " --charset " + pszCharset + " --quiet");
        ASSERT_EQ(res.nExit, 0) << res.strOutput;
        for (const char* pszPage : apszPages)
        {
            SCOPED_TRACE(pszPage);
            const std::string strFileName = std::string(pszPage).substr(std::string(pszPage).find('/') + 1);
            for (const char* pszScript : {"contentsdata.js", "indexdata.js", "searchdata.js"})
            {
                SCOPED_TRACE(pszScript);
                const std::vector<std::string> vecAddresses =
                    AddressesOf(ReadFileBytes(strSite + "/whfiles/" + pszScript), strFileName);
                ASSERT_EQ(vecAddresses.size(), 1u);
                EXPECT_EQ(vecAddresses[0], "source/" + std::string(pszPage));
            }
        }
    }
}
