#include "CWebHelpHelper.h"

#include "CSearchHarvest.h"
#include "TestUtil.h"

#include <gtest/gtest.h>

#include <thread>

TEST(CWebHelpHelperTest, CharsetRowsAtTheEdgesOfTheTable)
{
    CWebHelpHelper helper;
    EXPECT_EQ(helper.m_nCharsetCount, 44);
    EXPECT_EQ(helper.GetCharsetStr(0), "DIN_66003");
    EXPECT_EQ(helper.GetCharsetStr(8), "gb2312");
    EXPECT_EQ(helper.GetCharsetStr(34), "windows-1252");
    EXPECT_EQ(helper.GetCharsetStr(43), "x-user-defined");
    EXPECT_EQ(helper.GetCharsetStr(44), "windows-1252");
    EXPECT_EQ(helper.GetCharsetStr(-1), "windows-1252");
    EXPECT_EQ(CWebHelpHelper::m_strCharset[13][0], CWebHelpHelper::m_strCharset[14][0]);
    EXPECT_EQ(CWebHelpHelper::m_strCharset[6][1], CWebHelpHelper::m_strCharset[14][1]);
    EXPECT_EQ(CWebHelpHelper::m_strWHTemplateDir[4], "xpsilver");
    EXPECT_EQ(CWebHelpHelper::m_strCopyTemplatesImages[16], "8.gif");
}

TEST(CWebHelpHelperTest, InitWebHelpSettingsKeepsTheFilesAndSetsTheRest)
{
    g_WebHelpSettings = tagWebHelpSettings();
    g_WebHelpSettings.strCHMFile = "/help/a.chm";
    g_WebHelpSettings.strWebHelpDir = "/out";
    g_WebHelpSettings.nTemplate = 4;
    CWebHelpHelper helper;
    helper.InitWebHelpSettings();
    const tagWebHelpSettings& s = g_WebHelpSettings;
    EXPECT_EQ(s.strCHMFile, "/help/a.chm");
    EXPECT_EQ(s.strWebHelpDir, "/out");
    EXPECT_EQ(s.nTemplate, 1);
    EXPECT_EQ(s.nCharset, 8);
    EXPECT_EQ(s.strSourceDir, "source");
    for (int32_t b : {s.bShowIndex, s.bShowSearch, s.bShowHome, s.bShowPrev, s.bShowNext, s.bShowPrint})
        EXPECT_EQ(b, 1);
    EXPECT_EQ(s.strTxtContents, "\u76EE\u5F55");
    EXPECT_EQ(s.strTitle, "\u7F51\u7EDC\u5728\u7EBF\u5E2E\u52A9");
    EXPECT_FALSE(s.strHomePage.empty());
}

TEST(CWebHelpHelperTest, FreshObjectIsIdle)
{
    CWebHelpHelper helper;
    EXPECT_FALSE(helper.m_pCompileThread);
    EXPECT_TRUE(helper.m_mapMergeCHMFiles.empty());
    EXPECT_TRUE(helper.m_mapSearchKeywords.empty());
    EXPECT_TRUE(helper.m_arrSearchFiles.empty());
    ASSERT_FALSE(helper.m_strAppRunPath.empty());
    EXPECT_EQ(helper.m_strAppRunPath.back(), '/');
}

namespace
{
class CCodePageHelper : public CWebHelpHelper
{
public:
    using CWebHelpHelper::GetSiteCodePage;
};
} // namespace

TEST(CWebHelpHelperTest, AThreadWithACodePageOfItsOwnNeverSharesTheHelpersOne)
{
    // A harvest on a second thread reads with a code page of its own and leaves the helper alone
    // until it is handed over, while this thread goes on with the helper's code page and data.
    g_WebHelpSettings.nCharset = 8;
    CTempDir dir;
    std::vector<std::string> vecPages;
    for (const char* pszName : {"a.htm", "b.htm"})
    {
        vecPages.push_back(dir / pszName);
        ASSERT_TRUE(WriteFileBytes(vecPages.back(), "<body>Words \xA3\xC1\xA6\xA1 here</body>"));
    }
    CCodePageHelper helper;
    CSearchHarvest harvest(g_WebHelpSettings.nCharset);
    std::thread worker([&] { harvest.ReadSearchDataFromFiles(vecPages); });
    for (int i = 0; i < 100; ++i)
    {
        std::string str = "Text \xA3\xC1\xA6\xA1";
        helper.GetSiteCodePage().MakeLower(str);
        helper.m_arrSearchFiles.assign(1, str);
    }
    worker.join();
    EXPECT_NE(&harvest.GetCodePage(), &helper.GetSiteCodePage());
    EXPECT_EQ(harvest.GetCodePage().GetRow(), helper.GetSiteCodePage().GetRow());
    EXPECT_EQ(helper.m_arrSearchFiles, std::vector<std::string>{"text \xA3\xE1\xA6\xC1"});
    harvest.Harvest_MoveResultsTo(helper);
    EXPECT_EQ(helper.m_arrSearchFiles, (std::vector<std::string>{"a.htm", "b.htm"}));
    EXPECT_EQ(helper.m_mapSearchKeywords.at("\xA3\xE1\xA6\xC1"), (std::vector<uint32_t>{0, 1}));
}
