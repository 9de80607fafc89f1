#include "CStrHelper.h"
#include "CWebHelpHelper.h"
#include "TestUtil.h"
#include "WebHelpDefaults.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

namespace
{
class CUnpackBesideTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        std::vector<std::pair<int, std::string>> vec;
        for (int n = 600; n < 700; ++n)
            vec.emplace_back(n, "#" + std::to_string(n));
        CStrHelper::SetStringTable(vec);
    }
    void TearDown() override { CStrHelper::SetStringTable({}); }

    tagWebHelpSettings SettingsFor(const std::string& strProject, const std::string& strName,
                                   const std::string& strSite) const
    {
        tagWebHelpSettings s = WebHelp_DefaultSettings();
        EXPECT_TRUE(WebHelp_SettingsFromCHMFile(ChmFixture(strProject, strName), s));
        s.strWebHelpDir = strSite;
        return s;
    }

    CTempDir m_dir;
};
} // namespace

TEST_F(CUnpackBesideTest, EachFailureIsReportedByTheStepThatWroteItWhateverFailedFirst)
{
    // The unpacking runs beside the harvest and the pages, and may fail first in time: the earlier
    // step still names its own file.
    struct SCase
    {
        std::vector<const char*> vecBlocked; ///< made folders where files should go
        int nStep;
        const char* pszNamed;
    };
    const SCase aCases[] = {
        {{"whfiles/contentsdata.js", "source/start.htm"}, 678, "whfiles/contentsdata.js"},
        {{"whfiles/searchdata.js", "source/start.htm"}, 683, "whfiles/searchdata.js"},
        {{"whheaderi.html", "source/html/plain.htm", "source/start.htm"}, 683, "whheaderi.html"},
        {{"source/start.htm"}, 684, "source/start.htm"},
        {{"source/img/dot.gif"}, 684, "source/img/dot.gif"},
    };
    int nCase = 0;
    for (const SCase& c : aCases)
    {
        SCOPED_TRACE(c.pszNamed);
        const std::string strSite = m_dir / ("site" + std::to_string(nCase++));
        for (const char* pszBlocked : c.vecBlocked)
            ASSERT_TRUE(std::filesystem::create_directories(strSite + "/" + pszBlocked));
        CWebHelpHelper helper;
        const tagConvertResult result = helper.Convert(SettingsFor("pipeline", "full", strSite), nullptr);
        EXPECT_FALSE(result.bSucceeded);
        EXPECT_EQ(result.nFailedStep, c.nStep);
        EXPECT_EQ(result.strFile, strSite + "/" + c.pszNamed);
        EXPECT_EQ(result.strReason, "Is a directory");
    }
}

TEST_F(CUnpackBesideTest, UnpackCountIsShownFromItsOwnStepOn)
{
    struct SCase
    {
        const char* pszProject;
        const char* pszName;
    };
    const SCase aCases[] = {{"pipeline", "full"}, {"names_gbk", "gbk"}, {"sitemap_merge", "main"}};
    for (const SCase& c : aCases)
    {
        SCOPED_TRACE(c.pszName);
        CWebHelpHelper helper;
        std::atomic<bool> bEnded{false};
        std::vector<tagConvertProgress> vecSeen;
        std::thread watcher(
            [&]
            {
                while (!bEnded.load())
                    vecSeen.push_back(helper.GetProgress());
            });
        const tagWebHelpSettings s = SettingsFor(c.pszProject, c.pszName, m_dir / c.pszName);
        const bool bSucceeded = helper.Convert(s, nullptr).bSucceeded;
        bEnded = true;
        watcher.join();
        ASSERT_TRUE(bSucceeded);
        for (const tagConvertProgress& seen : vecSeen)
        {
            if (seen.nStep >= 684)
                continue;
            ASSERT_EQ(seen.nUnpacked, 0) << "step " << seen.nStep;
            ASSERT_EQ(seen.nUnpackTotal, 0) << "step " << seen.nStep;
        }
        EXPECT_GT(helper.GetProgress().nUnpacked, 0);
    }
}
