#include "TestUtil.h"

#include <gtest/gtest.h>

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
