#include "SitemapTestUtil.h"
#include "TestUtil.h"

#include <gtest/gtest.h>

namespace
{
struct CIndexScriptTestHelper : CWebHelpHelper
{
    using CWebHelpHelper::AddSpace_Space;
    using CWebHelpHelper::CHM2Web_CreateIndexScriptFile;
};

struct STopic
{
    const char* pszName;
    int nX;
    const char* pszLocal; ///< null: no Local
};

class CIndexScriptTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        g_WebHelpSettings.nCharset = 31; // utf-8
        m_helper.m_strSourceDir = "source";
    }

    std::string Write(std::initializer_list<STopic> topics)
    {
        auto pRoot = NewRoot("HHK");
        CXML* pSiteMap = pRoot->AddChild("SiteMap", std::string());
        for (const STopic& t : topics)
        {
            CXML* p = pSiteMap->AddChild("Topic", std::string());
            p->SetAttr("Name", std::string(t.pszName));
            p->SetAttr("XPosition", t.nX);
            if (t.pszLocal != nullptr)
                p->SetAttr("Local", std::string(t.pszLocal));
        }
        m_helper.CHM2Web_CreateIndexScriptFile(pRoot.get(), Path());
        return ReadFileBytes(Path());
    }

    std::string Path() const { return m_dir / "indexdata.js"; }
    std::string Eval() const { return NodeEvalScript(Path(), "utf-8", "IndexItems"); }

    CTempDir m_dir;
    CIndexScriptTestHelper m_helper;
};

TEST_F(CIndexScriptTest, WorkedExampleByteForByte)
{
    const std::string strScript = Write({{"fonts", 0, "fonts.htm"},
                                         {"size", 1, "size.htm"},
                                         {"typefaces", 0, nullptr},
                                         {"printing", 0, nullptr},
                                         {"Print a page", 1, "print.htm"},
                                         {"Print setup", 1, "setup.htm"}});
    EXPECT_EQ(strScript, kIndexExampleScript);
    EXPECT_EQ(Eval(),
              "[[\"fonts\",\"source/fonts.htm\"],[\" size\",\"source/size.htm\"],[\"typefaces\",\"\"],"
              "[\"printing\",\"\"],[\" Print a page\",\"source/print.htm\"],[\" Print "
              "setup\",\"source/setup.htm\"]]");
}

TEST_F(CIndexScriptTest, RecordsAtTheEdges)
{
    struct SCase
    {
        const char* pszWhat;
        std::initializer_list<STopic> topics;
        const char* pszRecords;
    };
    const SCase aCases[] = {
        {"an empty site map", {}, ""},
        {"one Topic ends its line with the closing text", {{"k", 0, "k.htm"}}, "[\"k\", \"source/k.htm\"]"},
        {"a title entry at level 3 gets three blanks", {{"t", 3, "t.htm"}}, "[\"   t\", \"source/t.htm\"]"},
        {"a negative level gets none", {{"t", -2, nullptr}}, "[\"t\", \"\"]"},
        {"an absolute address is still prefixed", {{"a", 0, "C:\\a.htm"}}, "[\"a\", \"source/C:\\\\a.htm\"]"},
        {"quotes become apostrophes in titles and are escaped in addresses",
         {{"say \"x\"", 0, "q\"q.htm"}},
         "[\"say 'x'\", \"source/q\\\"q.htm\"]"},
        {"backslashes and line breaks are escaped", {{"a\\b\nc", 0, nullptr}}, "[\"a\\\\b\\nc\", \"\"]"},
        {"a cross-reference is not prefixed and reads like the keyword it names",
         {{"faces", 0, "@@@the \"fonts\""}},
         "[\"faces\", \"@@@the 'fonts'\"]"},
        {"a page named again keeps its address, and an entry after a cross-reference or a page has none of "
         "theirs",
         {{"a", 0, "x.htm"},
          {"b", 0, "@@@a"},
          {"c", 0, nullptr},
          {"d", 0, "y.htm"},
          {"e", 0, "x.htm"},
          {"f", 0, nullptr},
          {"g", 0, "X.htm"}},
         "[\"a\", \"source/x.htm\"],\r\n[\"b\", \"@@@a\"],\r\n[\"c\", \"\"],\r\n[\"d\", "
         "\"source/y.htm\"],\r\n"
         "[\"e\", \"source/x.htm\"],\r\n[\"f\", \"\"],\r\n[\"g\", \"source/X.htm\"]"},
    };
    for (const SCase& c : aCases)
    {
        SCOPED_TRACE(c.pszWhat);
        EXPECT_EQ(Write(c.topics), std::string("var IndexItems = [\r\n") + c.pszRecords + "];\r\n\r\n");
        EXPECT_EQ(Eval().compare(0, 1, "["), 0) << Eval();
    }
}

TEST_F(CIndexScriptTest, WithoutSiteMapTheListIsEmpty)
{
    auto pRoot = NewRoot("HHK");
    m_helper.CHM2Web_CreateIndexScriptFile(pRoot.get(), Path());
    EXPECT_EQ(ReadFileBytes(Path()), "var IndexItems = [\r\n];\r\n\r\n");
    m_helper.CHM2Web_CreateIndexScriptFile(pRoot.get(), m_dir / "missing/indexdata.js");
    EXPECT_FALSE(FileExists(m_dir / "missing/indexdata.js"));
}

TEST_F(CIndexScriptTest, AddSpaceSpacePrefixesBlanks)
{
    for (int n : {-3, 0, 2})
    {
        std::string str = "x";
        m_helper.AddSpace_Space(n, str);
        EXPECT_EQ(str, std::string(static_cast<size_t>(std::max(n, 0)), ' ') + "x");
    }
}
} // namespace
