#include "SitemapTestUtil.h"
#include "TestUtil.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace
{
/// Converts a compiled fixture with the host into a fresh folder; returns the host's exit status.
int ConvertWithHost(const std::string& strCHM, const CTempDir& out, const std::string& strOptions = "")
{
    const SCommandResult res = RunCommand(ShellQuote(HostProgram()) + " convert " + ShellQuote(strCHM) +
                                          " -q -o " + ShellQuote(out.Path()) + " " + strOptions);
    EXPECT_EQ(res.nExit, 0) << res.strOutput;
    return res.nExit;
}

std::string Fixture(const std::string& strPath)
{
    return ReadFileBytes(std::string(WEBHELP_FIXTURES_DIR) + "/" + strPath);
}

TEST(SitemapFixturesTest, WorkedExamplesFromACompiledFile)
{
    CTempDir out;
    ASSERT_EQ(ConvertWithHost(ChmFixture("sitemap_example", "example"), out), 0);
    EXPECT_EQ(ReadFileBytes(out / "whfiles/contentsdata.js"), kContentsExampleScript);
    EXPECT_EQ(ReadFileBytes(out / "whfiles/indexdata.js"), kIndexExampleScript);
}

TEST(SitemapFixturesTest, MergedContentsTakeTheMergeEntrysPlaceAndTheirPagesAreUnpacked)
{
    CTempDir out;
    ASSERT_EQ(ConvertWithHost(ChmFixture("sitemap_merge", "main"), out), 0);
    // B.chm's entries at the merge entry's depth; its merge entry back into main.chm is a cycle
    // and yields nothing; the missing file leaves nothing.
    EXPECT_EQ(ReadFileBytes(out / "whfiles/contentsdata.js"),
              "var ContentItems = [\r\n"
              "\t[\"Main Intro\", \"source/intro.htm\", \"1\",\r\n"
              "\t\t[\"B One\", \"source/merge/b/p.htm\", \"1\",\r\n"
              "\t\t\t[\"B Two\", \"source/merge/b/sub/q.htm\", \"11\"]\r\n"
              "\t\t],\r\n"
              "\t\t[\"Other A\", \"source/merge/other/Html/A.htm\", \"11\"]\r\n"
              "\t],\r\n"
              "\t[\"End\", \"source/end.htm\", \"11\"]\r\n"
              "];\r\n"
              "\r\n"
              "var gInitURL = \"source/intro.htm\"");
    EXPECT_EQ(ReadFileBytes(out / "whfiles/indexdata.js"),
              "var IndexItems = [\r\n"
              "[\"intro\", \"source/intro.htm\"],\r\n"
              "[\"other page\", \"source/merge/other/Html/A.htm\"],\r\n"
              "[\"start\", \"@@@intro\"]];\r\n"
              "\r\n");

    EXPECT_EQ(ReadFileBytes(out / "source/merge/b/p.htm"), Fixture("sitemap_merge/p.htm"));
    EXPECT_EQ(ReadFileBytes(out / "source/merge/b/sub/q.htm"), Fixture("sitemap_merge/sub/q.htm"));
    EXPECT_EQ(ReadFileBytes(out / "source/merge/other/Html/A.htm"), Fixture("sitemap_merge/Html/A.htm"));
    std::vector<std::string> vecMerge = ListFiles(out / "source/merge");
    vecMerge.erase(std::remove_if(vecMerge.begin(), vecMerge.end(),
                                  [](const std::string& s) { return s.find(".htm") == std::string::npos; }),
                   vecMerge.end());
    EXPECT_EQ(vecMerge, (std::vector<std::string>{"b/p.htm", "b/sub/q.htm", "other/Html/A.htm"}));
}

TEST(SitemapFixturesTest, TitlesReadBackInTheSitesCodePage)
{
    struct SCase
    {
        const char* pszCharset;
        const char* pszEncoding;
    };
    // 表 is 0x95 0x5C in Shift-JIS: its trail byte must not be escaped.
    const SCase aCases[] = {{"shift-jis", "shift_jis"}, {"gb2312", "gbk"}, {"utf-8", "utf-8"}};
    for (const SCase& c : aCases)
    {
        SCOPED_TRACE(c.pszCharset);
        CTempDir out;
        ASSERT_EQ(ConvertWithHost(ChmFixture("sitemap_edges", "edges"), out,
                                  std::string("--charset ") + c.pszCharset),
                  0);
        EXPECT_EQ(NodeEvalScript(out / "whfiles/contentsdata.js", c.pszEncoding, "[ContentItems, gInitURL]"),
                  "[[[\"Say 'hi'\",\"source/a.htm\",\"5\"],[\"C:\\\\temp\\\\ path\",\"source/b.htm\",\"1\","
                  "[\"\u8868\u793A & \u4E2D\",\"source/c.htm\",\"11\"]]],\"source/a.htm\"]");
        EXPECT_EQ(NodeEvalScript(out / "whfiles/indexdata.js", c.pszEncoding, "IndexItems"),
                  "[[\" \u8868\",\"source/c.htm\"],[\"  quote 'q' back\\\\slash\",\"\"],[\"   Page "
                  "A\",\"source/a.htm\"],"
                  "[\"   Page D\",\"source/d.htm\"],[\" elsewhere\",\"@@@\u8868\"]]");
    }
}
} // namespace
