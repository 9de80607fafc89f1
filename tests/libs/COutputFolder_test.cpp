#include "COutputFolder.h"
#include "TestUtil.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <string>

namespace fs = std::filesystem;

namespace
{
/// str with each "$" replaced by strDir.
std::string Expand(const std::string& str, const std::string& strDir)
{
    std::string strOut;
    for (char c : str)
        strOut += c == '$' ? strDir : std::string(1, c);
    return strOut;
}

TEST(COutputFolderTest, OnlyPathsBelowTheRootAreRelative)
{
    struct SCase
    {
        const char* pszRoot; ///< "$" is a temp folder
        const char* pszPath;
        const char* pszRelative; ///< null when the path is not below the root
    };
    const SCase aCases[] = {
        {"$", "$/a/b.htm", "a/b.htm"},
        {"$/", "$//a/./b.htm", "a/b.htm"},
        {"$", "$", ""},
        {"$", "$map/a.htm", nullptr},
        {"$", "$/../x.htm", nullptr},
        {"$", "$/a/../../x.htm", nullptr},
        {"/", "/etc/x", "etc/x"},
        {".", "site/a.htm", "site/a.htm"},
        {".", "./site/a.htm", "site/a.htm"},
        {".", "../site/a.htm", nullptr},
        {".", "/site/a.htm", nullptr},
    };
    CTempDir dir;
    for (const SCase& c : aCases)
    {
        SCOPED_TRACE(std::string(c.pszRoot) + " " + c.pszPath);
        COutputFolder folder;
        ASSERT_TRUE(folder.Open(Expand(c.pszRoot, dir.Path())));
        std::string strRelative;
        EXPECT_EQ(folder.Relative(Expand(c.pszPath, dir.Path()), strRelative), c.pszRelative != nullptr);
        if (c.pszRelative != nullptr)
        {
            EXPECT_EQ(strRelative, c.pszRelative);
        }
    }
}

// Below the root no link is followed; outside it (or with no root) only the last name is not.
TEST(COutputFolderTest, AWriteReplacesALinkButNeverAPlainFileOrFolder)
{
    struct SCase
    {
        const char* pszName;
        bool bOpenRoot;
        SPlant plant;         ///< below "site"
        const char* pszWrite; ///< below "site"
        int nErrno;           ///< 0 when the write succeeds
    };
    const SCase aCases[] = {
        {"linked folder on the way", true, {"a", EPlant::kFolderLink}, "a/b/page.htm", 0},
        {"linked folder deeper", true, {"a/b", EPlant::kFolderLink}, "a/b/page.htm", 0},
        {"dangling link as a folder", true, {"a", EPlant::kDanglingLink}, "a/page.htm", 0},
        {"linked file", true, {"a/page.htm", EPlant::kFileLink}, "a/page.htm", 0},
        {"dangling link", true, {"a/page.htm", EPlant::kDanglingLink}, "a/page.htm", 0},
        {"hard link", true, {"a/page.htm", EPlant::kHardLink}, "a/page.htm", 0},
        {"linked folder at the name", true, {"a/page.htm", EPlant::kFolderLink}, "a/page.htm", 0},
        {"plain file on the way", true, {"a/page.htm", EPlant::kHardLink}, "a/page.htm/x.htm", ENOTDIR},
        {"no root: linked file", false, {"page.htm", EPlant::kFileLink}, "page.htm", 0},
        {"no root: hard link", false, {"page.htm", EPlant::kHardLink}, "page.htm", 0},
    };
    for (const SCase& c : aCases)
    {
        SCOPED_TRACE(c.pszName);
        CTempDir dir;
        const std::string strSite = dir / "site";
        ASSERT_TRUE(PlantLinks(dir.Path(), strSite, {c.plant}));
        ASSERT_TRUE(WriteFileBytes(strSite + "/folder/page.htm", "old"));
        const auto mapOutside = ListTree(dir / "outside");
        COutputFolder folder;
        if (c.bOpenRoot)
        {
            ASSERT_TRUE(folder.Open(strSite));
        }
        const std::string strPath = strSite + "/" + c.pszWrite;

        errno = 0;
        const bool bWritten = folder.WriteFile(strPath, "new");
        EXPECT_EQ(bWritten, c.nErrno == 0);
        if (!bWritten)
        {
            EXPECT_EQ(errno, c.nErrno);
        }
        EXPECT_EQ(ListTree(dir / "outside"), mapOutside);
        if (bWritten)
        {
            EXPECT_EQ(ReadFileBytes(strPath), "new");
            for (fs::path path = strPath; path != fs::path(strSite); path = path.parent_path())
                EXPECT_FALSE(fs::is_symlink(path)) << path;
            EXPECT_EQ(fs::hard_link_count(strPath), 1u);
        }
        // A folder where the file goes is never replaced.
        errno = 0;
        EXPECT_FALSE(folder.WriteFile(strSite + "/folder", "new"));
        EXPECT_EQ(errno, EISDIR);
        EXPECT_EQ(ReadFileBytes(strSite + "/folder/page.htm"), "old");
    }
}

// More folders than the object keeps open: each is found again, and a name added in the last
// one leads to a file of the first.
TEST(COutputFolderTest, FoldersBeyondTheOnesKeptOpenStayReachable)
{
    CTempDir dir;
    COutputFolder folder;
    ASSERT_TRUE(folder.Open(dir.Path()));
    const int kFolders = 300;
    for (int i = 0; i < kFolders; ++i)
        ASSERT_TRUE(folder.WriteFile(dir / ("f" + std::to_string(i) + "/page.htm"), std::to_string(i)));
    for (int i = 0; i < kFolders; i += 37)
        ASSERT_TRUE(folder.WriteFile(dir / ("f" + std::to_string(i) + "/again.htm"), std::to_string(i)));
    ASSERT_TRUE(folder.LinkOrCopy(dir / "f0/page.htm", dir / "f299/PAGE.htm"));
    errno = 0;
    EXPECT_FALSE(folder.LinkOrCopy(dir / "f0/page.htm", dir / "f299/PAGE.htm"));
    EXPECT_EQ(errno, EEXIST);
    EXPECT_EQ(ReadFileBytes(dir / "f299/PAGE.htm"), "0");
    EXPECT_EQ(ListFiles(dir.Path()).size(), size_t(kFolders + 9 + 1));
    for (int i = 0; i < kFolders; i += 37)
        EXPECT_EQ(ReadFileBytes(dir / ("f" + std::to_string(i) + "/again.htm")), std::to_string(i));
}
} // namespace
