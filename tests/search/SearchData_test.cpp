#include "CWebHelpHelper.h"
#include "TestUtil.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

namespace
{
constexpr int kRowGBK = 8;
constexpr int kRowUTF8 = 31;
constexpr int kRow1252 = 34;
constexpr int kRowISO2022JP = 13;

struct CSearchDataTestHelper : CWebHelpHelper
{
    using CWebHelpHelper::AddSearchKeywordToMap;
    using CWebHelpHelper::GetSiteCodePage;
};

class CSearchDataTest : public ::testing::Test
{
protected:
    void SetUp() override { g_WebHelpSettings.nCharset = kRow1252; }
    void TearDown() override { g_WebHelpSettings.nCharset = 0; }

    std::string Write(CWebHelpHelper& helper)
    {
        std::string strPath = m_dir / "searchdata.js";
        helper.WriteSearchDataToFile(strPath);
        return ReadFileBytes(strPath);
    }

    /// Harvests the named pages of the temp folder.
    void Harvest(CWebHelpHelper& helper, const std::vector<std::string>& vecNames)
    {
        std::vector<std::string> vecPaths;
        for (const std::string& strName : vecNames)
            vecPaths.push_back(strName.empty() ? strName : m_dir / strName);
        helper.ReadSearchDataFromFiles(&vecPaths);
    }

    CTempDir m_dir;
};

const char* const kEmptyFile = "var SearchFiles = [\r\n];\r\n\r\n"
                               "var SearchTitles = [\r\n];\r\n\r\n"
                               "var SearchIndexes = [\r\n];\r\n";

TEST_F(CSearchDataTest, WorkedExampleGivesTheDocumentedLines)
{
    WriteFileBytes(m_dir / "intro.htm", "<html><head><title>Getting Started</title></head><body>"
                                        "<p>Welcome to Version 2.0!</p><p>Click Start.</p></body></html>");
    WriteFileBytes(m_dir / "setup.htm", "<html><body>Start the setup.</body></html>");
    CWebHelpHelper helper;
    Harvest(helper, {"intro.htm", "setup.htm"});
    helper.m_strSourceDir = "source/html";
    EXPECT_EQ(helper.m_nSearchFileCount, 2);
    EXPECT_EQ(Write(helper), "var SearchFiles = [\r\n"
                             "\"source/html/intro.htm\",\r\n"
                             "\"source/html/setup.htm\"];\r\n"
                             "\r\n"
                             "var SearchTitles = [\r\n"
                             "\"Getting Started\",\r\n"
                             "\"setup\"];\r\n"
                             "\r\n"
                             "var SearchIndexes = [\r\n"
                             "[\"0\",[0]],\r\n"
                             "[\"2\",[0]],\r\n"
                             "[\"click\",[0]],\r\n"
                             "[\"setup\",[1]],\r\n"
                             "[\"start\",[0,1]],\r\n"
                             "[\"the\",[1]],\r\n"
                             "[\"to\",[0]],\r\n"
                             "[\"version\",[0]],\r\n"
                             "[\"welcome\",[0]]\r\n"
                             "];\r\n");
}

TEST_F(CSearchDataTest, NoPagesGivesThe82ByteFile)
{
    CWebHelpHelper helper;
    std::string strFile = Write(helper);
    EXPECT_EQ(strFile, kEmptyFile);
    EXPECT_EQ(strFile.size(), 82u);
}

TEST_F(CSearchDataTest, OnePageOneKeywordAndLongerLists)
{
    CSearchDataTestHelper helper;
    helper.m_arrSearchFiles = {"a.htm"};
    helper.m_arrSearchTitles = {"A"};
    helper.AddSearchKeywordToMap("only", 0);
    EXPECT_EQ(Write(helper), "var SearchFiles = [\r\n\"/a.htm\"];\r\n\r\n"
                             "var SearchTitles = [\r\n\"A\"];\r\n\r\n"
                             "var SearchIndexes = [\r\n[\"only\",[0]]\r\n];\r\n");
    for (int n : {3, 12})
        helper.AddSearchKeywordToMap("only", n);
    EXPECT_NE(Write(helper).find("[\"only\",[0,3,12]]\r\n];"), std::string::npos);
}

// The keywords are sorted by their bytes whatever their first eight bytes share, and lists of any
// length are written whole, also where the text is handed to the file in pieces.
TEST_F(CSearchDataTest, KeywordsAreInByteOrderAndListsWhole)
{
    CSearchDataTestHelper helper;
    std::map<std::string, std::vector<uint32_t>> mapExpected;
    auto Add = [&](const std::string& strKeyword, uint32_t nFile)
    {
        helper.m_mapSearchKeywords[strKeyword].push_back(nFile);
        mapExpected[strKeyword].push_back(nFile);
    };
    const std::string aKeywords[] = {"abcdefgh",   "abcdefghi",   std::string("abcdefgh\0", 9),
                                     "abcdefgg~",  "ab",          std::string("ab\0", 3),
                                     "a",          "abcdefgha",   "\xE9t\xE9",
                                     "\xE9",       "zzzzzzzzzz",  "zzzzzzzzz\xFF",
                                     "abcdefghij", "abcdefgh\x80"};
    for (size_t i = 0; i < std::size(aKeywords); ++i)
        Add(aKeywords[i], static_cast<uint32_t>(i));
    // Enough numbers, some of ten digits, to fill the writer's buffer several times over.
    for (uint32_t n = 0; n < 3000; ++n)
    {
        const std::string strKeyword = "word" + std::to_string(n * 7919 % 3000);
        for (uint32_t k = 0; k < 40; ++k)
            Add(strKeyword, k % 3 == 0 ? 4000000000u + n : n * 40 + k);
    }
    std::string strExpected = "var SearchIndexes = [\r\n";
    size_t nLeft = mapExpected.size();
    for (const auto& [strKeyword, vecFiles] : mapExpected)
    {
        strExpected += "[\"" + strKeyword + "\",[";
        for (size_t j = 0; j < vecFiles.size(); ++j)
            strExpected += (j > 0 ? "," : "") + std::to_string(vecFiles[j]);
        strExpected += --nLeft > 0 ? "]],\r\n" : "]]\r\n";
    }
    strExpected += "];\r\n";
    const std::string strFile = Write(helper);
    const size_t nKeywords = strFile.find("var SearchIndexes");
    ASSERT_NE(nKeywords, std::string::npos);
    EXPECT_TRUE(strFile.compare(nKeywords, std::string::npos, strExpected) == 0);
}

TEST_F(CSearchDataTest, TextsStayValidScriptStrings)
{
    struct SCase
    {
        int nRow;
        std::string strTitle;
        std::string strFile;
        std::string strWritten; // title, then file entry
    };
    const SCase aCases[] = {
        {kRow1252, "Say \"hi\"", "q\"uote.htm", "\"Say 'hi'\",\r\n\"s/q%22uote.htm\""},
        {kRow1252, "C:\\dir\r\nnext", "a.htm", "\"C:\\\\dir\\r\\nnext\",\r\n\"s/a.htm\""},
        // The second byte of this GBK character is "\": escaping it would break the character.
        {kRowGBK, "\x81\x5C and \\", "\x95\x5C.htm", "\"\x81\x5C and \\\\\",\r\n\"s/\x95\x5C.htm\""},
        {kRowUTF8, "line\xE2\x80\xA8sep", "a.htm", "\"line\\u2028sep\",\r\n\"s/a.htm\""},
        // Inside a shifted run of a stateful code page '"' and '\\' are halves of characters.
        {kRowISO2022JP, "\x1B$B\x24\x22\x30\x5C\x1B(B \"x\"", "a.htm",
         "\"\x1B$B\x24\x22\x30\x5C\x1B(B 'x'\",\r\n\"s/a.htm\""},
    };
    for (const SCase& c : aCases)
    {
        SCOPED_TRACE(c.strTitle);
        g_WebHelpSettings.nCharset = c.nRow;
        CWebHelpHelper helper;
        helper.m_strSourceDir = "s";
        helper.m_arrSearchTitles = {c.strTitle};
        helper.m_arrSearchFiles = {c.strFile};
        std::string strFile = Write(helper);
        size_t nTitle = strFile.find("var SearchTitles = [\r\n") + 22;
        size_t nFile = strFile.find("var SearchFiles = [\r\n") + 21;
        EXPECT_EQ(strFile.substr(nTitle, strFile.find("];", nTitle) - nTitle) + ",\r\n" +
                      strFile.substr(nFile, strFile.find("];", nFile) - nFile),
                  c.strWritten);
    }
}

TEST_F(CSearchDataTest, OverwritesAndLeavesDataAsItWas)
{
    std::string strPath = m_dir / "searchdata.js";
    WriteFileBytes(strPath, std::string(500, 'x'));
    CSearchDataTestHelper helper;
    helper.AddSearchKeywordToMap("k", 0);
    helper.m_arrSearchFiles = {"a"};
    helper.m_arrSearchTitles = {"a"};
    helper.WriteSearchDataToFile(strPath);
    std::string strFirst = ReadFileBytes(strPath);
    EXPECT_EQ(strFirst.substr(0, 4), "var ");
    EXPECT_EQ(strFirst.find("xx"), std::string::npos);
    helper.WriteSearchDataToFile(strPath);
    EXPECT_EQ(ReadFileBytes(strPath), strFirst);

    helper.WriteSearchDataToFile(m_dir / "no/such/folder/searchdata.js");
    EXPECT_FALSE(FileExists(m_dir / "no/such/folder/searchdata.js"));
    EXPECT_EQ(helper.m_arrSearchFiles.size(), 1u);
    EXPECT_EQ(helper.m_mapSearchKeywords.size(), 1u);
}

TEST_F(CSearchDataTest, FileListHarvestGivesEntriesTitlesAndNumbers)
{
    using namespace std::string_literals;
    WriteFileBytes(m_dir / "spaces.htm", "<title>   </title><p>alpha</p>");
    WriteFileBytes(m_dir / "empty.htm", "");
    WriteFileBytes(m_dir / "one/same.htm", "<title>One</title>beta");
    WriteFileBytes(m_dir / "two/same.htm", "<title>Two</title>beta gamma");
    WriteFileBytes(m_dir / "utf16.htm",
                   "\xFF\xFE<\0t\0i\0t\0l\0e\0>\0W\0<\0/\0t\0i\0t\0l\0e\0>\0D\0e\0l\0t\0a\0!"s);
    WriteFileBytes(m_dir / "image.gif", "GIF89a\x01\0\x01\0junk"s);
    CWebHelpHelper helper;
    Harvest(helper, {"spaces.htm", "", "empty.htm", "missing.htm", "one/same.htm", "two/same.htm",
                     "utf16.htm", "image.gif"});
    EXPECT_EQ(helper.m_nSearchFileCount, 7);
    EXPECT_EQ(helper.m_arrSearchFiles,
              (std::vector<std::string>{"spaces.htm", "empty.htm", "missing.htm", "same.htm", "same.htm",
                                        "utf16.htm", "image.gif"}));
    EXPECT_EQ(helper.m_arrSearchTitles,
              (std::vector<std::string>{"spaces", "empty", "missing", "One", "Two", "W", "image"}));
    const std::map<std::string, std::vector<uint32_t>> mapExpected = {
        {"alpha", {0}}, {"beta", {3, 4}}, {"gamma", {4}}, {"delta", {5}}, {"gif89a", {6}}};
    const std::map<std::string, std::vector<uint32_t>> mapFound(helper.m_mapSearchKeywords.begin(),
                                                                helper.m_mapSearchKeywords.end());
    EXPECT_EQ(mapFound, mapExpected);

    // A second harvest replaces the first.
    Harvest(helper, {"two/same.htm"});
    EXPECT_EQ(helper.m_nSearchFileCount, 1);
    EXPECT_EQ(helper.m_arrSearchTitles, std::vector<std::string>{"Two"});
    EXPECT_EQ(helper.m_mapSearchKeywords.size(), 2u);
}

TEST_F(CSearchDataTest, FileNamesAreWrittenInTheSiteCodePageWithoutLoss)
{
    // "中" names a page without a title; GBK has it, windows-1252 has not: there it is escaped.
    WriteFileBytes(m_dir / "\xE4\xB8\xAD.htm", "x");
    struct SCase
    {
        int nRow;
        const char* pszWritten; // file entry, then title
    };
    const SCase aCases[] = {{kRowGBK, "\"s/\xD6\xD0.htm\"\"\xD6\xD0\""},
                            {kRowUTF8, "\"s/\xE4\xB8\xAD.htm\"\"\xE4\xB8\xAD\""},
                            {kRow1252, "\"s/\\u4E2D.htm\"\"\\u4E2D\""}};
    for (const SCase& c : aCases)
    {
        SCOPED_TRACE(c.nRow);
        g_WebHelpSettings.nCharset = c.nRow;
        CWebHelpHelper helper;
        Harvest(helper, {"\xE4\xB8\xAD.htm"});
        ASSERT_EQ(helper.m_nSearchFileCount, 1);
        helper.m_strSourceDir = "s";
        const std::string strFile = Write(helper);
        const size_t nFile = strFile.find("var SearchFiles = [\r\n") + 21;
        const size_t nTitle = strFile.find("var SearchTitles = [\r\n") + 22;
        EXPECT_EQ(strFile.substr(nFile, strFile.find("];", nFile) - nFile) +
                      strFile.substr(nTitle, strFile.find("];", nTitle) - nTitle),
                  c.pszWritten);
    }
}

TEST_F(CSearchDataTest, PageLowerCasedInTheCodePageBeforeSplitting)
{
    struct SCase
    {
        int nRow;
        std::string strPage;
        std::vector<std::string> vecKeywords;
    };
    const SCase aCases[] = {
        {kRow1252, "CAF\xC9 Hello", {"caf", "hello", "\xE9"}},
        {kRowUTF8, "CAF\xC3\x89 \xCE\xA3\xCE\xA9", {"caf", "\xC3\xA9", "\xCF\x83\xCF\x89"}},
        // Full-width A and Greek capitals are double-byte characters with lower-case forms in GBK.
        {kRowGBK, "\xA3\xC1\xA6\xA1", {"\xA3\xE1\xA6\xC1"}},
    };
    for (const SCase& c : aCases)
    {
        SCOPED_TRACE(c.strPage);
        g_WebHelpSettings.nCharset = c.nRow;
        WriteFileBytes(m_dir / "p.htm", c.strPage);
        CWebHelpHelper helper;
        Harvest(helper, {"p.htm"});
        std::vector<std::string> vecKeys;
        for (const auto& entry : helper.m_mapSearchKeywords)
            vecKeys.push_back(entry.first);
        std::sort(vecKeys.begin(), vecKeys.end());
        EXPECT_EQ(vecKeys, c.vecKeywords);
    }
}
} // namespace
