#include "CWebHelpHelper.h"

#include <gtest/gtest.h>

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
