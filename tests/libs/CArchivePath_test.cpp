#include "CArchivePath.h"

#include "CCharsets.h"
#include "CCodePage.h"
#include "TestUtil.h"

#include <gtest/gtest.h>

namespace
{
TEST(CArchivePathTest, OnlyABackslashThatIsACharacterOfItsOwnSeparates)
{
    struct SCase
    {
        int nRow;
        const char* pszIn;
        const char* pszOut;
    };
    const SCase aCases[] = {
        {kCharsetWin1252, "a\\b\\c.htm", "a/b/c.htm"},
        // UTF-8 of U+65E5 ends in a byte that GBK reads as a lead byte: the "\" after it separates.
        {kCharsetUTF8, "\xE6\x97\xA5\\a.htm", "\xE6\x97\xA5/a.htm"},
        {kCharsetGb2312, "\x81\x5C\\a.htm", "\x81\x5C/a.htm"},
        {kCharsetShiftJis, "\x95\x5C\\b.htm", "\x95\x5C/b.htm"},
        {kCharsetShiftJis, "x\\\x95", "x/\x95"},
        {kCharsetShiftJis, "a\\b\\c.htm", "a/b/c.htm"},
        {kCharsetGb2312, "\\a\\", "/a/"},
        // EUC-JP has no trail byte below 0xA1: after a lead byte a "\" is still itself.
        {kCharsetEucJp,
         "\xA4\x5C"
         "a\\b",
         "\xA4/a/b"},
        {kCharsetEucJp, "\x8F\xB0\x5C", "\x8F\xB0/"},
        {kCharsetEucJp, "\xA4\xA2\\\x8E\xB1\\", "\xA4\xA2/\x8E\xB1/"},
    };
    for (const SCase& c : aCases)
    {
        SCOPED_TRACE(c.pszIn);
        EXPECT_EQ(ArchivePath_Slashes(c.pszIn, CCodePage(c.nRow)), c.pszOut);
    }
}

TEST(CArchivePathTest, SitemapAddressesOfArchivePathsTakeSlashesBeforeTheirQuery)
{
    struct SCase
    {
        int nRow;
        const char* pszIn;
        const char* pszOut;
    };
    const SCase aCases[] = {
        {kCharsetWin1252, "sub\\q.htm", "sub/q.htm"},
        {kCharsetWin1252, "a\\b.htm#x\\y", "a/b.htm#x\\y"},
        {kCharsetGb2312, "\x81\x5C\\a.htm?q=\\", "\x81\x5C/a.htm?q=\\"},
        {kCharsetShiftJis, "\x95\x5C\\c.htm", "\x95\x5C/c.htm"},
        {kCharsetWin1252, "C:\\help\\x.htm", "C:\\help\\x.htm"},
        {kCharsetWin1252, "\\\\server\\share\\x.htm", "\\\\server\\share\\x.htm"},
        {kCharsetWin1252, "http://example.com/a\\b", "http://example.com/a\\b"},
    };
    for (const SCase& c : aCases)
    {
        SCOPED_TRACE(c.pszIn);
        EXPECT_EQ(ArchivePath_SitemapAddress(c.pszIn, CCodePage(c.nRow)), c.pszOut);
    }
}

TEST(CArchivePathTest, ArchiveNamesAreUTF8WhateverTheSitesCodePage)
{
    struct SCase
    {
        const char* pszName;
        const char* pszRooted;
        const char* pszEntry;
    };
    const SCase aCases[] = {
        {"/\xE6\x97\xA5/a.htm", "/\xE6\x97\xA5/a.htm", "\xE6\x97\xA5/a.htm"},
        {"\xE5\xAD\x97\\b.htm", "/\xE5\xAD\x97/b.htm", "\xE5\xAD\x97/b.htm"},
        {"\\sub\\c.htm", "/sub/c.htm", "sub/c.htm"},
        {"", "/", ""},
    };
    for (const SCase& c : aCases)
    {
        SCOPED_TRACE(c.pszName);
        EXPECT_EQ(ArchivePath_Slashes(c.pszName), ArchivePath_Slashes(c.pszName, CCodePage(kCharsetUTF8)));
        EXPECT_EQ(ArchivePath_Rooted(c.pszName), c.pszRooted);
        EXPECT_EQ(ArchivePath_Entry(c.pszName), c.pszEntry);
    }
}

TEST(CArchivePathTest, CompiledFilePrefixGoesInAnyCase)
{
    struct SCase
    {
        const char* pszIn;
        const char* pszOut;
    };
    const SCase aCases[] = {
        {"ms-its:other.chm::/a.htm", "other.chm::/a.htm"},
        {"MS-ITS:other.chm::/a.htm", "other.chm::/a.htm"},
        {"mk:@MSITStore:other.chm::/a.htm", "other.chm::/a.htm"},
        {"MK:@msitstore:c:\\h\\b.chm::/a.htm", "c:\\h\\b.chm::/a.htm"},
        {"ms-its", "ms-its"},
        {"its:a.htm", "its:a.htm"},
        {"x ms-its:a.htm", "x ms-its:a.htm"},
        {"ms-its:ms-its:a.htm", "ms-its:a.htm"},
    };
    for (const SCase& c : aCases)
    {
        SCOPED_TRACE(c.pszIn);
        EXPECT_EQ(ArchivePath_WithoutCHMPrefix(c.pszIn), c.pszOut);
    }
}

TEST(CArchivePathTest, MergedReferenceSplitsIntoKeyTitleAndPath)
{
    struct SCase
    {
        int nRow;
        const char* pszAddress;
        const char* pszKey; ///< null when the address is no reference
        const char* pszTitle;
        const char* pszPath;
    };
    const SCase aCases[] = {
        {kCharsetUTF8, "other.chm::/html/a.htm", "/help/other.chm", "other", "html/a.htm"},
        {kCharsetUTF8, "Sub\\Other.CHM::\\html\\a.htm", "/help/sub/other.chm", "other", "html/a.htm"},
        {kCharsetUTF8, "../up/B.chm::/x.htm", "/up/b.chm", "b", "x.htm"},
        {kCharsetUTF8, "C:\\Docs\\B.chm::/x.htm", "c:/docs/b.chm", "b", "x.htm"},
        {kCharsetGb2312, "\x81\x5C.chm::/\x81\x5C\\a.htm", "/help/\x81\x5C.chm", "\x81\x5C",
         "\x81\x5C/a.htm"},
        {kCharsetUTF8, "::/a.htm", nullptr, nullptr, nullptr},
        {kCharsetUTF8, "html/a.htm", nullptr, nullptr, nullptr},
        {kCharsetUTF8, "..::/a.htm", nullptr, nullptr, nullptr},
    };
    for (const SCase& c : aCases)
    {
        SCOPED_TRACE(c.pszAddress);
        SCHMReference ref;
        const bool bSplit =
            ArchivePath_SplitCHMReference(c.pszAddress, "/Help/Main.chm", CCodePage(c.nRow), ref);
        ASSERT_EQ(bSplit, c.pszKey != nullptr);
        if (!bSplit)
            continue;
        EXPECT_EQ(ref.strKey, c.pszKey);
        EXPECT_EQ(ref.strTitle, c.pszTitle);
        EXPECT_EQ(ref.strPath, c.pszPath);
    }
    EXPECT_EQ(ArchivePath_CHMFileKey("/Help/./Sub/../Main.CHM"), "/help/main.chm");
}

TEST(CArchivePathTest, MergedFileIsFoundOnDiskWithoutRegardToCase)
{
    CTempDir dir;
    ASSERT_TRUE(WriteFileBytes(dir / "Sub/UserGuide.CHM", "x"));
    ASSERT_TRUE(WriteFileBytes(dir / "exact.chm/inner", "x"));
    struct SCase
    {
        std::string strKey;
        std::string strFound; ///< empty when nothing is found
    };
    const SCase aCases[] = {
        {dir / "Sub/UserGuide.CHM", dir / "Sub/UserGuide.CHM"},
        {dir / "sub/userguide.chm", dir / "Sub/UserGuide.CHM"},
        {dir / "missing.chm", ""},
        {dir / "exact.chm", ""}, // a folder is no compiled file
    };
    for (const SCase& c : aCases)
    {
        SCOPED_TRACE(c.strKey);
        EXPECT_EQ(ArchivePath_FindCHMFile(c.strKey), c.strFound);
    }
}

TEST(CArchivePathTest, NamesForTheSiteKeepEveryCharacterInItsCodePage)
{
    // 主 is in GBK, 한 (Hangul) is not; 😀 lies above U+FFFF; "\x95\x5C" is a GBK name already.
    struct SCase
    {
        int nRow;
        const char* pszName;
        const char* pszAddress;
        const char* pszTitle;
    };
    const SCase aCases[] = {
        {kCharsetUTF8, "\xE4\xB8\xBB.htm", "\xE4\xB8\xBB.htm", "\xE4\xB8\xBB.htm"},
        {kCharsetGb2312, "d/\xE4\xB8\xBB.htm", "d/\xD6\xF7.htm", "d/\xD6\xF7.htm"},
        {kCharsetGb2312, "\xED\x95\x9C\xE4\xB8\xBB", "\\uD55C\xD6\xF7", "\\uD55C\xD6\xF7"},
        {kCharsetWin1252, "caf\xC3\xA9 \xF0\x9F\x98\x80", "caf\xE9 \\uD83D\\uDE00", "caf\xE9 \\uD83D\\uDE00"},
        {kCharsetUTF8,
         "a\xE2\x80\xA8"
         "b",
         "a\\u2028b", "a\\u2028b"},
        {kCharsetWin1252, "1%#?\"\\.htm", "1%25%23%3F%22\\\\.htm", "1%#?'\\\\.htm"},
        {kCharsetGb2312, "\x95\x5C.htm", "\x95\x5C.htm", "\x95\x5C.htm"},
    };
    for (const SCase& c : aCases)
    {
        SCOPED_TRACE(c.pszName);
        const CCodePage cp(c.nRow);
        EXPECT_EQ(ArchivePath_NameForSite(c.pszName, cp, true), c.pszAddress);
        EXPECT_EQ(ArchivePath_NameForSite(c.pszName, cp, false), c.pszTitle);
    }
}

TEST(CArchivePathTest, SitemapAddressesAreResolvedAgainstTheSitemapsFolder)
{
    struct SCase
    {
        int nRow;
        const char* pszFolder;
        const char* pszIn;
        const char* pszOut;
    };
    const SCase aCases[] = {
        {kCharsetWin1252, "Documents/", "../page 1.html", "page 1.html"},
        {kCharsetWin1252, "Documents/", "sub\\x.htm#a/../b", "Documents/sub/x.htm#a/../b"},
        {kCharsetWin1252, "Documents/", "./a/./../b.htm?x=..", "Documents/b.htm?x=.."},
        {kCharsetWin1252, "Documents/", "../../../../page.htm", "page.htm"},
        {kCharsetWin1252, "Documents/", "/top.htm", "top.htm"},
        {kCharsetWin1252, "", "a/..", ""},
        {kCharsetWin1252, "", "a/b/..", "a/"},
        {kCharsetWin1252, "", "a//b/.x..htm", "a//b/.x..htm"},
        {kCharsetWin1252, "a/b/", "http://x/../y.htm", "http://x/../y.htm"},
        {kCharsetWin1252, "a/b/", "C:\\..\\y.htm", "C:\\..\\y.htm"},
        // The folder is an archive name (UTF-8): GBK has 主, windows-1252 has it not.
        {kCharsetGb2312, "\xE4\xB8\xBB/", "x.htm", "\xD6\xF7/x.htm"},
        {kCharsetWin1252, "\xE4\xB8\xBB/", "x.htm", "%E4%B8%BB/x.htm"},
        // A GBK character whose trail byte is "\" is no separator.
        {kCharsetGb2312, "d/", "..\\\x95\x5C.htm", "\x95\x5C.htm"},
    };
    for (const SCase& c : aCases)
    {
        SCOPED_TRACE(std::string(c.pszFolder) + " " + c.pszIn);
        EXPECT_EQ(ArchivePath_SitemapAddress(c.pszIn, CCodePage(c.nRow), c.pszFolder), c.pszOut);
    }
}

TEST(CArchivePathTest, PageReferencesResolveAgainstThePagesFolderAndNeverLeaveTheArchive)
{
    struct SCase
    {
        int nRow;
        const char* pszPage;
        const char* pszRef;
        const char* pszPath; ///< null: refused
    };
    const SCase aCases[] = {
        {kCharsetWin1252, "Pages/Topic.htm", "../images/Logo.GIF#x", "images/Logo.GIF"},
        {kCharsetWin1252, "Pages/Topic.htm", " ./a%20b.htm?q=1 ", "Pages/a b.htm"},
        {kCharsetWin1252, "a.htm", "sub\\..\\B.css", "B.css"},
        {kCharsetWin1252, "Pages/a.htm", "../../x.htm", nullptr},
        {kCharsetWin1252, "a.htm", "/abs.htm", nullptr},
        {kCharsetWin1252, "a.htm", "http://host/x.htm", nullptr},
        {kCharsetWin1252, "a.htm", "C:/x.htm", nullptr},
        {kCharsetWin1252, "a.htm", "#top", nullptr},
        {kCharsetWin1252, "a.htm", "..", nullptr},
        {kCharsetWin1252, "Pages/a.htm", "x/../../../y.htm", nullptr},
        {kCharsetWin1252, "a.htm", "./", nullptr},
        {kCharsetWin1252, "Pages/a.htm", "d%2F..%5C..%2Fe.htm", "e.htm"},
        {kCharsetWin1252, "Pages/a.htm", "b/c:d.htm?x#y", "Pages/b/c:d.htm"},
        {kCharsetWin1252, "a.htm", "b.htm#x?y/z:w", "b.htm"},
        {kCharsetWin1252, "a.htm", "b\\c:d.htm", "b/c:d.htm"},
        {kCharsetWin1252, "a.htm", "b%2", "b%2"},
        // A browser asks for the path in UTF-8; a trail byte 0x5C of Shift-JIS does not separate.
        {kCharsetWin1252, "a.htm", "\xE9.htm", "\xC3\xA9.htm"},
        {kCharsetShiftJis, "a.htm", "\x95\x5C.htm", "\xE8\xA1\xA8.htm"},
    };
    for (const SCase& c : aCases)
    {
        SCOPED_TRACE(c.pszRef);
        std::string strPath;
        EXPECT_EQ(ArchivePath_ResolveReference(c.pszPage, c.pszRef, CCodePage(c.nRow), strPath),
                  c.pszPath != nullptr);
        EXPECT_EQ(strPath, c.pszPath != nullptr ? c.pszPath : "");
    }
}
} // namespace
