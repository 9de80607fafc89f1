#include "CSearchHarvest.h"

#include "CWebHelpHelper.h"
#include "CXML.h"
#include "TestUtil.h"

#include <gtest/gtest.h>

namespace
{
constexpr int kRowGBK = 8;

struct CHarvestStepsHelper : CWebHelpHelper
{
    using CWebHelpHelper::CHM2Web_ReadSearchDataFromCHMNode;
    using CWebHelpHelper::CHM2Web_ReadSearchDataFromFile;
    using CWebHelpHelper::ReadSearchDataFromFile;
};

class CSearchHarvestTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        g_WebHelpSettings.nCharset = kRowGBK;
        WriteFileBytes(m_dir / "a.htm", "<title>A</title><body>Alpha shared</body>");
        WriteFileBytes(m_dir / "b.htm", "<body>Beta SHARED \xD6\xD0\xCE\xC4</body>");
        WriteFileBytes(m_dir / "c.htm", "<title>C</title><body>gamma Shared</body>");
    }
    void TearDown() override { g_WebHelpSettings.nCharset = 0; }

    static void ExpectSameSearchData(const CWebHelpHelper& actual, const CWebHelpHelper& expected)
    {
        EXPECT_EQ(actual.m_arrSearchFiles, expected.m_arrSearchFiles);
        EXPECT_EQ(actual.m_arrSearchTitles, expected.m_arrSearchTitles);
        EXPECT_EQ(actual.m_mapSearchKeywords, expected.m_mapSearchKeywords);
        EXPECT_EQ(actual.m_nSearchFileCount, expected.m_nSearchFileCount);
    }

    CTempDir m_dir;
};

TEST_F(CSearchHarvestTest, TheHelpersSingleStepsGoOnFromItsSearchData)
{
    struct SCase
    {
        std::vector<std::string> vecFirst; ///< harvested as a list
        std::vector<std::string> vecSteps; ///< then one by one
    };
    const SCase aCases[] = {
        {{}, {"a.htm", "b.htm", "c.htm"}},
        {{"a.htm"}, {"b.htm", "c.htm"}},
        {{"a.htm", "b.htm"}, {"c.htm"}},
    };
    CWebHelpHelper whole;
    const std::vector<std::string> vecAll = {m_dir / "a.htm", m_dir / "b.htm", m_dir / "c.htm"};
    whole.ReadSearchDataFromFiles(&vecAll);
    ASSERT_EQ(whole.m_nSearchFileCount, 3);
    for (const SCase& c : aCases)
    {
        SCOPED_TRACE(c.vecFirst.size());
        CHarvestStepsHelper helper;
        std::vector<std::string> vecFirst;
        for (const std::string& strName : c.vecFirst)
            vecFirst.push_back(m_dir / strName);
        helper.ReadSearchDataFromFiles(&vecFirst);
        for (const std::string& strName : c.vecSteps)
            helper.ReadSearchDataFromFile(m_dir / strName);
        ExpectSameSearchData(helper, whole);
    }

    // The same for pages of an archive, read by the tree and one by one.
    CHarvestStepsHelper tree;
    CHarvestStepsHelper steps;
    for (CHarvestStepsHelper* pHelper : {&tree, &steps})
        ASSERT_TRUE(pHelper->m_CHMFile.CHM_SetCHMFile(ChmFixture("search_gbk", "gbk")));
    CXML root;
    CXML* pFile = root.AddChild("Entry", "");
    pFile->SetAttr("Type", 3);
    pFile->SetAttr("Local", "/zh/chinese.htm");
    tree.CHM2Web_ReadSearchDataFromCHMFile(&root);
    tree.CHM2Web_ReadSearchDataFromCHMNode(pFile);
    steps.CHM2Web_ReadSearchDataFromCHMFile(nullptr);
    steps.CHM2Web_ReadSearchDataFromFile("zh\\chinese.htm");
    steps.CHM2Web_ReadSearchDataFromFile("zh\\chinese.htm");
    ASSERT_EQ(tree.m_nSearchFileCount, 2);
    ExpectSameSearchData(steps, tree);
}

TEST_F(CSearchHarvestTest, ARaisedStopFlagEndsTheWalkOfAStorageTree)
{
    CCHMFileRW chm;
    ASSERT_TRUE(chm.CHM_SetCHMFile(ChmFixture("search_gbk", "gbk")));
    CXML storage;
    ASSERT_NE(chm.CHM_ReadAllStorageInfoToXML(&storage), 0);
    CSearchHarvest harvest(kRowGBK);
    CWebHelpHelper helper;
    for (bool bStop : {true, false})
    {
        SCOPED_TRACE(bStop);
        harvest.Harvest_StopFlag() = bStop;
        harvest.CHM2Web_ReadSearchDataFromCHMFile(chm, &storage);
        harvest.Harvest_MoveResultsTo(helper);
        EXPECT_EQ(helper.m_arrSearchFiles.empty(), bStop);
    }
    // Its own reader reads the same.
    CWebHelpHelper own;
    harvest.Harvest_ReadCHMFile(ChmFixture("search_gbk", "gbk"));
    harvest.Harvest_MoveResultsTo(own);
    ExpectSameSearchData(own, helper);
    harvest.Harvest_ReadCHMFile(m_dir / "missing.chm");
    harvest.Harvest_MoveResultsTo(own);
    EXPECT_EQ(own.m_nSearchFileCount, 0);
    EXPECT_TRUE(own.m_mapSearchKeywords.empty());
}
} // namespace
