#include "CPath.h"
#include "CWebHelpHelper.h"
#include "TestUtil.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>

namespace
{
struct CMergeTestHelper : CWebHelpHelper
{
    using CWebHelpHelper::CHM2Web_DecompileMergeCHMFiles;
    using CWebHelpHelper::ClearMergeCHMFilesMap;
};

std::string Lower(std::string str)
{
    for (char& c : str)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return str;
}

TEST(MergeCHMFilesTest, EveryRecordedFileIsUnpackedIntoItsTitleFolder)
{
    CTempDir out;
    CMergeTestHelper helper;
    // Keys are lower-cased; on disk the files are B.chm and Other.chm.
    helper.m_mapMergeCHMFiles = {Lower(ChmFixture("sitemap_merge", "B")),
                                 Lower(ChmFixture("sitemap_merge", "Other")),
                                 Lower(ChmFixture("sitemap_merge", "missing")), ""};
    helper.CHM2Web_DecompileMergeCHMFiles(out.Path());
    const std::vector<std::string> vecFiles = ListFiles(out.Path());
    for (const char* pszFile : {"merge/b/p.htm", "merge/b/sub/q.htm", "merge/other/Html/A.htm"})
        EXPECT_NE(std::find(vecFiles.begin(), vecFiles.end(), pszFile), vecFiles.end()) << pszFile;
    for (const std::string& strFile : vecFiles)
        EXPECT_TRUE(strFile.rfind("merge/b/", 0) == 0 || strFile.rfind("merge/other/", 0) == 0) << strFile;
    EXPECT_FALSE(CPath(out / "merge/missing").ExistDir());

    helper.ClearMergeCHMFilesMap();
    EXPECT_TRUE(helper.m_mapMergeCHMFiles.empty());
}

TEST(MergeCHMFilesTest, NothingRecordedCreatesNothing)
{
    CTempDir out;
    CMergeTestHelper helper;
    helper.CHM2Web_DecompileMergeCHMFiles(out.Path());
    EXPECT_TRUE(ListFiles(out.Path()).empty());
    EXPECT_FALSE(CPath(out / "merge").ExistDir());
}

TEST(MergeCHMFilesTest, AFileThatIsNoCompiledHelpLeavesNoFolder)
{
    CTempDir out;
    CTempDir in;
    ASSERT_TRUE(WriteFileBytes(in / "bad.chm", "not a compiled help file"));
    CMergeTestHelper helper;
    helper.m_mapMergeCHMFiles = {Lower(in / "bad.chm")};
    helper.CHM2Web_DecompileMergeCHMFiles(out.Path());
    EXPECT_FALSE(CPath(out / "merge").ExistDir());
}
} // namespace
