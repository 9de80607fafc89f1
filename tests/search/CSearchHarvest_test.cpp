#include "CSearchHarvest.h"

#include "CWebHelpHelper.h"
#include "CXML.h"
#include "TestUtil.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

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
/// File entries of a storage tree, in the walk's order.
void CollectFiles(CXML* pNode, std::vector<CXML*>& vecFiles)
{
    for (int i = 0; i < pNode->GetChildCount(); ++i)
    {
        CXML* pChild = pNode->GetChildAt(i);
        if (pChild->GetAttrInt("Type") == 3)
            vecFiles.push_back(pChild);
        else
            CollectFiles(pChild, vecFiles);
    }
}

TEST(CSearchHarvestPlanTest, PagesHandedInAnyOrderGiveTheSearchDataOfTheWalk)
{
    struct SRow
    {
        const char* pszDir;
        const char* pszName;
        int nCharset;
    };
    const SRow aRows[] = {
        {"search_gbk", "gbk", kRowGBK}, {"lettercase", "case", 34},          {"wide_search", "japanese", 27},
        {"page_charsets", "sjis", 31},  {"nonascii_folders", "folders", 31},
    };
    // Which pages go through a page reader of their own, and which are handed over unreadable.
    enum EHand
    {
        kBytes,
        kRead,
        kUnreadable
    };
    for (const SRow& row : aRows)
    {
        for (int nMode = 0; nMode < 3; ++nMode)
        {
            SCOPED_TRACE(std::string(row.pszName) + " mode " + std::to_string(nMode));
            CCHMFileRW chm;
            ASSERT_TRUE(chm.CHM_SetCHMFile(ChmFixture(row.pszDir, row.pszName)));
            CXML storage;
            ASSERT_NE(chm.CHM_ReadAllStorageInfoToXML(&storage), 0);
            std::vector<CXML*> vecFiles;
            CollectFiles(&storage, vecFiles);
            ASSERT_GT(vecFiles.size(), 2u);
            const SHarvestPlan plan = CSearchHarvest::Harvest_Plan(chm, &storage);
            ASSERT_EQ(plan.vecPaths.size(), vecFiles.size());

            std::vector<EHand> vecHand(vecFiles.size(), kBytes);
            for (size_t i = 0; i < vecHand.size(); ++i)
            {
                if (nMode == 1 && i % 2 == 0)
                    vecHand[i] = kRead;
                if (nMode == 2 && i % 3 == 1)
                    vecHand[i] = kUnreadable;
            }

            // Backwards, the farthest order from the walk's.
            CSearchHarvest planned(row.nCharset);
            CHarvestPageReader reader(row.nCharset);
            planned.Harvest_BeginPlanned(plan);
            for (size_t i = vecFiles.size(); i-- > 0;)
            {
                std::string strBytes;
                const bool bRead = chm.CHM_ReadEntry(static_cast<size_t>(plan.vecEntryOf[i]), strBytes);
                ASSERT_TRUE(bRead);
                if (vecHand[i] == kRead)
                {
                    SHarvestRead read;
                    reader.Harvest_ReadPage(plan.vecPaths[i], strBytes, read);
                    planned.Harvest_AddRead(chm, i, read);
                }
                else
                    planned.Harvest_AddPlanned(chm, i, strBytes, vecHand[i] != kUnreadable);
            }
            planned.Harvest_EndPlanned();
            CWebHelpHelper actual;
            planned.Harvest_MoveResultsTo(actual);

            // The walk of the same tree without the unreadable pages.
            for (size_t i = 0; i < vecFiles.size(); ++i)
            {
                if (vecHand[i] == kUnreadable)
                    vecFiles[i]->SetAttr("Type", 5);
            }
            CSearchHarvest walk(row.nCharset);
            walk.CHM2Web_ReadSearchDataFromCHMFile(chm, &storage);
            CWebHelpHelper expected;
            walk.Harvest_MoveResultsTo(expected);
            ASSERT_GT(expected.m_nSearchFileCount, 1);
            ExpectSameSearchData(actual, expected);
            EXPECT_EQ(actual.m_arrSearchTitleIsName, expected.m_arrSearchTitleIsName);
            EXPECT_EQ(actual.m_vecCaseLinks, expected.m_vecCaseLinks);
        }
    }
}
} // namespace
