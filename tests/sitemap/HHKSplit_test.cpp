#include "SitemapTestUtil.h"
#include "TestUtil.h"

#include <gtest/gtest.h>

namespace
{
struct CHHKTestHelper : CWebHelpHelper
{
    using CWebHelpHelper::CHM2Web_SplitHHKInfo;
};

class CHHKTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        g_WebHelpSettings.nCharset = 31; // utf-8
        m_helper.m_strCHMFile = "/help/main.chm";
    }

    std::string Convert(std::unique_ptr<CXML> pRaw)
    {
        m_pRoot = NewRoot("HHK");
        m_nResult = m_helper.CHM2Web_SplitHHKInfo(pRaw.get(), m_pRoot.get());
        return DumpTopics(m_pRoot.get(), false);
    }

    CHHKTestHelper m_helper;
    std::unique_ptr<CXML> m_pRoot;
    int m_nResult = -1;
};

struct SCase
{
    const char* pszWhat;
    std::unique_ptr<CXML> (*pfnRaw)();
    const char* pszTopics;
};

TEST_F(CHHKTest, KeywordsTitlesAndLevels)
{
    const SCase aCases[] = {
        {"a keyword with its page", [] { return RawSitemap({UL({Item("fonts", "fonts.htm")})}); },
         "fonts|0|fonts.htm|-\n"},
        {"a keyword with two titles",
         []
         {
             return RawSitemap({UL({LI({Obj({{"Keyword", "printing"},
                                             {"Name", "Print a page"},
                                             {"Local", "print.htm"},
                                             {"Name", "Print setup"},
                                             {"Local", "setup.htm"}})})})});
         },
         "printing|0|-|4\nPrint a page|1|print.htm|5\nPrint setup|1|setup.htm|5\n"},
        {"the last of two addresses wins, an empty one is ignored",
         []
         {
             return RawSitemap({UL(
                 {LI({Obj({{"Name", "fonts"}, {"Local", "a.htm"}, {"Local", "b.htm"}, {"Local", ""}})})})});
         },
         "fonts|0|b.htm|-\n"},
        {"sub-keywords one level down, right after their keyword",
         []
         {
             return RawSitemap({UL({Item("fonts", "f.htm", {Item("size", "s.htm", {Item("pt", "p.htm")})}),
                                    Item("z", "z.htm")})});
         },
         "fonts|0|f.htm|-\nsize|1|s.htm|-\npt|2|p.htm|-\nz|0|z.htm|-\n"},
        {"a first param that is no keyword drops the item, not its sub-keywords",
         [] {
             return RawSitemap(
                 {UL({LI({Obj({{"Local", "x.htm"}, {"Name", "x"}}), UL({Item("sub", "s.htm")})})})});
         },
         "sub|1|s.htm|-\n"},
        {"param names in any case; a later Keyword is ignored",
         [] {
             return RawSitemap(
                 {UL({LI({Obj({{"KEYWORD", "k"}, {"keyword", "ignored"}, {"LOCAL", "k.htm"}})})})});
         },
         "k|0|k.htm|-\n"},
        {"an empty first list: the keywords of the second are at level 1",
         [] {
             return RawSitemap({UL({}), UL({Item("k", "k.htm")})});
         },
         "k|1|k.htm|-\n"},
        {"a first list with keywords: later lists are not read",
         [] {
             return RawSitemap({UL({Item("k", "k.htm")}), UL({Item("late", "l.htm")})});
         },
         "k|0|k.htm|-\n"},
        {"items without a list, straight in the body",
         [] {
             return RawSitemap({Item("a", "a.htm"), Item("b", "b.htm")});
         },
         "a|0|a.htm|-\nb|0|b.htm|-\n"},
        {"an item without object or params yields nothing",
         [] {
             return RawSitemap({UL({LI({}), LI({Obj({})}), Item("k", "k.htm")})});
         },
         "k|0|k.htm|-\n"},
        {"references into other compiled files",
         [] {
             return RawSitemap(
                 {UL({Item("o", "other.chm::/x.htm"), Item("p", "ms-its:Sub\\P.chm::\\y\\z.htm")})});
         },
         "o|0|merge/other/x.htm|-\np|0|merge/p/y/z.htm|-\n"},
        {"a see-also keyword without a page refers to the other keyword",
         [] {
             return RawSitemap({UL({LI({Obj({{"Name", "typefaces"}, {"See Also", "fonts &amp; faces"}})})})});
         },
         "typefaces|0|@@@fonts & faces|-\n"},
        {"a see-also keyword with a page keeps the page",
         [] {
             return RawSitemap({UL({LI({Obj({{"Name", "t"}, {"see also", "fonts"}, {"Local", "t.htm"}})})})});
         },
         "t|0|t.htm|-\n"},
    };
    for (const SCase& c : aCases)
    {
        SCOPED_TRACE(c.pszWhat);
        EXPECT_EQ(Convert(c.pfnRaw()), c.pszTopics);
        EXPECT_EQ(m_nResult, 1);
    }
}

TEST_F(CHHKTest, ReferencesAreRecordedInTheMergeMap)
{
    Convert(RawSitemap(
        {UL({Item("o", "other.chm::/x.htm"), Item("O", "OTHER.chm::/y.htm"), Item("n", "n.htm")})}));
    EXPECT_EQ(m_helper.m_mapMergeCHMFiles, std::set<std::string>{"/help/other.chm"});
}

TEST_F(CHHKTest, AnEmptyFirstListIsRemovedFromTheRawTree)
{
    auto pRaw = RawSitemap({UL({}), UL({Item("k", "k.htm")})});
    m_pRoot = NewRoot("HHK");
    m_helper.CHM2Web_SplitHHKInfo(pRaw.get(), m_pRoot.get());
    CXML* pBody = pRaw->GetChildByTagName("HTML")->GetChildByTagName("BODY");
    ASSERT_EQ(pBody->GetChildCount(), 1);
    EXPECT_EQ(pBody->GetChildAt(0)->GetChildCount(), 1);
}

TEST_F(CHHKTest, WithoutHTMLTheRootStaysEmpty)
{
    auto pRaw = std::make_unique<CXML>();
    pRaw->AddChild(El("BODY", {UL({Item("k", "k.htm")})}));
    EXPECT_EQ(Convert(std::move(pRaw)), "(no SiteMap)");
    EXPECT_EQ(m_nResult, 0);
    EXPECT_EQ(m_pRoot->GetChildCount(), 0);
}

TEST_F(CHHKTest, SitePropertiesKeepOnlyWindowFrameAndFont)
{
    Convert(RawSitemap(
        {Obj({{"FONT", "Arial"}, {"ImageType", "Folder"}, {"windowname", "main"}, {"FrameName", "f"}},
             "text/site properties"),
         UL({Item("k", "k.htm")})}));
    CXML* pProperties = m_pRoot->GetChildByTagName("SiteProperties");
    ASSERT_EQ(pProperties->GetChildCount(), 3);
    EXPECT_EQ(pProperties->GetChildAt(0)->GetAttr("name"), "Font");
    EXPECT_EQ(pProperties->GetChildAt(1)->GetAttr("name"), "WindowName");
    EXPECT_EQ(pProperties->GetChildAt(1)->GetAttr("value"), "main");
    EXPECT_EQ(pProperties->GetChildAt(2)->GetAttr("name"), "FrameName");
}
} // namespace
