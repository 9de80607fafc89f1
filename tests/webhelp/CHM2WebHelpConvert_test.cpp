#include "CStrHelper.h"
#include "CWebHelpHelper.h"
#include "CXML.h"
#include "TestUtil.h"
#include "WebHelpDefaults.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>

namespace
{
const std::string kFixtureDir = std::string(WEBHELP_FIXTURES_DIR) + "/pipeline";

class CConvertTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        std::vector<std::pair<int, std::string>> vec;
        for (int n = 600; n < 700; ++n)
            vec.emplace_back(n, "#" + std::to_string(n));
        CStrHelper::SetStringTable(vec);
        CollectedTexts().clear();
        m_helper.InitWebHelpSettings();
        m_helper.m_strAppRunPath = std::string(WEBHELP_BUILD_DIR) + "/";
        m_helper.m_CompileThreadPar.pfnOutput = CollectText;
    }
    void TearDown() override { CStrHelper::SetStringTable({}); }

    void Convert(const std::string& strName, const std::string& strOut)
    {
        m_helper.SetCHMFile(ChmFixture("pipeline", strName));
        m_helper.CHM2WebHelp(strOut, "source");
    }

    CTempDir m_dir;
    CWebHelpHelper m_helper;
};

/// The texts of a conversion in which every read succeeds.
std::vector<std::string> WholeRun()
{
    return {"\r\n", "#677", "#675", "\r\n", "#678", "#675", "\r\n", "#679", "#675",
            "\r\n", "#680", "#675", "\r\n", "#681", "#675", "\r\n", "#682", "#675",
            "\r\n", "\r\n", "#683", "#675", "\r\n", "#684", "#675", "\r\n"};
}

/// Every file of the help project (sources of the archive) unpacked byte for byte below strTopics.
void ExpectUnpacked(const std::string& strSourceDir, const std::vector<std::string>& vecFiles,
                    const std::string& strTopics)
{
    for (const std::string& strFile : vecFiles)
    {
        SCOPED_TRACE(strFile);
        ASSERT_TRUE(FileExists(strTopics + "/" + strFile));
        EXPECT_EQ(ReadFileBytes(strTopics + "/" + strFile), ReadFileBytes(strSourceDir + "/" + strFile));
    }
    for (const std::string& strFile : ListFiles(strTopics))
    {
        EXPECT_NE(strFile[0], '#') << "internal entry unpacked: " << strFile;
        EXPECT_NE(strFile[0], '$') << "internal entry unpacked: " << strFile;
    }
}

const std::vector<std::string> kProjectFiles = {"start.htm", "html/deep/er/nested.htm", "html/plain.htm",
                                                "img/dot.gif", "img/all-bytes.bin"};
} // namespace

TEST_F(CConvertTest, WholeRunReportsEveryStepAndUnpacksEveryFileByteForByte)
{
    Convert("full", m_dir / "site");
    EXPECT_EQ(CollectedTexts(), WholeRun());
    std::vector<std::string> vecFiles = kProjectFiles;
    vecFiles.push_back("full.hhc");
    vecFiles.push_back("full.hhk");
    ExpectUnpacked(kFixtureDir, vecFiles, m_dir / "site/source");
    for (const char* psz : {"whfiles/contentsdata.js", "whfiles/indexdata.js", "whfiles/searchdata.js"})
        EXPECT_TRUE(FileExists(m_dir / ("site/" + std::string(psz)))) << psz;
    EXPECT_FALSE(m_helper.m_CHMFile.CHM_IsOpen()) << "the reader is closed after a whole run";
}

TEST_F(CConvertTest, MissingSitemapsGiveEmptyListsNotAFailure)
{
    Convert("full", m_dir / "full");
    const std::string strFullContents = ReadFileBytes(m_dir / "full/whfiles/contentsdata.js");
    const std::string strFullIndex = ReadFileBytes(m_dir / "full/whfiles/indexdata.js");
    const std::string strNoContents = "var ContentItems = [\r\n];\r\n\r\nvar gInitURL = \"\"";
    const std::string strNoIndex = "var IndexItems = [\r\n];\r\n\r\n";
    struct SCase
    {
        const char* pszName;
        bool bContents, bIndex;
    } cases[] = {{"noindex", true, false},
                 {"nocontents", false, true},
                 {"nositemaps", false, false},
                 // No sitemap named in the archive's system record: the ones at the root are taken.
                 {"rootsitemaps", true, true}};
    for (const SCase& c : cases)
    {
        SCOPED_TRACE(c.pszName);
        CollectedTexts().clear();
        const std::string strOut = m_dir / c.pszName;
        Convert(c.pszName, strOut);
        EXPECT_EQ(CollectedTexts(), WholeRun());
        ExpectUnpacked(kFixtureDir, kProjectFiles, strOut + "/source");
        EXPECT_EQ(ReadFileBytes(strOut + "/whfiles/contentsdata.js"),
                  c.bContents ? strFullContents : strNoContents);
        EXPECT_EQ(ReadFileBytes(strOut + "/whfiles/indexdata.js"), c.bIndex ? strFullIndex : strNoIndex);
        for (const char* psz : {"index.html", "whcontents.html", "whindex.html", "whsearch.html"})
            EXPECT_TRUE(FileExists(strOut + "/" + psz)) << psz;
    }
}

TEST_F(CConvertTest, TwoConversionsOnOneObjectGiveTwoIndependentSites)
{
    Convert("full", m_dir / "one");
    Convert("noindex", m_dir / "two");
    EXPECT_EQ(m_helper.m_strWebHelpDir, m_dir / "two");
    EXPECT_TRUE(FileExists(m_dir / "one/source/full.hhk"));
    EXPECT_FALSE(FileExists(m_dir / "two/source/full.hhk"));
    ExpectUnpacked(kFixtureDir, kProjectFiles, m_dir / "two/source");
}

TEST_F(CConvertTest, SearchDataGatheredBesideTheSitemapsEqualsADirectHarvest)
{
    // The second run fails at once, and a harvest afterwards must not find itself told to stop.
    for (const char* pszSecond : {"full", "missing"})
    {
        SCOPED_TRACE(pszSecond);
        Convert("full", m_dir / "site");
        const std::vector<std::string> vecFiles = m_helper.m_arrSearchFiles;
        const std::vector<std::string> vecTitles = m_helper.m_arrSearchTitles;
        const CSearchKeywordMap mapKeywords = m_helper.m_mapSearchKeywords;
        for (const std::string& strFile : kProjectFiles)
            EXPECT_NE(std::find(vecFiles.begin(), vecFiles.end(), strFile), vecFiles.end()) << strFile;
        ASSERT_FALSE(mapKeywords.empty());
        Convert(pszSecond, m_dir / pszSecond);

        ASSERT_TRUE(m_helper.m_CHMFile.CHM_SetCHMFile(ChmFixture("pipeline", "full")));
        CXML storage;
        ASSERT_NE(m_helper.m_CHMFile.CHM_ReadAllStorageInfoToXML(&storage), 0);
        m_helper.CHM2Web_ReadSearchDataFromCHMFile(&storage);
        EXPECT_EQ(m_helper.m_arrSearchFiles, vecFiles);
        EXPECT_EQ(m_helper.m_arrSearchTitles, vecTitles);
        EXPECT_EQ(m_helper.m_mapSearchKeywords, mapKeywords);
        m_helper.m_CHMFile.CHM_CloseCHMFile();
    }
}

TEST_F(CConvertTest, AConversionThatFailsKeepsNoSearchDataOfTheOneBefore)
{
    Convert("full", m_dir / "site");
    ASSERT_GT(m_helper.m_nSearchFileCount, 0);
    Convert("missing", m_dir / "missing");
    EXPECT_TRUE(m_helper.m_arrSearchFiles.empty());
    EXPECT_TRUE(m_helper.m_arrSearchTitles.empty());
    EXPECT_TRUE(m_helper.m_mapSearchKeywords.empty());
    EXPECT_EQ(m_helper.m_nSearchFileCount, 0);
}

TEST(CConvertGuideTest, UserGuideReportsEachStepAndUnpacksEveryFileOfItsProject)
{
    CTempDir dir;
    SCommandResult res = RunCommand(ShellQuote(HostProgram()) + " convert " +
                                    ShellQuote(std::string(WEBHELP_BUILD_DIR) + "/webhelp-guide.chm") +
                                    " -o " + ShellQuote(dir / "site"));
    ASSERT_EQ(res.nExit, 0) << res.strOutput;
    EXPECT_EQ(res.strOutput,
              "\nReading the table of contents... done\nWriting the table of contents... done\n"
              "Reading the index... done\nWriting the index... done\n"
              "Reading the list of files... done\nGathering the full-text search data... done\n\n"
              "Writing the search data, scripts and pages... done\n"
              "Unpacking the topic files... done\nWebHelp site written to " +
                  (dir / "site/index.html") + "\n");
    const std::string strGuide = std::string(WEBHELP_SOURCE_DIR) + "/guide";
    std::vector<std::string> vecFiles;
    for (const std::string& strFile : ListFiles(strGuide))
    {
        if (strFile != "guide.hhp" && strFile != "CMakeLists.txt")
            vecFiles.push_back(strFile);
    }
    ASSERT_GT(vecFiles.size(), 10u);
    ExpectUnpacked(strGuide, vecFiles, dir / "site/source");
    EXPECT_TRUE(FileExists(dir / "site/index.html"));
}

TEST_F(CConvertTest, TwoConversionsAtOnceGiveTheSitesOfTwoRunsOneAfterTheOther)
{
    auto RowOf = [](const std::string& strName)
    {
        for (int i = 0; i < 44; ++i)
            if (CWebHelpHelper::m_strCharset[i][0] == strName)
                return i;
        return -1;
    };
    tagWebHelpSettings a = WebHelp_DefaultSettings();
    a.strCHMFile = ChmFixture("pipeline", "full");
    a.nCharset = RowOf("utf-8");
    a.strTitle = "First";
    tagWebHelpSettings b = WebHelp_DefaultSettings();
    b.strCHMFile = ChmFixture("pipeline", "chinese");
    b.nCharset = RowOf("gb2312");
    b.nTemplate = 2;
    b.bShowIndex = 0;
    b.strTitle = "\u7B2C\u4E8C";
    // The shared record says otherwise: neither conversion may read it.
    g_WebHelpSettings.nCharset = RowOf("koi8-r");
    g_WebHelpSettings.strTitle = "shared";

    auto Run = [&](tagWebHelpSettings s, const std::string& strOut)
    {
        s.strWebHelpDir = strOut;
        CWebHelpHelper helper;
        helper.m_strAppRunPath = std::string(WEBHELP_BUILD_DIR) + "/";
        return helper.Convert(s, nullptr).bSucceeded;
    };
    ASSERT_TRUE(Run(a, m_dir / "a1"));
    ASSERT_TRUE(Run(b, m_dir / "b1"));
    bool bA = false;
    bool bB = false;
    std::thread first([&] { bA = Run(a, m_dir / "a2"); });
    std::thread second([&] { bB = Run(b, m_dir / "b2"); });
    first.join();
    second.join();
    ASSERT_TRUE(bA && bB);

    for (const char* pszSite : {"a", "b"})
    {
        const std::string strOne = m_dir / (pszSite + std::string("1"));
        const std::string strTwo = m_dir / (pszSite + std::string("2"));
        const std::vector<std::string> vecFiles = ListFiles(strOne);
        ASSERT_EQ(vecFiles, ListFiles(strTwo));
        for (const std::string& strFile : vecFiles)
            EXPECT_EQ(ReadFileBytes(strOne + "/" + strFile), ReadFileBytes(strTwo + "/" + strFile))
                << strFile;
    }
    EXPECT_EQ(ReadFileBytes(m_dir / "b1/whcontents.html").find("shared"), std::string::npos);
    EXPECT_NE(ReadFileBytes(m_dir / "b1/whcontents.html").find("\xB5\xDA\xB6\xFE"),
              std::string::npos); // 第二
    EXPECT_FALSE(FileExists(m_dir / "b1/whindex.html"));
    EXPECT_NE(ReadFileBytes(m_dir / "a1/index.html").find("charset=utf-8"), std::string::npos);
}

TEST_F(CConvertTest, ProgressCountsEveryFileReadAndUnpackedAndCanBeAskedWhileItRuns)
{
    struct SCase
    {
        const char* pszProject;
        const char* pszName;
    };
    // The second merges two files: their files are unpacked too, but not read for the search data.
    const SCase aCases[] = {{"pipeline", "full"}, {"sitemap_merge", "main"}, {"names_gbk", "gbk"}};
    for (const SCase& c : aCases)
    {
        SCOPED_TRACE(c.pszName);
        tagWebHelpSettings s = WebHelp_DefaultSettings();
        ASSERT_TRUE(WebHelp_SettingsFromCHMFile(ChmFixture(c.pszProject, c.pszName), s));
        s.strWebHelpDir = m_dir / c.pszName;
        CWebHelpHelper helper;
        std::atomic<bool> bEnded{false};
        std::vector<tagConvertProgress> vecSeen;
        std::thread watcher(
            [&]
            {
                while (!bEnded.load())
                {
                    vecSeen.push_back(helper.GetProgress());
                    std::this_thread::yield();
                }
            });
        const bool bSucceeded = helper.Convert(s, nullptr).bSucceeded;
        bEnded = true;
        watcher.join();
        ASSERT_TRUE(bSucceeded);

        const tagConvertProgress last = helper.GetProgress();
        std::vector<std::string> vecUnpacked = ListFiles(m_dir / (c.pszName + std::string("/source")));
        EXPECT_EQ(last.nStep, 684);
        EXPECT_EQ(last.nUnpacked, static_cast<int>(vecUnpacked.size()));
        EXPECT_EQ(last.nUnpackTotal, last.nUnpacked);
        std::erase_if(vecUnpacked, [](const std::string& str) { return str.rfind("merge/", 0) == 0; });
        EXPECT_EQ(last.nHarvestTotal, static_cast<int>(vecUnpacked.size()));
        EXPECT_EQ(last.nHarvested, last.nHarvestTotal);
        vecSeen.push_back(last);
        for (size_t i = 1; i < vecSeen.size(); ++i)
        {
            const tagConvertProgress& a = vecSeen[i - 1];
            const tagConvertProgress& b = vecSeen[i];
            ASSERT_LE(a.nStep, b.nStep);
            ASSERT_LE(a.nHarvested, b.nHarvested);
            ASSERT_LE(a.nUnpacked, b.nUnpacked);
            ASSERT_LE(b.nHarvested, b.nHarvestTotal);
            ASSERT_LE(b.nUnpacked, b.nUnpackTotal);
        }
    }
}
