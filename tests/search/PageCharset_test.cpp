#include "CCharsets.h"
#include "CCodePage.h"
#include "TestUtil.h"

#include <gtest/gtest.h>

#include <string_view>

namespace
{
/// The strings of one array of a search-data script ("var NAME = [...]"), in the order written.
std::vector<std::string> ScriptArray(const std::string& strScript, const std::string& strName)
{
    std::vector<std::string> vecItems;
    size_t nAt = strScript.find("var " + strName + " = [");
    if (nAt == std::string::npos)
        return vecItems;
    const size_t nEnd = strScript.find("];", nAt);
    for (nAt = strScript.find('"', nAt); nAt < nEnd; nAt = strScript.find('"', nAt))
    {
        const size_t nClose = strScript.find('"', nAt + 1);
        vecItems.push_back(strScript.substr(nAt + 1, nClose - nAt - 1));
        nAt = nClose + 1;
    }
    return vecItems;
}

/// UTF-8 text as the site writes it: in cp, a character it lacks as "?".
std::string InSite(const CCodePage& cp, const std::string& strUTF8)
{
    return cp.FromWide(CCodePage("UTF-8").ToWide(strUTF8));
}

struct SPage
{
    const char* pszFile;  ///< the page's address below the topic folder
    const char* pszTitle; ///< its title in the Search tab, in UTF-8
    std::vector<const char*> vecKeywords;
};

// Pages that declare a charset other than the site's, among pages in the site's own code page: the
// titles decode in the site's charset to the text a browser shows, and the words are keywords a
// reader can type. A character the site's code page lacks splits the words around it.
TEST(PageCharsetTest, DeclaredCharsetDecidesTitlesAndKeywords)
{
    const std::vector<SPage> vecSjis = {
        {"sjis/start.htm", "はじめに", {"sjisplain"}},
        {"sjis/utf8meta.htm", "検索の手引き", {"検索の説明", "metaword"}},
        {"sjis/httpequiv.htm", "設定の画面", {"設定", "equivword"}},
        {"sjis/euckr.htm", "??? Korean", {"alpha", "beta"}},
    };
    const std::vector<SPage> vecLatin = {
        {"latin/start.htm", "Start", {"welcome", "sum"}},
        {"latin/cafe.htm", "Café crème", {"caf", "é", "na", "ï", "ve"}},
        {"latin/xmldecl.htm", "Übersicht", {"gr", "öß", "fa", "ç", "ade"}},
    };
    struct SCase
    {
        const char* pszHelp;
        int nRow;
        bool bLooseFiles; ///< webhelp searchdata on the pages, else webhelp convert of the help
        const std::vector<SPage>* pPages;
    };
    const SCase aCases[] = {
        {"sjis", kCharsetShiftJis, false, &vecSjis},
        {"sjis", kCharsetShiftJis, true, &vecSjis},
        {"latin", kCharsetWin1252, false, &vecLatin},
        {"latin", kCharsetWin1252, true, &vecLatin},
    };
    const std::string strSources = std::string(WEBHELP_FIXTURES_DIR) + "/page_charsets";
    for (const SCase& c : aCases)
    {
        SCOPED_TRACE(std::string(c.pszHelp) + (c.bLooseFiles ? " searchdata" : " convert"));
        CTempDir dir;
        const CCodePage cp(c.nRow);
        std::string strCommand;
        if (c.bLooseFiles)
        {
            strCommand = "cd " + ShellQuote(strSources + "/" + c.pszHelp) + " && " +
                         ShellQuote(HostProgram()) + " searchdata -o " + ShellQuote(dir / "searchdata.js") +
                         " --charset " + Charset_Row(c.nRow).pszBrowserName;
            for (const SPage& page : *c.pPages)
                strCommand += " " + std::string(page.pszFile).substr(std::string_view(c.pszHelp).size() + 1);
        }
        else
        {
            strCommand = ShellQuote(HostProgram()) + " convert " +
                         ShellQuote(ChmFixture("page_charsets", c.pszHelp)) + " -o " +
                         ShellQuote(dir / "site") + " --quiet";
        }
        SCommandResult res = RunCommand(strCommand + " 2>&1");
        ASSERT_EQ(res.nExit, 0) << res.strOutput;
        const std::string strScript =
            ReadFileBytes(c.bLooseFiles ? dir / "searchdata.js" : dir / "site/whfiles/searchdata.js");
        const std::vector<std::string> vecFiles = ScriptArray(strScript, "SearchFiles");
        const std::vector<std::string> vecTitles = ScriptArray(strScript, "SearchTitles");
        ASSERT_EQ(vecFiles.size(), vecTitles.size());
        for (const SPage& page : *c.pPages)
        {
            SCOPED_TRACE(page.pszFile);
            // Loose files go into the topic folder by their names alone.
            const std::string strFile =
                "source/" + (c.bLooseFiles
                                 ? std::string(page.pszFile).substr(std::string_view(c.pszHelp).size() + 1)
                                 : std::string(page.pszFile));
            size_t n = 0;
            while (n < vecFiles.size() && vecFiles[n] != strFile)
                ++n;
            ASSERT_LT(n, vecFiles.size());
            EXPECT_EQ(vecTitles[n], InSite(cp, page.pszTitle));
            for (const char* pszKeyword : page.vecKeywords)
            {
                const std::string strEntry = "[\"" + InSite(cp, pszKeyword) + "\",[";
                const size_t nAt = strScript.find(strEntry);
                ASSERT_NE(nAt, std::string::npos) << pszKeyword;
                const std::string strPages = strScript.substr(nAt + strEntry.size(), 32);
                EXPECT_NE(
                    ("," + strPages.substr(0, strPages.find(']')) + ",").find("," + std::to_string(n) + ","),
                    std::string::npos)
                    << pszKeyword;
            }
        }
        // The page in a charset of its own leaves none of its bytes behind as text of the site.
        EXPECT_EQ(strScript.find(CCodePage("CP949").FromWide(U"\uD55C\uAD6D\uC5B4")), std::string::npos);
    }
}
} // namespace
