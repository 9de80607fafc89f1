#include "SitemapTestUtil.h"
#include "TestUtil.h"

#include <gtest/gtest.h>

namespace
{
struct CContentsScriptTestHelper : CWebHelpHelper
{
    using CWebHelpHelper::AddSpace_Tab;
    using CWebHelpHelper::CHM2Web_CreateContentsScriptFile;
};

struct STopic
{
    const char* pszName;
    int nX;
    const char* pszLocal; ///< null: no Local
    int nImage;
};

class CContentsScriptTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        g_WebHelpSettings.nCharset = 31; // utf-8
        m_helper.m_strSourceDir = "source";
    }

    /// Writes the script of these Topics and returns its bytes.
    std::string Write(std::initializer_list<STopic> topics)
    {
        auto pRoot = NewRoot("HHC");
        pRoot->AddChild("SiteProperties", std::string());
        CXML* pSiteMap = pRoot->AddChild("SiteMap", std::string());
        for (const STopic& t : topics)
        {
            CXML* p = pSiteMap->AddChild("Topic", std::string());
            p->SetAttr("Name", std::string(t.pszName));
            p->SetAttr("XPosition", t.nX);
            if (t.pszLocal != nullptr)
                p->SetAttr("Local", std::string(t.pszLocal));
            p->SetAttr("ImageNumber", t.nImage);
        }
        m_helper.CHM2Web_CreateContentsScriptFile(pRoot.get(), Path());
        return ReadFileBytes(Path());
    }

    std::string Path() const { return m_dir / "contentsdata.js"; }

    /// ContentItems and gInitURL as node sees them, decoded with the given encoding.
    std::string Eval(const char* pszEncoding = "utf-8") const
    {
        return NodeEvalScript(Path(), pszEncoding, "[ContentItems, gInitURL]");
    }

    CTempDir m_dir;
    CContentsScriptTestHelper m_helper;
};

TEST_F(CContentsScriptTest, WorkedExampleByteForByte)
{
    const std::string strScript = Write({{"Getting Started", 0, "start.htm", 0},
                                         {"Install", 1, "install.htm", 10},
                                         {"Notes", 1, nullptr, 10},
                                         {"Reference", 0, "ref.htm", 10}});
    EXPECT_EQ(strScript, kContentsExampleScript);
    EXPECT_EQ(m_helper.m_mapContentsImages, (std::set<uint16_t>{0, 10}));
    EXPECT_EQ(Eval(),
              "[[[\"Getting Started\",\"source/start.htm\",\"1\",[\"Install\",\"source/install.htm\",\"11\"],"
              "[\"Notes\",null,\"11\"]],[\"Reference\",\"source/ref.htm\",\"11\"]],\"source/start.htm\"]");
}

TEST_F(CContentsScriptTest, ShapesAtTheEdges)
{
    struct SCase
    {
        const char* pszWhat;
        std::initializer_list<STopic> topics;
        const char* pszItems; ///< the bytes between the header and "];"
        const char* pszInitURL;
    };
    const SCase aCases[] = {
        {"an empty site map", {}, "", ""},
        {"one page without address", {{"only", 0, nullptr, -1}}, "\t[\"only\", null, \"11\"]\r\n", ""},
        {"a last Topic at depth 2 closes three levels",
         {{"a", 0, nullptr, 0}, {"b", 1, nullptr, 0}, {"c", 2, "c.htm", 10}},
         "\t[\"a\", null, \"1\",\r\n\t\t[\"b\", null, \"1\",\r\n\t\t\t[\"c\", \"source/c.htm\", \"11\"]\r\n"
         "\t\t]\r\n\t]\r\n",
         "source/c.htm"},
        {"local and network addresses keep their form, also as the first page",
         {{"a", 0, "C:\\help\\a.htm", 10}, {"b", 0, "http://x/b.htm", 10}, {"c", 0, "\\\\srv\\c.htm", 10}},
         "\t[\"a\", \"C:\\\\help\\\\a.htm\", \"11\"],\r\n\t[\"b\", \"http://x/b.htm\", \"11\"],\r\n"
         "\t[\"c\", \"\\\\\\\\srv\\\\c.htm\", \"11\"]\r\n",
         "C:\\\\help\\\\a.htm"},
        {"the first Topic with an address decides the first page, however deep",
         {{"a", 0, nullptr, 0}, {"b", 1, "b.htm", 10}, {"c", 0, "c.htm", 10}},
         "\t[\"a\", null, \"1\",\r\n\t\t[\"b\", \"source/b.htm\", \"11\"]\r\n\t],\r\n"
         "\t[\"c\", \"source/c.htm\", \"11\"]\r\n",
         "source/b.htm"},
        {"quotes in titles become apostrophes, in addresses they are escaped",
         {{"say \"hi\"", 0, "a\"b.htm", 10}},
         "\t[\"say 'hi'\", \"source/a\\\"b.htm\", \"11\"]\r\n",
         "source/a\\\"b.htm"},
        {"backslashes and line breaks are escaped",
         {{"back\\slash\r\nline", 0, "dir\\a.htm", 10}},
         "\t[\"back\\\\slash\\r\\nline\", \"source/dir\\\\a.htm\", \"11\"]\r\n",
         "source/dir\\\\a.htm"},
    };
    for (const SCase& c : aCases)
    {
        SCOPED_TRACE(c.pszWhat);
        EXPECT_EQ(Write(c.topics), std::string("var ContentItems = [\r\n") + c.pszItems +
                                       "];\r\n\r\nvar gInitURL = \"" + c.pszInitURL + "\"");
        EXPECT_EQ(Eval().compare(0, 2, "[["), 0) << Eval();
    }
}

TEST_F(CContentsScriptTest, TitlesWithQuotesAndBackslashesReadBackInNode)
{
    Write({{"a \"quoted\" title", 0, "x.htm", 10}, {"C:\\path\\", 0, "y\\z.htm", 10}});
    EXPECT_EQ(
        Eval(),
        "[[[\"a 'quoted' title\",\"source/x.htm\",\"11\"],[\"C:\\\\path\\\\\",\"source/y\\\\z.htm\",\"11\"]],"
        "\"source/x.htm\"]");
}

TEST_F(CContentsScriptTest, DoubleByteTrailBytesAreNotEscaped)
{
    struct SCase
    {
        int nRow;
        const char* pszEncoding;
        const char* pszTitle; ///< a character whose trail byte is 0x5C, then a real backslash
        const char* pszUTF8;
    };
    const SCase aCases[] = {
        {27, "shift_jis", "\x95\x5C\\", "\u8868\\\\"}, // Shift-JIS: 表
        {5, "big5", "\xA5\x5C\\", "\u529F\\\\"},       // Big5: 功
        {8, "gbk", "\x81\x5C\\", "\u4E57\\\\"},        // GBK: 乗
    };
    for (const SCase& c : aCases)
    {
        SCOPED_TRACE(c.pszEncoding);
        g_WebHelpSettings.nCharset = c.nRow;
        const std::string strScript = Write({{c.pszTitle, 0, c.pszTitle, 10}});
        const std::string strTitleBytes = std::string(c.pszTitle, 2) + "\\\\";
        EXPECT_NE(strScript.find("[\"" + strTitleBytes + "\", \"source/" + strTitleBytes + "\""),
                  std::string::npos);
        EXPECT_EQ(Eval(c.pszEncoding), std::string("[[[\"") + c.pszUTF8 + "\",\"source/" + c.pszUTF8 +
                                           "\",\"11\"]],\"source/" + c.pszUTF8 + "\"]");
    }
}

TEST_F(CContentsScriptTest, ShiftedRunsOfAStatefulCodePageAreKept)
{
    // In ISO-2022-JP "\u203B" is ESC $ B 0x22 0x28 ESC ( B: its 0x22 is no quote.
    g_WebHelpSettings.nCharset = 13;
    const char* pszTitle = "\x1B$B\x22(\x1B(B\"\\";
    const std::string strScript = Write({{pszTitle, 0, nullptr, 10}});
    EXPECT_NE(strScript.find("[\"\x1B$B\x22(\x1B(B'\\\\\", null"), std::string::npos);
    EXPECT_EQ(Eval("iso-2022-jp"), "[[[\"\u203B'\\\\\",null,\"11\"]],\"\"]");
}

TEST_F(CContentsScriptTest, DepthsThatSkipLevelsStillBalance)
{
    // Starts at 2, then jumps from 0 to 3, then goes negative.
    Write({{"a", 2, nullptr, 0}, {"b", 0, nullptr, 0}, {"c", 3, nullptr, 10}, {"d", -4, nullptr, 10}});
    EXPECT_EQ(Eval(),
              "[[[\"a\",null,\"1\"],[\"b\",null,\"1\",[\"c\",null,\"11\"]],[\"d\",null,\"11\"]],\"\"]");
}

TEST_F(CContentsScriptTest, IconSetHoldsTheNumbersBeforeTheIncrement)
{
    m_helper.m_mapContentsImages = {33};
    Write({{"a", 0, nullptr, -1}, {"b", 0, nullptr, 4}, {"c", 0, nullptr, 0}, {"d", 0, nullptr, 4}});
    EXPECT_EQ(m_helper.m_mapContentsImages, (std::set<uint16_t>{0, 4, 10}));
}

TEST_F(CContentsScriptTest, WithoutSiteMapTheIconSetStaysAndTheListIsEmpty)
{
    m_helper.m_mapContentsImages = {3};
    auto pRoot = NewRoot("HHC");
    m_helper.CHM2Web_CreateContentsScriptFile(pRoot.get(), Path());
    EXPECT_EQ(ReadFileBytes(Path()), "var ContentItems = [\r\n];\r\n\r\nvar gInitURL = \"\"");
    EXPECT_EQ(m_helper.m_mapContentsImages, std::set<uint16_t>{3});
}

TEST_F(CContentsScriptTest, AFileThatCannotBeCreatedIsSkipped)
{
    m_helper.m_mapContentsImages = {3};
    auto pRoot = NewRoot("HHC");
    pRoot->AddChild("SiteMap", std::string())->AddChild("Topic", std::string())->SetAttr("ImageNumber", 1);
    m_helper.CHM2Web_CreateContentsScriptFile(pRoot.get(), m_dir / "missing/contentsdata.js");
    EXPECT_FALSE(FileExists(m_dir / "missing/contentsdata.js"));
    EXPECT_EQ(m_helper.m_mapContentsImages, std::set<uint16_t>{3});
}

TEST_F(CContentsScriptTest, AddSpaceTabPrefixesTabs)
{
    for (int n : {-1, 0, 3})
    {
        std::string str = "x";
        m_helper.AddSpace_Tab(n, str);
        EXPECT_EQ(str, std::string(static_cast<size_t>(std::max(n, 0)), '\t') + "x");
    }
}
} // namespace
