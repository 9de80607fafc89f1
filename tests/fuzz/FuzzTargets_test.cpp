#include "FuzzSupport.h"
#include "TestUtil.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace
{
std::vector<std::string> g_vecReports;

void CollectReport(const std::string& strWhy)
{
    g_vecReports.push_back(strWhy);
}

std::string Join(const std::vector<std::u32string>& vec)
{
    std::string str;
    for (const std::u32string& s : vec)
    {
        if (!str.empty())
            str += '|';
        for (char32_t c : s)
            str += c < 0x80 ? static_cast<char>(c) : '?';
    }
    return str;
}

// The oracle of the fuzz targets must itself tell a well-formed data script from a broken one.
TEST(FuzzSupportTest, ReadsDataScriptLiteralsAndRefusesBrokenOnes)
{
    struct SCase
    {
        const char32_t* pszScript;
        bool bOk;
        const char* pszLiterals; ///< joined with "|"; non-ASCII as "?"
    };
    const SCase aCases[] = {
        {U"var A = [\r\n\t[\"a\", \"b/c.htm\", \"1\"]\r\n];\r\nvar g = \"b\"", true, "a|b/c.htm|1|b"},
        {U"[\"\\\\ \\\" \\n \\r \\u00e9 \\uD83D\\uDE00\", null]", true, "\\ \" \n \r ? ?"},
        {U"[\"x\\u2028\", 'y']", true, "x?|y"},
        {U"[\"line\nbreak\"]", false, ""},
        {U"[\"sep\u2028\"]", false, ""},
        {U"[\"\\a\"]", false, ""},
        {U"[\"\\u12\"]", false, ""},
        {U"[\"open]", false, ""},
        {U"[[\"a\"]", false, ""},
        {U"[\"a\"]]", false, ""},
        {U"[\"a\"] + 1", false, ""},
        {U"[\"a\" \u00e9]", false, ""},
    };
    for (const SCase& c : aCases)
    {
        SCOPED_TRACE(Join({c.pszScript}));
        std::vector<std::u32string> vecLiterals;
        std::string strWhy;
        EXPECT_EQ(JS_ReadDataScript(c.pszScript, vecLiterals, strWhy), c.bOk) << strWhy;
        if (c.bOk)
        {
            EXPECT_EQ(Join(vecLiterals), c.pszLiterals);
        }
        else
        {
            EXPECT_FALSE(strWhy.empty());
        }
    }
}

/// Runs fnTarget on every file below strDir whose name ends in one of the suffixes, with the byte
/// nPrefix before its bytes unless it is negative. Returns how many files it ran on.
int RunOnFiles(int (*fnTarget)(const uint8_t*, size_t), const std::string& strDir,
               std::initializer_list<const char*> suffixes, int nPrefix)
{
    int nRun = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(strDir))
    {
        const std::string strPath = entry.path().string();
        bool bMatch = false;
        for (const char* pszSuffix : suffixes)
            bMatch = bMatch || strPath.ends_with(pszSuffix);
        if (!entry.is_regular_file() || !bMatch)
            continue;
        std::string strBytes = ReadFileBytes(strPath);
        if (nPrefix >= 0)
            strBytes.insert(strBytes.begin(), static_cast<char>(nPrefix));
        SCOPED_TRACE(strPath);
        fnTarget(reinterpret_cast<const uint8_t*>(strBytes.data()), strBytes.size());
        ++nRun;
    }
    return nRun;
}

// What the fuzzers start from, and every input they once broke a promise with, keeps them all.
TEST(FuzzTargetsTest, SeedsAndFoundInputsKeepEveryPromise)
{
    g_vecReports.clear();
    Fuzz_SetFailHandler(CollectReport);
    struct SFound
    {
        int (*fnTarget)(const uint8_t*, size_t);
        std::string strBytes;
    };
    const SFound aFound[] = {
        // A title whose lead byte stands before a line break (gbk): its escape lost its backslash.
        {Fuzz_ScriptLiterals, std::string("\x02\x0Bline\xF2\nbrea\xFF\x0C:!bbne\r\nbrea\xFFm", 26)},
        // The same in an address, before an escaped quote.
        {Fuzz_ScriptLiterals, std::string("\x02\x01\x81\x81\"", 5)},
        // An ISO-2022-JP title with SO before a quote (the writer took SO for a shift, a browser does not).
        {Fuzz_Harvest, "\x07<title>a\x0E\"b</title>"},
        {Fuzz_Sitemap, "\x04<ul><li><object type=\"text/sitemap\"><param name=\"Name\" value=\"a\xF2\r\n\">"
                       "<param name=\"Local\" value=\"\xF2\r\n.htm\"></object></ul>"},
    };
    for (const SFound& found : aFound)
        found.fnTarget(reinterpret_cast<const uint8_t*>(found.strBytes.data()), found.strBytes.size());

    const std::string strFixtures = WEBHELP_FIXTURES_DIR;
    EXPECT_GT(RunOnFiles(Fuzz_Reader, WEBHELP_CHM_DIR, {".chm"}, -1), 10);
    for (int nPrefix : {0, 1, 4, 5})
        EXPECT_GT(RunOnFiles(Fuzz_Sitemap, strFixtures, {".hhc", ".hhk"}, nPrefix), 10);
    for (int nPrefix : {0, 1, 2, 3, 7})
    {
        EXPECT_GT(RunOnFiles(Fuzz_Harvest, strFixtures, {".htm", ".html"}, nPrefix), 10);
        EXPECT_GT(RunOnFiles(Fuzz_BOMReader, strFixtures, {".htm", ".html"}, nPrefix), 10);
    }
    Fuzz_SetFailHandler(nullptr);
    EXPECT_EQ(g_vecReports, std::vector<std::string>());
}
} // namespace
