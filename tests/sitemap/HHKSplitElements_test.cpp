#include "SitemapTestUtil.h"
#include "TestUtil.h"

#include "CHMSitemap.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace
{
struct CElementsTestHelper : CWebHelpHelper
{
    using CWebHelpHelper::CHM2Web_CreateIndexScriptFile;
    using CWebHelpHelper::CHM2Web_CreateIndexScriptFromElements;
    using CWebHelpHelper::CHM2Web_SplitHHKElements;
    using CWebHelpHelper::CHM2Web_SplitHHKInfo;
};

/// Every element of a split tree with the attributes the index script and its properties read.
std::string DumpSplit(CXML* pRoot)
{
    std::string str;
    std::vector<std::pair<CXML*, int>> vecStack{{pRoot, 0}};
    while (!vecStack.empty())
    {
        const auto [p, nDepth] = vecStack.back();
        vecStack.pop_back();
        str.append(static_cast<size_t>(nDepth), ' ');
        str += p->GetTagName();
        for (const char* pszAttr : {"Name", "XPosition", "Type", "Local", "name", "value"})
        {
            if (p->HasAttr(pszAttr))
                str += std::string(" ") + pszAttr + "=[" + p->GetAttr(pszAttr) + "]";
        }
        str += '\n';
        for (int i = p->GetChildCount(); i-- > 0;)
            vecStack.push_back({p->GetChildAt(i), nDepth + 1});
    }
    return str;
}

class CHHKElementsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        g_WebHelpSettings.nCharset = 31; // utf-8
        m_helper.m_strCHMFile = "/help/main.chm";
    }

    /// The index split from the CXML tree and from the elements, at that depth bound; and the
    /// script written from the elements as they are split, against the one written from the split.
    void ExpectSameSplit(const std::string& strHtml, size_t nMaxDepth)
    {
        CXML raw;
        ASSERT_TRUE(CHM_ParseSitemapToXML(strHtml, &raw, nMaxDepth));
        auto pFromTree = NewRoot("HHK");
        const int nFromTree = m_helper.CHM2Web_SplitHHKInfo(&raw, pFromTree.get());

        CSitemapElements elements;
        elements.Sitemap_Take(strHtml, nMaxDepth);
        auto pFromElements = NewRoot("HHK");
        const int nFromElements = m_helper.CHM2Web_SplitHHKElements(elements, pFromElements.get());

        EXPECT_EQ(nFromElements, nFromTree);
        EXPECT_EQ(DumpSplit(pFromElements.get()), DumpSplit(pFromTree.get()));

        const std::string strFromTree = m_dir / "tree.js";
        const std::string strStreamed = m_dir / "streamed.js";
        m_helper.CHM2Web_CreateIndexScriptFile(pFromTree.get(), strFromTree);
        m_helper.CHM2Web_CreateIndexScriptFromElements(elements, strStreamed);
        EXPECT_EQ(ReadFileBytes(strStreamed), ReadFileBytes(strFromTree));
    }

    CTempDir m_dir;

    CElementsTestHelper m_helper;
};

TEST_F(CHHKElementsTest, SplitFromElementsEqualsSplitFromTheTree)
{
    std::vector<std::string> vecSitemaps = {
        "",
        "plain text, no markup",
        "<ul><li><object type=\"text/sitemap\"><param name=\"Name\" value=\"a\">"
        "<param name=\"Local\" value=\"a.htm\"></object><li><object type=\"text/sitemap\">"
        "<param name=\"Keyword\" value=\"b\"><param name=\"Name\" value=\"t1\"><param name=\"Local\" "
        "value=\"t1.htm\"><param name=\"Name\" value=\"t2\"><param name=\"See Also\" value=\"a\">"
        "</object><ul><li><object><param name=name value=c&amp;d><param name=local value=&lt;x.htm>"
        "</object></ul></ul>",
        // Site properties first; an empty first list; a second list with items.
        "<HTML><BODY><OBJECT type=\"text/site properties\"><param name=\"Font\" value=\"Arial,8\">"
        "<param name=\"Other\" value=\"x\"><param name=\"WINDOWNAME\" value=\"w\"></OBJECT><UL></UL>"
        "<UL><LI><OBJECT><param name=\"Name\" value=\"k\"><param name=\"Local\" "
        "value=\"k.htm\"></OBJECT></UL>",
        // Objects outside items, stray text and comments, unclosed items and lists, repeated names.
        "<ul>text<object><param name=Name value=out></object><!-- c --><li><object><param name=Name "
        "value=one name=Local><param NAME=\"Local\" value=\"1.htm\" value=\"2.htm\"></object>"
        "<li><b><object><param name=\"Name\" value=\"bold\"></b></object><ul><li><object>"
        "<param name=\"Name\" value=\"deep\"><param name=\"Local\" value=\"d.htm\">",
        // A second address replaces the first, for a keyword and for a title.
        "<ul><li><object><param name=Name value=two><param name=Local value=first.htm><param name=Local "
        "value=second.htm><param name=Name value=t><param name=Local value=t1.htm><param name=Local "
        "value=t2.htm></object></ul>",
        "<li><object><param name=\"Name\" value=\"no list\"><param name=\"Local\" value=\"n.htm\"></object>"
        "<ul><ul><ul><li><object><param name=\"Name\" value=\"three\"></object></ul></ul></ul>",
    };
    std::string strDeep;
    for (int i = 0; i < 40; ++i)
        strDeep += "<ul><li><object><param name=\"Name\" value=\"" + std::to_string(i) + "\"></object>";
    vecSitemaps.push_back(strDeep);
    for (const auto& entry : std::filesystem::recursive_directory_iterator(WEBHELP_FIXTURES_DIR))
    {
        const std::string strExt = entry.path().extension().string();
        if (strExt != ".hhk" && strExt != ".hhc")
            continue;
        std::ifstream in(entry.path(), std::ios::binary);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        vecSitemaps.push_back(bytes.str());
    }
    ASSERT_GT(vecSitemaps.size(), 20u);
    for (const std::string& strHtml : vecSitemaps)
    {
        for (size_t nMaxDepth : {kSitemapMaxDepth, size_t{3}, size_t{6}})
        {
            SCOPED_TRACE(strHtml.substr(0, 120) + " / depth " + std::to_string(nMaxDepth));
            ExpectSameSplit(strHtml, nMaxDepth);
        }
    }
}
// Pages named again are made addresses once a split: each keyword still gets the address that a
// split of its item alone gives, in every folder, and each merged file is still noted.
TEST_F(CHHKElementsTest, PagesNamedAgainGetTheAddressOfTheirOwnItem)
{
    const char* const aLocals[] = {"a.htm",   "b.htm#x",  "a.htm",          "ms-its:other.chm::/p.htm",
                                   "a.htm",   "B.htm#x",  "../up/a.htm",    "ms-its:other.chm::/p.htm",
                                   "b.htm#x", "a%20.htm", "http://h/a.htm", "a.htm"};
    auto Item = [](const std::string& strLocal)
    {
        return "<li><object><param name=\"Name\" value=\"k\"><param name=\"Local\" value=\"" + strLocal +
               "\"></object>";
    };
    auto Locals = [](CXML* pRoot)
    {
        std::vector<std::string> vec;
        CXML* pSiteMap = pRoot->GetChildByTagName("SiteMap");
        for (int i = 0; pSiteMap != nullptr && i < pSiteMap->GetChildCount(); ++i)
            vec.push_back(pSiteMap->GetChildAt(i)->GetAttr("Local"));
        return vec;
    };
    for (const char* pszFolder : {"", "sub", "sub/deeper"})
    {
        SCOPED_TRACE(pszFolder);
        m_helper.m_strSitemapFolder = pszFolder;
        std::string strAll = "<ul>";
        std::vector<std::string> vecExpected;
        for (const char* pszLocal : aLocals)
        {
            strAll += Item(pszLocal);
            CSitemapElements one;
            one.Sitemap_Take("<ul>" + Item(pszLocal) + "</ul>");
            auto pOne = NewRoot("HHK");
            m_helper.CHM2Web_SplitHHKElements(one, pOne.get());
            const std::vector<std::string> vecOne = Locals(pOne.get());
            ASSERT_EQ(vecOne.size(), 1u);
            vecExpected.push_back(vecOne[0]);
        }
        m_helper.m_mapMergeCHMFiles.clear();
        CSitemapElements all;
        all.Sitemap_Take(strAll + "</ul>");
        auto pAll = NewRoot("HHK");
        m_helper.CHM2Web_SplitHHKElements(all, pAll.get());
        EXPECT_EQ(Locals(pAll.get()), vecExpected);
        EXPECT_EQ(m_helper.m_mapMergeCHMFiles.size(), 1u);
    }
}
} // namespace
