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
    using CWebHelpHelper::ReadSearchDataFromFile;
};

void ExpectSameSearchData(const CWebHelpHelper& actual, const CWebHelpHelper& expected)
{
    EXPECT_EQ(actual.m_arrSearchFiles, expected.m_arrSearchFiles);
    EXPECT_EQ(actual.m_arrSearchTitles, expected.m_arrSearchTitles);
    EXPECT_EQ(actual.m_mapSearchKeywords, expected.m_mapSearchKeywords);
    EXPECT_EQ(actual.m_nSearchFileCount, expected.m_nSearchFileCount);
}

class CSearchHarvestTest : public ::testing::Test
{
protected:
    void SetUp() override { g_WebHelpSettings.nCharset = kRowGBK; }
    void TearDown() override { g_WebHelpSettings.nCharset = 0; }
};

TEST_F(CSearchHarvestTest, TheHelpersSingleStepsGoOnFromItsSearchData)
{
    CTempDir dir;
    std::vector<std::string> vecAll;
    for (const char* pszBody :
         {"<title>A</title>Alpha shared", "Beta SHARED \xD6\xD0\xCE\xC4", "gamma Shared"})
    {
        vecAll.push_back(dir / (std::to_string(vecAll.size()) + ".htm"));
        ASSERT_TRUE(WriteFileBytes(vecAll.back(), pszBody));
    }
    CWebHelpHelper whole;
    whole.ReadSearchDataFromFiles(&vecAll);
    ASSERT_EQ(whole.m_nSearchFileCount, 3);
    for (size_t nFirst = 0; nFirst < vecAll.size(); ++nFirst)
    {
        SCOPED_TRACE(nFirst);
        CHarvestStepsHelper helper;
        const std::vector<std::string> vecFirst(vecAll.begin(), vecAll.begin() + nFirst);
        helper.ReadSearchDataFromFiles(&vecFirst);
        for (size_t i = nFirst; i < vecAll.size(); ++i)
            helper.ReadSearchDataFromFile(vecAll[i]);
        ExpectSameSearchData(helper, whole);
    }
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
    // With a reader of its own it reads the same, and nothing from a file it cannot open.
    CWebHelpHelper own;
    harvest.Harvest_ReadCHMFile(ChmFixture("search_gbk", "gbk"));
    harvest.Harvest_MoveResultsTo(own);
    ExpectSameSearchData(own, helper);
    harvest.Harvest_ReadCHMFile(ChmFixture("search_gbk", "missing"));
    harvest.Harvest_MoveResultsTo(own);
    EXPECT_EQ(own.m_nSearchFileCount, 0);
    EXPECT_TRUE(own.m_mapSearchKeywords.empty());
}
} // namespace
