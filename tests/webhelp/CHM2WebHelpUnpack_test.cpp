#include "CWebHelpHelper.h"
#include "TestUtil.h"
#include "WebHelpDefaults.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace
{
class CUnpackBesideTest : public ::testing::Test
{
protected:
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
    // Each progress text is given on the converting thread: what GetProgress says then is what a
    // watcher sees at that point of the run, whatever the unpacking beside it has done.
    const std::pair<const char*, const char*> aFixtures[] = {
        {"pipeline", "full"}, {"names_gbk", "gbk"}, {"sitemap_merge", "main"}};
    for (const auto& [pszProject, pszName] : aFixtures)
    {
        SCOPED_TRACE(pszName);
        CWebHelpHelper helper;
        std::vector<tagConvertProgress> vecAtTexts;
        const tagWebHelpSettings s = SettingsFor(pszProject, pszName, m_dir / pszName);
        ASSERT_TRUE(helper.Convert(s, [&](const std::string&) { vecAtTexts.push_back(helper.GetProgress()); })
                        .bSucceeded);
        for (const tagConvertProgress& seen : vecAtTexts)
        {
            if (seen.nStep >= 684)
                continue;
            EXPECT_EQ(seen.nUnpacked, 0) << "step " << seen.nStep;
            EXPECT_EQ(seen.nUnpackTotal, 0) << "step " << seen.nStep;
        }
        ASSERT_FALSE(vecAtTexts.empty());
        EXPECT_GT(vecAtTexts.back().nUnpacked, 0);
        EXPECT_EQ(vecAtTexts.back().nUnpacked, vecAtTexts.back().nUnpackTotal);
    }
}
