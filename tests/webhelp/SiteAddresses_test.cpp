#include "TestUtil.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

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

// Archive names are UTF-8; each project's sitemaps are in its own code page and name two of the
// pages with "\" separators. The folder names hold lead bytes of GBK (U+65E5, U+5B57) and of
// Shift-JIS (U+5B57) in UTF-8, and a trail byte 0x5C in Shift-JIS (U+8868).
TEST(SiteAddressesTest, APageHasOneAddressInEveryDataScriptWhateverTheSitesCharset)
{
    struct SCase
    {
        const char* pszProject;
        const char* pszCharset;
        std::vector<std::string> vecPages; ///< in the site's code page
    };
    const SCase aCases[] = {
        {"folders", "utf-8", {"\xE6\x97\xA5/a.htm", "\xE5\xAD\x97/b.htm", "\xE8\xA1\xA8/c.htm"}},
        {"folders_gbk", "gb2312", {"\xC8\xD5/a.htm", "\xD7\xD6/b.htm", "\xB1\xED/c.htm"}},
        {"folders_sjis", "shift-jis", {"\x93\xFA/a.htm", "\x8E\x9A/b.htm", "\x95\x5C/c.htm"}},
    };
    CTempDir dir;
    for (const SCase& c : aCases)
    {
        SCOPED_TRACE(c.pszCharset);
        const std::string strSite = dir / c.pszCharset;
        SCommandResult res = RunCommand(ShellQuote(HostProgram()) + " convert " +
                                        ShellQuote(ChmFixture("nonascii_folders", c.pszProject)) + " -o " +
                                        ShellQuote(strSite) + " --charset " + c.pszCharset + " --quiet");
        ASSERT_EQ(res.nExit, 0) << res.strOutput;
        for (const std::string& strPage : c.vecPages)
        {
            SCOPED_TRACE(strPage);
            for (const char* pszScript : {"contentsdata.js", "indexdata.js", "searchdata.js"})
            {
                SCOPED_TRACE(pszScript);
                const std::vector<std::string> vecAddresses = AddressesOf(
                    ReadFileBytes(strSite + "/whfiles/" + pszScript), strPage.substr(strPage.find('/') + 1));
                ASSERT_EQ(vecAddresses.size(), 1u);
                EXPECT_EQ(vecAddresses[0], "source/" + strPage);
            }
        }
    }
}
