#include "CCHMFileRW.h"
#include "CXML.h"
#include "TestUtil.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

namespace
{
uint64_t GetU64(const std::string& str, size_t nPos)
{
    uint64_t n = 0;
    for (int i = 7; i >= 0; --i)
        n = n << 8 | static_cast<unsigned char>(str[nPos + static_cast<size_t>(i)]);
    return n;
}

/// Where the parts of a compiled file begin: directory and content section.
struct SLayout
{
    size_t nDirectory;
    size_t nContent;
};

SLayout LayoutOf(const std::string& strChm)
{
    return {static_cast<size_t>(GetU64(strChm, 0x48)), static_cast<size_t>(GetU64(strChm, 0x58))};
}

/// Every call of the reader on whatever is open; none may crash or hang. Returns how many
/// streams could be read.
int ExerciseReader(CCHMFileRW& reader, const std::string& strOutDir)
{
    CXML contents;
    reader.CHM2Web_ReadHHCInfoToXML(&contents, std::string());
    reader.CHM_SitemapMissing();
    CXML index;
    reader.CHM2Web_ReadHHKInfoToXML(&index);
    CXML merged;
    reader.CHM2Web_ReadHHCInfoToXML(&merged, "sub\\part.hhc");
    reader.CHM_GetSystemInfo();
    int nRead = 0;
    for (const char* pszPath : {"index.htm", "topics\\a.htm", "topics\\sub\\b.htm", "images\\allbytes.bin",
                                "empty.txt", "full.hhc", "#SYSTEM", "nothere.htm"})
    {
        unsigned char* pBuf = nullptr;
        const int64_t n = reader.CHM_GetStream(pszPath, &pBuf, 1);
        if (n >= 0)
        {
            EXPECT_NE(pBuf, nullptr);
            if (pBuf != nullptr)
            {
                EXPECT_EQ(pBuf[n], 0);
            }
            ++nRead;
        }
        else
            EXPECT_EQ(pBuf, nullptr);
        std::free(pBuf);
    }
    CXML storage;
    reader.CHM_ReadAllStorageInfoToXML(&storage);
    reader.CHM2Web_Decompile(strOutDir);
    return nRead;
}

/// Everything the reader offers fails on a file that did not open.
void ExpectNothingReadable(CCHMFileRW& reader, const std::string& strOutDir)
{
    EXPECT_FALSE(reader.CHM_IsOpen());
    CXML root;
    EXPECT_EQ(reader.CHM2Web_ReadHHCInfoToXML(&root, std::string()), 0);
    EXPECT_FALSE(reader.CHM_SitemapMissing());
    EXPECT_EQ(reader.CHM2Web_ReadHHKInfoToXML(&root), 0);
    EXPECT_FALSE(reader.CHM_SitemapMissing());
    EXPECT_EQ(reader.CHM_ReadAllStorageInfoToXML(&root), 0);
    EXPECT_EQ(root.GetChildCount(), 0);
    EXPECT_EQ(ExerciseReader(reader, strOutDir), 0);
    EXPECT_EQ(reader.CHM2Web_Decompile(strOutDir), 0);
    EXPECT_TRUE(ListFiles(strOutDir).empty());
    EXPECT_TRUE(reader.CHM_GetSystemInfo().strTitle.empty());
}

/// Replaces every occurrence of strFrom inside the directory with strTo (same length).
int PatchDirectoryName(std::string& strChm, const std::string& strFrom, const std::string& strTo)
{
    const SLayout layout = LayoutOf(strChm);
    int nCount = 0;
    for (size_t nPos = strChm.find(strFrom, layout.nDirectory);
         nPos != std::string::npos && nPos < layout.nContent; nPos = strChm.find(strFrom, nPos + 1))
    {
        strChm.replace(nPos, strFrom.size(), strTo);
        ++nCount;
    }
    return nCount;
}

class CCHMFileRWBadInputTest : public ::testing::Test
{
protected:
    std::string Write(const std::string& strName, const std::string& strBytes)
    {
        const std::string strPath = m_temp / strName;
        EXPECT_TRUE(WriteFileBytes(strPath, strBytes));
        return strPath;
    }

    CTempDir m_temp;
    CCHMFileRW m_reader;
};
} // namespace

TEST_F(CCHMFileRWBadInputTest, FilesThatAreNotCompiledHelpDoNotOpen)
{
    std::string strRandom(20000, '\0');
    std::mt19937 rng(7);
    for (char& c : strRandom)
        c = static_cast<char>(rng());
    std::string strHeaderOnly = ReadFileBytes(ChmFixture("reader", "full")).substr(0, 0x60);
    struct SCase
    {
        const char* pszName;
        std::string strBytes;
    };
    const SCase aCases[] = {
        {"empty.chm", ""},
        {"text.chm", "<html><body>This is a page, not a compiled help file.</body></html>\n"},
        {"itsf.chm", "ITSF" + std::string(200, '\0')},
        {"random.chm", strRandom},
        {"header-only.chm", strHeaderOnly},
    };
    for (const SCase& c : aCases)
    {
        SCOPED_TRACE(c.pszName);
        EXPECT_FALSE(m_reader.CHM_SetCHMFile(Write(c.pszName, c.strBytes)));
        ExpectNothingReadable(m_reader, m_temp / "out");
    }
    EXPECT_FALSE(m_reader.CHM_SetCHMFile(m_temp / "does-not-exist.chm"));
    ExpectNothingReadable(m_reader, m_temp / "out");
    EXPECT_FALSE(m_reader.CHM_SetCHMFile(m_temp.Path()));
    ExpectNothingReadable(m_reader, m_temp / "out");
}

TEST_F(CCHMFileRWBadInputTest, FilesCutShortDoNotOpen)
{
    const std::string strChm = ReadFileBytes(ChmFixture("reader", "full"));
    const SLayout layout = LayoutOf(strChm);
    ASSERT_LT(layout.nDirectory, layout.nContent);
    ASSERT_LT(layout.nContent + 200, strChm.size());
    const size_t aCuts[] = {1,
                            0x20,
                            0x50,
                            layout.nDirectory + 0x10,
                            layout.nDirectory + 0x60,
                            layout.nContent - 1,
                            layout.nContent + 100,
                            (layout.nContent + strChm.size()) / 2,
                            strChm.size() - 1};
    for (size_t nCut : aCuts)
    {
        SCOPED_TRACE(nCut);
        EXPECT_FALSE(m_reader.CHM_SetCHMFile(Write("cut.chm", strChm.substr(0, nCut))));
        ExpectNothingReadable(m_reader, m_temp / "out");
    }
}

TEST_F(CCHMFileRWBadInputTest, DamagedBytesNeverCrashOrHang)
{
    const std::string strChm = ReadFileBytes(ChmFixture("reader", "full"));
    const SLayout layout = LayoutOf(strChm);
    std::mt19937 rng(20240611);
    int nOpened = 0;
    for (int nRound = 0; nRound < 150; ++nRound)
    {
        SCOPED_TRACE(nRound);
        std::string strDamaged = strChm;
        // Alternate between the directory, the content section and anywhere at all.
        const size_t nFrom = nRound % 3 == 0 ? layout.nDirectory : nRound % 3 == 1 ? layout.nContent : 0;
        const size_t nTo = nRound % 3 == 0 ? layout.nContent : strChm.size();
        const int nBytes = 1 + static_cast<int>(rng() % 16);
        for (int i = 0; i < nBytes; ++i)
            strDamaged[nFrom + rng() % (nTo - nFrom)] = static_cast<char>(rng());
        const std::string strOut = m_temp / ("out" + std::to_string(nRound));
        if (m_reader.CHM_SetCHMFile(Write("damaged.chm", strDamaged)))
        {
            ++nOpened;
            ExerciseReader(m_reader, strOut);
        }
        else
            ExpectNothingReadable(m_reader, strOut);
        for (const std::string& strFile : ListFiles(m_temp.Path()))
            EXPECT_TRUE(strFile == "damaged.chm" ||
                        strFile.rfind("out" + std::to_string(nRound) + "/", 0) == 0)
                << strFile;
        std::error_code ec;
        std::filesystem::remove_all(strOut, ec);
    }
    // Damage in the content section leaves the directory readable, so the reads above ran.
    EXPECT_GT(nOpened, 0);
}

TEST_F(CCHMFileRWBadInputTest, EntriesNamedToClimbOutAreNeitherListedNorWritten)
{
    std::string strChm = ReadFileBytes(ChmFixture("reader", "unsafe"));
    const std::string strAbsoluteTarget = "/tmp/whreaderabs.htm";
    std::remove(strAbsoluteTarget.c_str());
    struct SRename
    {
        const char* pszFrom;
        const char* pszTo;
    };
    const SRename aRenames[] = {
        {"/aa/evil.htm", "/../evil.htm"},         {"/aa/absolute_name.htm", "//tmp/whreaderabs.htm"},
        {"/aa/drv1.htm", "/C:/drv1.htm"},         {"/aa/bsl1.htm", "/..\\bsl1.htm"},
        {"/aa/sub/deep.htm", "/aa/../../dp.htm"},
    };
    for (const SRename& r : aRenames)
    {
        SCOPED_TRACE(r.pszFrom);
        ASSERT_EQ(std::string(r.pszFrom).size(), std::string(r.pszTo).size());
        ASSERT_GE(PatchDirectoryName(strChm, r.pszFrom, r.pszTo), 1);
    }
    const std::string strOut = m_temp / "out/inner";
    ASSERT_TRUE(m_reader.CHM_SetCHMFile(Write("unsafe.chm", strChm)));

    CXML storage;
    ASSERT_NE(m_reader.CHM_ReadAllStorageInfoToXML(&storage), 0);
    std::vector<std::string> vecLocals;
    for (int i = 0; i < storage.GetChildCount(); ++i)
    {
        CXML* pChild = storage.GetChildAt(i);
        vecLocals.push_back(pChild->GetAttr("Local"));
        for (int j = 0; j < pChild->GetChildCount(); ++j)
            vecLocals.push_back(pChild->GetChildAt(j)->GetAttr("Local"));
    }
    EXPECT_EQ(vecLocals, (std::vector<std::string>{"/_#_README_#_", "/aa/", "/aa/ok.htm"}));

    // Not every file was written, so the unpacking reports failure.
    EXPECT_EQ(m_reader.CHM2Web_Decompile(strOut), 0);
    EXPECT_EQ(ListFiles(m_temp.Path()),
              (std::vector<std::string>{"out/inner/_#_README_#_", "out/inner/aa/ok.htm", "unsafe.chm"}));
    EXPECT_FALSE(FileExists(strAbsoluteTarget));

    std::vector<std::string> vecUnsafe = m_reader.CHM_GetUnsafeEntryNames();
    std::sort(vecUnsafe.begin(), vecUnsafe.end());
    std::vector<std::string> vecRenamed;
    for (const SRename& r : aRenames)
        vecRenamed.push_back(r.pszTo);
    std::sort(vecRenamed.begin(), vecRenamed.end());
    EXPECT_EQ(vecUnsafe, vecRenamed);
    m_reader.CHM_CloseCHMFile();
    EXPECT_TRUE(m_reader.CHM_GetUnsafeEntryNames().empty());

    // The host converts the rest and names each entry it left out.
    SCommandResult res = RunCommand(HostProgram() + " convert -q " + ShellQuote(m_temp / "unsafe.chm") +
                                    " -o " + ShellQuote(m_temp / "site"));
    EXPECT_EQ(res.nExit, 0) << res.strOutput;
    for (const std::string& strName : vecRenamed)
        EXPECT_NE(res.strOutput.find("not unpacked: the entry '" + strName + "'"), std::string::npos)
            << res.strOutput;
    EXPECT_TRUE(FileExists(m_temp / "site/source/aa/ok.htm"));
    EXPECT_FALSE(FileExists(strAbsoluteTarget));
    EXPECT_FALSE(FileExists(m_temp / "evil.htm"));
}

TEST_F(CCHMFileRWBadInputTest, EntriesNamedUnlikeTheirUnpackedPathAreFoundUnderEitherName)
{
    std::string strChm = ReadFileBytes(ChmFixture("reader", "unsafe"));
    ASSERT_GE(PatchDirectoryName(strChm, "/aa/bsl1.htm", "/aa\\bsl1.htm"), 1);
    ASSERT_GE(PatchDirectoryName(strChm, "/aa/evil.htm", "\\aa\\evil.htm"), 1);
    ASSERT_GE(PatchDirectoryName(strChm, "/aa/drv1.htm", "/aa//rv1.htm"), 1);
    ASSERT_GE(PatchDirectoryName(strChm, "/aa/sub/deep.htm", "/aa/./sub/dp.htm"), 1);
    ASSERT_TRUE(m_reader.CHM_SetCHMFile(Write("odd.chm", strChm)));
    struct SCase
    {
        const char* pszPath;
        bool bFound;
        const char* pszName; ///< what CHM_FindEntryName gives: empty for an entry that stays packed
    };
    const SCase aCases[] = {
        {"aa/ok.htm", true, "aa/ok.htm"},
        {"\\AA\\OK.HTM", true, "aa/ok.htm"},
        {"Aa/./Ok.htm", true, "aa/ok.htm"},
        {"aa/bsl1.htm", true, "aa/bsl1.htm"},
        {"AA\\BSL1.htm", true, "aa/bsl1.htm"},
        {"aa//rv1.htm", true, "aa/rv1.htm"},
        {"aa/rv1.htm", true, "aa/rv1.htm"},
        {"/AA/RV1.HTM", true, "aa/rv1.htm"},
        {"aa/./sub/dp.htm", true, "aa/sub/dp.htm"},
        {"aa/sub/DP.htm", true, "aa/sub/dp.htm"},
        {"aa/evil.htm", true, ""},
        {"//aa/evil.htm", false, ""},
        {"aa/x/../ok.htm", false, ""},
        {"aa/sub/deep.htm", false, ""},
        {"#SYSTEM", true, ""},
        {"", false, ""},
    };
    for (const SCase& c : aCases)
    {
        SCOPED_TRACE(c.pszPath);
        EXPECT_EQ(m_reader.CHM_FindEntryName(c.pszPath), c.pszName);
        EXPECT_EQ(m_reader.CHM_FindEntry(c.pszPath).has_value(), c.bFound);
    }
    // Each is listed and unpacked under its unpacked path, "\\" or not; one that starts with "\\"
    // stays packed, so not every file is written.
    const std::vector<std::string> vecUnpacked = {"_#_README_#_", "aa/absolute_name.htm", "aa/bsl1.htm",
                                                  "aa/ok.htm",    "aa/rv1.htm",           "aa/sub/dp.htm"};
    EXPECT_EQ(m_reader.CHM2Web_Decompile(m_temp / "out"), 0);
    std::vector<std::string> vecWritten;
    for (const std::string& strFile : ListFiles(m_temp.Path()))
    {
        if (strFile.compare(0, 4, "out/") == 0)
            vecWritten.push_back(strFile.substr(4));
    }
    EXPECT_EQ(vecWritten, vecUnpacked);
    CXML storage;
    ASSERT_NE(m_reader.CHM_ReadAllStorageInfoToXML(&storage), 0);
    std::vector<std::string> vecListed;
    std::vector<CXML*> vecStack{&storage};
    while (!vecStack.empty())
    {
        CXML* p = vecStack.back();
        vecStack.pop_back();
        if (p->GetAttrInt("Type") == 3)
            vecListed.push_back(p->GetAttr("Local").substr(1));
        for (int i = 0; i < p->GetChildCount(); ++i)
            vecStack.push_back(p->GetChildAt(i));
    }
    std::sort(vecListed.begin(), vecListed.end());
    EXPECT_EQ(vecListed, vecUnpacked);

    // Each name reads the same entry.
    std::string strBytes;
    std::string strOther;
    ASSERT_TRUE(m_reader.CHM_ReadStream("aa//rv1.htm", strBytes));
    ASSERT_TRUE(m_reader.CHM_ReadStream("AA/RV1.htm", strOther));
    EXPECT_EQ(strBytes, strOther);
    EXPECT_EQ(strBytes, ReadFileBytes(std::string(WEBHELP_FIXTURES_DIR) + "/reader/aa/drv1.htm"));
}

// The record is read when the file opens, before any name is looked up, by the same rules.
TEST_F(CCHMFileRWBadInputTest, TheSystemRecordIsFoundUnderTheNamesALookupFindsItBy)
{
    const std::string strOriginal = ReadFileBytes(ChmFixture("reader", "unsafe"));
    struct SCase
    {
        const char* pszName;
        bool bFound;
    };
    const SCase aCases[] = {{"/#SYSTEM", true},  {"/#system", true},  {"\\#SYSTEM", true},
                            {"/#SYSTEX", false}, {"::SYSTEM", false}, {"/#/SYSTE", false}};
    for (const SCase& c : aCases)
    {
        SCOPED_TRACE(c.pszName);
        std::string strChm = strOriginal;
        ASSERT_EQ(PatchDirectoryName(strChm, "/#SYSTEM", c.pszName), 1);
        CCHMFileRW reader;
        ASSERT_TRUE(reader.CHM_SetCHMFile(Write("system.chm", strChm)));
        EXPECT_EQ(reader.CHM_GetSystemInfo().strTitle, c.bFound ? "Reader unsafe" : "");
        EXPECT_EQ(reader.CHM_FindEntry("/#SYSTEM").has_value(), c.bFound);
    }
}

TEST_F(CCHMFileRWBadInputTest, HostRefusesInputThatIsNotCompiledHelp)
{
    const std::string strChm = ReadFileBytes(ChmFixture("reader", "full"));
    struct SCase
    {
        const char* pszName;
        std::string strBytes;
    };
    const SCase aCases[] = {
        {"page.chm", "<html><body>not compiled</body></html>"},
        {"cut.chm", strChm.substr(0, strChm.size() / 2)},
        {"empty.chm", ""},
    };
    for (const SCase& c : aCases)
    {
        SCOPED_TRACE(c.pszName);
        const std::string strOut = m_temp / "site";
        const SCommandResult result =
            RunCommand(HostProgram() + " convert " + ShellQuote(Write(c.pszName, c.strBytes)) + " -o " +
                       ShellQuote(strOut));
        EXPECT_EQ(result.nExit, 2);
        EXPECT_NE(result.strOutput.find("is not a compiled help (.chm) file, or it is damaged"),
                  std::string::npos)
            << result.strOutput;
        EXPECT_FALSE(FileExists(strOut));
    }
}
