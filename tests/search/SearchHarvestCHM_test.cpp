#include "CCodePage.h"
#include "CWebHelpHelper.h"
#include "CXML.h"
#include "TestUtil.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

namespace
{
constexpr int kRowGBK = 8;
constexpr int kRowUTF8 = 31;

struct CHarvestTestHelper : CWebHelpHelper
{
    using CWebHelpHelper::CHM2Web_ReadSearchDataFromCHMNode;
};

using CSortedKeywords = std::map<std::string, std::vector<uint32_t>>;

class CSearchHarvestCHMTest : public ::testing::Test
{
protected:
    void TearDown() override { g_WebHelpSettings.nCharset = 0; }
};

CXML* AddEntry(CXML* pParent, int nType, const std::string& strLocal)
{
    CXML* pNode = pParent->AddChild("Entry", "");
    pNode->SetAttr("Type", nType);
    pNode->SetAttr("Local", strLocal);
    return pNode;
}

TEST_F(CSearchHarvestCHMTest, WorkedExampleFromACompiledFile)
{
    g_WebHelpSettings.nCharset = 34;
    CWebHelpHelper helper;
    ASSERT_TRUE(helper.m_CHMFile.CHM_SetCHMFile(ChmFixture("search_example", "example")));
    CXML storage;
    storage.SetTagName("CHMInfo");
    ASSERT_NE(helper.m_CHMFile.CHM_ReadAllStorageInfoToXML(&storage), 0);
    // The compiler adds a note of its own to every archive; the example has the two pages only.
    for (int i = storage.GetChildCount() - 1; i >= 0; --i)
    {
        CXML* pChild = storage.GetChildAt(i);
        if (pChild->GetAttr("Local") == "/_#_README_#_" && storage.RemoveChild(pChild))
            delete pChild;
    }
    helper.m_strSourceDir = "source";
    helper.CHM2Web_ReadSearchDataFromCHMFile(&storage);
    EXPECT_EQ(helper.m_arrSearchFiles, (std::vector<std::string>{"html/intro.htm", "html/setup.htm"}));
    EXPECT_EQ(helper.m_arrSearchTitles, (std::vector<std::string>{"Getting Started", "setup"}));
    EXPECT_EQ(CSortedKeywords(helper.m_mapSearchKeywords.begin(), helper.m_mapSearchKeywords.end()),
              (CSortedKeywords{{"0", {0}},
                               {"2", {0}},
                               {"click", {0}},
                               {"setup", {1}},
                               {"start", {0, 1}},
                               {"the", {1}},
                               {"to", {0}},
                               {"version", {0}},
                               {"welcome", {0}}}));
    CTempDir dir;
    helper.WriteSearchDataToFile(dir / "searchdata.js");
    std::string strFile = ReadFileBytes(dir / "searchdata.js");
    EXPECT_EQ(strFile.substr(0, strFile.find("var SearchIndexes")),
              "var SearchFiles = [\r\n\"source/html/intro.htm\",\r\n\"source/html/setup.htm\"];\r\n\r\n"
              "var SearchTitles = [\r\n\"Getting Started\",\r\n\"setup\"];\r\n\r\n");
}

TEST_F(CSearchHarvestCHMTest, StorageTreeIsWalkedDepthFirst)
{
    g_WebHelpSettings.nCharset = kRowGBK;
    CHarvestTestHelper helper;
    ASSERT_TRUE(helper.m_CHMFile.CHM_SetCHMFile(ChmFixture("search_gbk", "gbk")));
    CXML root;
    CXML* pA = AddEntry(&root, 0, "/a/");
    CXML* pB = AddEntry(pA, 0, "/a/b/");
    AddEntry(pB, 3, "/a/b/deep.htm");
    AddEntry(pA, 3, "/a/missing.htm"); // no such stream: no entry, no number
    CXML* pOther = AddEntry(&root, 1, "/x/");
    AddEntry(pOther, 3, "/zh/chinese.htm"); // below a type that is neither folder nor file
    AddEntry(&root, 3, "/zh/chinese.htm");
    AddEntry(&root, 2, "/zh/chinese.htm");
    helper.CHM2Web_ReadSearchDataFromCHMFile(&root);
    EXPECT_EQ(helper.m_arrSearchFiles, (std::vector<std::string>{"a/b/deep.htm", "zh/chinese.htm"}));
    EXPECT_EQ(helper.m_nSearchFileCount, 2);
    EXPECT_EQ(helper.m_mapSearchKeywords.at("nested"), std::vector<uint32_t>{0});
    EXPECT_EQ(helper.m_mapSearchKeywords.at("search"), std::vector<uint32_t>{1});

    // A folder nested far deeper than any call stack could follow.
    CXML deepRoot;
    CXML* pNode = &deepRoot;
    for (int i = 0; i < 200000; ++i)
        pNode = AddEntry(pNode, 0, "/d/");
    AddEntry(pNode, 3, "/zh/chinese.htm");
    helper.CHM2Web_ReadSearchDataFromCHMFile(&deepRoot);
    EXPECT_EQ(helper.m_arrSearchFiles, std::vector<std::string>{"zh/chinese.htm"});
}

/// searchdata.js of a conversion of the GBK fixture with the given extra options.
std::string ConvertGBK(const CTempDir& dir, const std::string& strOptions)
{
    SCommandResult res =
        RunCommand(ShellQuote(HostProgram()) + " convert " + ShellQuote(ChmFixture("search_gbk", "gbk")) +
                   " -q -o " + ShellQuote(dir / "site") + " " + strOptions + " 2>&1");
    EXPECT_EQ(res.nExit, 0) << res.strOutput;
    return ReadFileBytes(dir / "site/whfiles/searchdata.js");
}

/// Number of the page listed as strEntry in a searchdata.js, or -1.
int PageNumber(const std::string& strFile, const std::string& strEntry)
{
    size_t nEnd = strFile.find("];");
    std::string strFiles = strFile.substr(0, nEnd);
    size_t nPos = strFiles.find("\"" + strEntry + "\"");
    if (nPos == std::string::npos)
        return -1;
    return static_cast<int>(
               std::count(strFiles.begin(), strFiles.begin() + static_cast<ptrdiff_t>(nPos), '\n')) -
           1;
}

/// Page list of a keyword in a searchdata.js ("" when it is missing).
std::string KeywordList(const std::string& strFile, const std::string& strKeyword)
{
    std::string strKey = "[\"" + strKeyword + "\",[";
    size_t nPos = strFile.find(strKey);
    if (nPos == std::string::npos)
        return std::string();
    nPos += strKey.size();
    return strFile.substr(nPos, strFile.find(']', nPos) - nPos);
}

TEST_F(CSearchHarvestCHMTest, ChineseTopicIsSearchableByItsKeywords)
{
    CTempDir dir;
    std::string strFile = ConvertGBK(dir, "");
    int nPage = PageNumber(strFile, "source/zh/chinese.htm");
    ASSERT_GE(nPage, 0) << strFile;
    const std::string strPage = std::to_string(nPage);
    EXPECT_EQ(KeywordList(strFile, "\xCB\xD1\xCB\xF7"), strPage); // search
    EXPECT_EQ(KeywordList(strFile, "\xD6\xD0\xCE\xC4"), strPage); // Chinese
    EXPECT_EQ(KeywordList(strFile, "search"), strPage);
    // Full-width "Text", lowered in GBK.
    EXPECT_EQ(KeywordList(strFile, "\xA3\xF4\xA3\xE5\xA3\xF8\xA3\xF4"), strPage);
    EXPECT_NE(strFile.find("\"\xD6\xD0\xCE\xC4\xB0\xEF\xD6\xFA\""), std::string::npos); // the title
}

TEST_F(CSearchHarvestCHMTest, UTF8SiteOfAGBKFileHoldsOnlyValidUTF8)
{
    CTempDir dir;
    std::string strFile = ConvertGBK(dir, "--charset utf-8");
    ASSERT_FALSE(strFile.empty());
    CCodePage cp(kRowUTF8);
    EXPECT_EQ(cp.FromWide(cp.ToWide(strFile)), strFile);
    EXPECT_NE(KeywordList(strFile, "nested"), "");
}
} // namespace
