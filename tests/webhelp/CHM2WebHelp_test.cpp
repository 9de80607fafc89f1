#include "CStrHelper.h"
#include "CWebHelpHelper.h"
#include "TestUtil.h"

#include <gtest/gtest.h>

namespace
{
/// Numbered texts read back as "#<number>" so the order of output is visible.
void UseNumberedTexts()
{
    std::vector<std::pair<int, std::string>> vec;
    for (int n = 600; n < 700; ++n)
        vec.emplace_back(n, "#" + std::to_string(n));
    CStrHelper::SetStringTable(vec);
}

class CPipelineTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        UseNumberedTexts();
        CollectedTexts().clear();
        m_helper.InitWebHelpSettings();
        m_helper.m_CompileThreadPar.pfnOutput = CollectText;
    }
    void TearDown() override { CStrHelper::SetStringTable({}); }

    CTempDir m_dir;
    CWebHelpHelper m_helper;
};
} // namespace

TEST_F(CPipelineTest, MissingFileMakesTheFoldersAndReportsTheFailedRead)
{
    m_helper.SetCHMFile(m_dir / "missing.chm");
    m_helper.CHM2WebHelp(m_dir / "site", "source");

    EXPECT_EQ(CollectedTexts(), (std::vector<std::string>{"\r\n", "#677", "#676", "\r\n"}));
    EXPECT_TRUE(FileExists(m_dir / "site/source"));
    EXPECT_TRUE(FileExists(m_dir / "site/whfiles"));
    EXPECT_TRUE(ListFiles(m_dir / "site").empty()) << "no file is written after a failed read";
    EXPECT_EQ(m_helper.m_strWebHelpDir, m_dir / "site");
    EXPECT_EQ(m_helper.m_strSourceDir, "source");
}

TEST_F(CPipelineTest, FileThatIsNotACompiledHelpFileFailsLikeAMissingOne)
{
    ASSERT_TRUE(WriteFileBytes(m_dir / "notes.chm", "<html>not a compiled file</html>"));
    m_helper.SetCHMFile(m_dir / "notes.chm");
    m_helper.CHM2WebHelp(m_dir / "out", "topics");

    EXPECT_EQ(CollectedTexts(), (std::vector<std::string>{"\r\n", "#677", "#676", "\r\n"}));
    EXPECT_TRUE(FileExists(m_dir / "out/topics"));
}

TEST_F(CPipelineTest, WithoutAnOutputFunctionNothingIsReportedAndNothingBreaks)
{
    m_helper.m_CompileThreadPar.pfnOutput = nullptr;
    m_helper.SetCHMFile(m_dir / "missing.chm");
    m_helper.CHM2WebHelp(m_dir / "site", "source");
    EXPECT_TRUE(CollectedTexts().empty());
    EXPECT_TRUE(FileExists(m_dir / "site/whfiles"));
}
