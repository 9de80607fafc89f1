#include "CCodePage.h"
#include "CText.h"
#include "TestUtil.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string_view>

namespace
{
SCommandResult SearchData(const std::string& strArgs)
{
    return RunCommand(ShellQuote(HostProgram()) + " searchdata " + strArgs + " 2>&1");
}

TEST(HostSearchDataTest, UsageErrorsExitWith2AndSayWhy)
{
    CTempDir dir;
    WriteFileBytes(dir / "a.htm", "x");
    const std::string strPage = ShellQuote(dir / "a.htm");
    struct SCase
    {
        std::string strArgs;
        const char* pszMessage;
    };
    const SCase aCases[] = {
        {strPage, "-o OUT.js"},
        {"-o " + ShellQuote(dir / "out.js"), "at least one HTML file"},
        {"-o " + ShellQuote(dir / "out.js") + " --charset nonsense " + strPage, "unknown charset 'nonsense'"},
        {"-o " + ShellQuote(dir / "out.js") + " --frobnicate " + strPage, "unknown option '--frobnicate'"},
        {strPage + " -o", "needs a value"},
        {"-o " + ShellQuote(dir.Path()) + " " + strPage, "is a folder"},
    };
    for (const SCase& c : aCases)
    {
        SCOPED_TRACE(c.strArgs);
        SCommandResult res = SearchData(c.strArgs);
        EXPECT_EQ(res.nExit, 2);
        EXPECT_NE(res.strOutput.find(c.pszMessage), std::string::npos) << res.strOutput;
    }
    EXPECT_FALSE(FileExists(dir / "out.js"));
}

TEST(HostSearchDataTest, WritesTheScriptAndWarnsOfUnreadableFiles)
{
    CTempDir dir;
    WriteFileBytes(dir / "one.htm", "<title>One</title>Hello world");
    std::string strOut = dir / "searchdata.js";
    SCommandResult res = SearchData("-o " + ShellQuote(strOut) + " --source-dir topics " +
                                    ShellQuote(dir / "one.htm") + " " + ShellQuote(dir / "gone.htm"));
    EXPECT_EQ(res.nExit, 0) << res.strOutput;
    EXPECT_NE(res.strOutput.find("warning: cannot read '" + (dir / "gone.htm") + "'"), std::string::npos)
        << res.strOutput;
    std::string strFile = ReadFileBytes(strOut);
    EXPECT_NE(strFile.find("\"topics/one.htm\",\r\n\"topics/gone.htm\"];"), std::string::npos) << strFile;
    EXPECT_NE(strFile.find("\"One\",\r\n\"gone\"];"), std::string::npos) << strFile;
    EXPECT_NE(strFile.find("[\"hello\",[0]],"), std::string::npos) << strFile;

    // The same with values joined to their options, as convert takes them.
    const std::string strJoined = dir / "joined.js";
    res = SearchData("--output=" + ShellQuote(strJoined) + " --source-dir=topics --charset=windows-1252 " +
                     ShellQuote(dir / "one.htm") + " " + ShellQuote(dir / "gone.htm"));
    EXPECT_EQ(res.nExit, 0) << res.strOutput;
    EXPECT_EQ(ReadFileBytes(strJoined), strFile);

    res = SearchData("-o " + ShellQuote(dir / "no/folder/x.js") + " " + ShellQuote(dir / "one.htm"));
    EXPECT_EQ(res.nExit, 1);
    EXPECT_NE(res.strOutput.find("cannot write"), std::string::npos) << res.strOutput;
}

// Pages in other encodings, or none at all, must never put broken UTF-8 into a UTF-8 site.
TEST(HostSearchDataTest, UTF8SiteGetsOnlyValidUTF8)
{
    using namespace std::string_literals;
    CTempDir dir;
    WriteFileBytes(dir / "gbk.htm",
                   "<title>\xD6\xD0\xCE\xC4</title><p>\xD6\xD0\xCE\xC4\xB0\xA1 abc \x81\x40\xFF</p>");
    WriteFileBytes(dir / "utf8.htm",
                   "<title>\xE4\xB8\xAD</title>" + std::string(30, 'x') + " " +
                       "\xE4\xB8\xAD\xE6\x96\x87\xE4\xB8\xAD\xE6\x96\x87\xE4\xB8\xAD\xE6\x96\x87\xE4"
                       "\xB8\xAD &#x1F600;&#xD800;");
    WriteFileBytes(dir / "bom.htm", "\xEF\xBB\xBF<p>\xF0\x9F\x98\x80\xC3\xA9\xE4\xB8</p>");
    WriteFileBytes(dir / "binary.gif", "GIF89a\x90\x91\x92\xE4\xB8\xAD\xAD\xAD\0\x01"s);
    std::string strOut = dir / "searchdata.js";
    SCommandResult res = SearchData("--charset utf-8 -o " + ShellQuote(strOut) + " " +
                                    ShellQuote(dir / "gbk.htm") + " " + ShellQuote(dir / "utf8.htm") + " " +
                                    ShellQuote(dir / "bom.htm") + " " + ShellQuote(dir / "binary.gif"));
    ASSERT_EQ(res.nExit, 0) << res.strOutput;
    std::string strFile = ReadFileBytes(strOut);
    EXPECT_TRUE(IsValidUTF8(strFile));
    EXPECT_NE(strFile.find("[\"\xE4\xB8\xAD\xE6\x96\x87\",[1]],"), std::string::npos) << strFile;
    EXPECT_NE(strFile.find("[\"\xF0\x9F\x98\x80\xC3\xA9\",[2]]"), std::string::npos) << strFile;
}
// A relative -o lies below the current folder, which is then the output folder; any other path
// is taken as named up to its last name.
TEST(HostSearchDataTest, TheScriptIsWrittenThroughNoLink)
{
    struct SCase
    {
        const char* pszOutput; ///< below the test folder
        bool bAbsolute;
        SPlant plant; ///< below the test folder's "site"
    };
    const SCase aCases[] = {
        {"site/whfiles/searchdata.js", false, {"whfiles", EPlant::kFolderLink}},
        {"./site/deeper/searchdata.js", false, {"", EPlant::kFolderLink}},
        {"site/searchdata.js", false, {"searchdata.js", EPlant::kFileLink}},
        {"site/searchdata.js", false, {"searchdata.js", EPlant::kDanglingLink}},
        {"site/searchdata.js", false, {"searchdata.js", EPlant::kHardLink}},
        {"site/searchdata.js", true, {"searchdata.js", EPlant::kFileLink}},
        {"site/searchdata.js", true, {"searchdata.js", EPlant::kDanglingLink}},
    };
    for (const SCase& c : aCases)
    {
        SCOPED_TRACE(c.pszOutput + std::string(" over ") + c.plant.pszPath);
        CTempDir dir;
        ASSERT_TRUE(WriteFileBytes(dir / "page.htm", "<title>Page</title>words"));
        ASSERT_TRUE(PlantLinks(dir.Path(), dir / "site", {c.plant}));
        const std::map<std::string, std::string> mapOutside = ListTree(dir / "outside");
        const std::map<std::string, std::string> mapReal = ListTree(dir / "real");

        const std::string strOutput = c.bAbsolute ? dir / c.pszOutput : c.pszOutput;
        const SCommandResult res =
            RunCommand("cd " + ShellQuote(dir.Path()) + " && " + ShellQuote(HostProgram()) +
                       " searchdata -o " + ShellQuote(strOutput) + " page.htm 2>&1");
        ASSERT_EQ(res.nExit, 0) << res.strOutput;
        EXPECT_EQ(ListTree(dir / "outside"), mapOutside);
        EXPECT_EQ(ListTree(dir / "real"), mapReal);
        std::string strOnDisk = dir.Path();
        for (std::string_view sv : {"site", "whfiles", "deeper", "searchdata.js"})
        {
            if (std::string(c.pszOutput).find(sv) == std::string::npos)
                continue;
            strOnDisk += "/" + std::string(sv);
            EXPECT_FALSE(std::filesystem::is_symlink(strOnDisk)) << strOnDisk;
        }
        EXPECT_EQ(ReadFileBytes(strOnDisk).rfind("var SearchFiles = [\r\n\"source/page.htm\"", 0), 0u)
            << ReadFileBytes(strOnDisk);
    }
}
} // namespace
