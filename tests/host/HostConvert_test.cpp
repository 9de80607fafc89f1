#include "TestUtil.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace
{
SCommandResult Host(const std::string& strArgs)
{
    return RunCommand(ShellQuote(HostProgram()) + " " + strArgs);
}
} // namespace

TEST(HostConvertTest, InputThatIsMissingOrNotACompiledFileIsRefusedBeforeAnyFolderIsMade)
{
    CTempDir dir;
    ASSERT_TRUE(WriteFileBytes(dir / "page.chm", "<html>just a page</html>"));
    ASSERT_TRUE(WriteFileBytes(dir / "empty.chm", ""));
    struct SCase
    {
        std::string strInput;
        const char* pszMessage;
    };
    const SCase aCases[] = {
        {dir / "missing.chm", "does not exist"},
        {dir / "page.chm", "not a compiled help"},
        {dir / "empty.chm", "not a compiled help"},
        {dir.Path(), "is a folder"},
    };
    for (const SCase& c : aCases)
    {
        SCOPED_TRACE(c.strInput);
        SCommandResult res = Host("convert " + ShellQuote(c.strInput) + " -o " + ShellQuote(dir / "site"));
        EXPECT_EQ(res.nExit, 2);
        EXPECT_NE(res.strOutput.find(c.pszMessage), std::string::npos) << res.strOutput;
        EXPECT_FALSE(FileExists(dir / "site"));
    }
}

TEST(HostConvertTest, HelpVersionAndUsageErrors)
{
    SCommandResult help = Host("--help");
    EXPECT_EQ(help.nExit, 0);
    for (const char* psz : {"convert", "searchdata", "wizard", "--charset", "--template", "--no-index",
                            "--home-url", "--caption-contents", "--tip-print", "--source-dir", "--quiet"})
        EXPECT_NE(help.strOutput.find(psz), std::string::npos) << psz;

    SCommandResult version = Host("--version");
    EXPECT_EQ(version.nExit, 0);
    EXPECT_EQ(version.strOutput.rfind("webhelp ", 0), 0u) << version.strOutput;

    EXPECT_EQ(Host("").nExit, 2);
    EXPECT_EQ(Host("frobnicate").nExit, 2);
    SCommandResult bad = Host("convert x.chm --charset nope");
    EXPECT_EQ(bad.nExit, 2);
    EXPECT_NE(bad.strOutput.find("unknown charset"), std::string::npos) << bad.strOutput;
}

TEST(HostConvertTest, DefaultsComeFromTheCompiledFilesOwnLanguageAndTitle)
{
    CTempDir dir;
    struct SCase
    {
        const char* pszProject;
        const char* pszName;
        const char* pszCharset;
        std::string strTitle; ///< in the site's code page
        std::string strContents;
    };
    const SCase aCases[] = {
        {"pipeline", "full", "windows-1252", "Pipeline full", "Contents"},
        {"pipeline", "chinese", "gb2312", "Pipeline \xD6\xD0\xCE\xC4", "\xC4\xBF\xC2\xBC"}, // 中文, 目录
        {"wizard", "sample", "shift-jis", "Wizard Sample", "\x96\xDA\x8E\x9F"},             // 目次
        {"names_korean", "korean", "euc-kr", "korean", "\xB8\xF1\xC2\xF7"},                 // 목차
    };
    for (const SCase& c : aCases)
    {
        SCOPED_TRACE(c.pszName);
        const std::string strInput = dir / (std::string(c.pszName) + ".chm");
        ASSERT_TRUE(WriteFileBytes(strInput, ReadFileBytes(ChmFixture(c.pszProject, c.pszName))));
        SCommandResult res = Host("convert " + ShellQuote(strInput));
        ASSERT_EQ(res.nExit, 0) << res.strOutput;
        const std::string strSite = dir / (std::string(c.pszName) + "_WebHelp");
        EXPECT_NE(res.strOutput.find("WebHelp site written to " + strSite + "/index.html"), std::string::npos)
            << res.strOutput;
        const std::string strIndex = ReadFileBytes(strSite + "/index.html");
        EXPECT_NE(strIndex.find(std::string("charset=") + c.pszCharset), std::string::npos) << strIndex;
        EXPECT_NE(strIndex.find("<title>" + c.strTitle + "</title>"), std::string::npos) << strIndex;
        EXPECT_NE(ReadFileBytes(strSite + "/whheaderc.html").find(c.strContents), std::string::npos);
    }
}

TEST(HostConvertTest, OutputFolderThatCannotBeMadeIsAFailureNotASite)
{
    CTempDir dir;
    ASSERT_TRUE(WriteFileBytes(dir / "plain-file", "x"));
    SCommandResult res = Host("convert " + ShellQuote(ChmFixture("pipeline", "full")) + " -o " +
                              ShellQuote(dir / "plain-file/site"));
    EXPECT_EQ(res.nExit, 1);
    EXPECT_NE(res.strOutput.find("cannot write to the output folder"), std::string::npos) << res.strOutput;
    EXPECT_EQ(res.strOutput.find("written"), std::string::npos) << res.strOutput;
}

TEST(HostConvertTest, AFileThatCannotBeWrittenFailsItsStepAndIsNamedWithTheReason)
{
    // A folder where the file should go refuses it even to root; a size limit cuts a file short.
    struct SCase
    {
        const char* pszBlocked; ///< made a folder; null for the size limit
        const char* pszStep;
        const char* pszReason;
    };
    const SCase aCases[] = {
        {"whfiles/contentsdata.js", "Writing the table of contents", "Is a directory"},
        {"whfiles/indexdata.js", "Writing the index", "Is a directory"},
        {"whfiles/searchdata.js", "Writing the search data, scripts and pages", "Is a directory"},
        {"whheaderi.html", "Writing the search data, scripts and pages", "Is a directory"},
        {"whfiles/whtree.js", "Writing the search data, scripts and pages", "Is a directory"},
        {"source/start.htm", "Unpacking the topic files", "Is a directory"},
        {nullptr, "", "File too large"},
    };
    for (const SCase& c : aCases)
    {
        SCOPED_TRACE(c.pszBlocked != nullptr ? c.pszBlocked : "size limit");
        CTempDir dir;
        const std::string strSite = dir / "site";
        std::string strCommand = ShellQuote(HostProgram()) + " convert " +
                                 ShellQuote(ChmFixture("pipeline", "full")) + " -o " + ShellQuote(strSite);
        if (c.pszBlocked != nullptr)
            ASSERT_TRUE(std::filesystem::create_directories(strSite + "/" + c.pszBlocked));
        else
            strCommand = "trap '' XFSZ; ulimit -f 2; " + strCommand;
        SCommandResult res = RunCommand("sh -c " + ShellQuote(strCommand));
        EXPECT_EQ(res.nExit, 1) << res.strOutput;
        EXPECT_NE(res.strOutput.find("failed\n"), std::string::npos) << res.strOutput;
        const std::string strNamed = c.pszBlocked != nullptr ? strSite + "/" + c.pszBlocked : strSite + "/";
        EXPECT_NE(res.strOutput.find(std::string(c.pszStep) + ": '" + strNamed), std::string::npos)
            << res.strOutput;
        EXPECT_NE(res.strOutput.find(c.pszReason), std::string::npos) << res.strOutput;
        EXPECT_EQ(res.strOutput.find("site written"), std::string::npos) << res.strOutput;
    }
}

// The window toolkit's libraries are loaded only when the wizard opens: a conversion never loads
// them, and a copy of the program without the windows' library converts and says why its wizard
// cannot open.
TEST(HostConvertTest, OnlyTheWizardLoadsTheWindowToolkit)
{
    const std::filesystem::path build = std::filesystem::path(HostProgram()).parent_path();
    if (!std::filesystem::exists(build / "libQZWebHelpWindows.so"))
        GTEST_SKIP() << "this build has no wizard windows";
    CTempDir dir;
    const std::filesystem::path copy = dir / "bin";
    std::filesystem::create_directories(copy);
    for (const char* pszFile : {"webhelp", "libQZWebHelpLib.so", "whtemplates"})
        std::filesystem::copy(build / pszFile, copy / pszFile, std::filesystem::copy_options::recursive);
    const std::string strCHM = ShellQuote(ChmFixture("wizard", "sample"));
    struct SCase
    {
        std::string strProgram;
        std::string strCommand;
        bool bToolkit; ///< the toolkit's libraries are loaded
        int nExit;
        const char* pszMessage;
    };
    // A display nobody serves: the wizard gets as far as starting the toolkit.
    const SCase aCases[] = {
        {HostProgram(), "convert -q " + strCHM + " -o " + ShellQuote(dir / "site"), false, 0, ""},
        {HostProgram(), "wizard", true, 2, "the wizard cannot open the display :4711"},
        {(copy / "webhelp").string(), "convert -q " + strCHM + " -o " + ShellQuote(dir / "copied"), false, 0,
         ""},
        {(copy / "webhelp").string(), "wizard", false, 2, "the wizard windows cannot be loaded"},
    };
    for (const SCase& c : aCases)
    {
        SCOPED_TRACE(c.strProgram + " " + c.strCommand);
        // The dynamic loader names each library it loads. The toolkit keeps memory for the life of
        // the process, which a leak check under the sanitizers would take for ours.
        const SCommandResult res = RunCommand("env -u WAYLAND_DISPLAY DISPLAY=:4711 LD_DEBUG=files "
                                              "ASAN_OPTIONS=detect_leaks=0 " +
                                              ShellQuote(c.strProgram) + " " + c.strCommand);
        EXPECT_EQ(res.nExit, c.nExit);
        EXPECT_NE(res.strOutput.find(c.pszMessage), std::string::npos);
        EXPECT_EQ(res.strOutput.find("file=libwx_") != std::string::npos, c.bToolkit);
    }
    EXPECT_TRUE(FileExists(dir / "site/index.html"));
    EXPECT_TRUE(FileExists(dir / "copied/index.html"));
}
