#include "SitemapTestUtil.h"
#include "TestUtil.h"

#include <gtest/gtest.h>

#include <cctype>

namespace
{
struct CHHCTestHelper : CWebHelpHelper
{
    using CWebHelpHelper::CHM2Web_SplitHHCInfo;
    using CWebHelpHelper::CHM2Web_SplitMergeHHCInfo;
};

const int kRowUTF8 = 31;
const int kRowShiftJIS = 27;

class CHHCTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        g_WebHelpSettings.nCharset = kRowUTF8;
        m_helper.m_strCHMFile = m_dir / "Help/main.chm";
    }

    /// Converts raw and returns its Topics dumped.
    std::string Convert(std::unique_ptr<CXML> pRaw)
    {
        m_pRoot = NewRoot("HHC");
        m_helper.CHM2Web_SplitHHCInfo(pRaw.get(), m_pRoot.get());
        return DumpTopics(m_pRoot.get(), true);
    }

    CTempDir m_dir;
    CHHCTestHelper m_helper;
    std::unique_ptr<CXML> m_pRoot;
};

struct SCase
{
    const char* pszWhat;
    std::unique_ptr<CXML> (*pfnRaw)();
    const char* pszTopics;
};

TEST_F(CHHCTest, EntriesBecomeTopicsWithDepthAndImageDefaults)
{
    const SCase aCases[] = {
        {"a page at the top", [] { return RawSitemap({UL({Item("Intro", "intro.htm")})}); },
         "Intro|0|intro.htm|10\n"},
        {"a book and its pages",
         [] {
             return RawSitemap({UL({Item("Book", "b.htm", {Item("P1", "p1.htm"), Item("P2", "p2.htm")})})});
         },
         "Book|0|b.htm|0\nP1|1|p1.htm|10\nP2|1|p2.htm|10\n"},
        {"an empty nested list still makes a book",
         [] {
             return RawSitemap({UL({LI({Obj({{"Name", "B"}}), UL({})})})});
         },
         "B|0|-|0\n"},
        {"explicit image numbers 1, 0 and 5 count from one and are never defaulted",
         []
         {
             return RawSitemap(
                 {UL({LI({Obj({{"Name", "a"}, {"ImageNumber", "1"}})}),
                      LI({Obj({{"Name", "b"}, {"ImageNumber", "0"}})}),
                      LI({Obj({{"Name", "c"}, {"ImageNumber", "5"}}), UL({Item("d", "d.htm")})})})});
         },
         "a|0|-|0\nb|0|-|0\nc|0|-|4\nd|1|d.htm|10\n"},
        {"a negative image number is treated as none",
         [] {
             return RawSitemap({UL({LI({Obj({{"Name", "a"}, {"ImageNumber", "-7"}})})})});
         },
         "a|0|-|10\n"},
        {"param names in any case, the second Name wins",
         [] {
             return RawSitemap(
                 {UL({LI({Obj({{"NAME", "first"}, {"LOCAL", "x.htm"}, {"name", "second"}})})})});
         },
         "second|0|x.htm|10\n"},
        {"an object directly in the body keeps -1; one of another type is ignored",
         [] {
             return RawSitemap(
                 {Obj({{"Name", "loose"}, {"Local", "l.htm"}}), Obj({{"Name", "other"}}, "text/html")});
         },
         "loose|0|l.htm|-1\n"},
        {"an item whose first child is no object is skipped with its lists",
         []
         {
             return RawSitemap(
                 {UL({LI({El("A"), Obj({{"Name", "x"}}), UL({Item("y", "y.htm")})}), Item("z", "z.htm")})});
         },
         "z|0|z.htm|10\n"},
        {"a second object in an item is one level deeper and keeps -1",
         [] {
             return RawSitemap({UL({LI({Obj({{"Name", "a"}}), Obj({{"Name", "b"}})})})});
         },
         "a|0|-|10\nb|1|-|-1\n"},
        {"no HTML element: the lists of the root's BODY",
         []
         {
             auto p = std::make_unique<CXML>();
             p->AddChild(El("BODY", {UL({Item("a", "a.htm")})}));
             return p;
         },
         "a|0|a.htm|10\n"},
        {"neither HTML nor BODY: the lists of the root",
         []
         {
             auto p = std::make_unique<CXML>();
             p->AddChild(UL({Item("a", "a.htm")}));
             return p;
         },
         "a|0|a.htm|10\n"},
        {"a body without lists", [] { return RawSitemap({El("P")}); }, ""},
        {"same entries twice stay two Topics",
         [] {
             return RawSitemap({UL({Item("a", "a.htm"), Item("a", "a.htm")})});
         },
         "a|0|a.htm|10\na|0|a.htm|10\n"},
        {"character references in names and addresses",
         [] { return RawSitemap({UL({Item("Fish &amp; Chips &#8364;&#x41;", "a&amp;b.htm")})}); },
         "Fish & Chips \u20ACA|0|a&b.htm|10\n"},
    };
    for (const SCase& c : aCases)
    {
        SCOPED_TRACE(c.pszWhat);
        EXPECT_EQ(Convert(c.pfnRaw()), c.pszTopics);
    }
}

TEST_F(CHHCTest, ItemsUnderAnEntryWithoutTopicNeverNestDeeperThanOneLevel)
{
    // The first item yields no Topic (an object without params) yet has a nested list two deep.
    const std::string strTopics = Convert(RawSitemap(
        {UL({LI({Obj({}), UL({LI({Obj({}), UL({Item("deep", "d.htm"), Item("deep2", "d2.htm")})})})}),
             Item("top", "t.htm")})}));
    EXPECT_EQ(strTopics, "deep|0|d.htm|10\ndeep2|1|d2.htm|10\ntop|0|t.htm|10\n");
}

TEST_F(CHHCTest, OptionalAttributesOnlyWhenGiven)
{
    Convert(RawSitemap({UL(
        {LI({Obj({{"Name", "a"}, {"FrameName", "f"}, {"WindowName", "w"}, {"Comment", "c"}, {"New", "1"}})}),
         LI({Obj({{"Name", "b"}, {"New", "yes"}})})})}));
    CXML* pSiteMap = m_pRoot->GetChildByTagName("SiteMap");
    ASSERT_EQ(pSiteMap->GetChildCount(), 2);
    CXML* pA = pSiteMap->GetChildAt(0);
    EXPECT_EQ(pA->GetAttr("FrameName"), "f");
    EXPECT_EQ(pA->GetAttr("WindowName"), "w");
    EXPECT_EQ(pA->GetAttr("Comment"), "c");
    EXPECT_EQ(pA->GetAttr("New"), "1");
    EXPECT_FALSE(pA->HasAttr("Local"));
    CXML* pB = pSiteMap->GetChildAt(1);
    for (const char* pszName : {"FrameName", "WindowName", "Comment", "New", "Local"})
        EXPECT_FALSE(pB->HasAttr(pszName)) << pszName;
}

TEST_F(CHHCTest, SitePropertiesKeepKnownNamesInOrderWithCanonicalSpelling)
{
    Convert(RawSitemap(
        {Obj({{"font", "Arial,8"}, {"Bogus", "x"}, {"BACKGROUND", "#fff"}, {"ImageType", "Folder"}},
             "Text/Site Properties"),
         UL({Item("a", "a.htm")})}));
    CXML* pProperties = m_pRoot->GetChildByTagName("SiteProperties");
    ASSERT_NE(pProperties, nullptr);
    ASSERT_EQ(pProperties->GetChildCount(), 3);
    const char* aExpected[][2] = {{"Font", "Arial,8"}, {"Background", "#fff"}, {"ImageType", "Folder"}};
    for (int i = 0; i < 3; ++i)
    {
        EXPECT_EQ(pProperties->GetChildAt(i)->GetTagName(), "param");
        EXPECT_EQ(pProperties->GetChildAt(i)->GetAttr("name"), aExpected[i][0]);
        EXPECT_EQ(pProperties->GetChildAt(i)->GetAttr("value"), aExpected[i][1]);
    }
    ASSERT_EQ(m_pRoot->GetChildCount(), 2);
    EXPECT_EQ(m_pRoot->GetChildAt(0)->GetTagName(), "SiteProperties");
    EXPECT_EQ(m_pRoot->GetChildAt(1)->GetTagName(), "SiteMap");
}

TEST_F(CHHCTest, ReferencesIntoOtherCompiledFilesPointIntoTheirMergeFolder)
{
    // The whole resolved path is lower-cased, the temporary folder's name included.
    std::string strTemp = m_dir.Path();
    for (char& c : strTemp)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const std::string strHelp = strTemp + "/help/";
    struct SRef
    {
        const char* pszLocal;
        const char* pszAddress;
        std::string strKey; ///< empty: nothing recorded
    };
    const SRef aRefs[] = {
        {"Other.CHM::\\Html\\A.htm", "merge/other/Html/A.htm", strHelp + "other.chm"},
        {"ms-its:Sub\\B.chm::/x/y.htm#top", "merge/b/x/y.htm#top", strHelp + "sub/b.chm"},
        {"MK:@MSITStore:..\\Up.chm::/u.htm", "merge/up/u.htm", strTemp + "/up.chm"},
        {"/lead.chm::/l.htm", "merge/lead/l.htm", strHelp + "lead.chm"},
        {"C:\\Docs\\Far.chm::/f.htm", "merge/far/f.htm", "c:/docs/far.chm"},
        {"::/marker-first.htm", "::/marker-first.htm", ""},
        {"plain.htm", "plain.htm", ""},
        // Titles that would name the topic folder or its parent as a merge folder.
        {"..chm::/x.htm", "..chm::/x.htm", ""},
        {"...chm::/x.htm", "...chm::/x.htm", ""},
    };
    for (const SRef& r : aRefs)
    {
        SCOPED_TRACE(r.pszLocal);
        m_helper.m_mapMergeCHMFiles.clear();
        EXPECT_EQ(Convert(RawSitemap({UL({Item("t", r.pszLocal)})})),
                  std::string("t|0|") + r.pszAddress + "|10\n");
        if (r.strKey.empty())
            EXPECT_TRUE(m_helper.m_mapMergeCHMFiles.empty());
        else
            EXPECT_EQ(m_helper.m_mapMergeCHMFiles, std::set<std::string>{r.strKey});
    }
}

TEST_F(CHHCTest, AReferenceThatWouldNotFitTheBufferIsLeftAlone)
{
    // The folder takes 252 characters: a 7-character name fills the 260 with the terminator.
    m_helper.m_strCHMFile = "/" + std::string(250, 'd') + "/main.chm";
    EXPECT_EQ(Convert(RawSitemap({UL({Item("t", "abcd.chm::/a.htm"), Item("u", "abc.chm::/a.htm")})})),
              "t|0|abcd.chm::/a.htm|10\nu|0|merge/abc/a.htm|10\n");
    EXPECT_EQ(m_helper.m_mapMergeCHMFiles, std::set<std::string>{"/" + std::string(250, 'd') + "/abc.chm"});
}

TEST_F(CHHCTest, DoubleByteTrailBackslashesAreNotSeparators)
{
    g_WebHelpSettings.nCharset = kRowShiftJIS;
    // "\x95\x5C" is one Shift-JIS character whose trail byte is 0x5C; the real separators turn.
    Convert(RawSitemap({UL({Item("t", "Other.chm::\\dir\\\x95\x5C.htm")})}));
    CXML* pTopic = m_pRoot->GetChildByTagName("SiteMap")->GetChildAt(0);
    EXPECT_EQ(pTopic->GetAttr("Local"), "merge/other/dir/\x95\x5C.htm");
}

TEST_F(CHHCTest, MergeEntriesThatCannotBeReadLeaveNoTrace)
{
    // No such file; a sitemap that is no .hhc; no marker; the marker first.
    WriteFileBytes(m_dir / "Help/b.chm", "not a compiled file");
    const std::string strTopics = Convert(RawSitemap({UL(
        {Item("a", "a.htm"), LI({Obj({{"Name", "m1"}, {"Merge", "missing.chm::/m.hhc"}})}),
         LI({Obj({{"Merge", "b.chm::/b.htm"}})}), LI({Obj({{"Merge", "b.chm"}})}),
         LI({Obj({{"Merge", "::/b.hhc"}})}), LI({Obj({{"Merge", "B.CHM::/b.hhc"}})}), Item("z", "z.htm")})}));
    EXPECT_EQ(strTopics, "a|0|a.htm|10\nz|0|z.htm|10\n");
    EXPECT_TRUE(m_helper.m_mapMergeCHMFiles.empty());
}

TEST_F(CHHCTest, MergedContentsTakeTheGivenDepthAndPrefix)
{
    auto pSiteMap = std::make_unique<CXML>();
    pSiteMap->SetTagName("SiteMap");
    pSiteMap->AddChild("Topic", std::string())->SetAttr("XPosition", 0);
    auto pRaw = RawSitemap({UL({Item("p", "p.htm", {Item("q", "sub\\q.htm")}), Item("abs", "C:\\x.htm"),
                                Item("web", "http://example.com/"), Item("far", "far.chm::/f.htm")})});
    m_helper.CHM2Web_SplitMergeHHCInfo(pRaw.get(), pSiteMap.get(), 1, "merge/b");
    auto pRoot = NewRoot("HHC");
    pRoot->AddChild(pSiteMap.release());
    EXPECT_EQ(DumpTopics(pRoot.get(), true), "-|0|-|-\n"
                                             "p|1|merge/b/p.htm|0\n"
                                             "q|2|merge/b/sub/q.htm|10\n"
                                             "abs|1|C:\\x.htm|10\n"
                                             "web|1|http://example.com/|10\n"
                                             "far|1|merge/far/f.htm|10\n");
}
} // namespace
