#include "OutputTestUtil.h"

#include <cctype>

namespace
{
const char* const g_apszTemplates[] = {
    "whheaderc.tmpl",  "whheaderi.tmpl", "whheaders.tmpl",  "whheaderbtn.tmpl", "whnavc.tmpl",
    "whnavi.tmpl",     "whnavs.tmpl",    "whnavcbars.tmpl", "whnavibars.tmpl",  "whnavsbars.tmpl",
    "whcontents.tmpl", "whindex.tmpl",   "whsearch.tmpl",   "whheader_js.tmpl",
};

/// Converts with the real template sets beside the built host.
class CTemplateSetsTest : public COutputTest
{
protected:
    CTemplateSetsTest() { m_helper.m_strAppRunPath = std::string(WEBHELP_BUILD_DIR) + "/"; }

    void WriteAllPages()
    {
        m_helper.CHM2Web_WriteHeaderJSFile(m_strOut);
        m_helper.CHM2Web_WriteContentsHeaderPage(m_strOut);
        m_helper.CHM2Web_WriteIndexHeaderPage(m_strOut);
        m_helper.CHM2Web_WriteSearchHeaderPage(m_strOut);
        m_helper.CHM2Web_WriteContentsNavPage(m_strOut);
        m_helper.CHM2Web_WriteIndexNavPage(m_strOut);
        m_helper.CHM2Web_WriteSearchNavPage(m_strOut);
        m_helper.CHM2Web_WriteContentsNavBarPage(m_strOut);
        m_helper.CHM2Web_WriteIndexNavBarPage(m_strOut);
        m_helper.CHM2Web_WriteSearchNavBarPage(m_strOut);
        m_helper.CHM2Web_WriteContentsMainPage(m_strOut);
        m_helper.CHM2Web_WriteIndexMainPage(m_strOut);
        m_helper.CHM2Web_WriteSearchMainPage(m_strOut);
    }
    static bool Has(const std::string& str, const std::string& strPart)
    {
        return str.find(strPart) != std::string::npos;
    }
    /// strWord as a whole word of a script (not part of a longer name).
    static bool HasWord(const std::string& str, const std::string& strWord)
    {
        auto IsName = [](char c)
        { return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '$'; };
        for (size_t nPos = str.find(strWord); nPos != std::string::npos; nPos = str.find(strWord, nPos + 1))
        {
            size_t nEnd = nPos + strWord.size();
            if ((nPos == 0 || !IsName(str[nPos - 1])) && (nEnd == str.size() || !IsName(str[nEnd])))
                return true;
        }
        return false;
    }
    /// A placeholder or block marker: "#", lower-case letters ending in replace, start or end, "#".
    static bool HasPlaceholder(const std::string& str)
    {
        for (size_t nPos = str.find('#'); nPos != std::string::npos; nPos = str.find('#', nPos + 1))
        {
            size_t nEnd = nPos + 1;
            while (nEnd < str.size() && str[nEnd] >= 'a' && str[nEnd] <= 'z')
                ++nEnd;
            if (nEnd >= str.size() || str[nEnd] != '#')
                continue;
            const std::string strWord = str.substr(nPos + 1, nEnd - nPos - 1);
            for (const std::string strTail : {"replace", "start", "end"})
            {
                if (strWord.size() > strTail.size() && strWord.ends_with(strTail))
                    return true;
            }
        }
        return false;
    }
};
} // namespace

TEST_F(CTemplateSetsTest, EverySetHasEveryTemplate)
{
    for (const std::string& strSet : CWebHelpHelper::m_strWHTemplateDir)
    {
        for (const char* pszName : g_apszTemplates)
        {
            const std::string strPath =
                std::string(WEBHELP_BUILD_DIR) + "/whtemplates/" + strSet + "/" + pszName;
            EXPECT_FALSE(ReadFileBytes(strPath).empty()) << strPath;
        }
    }
}

TEST_F(CTemplateSetsTest, PagesCarryTheNamesTheRuntimeNeeds)
{
    for (int32_t n = 0; n < 5; ++n)
    {
        SCOPED_TRACE(CWebHelpHelper::m_strWHTemplateDir[n]);
        g_WebHelpSettings.nTemplate = n;
        WriteAllPages();
        const std::string strHeaderC = Out("whheaderc.html");
        for (const char* pszId : {"tabcontents1", "tabcontents2", "btncontents", "tabindex1", "tabindex2",
                                  "btnindex", "tabsearch1", "tabsearch2", "btnsearch"})
            EXPECT_TRUE(Has(strHeaderC, std::string("id=\"") + pszId + "\"")) << pszId;
        for (const char* pszCall :
             {"OnClickButton(0)", "OnClickButton(1)", "OnClickButton(2)", "conPrint()", "navDelta(-1)",
              "navDelta(1)", "whfiles/wh_home.gif", "whfiles/wh_bg.gif"})
            EXPECT_TRUE(Has(strHeaderC, pszCall)) << pszCall;
        EXPECT_TRUE(Has(Out("whheaderc.html"), "whheaderShowTab(0)"));
        EXPECT_TRUE(Has(Out("whheaderi.html"), "whheaderShowTab(1)"));
        EXPECT_TRUE(Has(Out("whheaders.html"), "whheaderShowTab(2)"));

        const std::string strHeaderJs = Out("whfiles/whheader.js");
        for (const char* pszVar : {"selbtnbordercolor", "selbtnbgcolor", "selbtntxtcolor", "btnbordercolor",
                                   "btnbgcolor", "btntxtcolor"})
            EXPECT_TRUE(HasWord(strHeaderJs, pszVar)) << pszVar;

        EXPECT_TRUE(Has(strHeaderJs, "SetCurPage(n)")) << "the header tells the frameset its tab";

        EXPECT_TRUE(Has(Out("whnavc.html"), "whnavcbars.html"));
        EXPECT_TRUE(Has(Out("whnavc.html"), "whcontents.html"));
        EXPECT_TRUE(Has(Out("whnavi.html"), "whindex.html"));
        EXPECT_TRUE(Has(Out("whnavs.html"), "whsearch.html"));
        for (const char* pszCall : {"hidePane()", "syncTopic()", "navDelta(-1)", "navDelta(1)"})
            EXPECT_TRUE(Has(Out("whnavcbars.html"), pszCall)) << pszCall;

        const std::string strContents = Out("whcontents.html");
        EXPECT_TRUE(Has(strContents, "contree = new MakeTree(ContentItems"));
        const std::string strIndex = Out("whindex.html");
        EXPECT_LT(strIndex.find("<form"), strIndex.find("name=\"indexlist\""));
        EXPECT_LT(strIndex.find("name=\"indexlist\""), strIndex.find("</form>"));
        for (const char* pszCall : {"Startup()", "SelectMatch(", "ShowMatch()"})
            EXPECT_TRUE(Has(strIndex, pszCall)) << pszCall;
        const std::string strSearch = Out("whsearch.html");
        EXPECT_LT(strSearch.find("<form name=\"searchform\""), strSearch.find("name=\"founddocslist\""));
        EXPECT_LT(strSearch.find("name=\"founddocslist\""), strSearch.find("</form>"));
        EXPECT_TRUE(Has(strSearch, "Search("));
        EXPECT_TRUE(Has(strSearch, "OpenFoundDoc()"));
    }
}

TEST_F(CTemplateSetsTest, PagesLoadScriptsInTheirOrderOfNeed)
{
    WriteAllPages();
    struct SCase
    {
        const char* pszPage;
        std::vector<std::string> vecScripts; ///< in the order they must load
    };
    const SCase aCases[] = {
        {"whheaderc.html", {"whhelper.js", "whheader.js"}},
        {"whnavcbars.html", {"whhelper.js"}},
        {"whcontents.html", {"whhelper.js", "contentsdata.js", "whcontents.js", "whtree.js"}},
        {"whindex.html", {"whhelper.js", "indexdata.js", "whindex.js"}},
        {"whsearch.html", {"whhelper.js", "searchdata.js", "whsearch.js"}},
    };
    for (const SCase& c : aCases)
    {
        SCOPED_TRACE(c.pszPage);
        const std::string strPage = Out(c.pszPage);
        size_t nLast = 0;
        for (const std::string& strScript : c.vecScripts)
        {
            size_t nPos = strPage.find("src=\"whfiles/" + strScript + "\"");
            ASSERT_NE(nPos, std::string::npos) << strScript;
            EXPECT_GT(nPos, nLast) << strScript << " loads too early";
            nLast = nPos;
        }
    }
}

TEST_F(CTemplateSetsTest, NoPlaceholderIsLeftInTheWrittenPages)
{
    g_WebHelpSettings.bShowHome = 0;
    g_WebHelpSettings.bShowPrint = 0;
    for (int32_t n = 0; n < 5; ++n)
    {
        SCOPED_TRACE(CWebHelpHelper::m_strWHTemplateDir[n]);
        g_WebHelpSettings.nTemplate = n;
        WriteAllPages();
        for (const std::string& strName : ListFiles(m_strOut))
        {
            const std::string strPage = Out(strName);
            EXPECT_FALSE(HasPlaceholder(strPage)) << strName;
            EXPECT_FALSE(Has(strPage, "@")) << strName << " has an underived value";
        }
        EXPECT_FALSE(Has(Out("whheaderc.html"), "wh_home.gif"));
        EXPECT_FALSE(Has(Out("whheaderc.html"), "conPrint"));
    }
}

TEST_F(CTemplateSetsTest, TemplatesAreAsciiSoEveryCodePageReadsThem)
{
    for (const std::string& strSet : CWebHelpHelper::m_strWHTemplateDir)
    {
        for (const char* pszName : g_apszTemplates)
        {
            const std::string strBytes =
                ReadFileBytes(std::string(WEBHELP_BUILD_DIR) + "/whtemplates/" + strSet + "/" + pszName);
            for (unsigned char c : strBytes)
            {
                if (c >= 0x80 || c == '~')
                {
                    ADD_FAILURE() << strSet << "/" << pszName << " holds byte " << int(c);
                    break;
                }
            }
        }
    }
}
