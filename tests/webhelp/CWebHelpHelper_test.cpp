#include "CWebHelpHelper.h"

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
    using CWebHelpHelper::CThreadCodePage;
    using CWebHelpHelper::GetSiteCodePage;
};
} // namespace

TEST(CWebHelpHelperTest, AThreadWithACodePageOfItsOwnNeverSharesTheHelpersOne)
{
    g_WebHelpSettings.nCharset = 8;
    CCodePageHelper helper;
    CCodePageHelper other;
    const CCodePage* pShared = &helper.GetSiteCodePage();
    const CCodePage* pOnThread = nullptr;
    const CCodePage* pOtherOnThread = nullptr;
    const CCodePage* pAfterScope = nullptr;
    const CCodePage* pNested = nullptr;
    const CCodePage* pOtherRow = nullptr;
    std::thread worker(
        [&]
        {
            const CCodePage cp(8);
            {
                const CCodePageHelper::CThreadCodePage scope(helper, cp);
                pOnThread = &helper.GetSiteCodePage();
                pOtherOnThread = &other.GetSiteCodePage();
                {
                    const CCodePage cpInner(8);
                    const CCodePageHelper::CThreadCodePage inner(helper, cpInner);
                    pNested = &helper.GetSiteCodePage();
                }
                EXPECT_EQ(&helper.GetSiteCodePage(), &cp) << "the outer one is back";
            }
            pAfterScope = &helper.GetSiteCodePage();
        });
    // Meanwhile this thread keeps the shared one.
    EXPECT_EQ(&helper.GetSiteCodePage(), pShared);
    worker.join();
    EXPECT_NE(pOnThread, pShared);
    EXPECT_NE(pNested, pOnThread);
    EXPECT_NE(pOtherOnThread, pOnThread) << "another helper is not affected";
    EXPECT_EQ(pAfterScope, pShared);

    // A code page of another row than the settings' is not handed out.
    std::thread(
        [&]
        {
            const CCodePage cp(34);
            const CCodePageHelper::CThreadCodePage scope(helper, cp);
            pOtherRow = &helper.GetSiteCodePage();
        })
        .join();
    EXPECT_EQ(pOtherRow->GetRow(), 8);
}
