#include "CPath.h"
#include "TestUtil.h"

#include <gtest/gtest.h>

namespace
{
TEST(CPathTest, LocalAndNetworkPaths)
{
    struct SCase
    {
        const char* pszPath;
        bool bLocal;
        bool bNetwork;
    };
    const SCase aCases[] = {
        {"C:\\help\\a.chm", true, false},
        {"c:/help/a.chm", true, false},
        {"D:", true, false},
        {"\\\\server\\share\\a.htm", false, true},
        {"//server/a.htm", false, true},
        {"http://x/a.htm", false, true},
        {"mailto:a@b.c", false, true},
        {"file:///a", false, true},
        {"a.htm", false, false},
        {"html\\a.htm", false, false},
        {"/abs/a.htm", false, false},
        {"other.chm::/a.htm", false, false},
        {"C:a.htm", false, false},
        {"1x:y", false, false},
        {"", false, false},
    };
    for (const SCase& c : aCases)
    {
        SCOPED_TRACE(c.pszPath);
        CPath path(c.pszPath);
        EXPECT_EQ(path.IsLocalPath(), c.bLocal);
        EXPECT_EQ(path.IsNetworkPath(), c.bNetwork);
    }
}

TEST(CPathTest, PartsOfAPath)
{
    CPath path("/a/b.c/Name.Ext");
    EXPECT_EQ(path.GetLocation(), "/a/b.c/");
    EXPECT_EQ(path.GetFileName(), "Name.Ext");
    EXPECT_EQ(path.GetFileTitle(), "Name");
    EXPECT_EQ(path.GetExtension(), ".Ext");
    EXPECT_EQ(CPath("C:\\x\\y.tar.gz").GetFileTitle(), "y.tar");
    EXPECT_EQ(CPath("name").GetLocation(), "");
    // Only "/" separates: the 0x5C of a double-byte character stays in the title.
    EXPECT_EQ(CPath::GetSlashPathTitle("/x/\x95\x5C.chm"), "\x95\x5C");
    EXPECT_EQ(CPath::GetSlashPathTitle("other.chm"), "other");
}

TEST(CPathTest, CanonicalizeResolvesDotsWithinTheLimit)
{
    struct SCase
    {
        const char* pszIn;
        const char* pszSeps;
        const char* pszOut; ///< null: does not fit
    };
    const std::string strLong = "/" + std::string(257, 'x') + "/a"; // 260 characters
    const std::string strFits = "/" + std::string(256, 'x') + "/a"; // 259 characters
    const SCase aCases[] = {
        {"/a/b/../c/./d.chm", "/\\", "/a/c/d.chm"},
        {"C:\\a\\..\\..\\b.chm", "/\\", "C:\\b.chm"},
        {"/a/b\\..\\c", "/\\", "/a/c"},
        {"../x/./y", "/\\", "../x/y"},
        {"/a/\x95\\/../b", "/", "/a/b"}, // a 0x5C that is no separator stays in its segment
        {"/a/\x95\\/b", "/", "/a/\x95\\/b"},
        {strFits.c_str(), "/\\", strFits.c_str()},
        {strLong.c_str(), "/\\", nullptr},
    };
    for (const SCase& c : aCases)
    {
        SCOPED_TRACE(c.pszIn);
        std::string strOut = "unchanged";
        EXPECT_EQ(CPath::Canonicalize(c.pszIn, strOut, c.pszSeps), c.pszOut != nullptr);
        EXPECT_EQ(strOut, c.pszOut != nullptr ? c.pszOut : "unchanged");
    }
}

TEST(CPathTest, FindFileNoCaseFindsTheNameOnDisk)
{
    CTempDir dir;
    ASSERT_TRUE(WriteFileBytes(dir / "Sub Dir/UserGuide.CHM", "x"));
    ASSERT_TRUE(WriteFileBytes(dir / "\xC3\x9C"
                                     "bersicht.chm",
                               "x")); // "Übersicht" in UTF-8
    EXPECT_EQ(CPath::FindFileNoCase(dir / "Sub Dir/UserGuide.CHM"), dir / "Sub Dir/UserGuide.CHM");
    EXPECT_EQ(CPath::FindFileNoCase(dir / "sub dir/userguide.chm"), dir / "Sub Dir/UserGuide.CHM");
    EXPECT_EQ(CPath::FindFileNoCase(dir / "sub dir/./userguide.chm"), dir / "Sub Dir/UserGuide.CHM");
    EXPECT_EQ(CPath::FindFileNoCase(dir / "\xC3\xBC"
                                          "bersicht.CHM"),
              dir / "\xC3\x9C"
                    "bersicht.chm");
    EXPECT_EQ(CPath::FindFileNoCase(dir / "sub dir/missing.chm"), "");
    EXPECT_EQ(CPath::FindFileNoCase(dir / "nodir/userguide.chm"), "");
    EXPECT_EQ(CPath::FindFileNoCase(""), "");
}

TEST(CPathTest, FilesFoldersAndCreation)
{
    CTempDir dir;
    EXPECT_TRUE(CPath::CreateDir(dir / "a/b/c"));
    EXPECT_TRUE(CPath(dir / "a/b/c").ExistDir());
    EXPECT_FALSE(CPath(dir / "a/b/c").ExistFile());
    ASSERT_TRUE(WriteFileBytes(dir / "f.txt", "x"));
    EXPECT_TRUE(CPath(dir / "f.txt").ExistFile());
    EXPECT_FALSE(CPath::CreateDir(dir / "f.txt/sub"));
    EXPECT_FALSE(CPath::CreateDir(""));
    EXPECT_EQ(CPath::Join("/a", "b"), "/a/b");
    EXPECT_EQ(CPath::Join("/a/", "b"), "/a/b");
    EXPECT_EQ(CPath::Join("", "b"), "b");
}
} // namespace
