#include "CWebHelpHelper.h"
#include "HostBatch.h"
#include "HostCommands.h"
#include "HostProgress.h"
#include "TestUtil.h"
#include "WebHelpDefaults.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

namespace
{
/// The host run with its standard output and error on a pseudo-terminal, as a user's terminal.
SCommandResult RunInTerminal(const std::vector<std::string>& vecArgs)
{
    SCommandResult result;
    const std::string strProgram = HostProgram();
    std::vector<char*> vecArgv{const_cast<char*>(strProgram.c_str())};
    for (const std::string& strArg : vecArgs)
        vecArgv.push_back(const_cast<char*>(strArg.c_str()));
    vecArgv.push_back(nullptr);
    struct winsize size = {};
    size.ws_row = 24;
    size.ws_col = 200;
    int fdMaster = -1;
    const pid_t pid = forkpty(&fdMaster, nullptr, nullptr, &size);
    if (pid < 0)
        return result;
    if (pid == 0)
    {
        execv(vecArgv[0], vecArgv.data());
        _exit(127);
    }
    char aBuf[4096];
    for (;;)
    {
        const ssize_t nRead = read(fdMaster, aBuf, sizeof(aBuf));
        if (nRead <= 0)
            break; // EIO once the child has closed the terminal
        result.strOutput.append(aBuf, static_cast<size_t>(nRead));
    }
    close(fdMaster);
    int nStatus = 0;
    waitpid(pid, &nStatus, 0);
    result.nExit = WIFEXITED(nStatus) ? WEXITSTATUS(nStatus) : -1;
    return result;
}

std::string Join(const std::vector<std::string>& vecWords)
{
    std::string str;
    for (const std::string& strWord : vecWords)
        str += " " + ShellQuote(strWord);
    return str;
}

/// Two compiled files and one that is not, in a folder of their own.
class CBatchTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(WriteFileBytes(m_dir / "in/full.chm", ReadFileBytes(ChmFixture("pipeline", "full"))));
        ASSERT_TRUE(
            WriteFileBytes(m_dir / "in/chinese.chm", ReadFileBytes(ChmFixture("pipeline", "chinese"))));
        ASSERT_TRUE(WriteFileBytes(m_dir / "in/page.chm", "<html>not compiled</html>"));
    }
    CTempDir m_dir;
};
} // namespace

TEST(BatchFoldersTest, EachFileGetsAFolderOfItsOwnNamedSafelyByItsTitle)
{
    struct SCase
    {
        std::vector<std::string> vecInputs;
        std::optional<std::string> strOutput;
        std::vector<std::string> vecDirs;
    };
    const SCase aCases[] = {
        {{"a/x.chm"}, "out/", {"out"}},
        {{"a/x.chm"}, std::nullopt, {"a/x_WebHelp"}},
        {{"a/x.chm", "b/y.chm"}, std::nullopt, {"a/x_WebHelp", "b/y_WebHelp"}},
        {{"a/x.chm", "b/y.chm"}, "out", {"out/x", "out/y"}},
        // Same title from two folders, in two cases, and the same file twice.
        {{"a/x.chm", "b/x.chm", "c/X.chm"}, "out", {"out/x", "out/x-2", "out/X-3"}},
        {{"a/x.chm", "./a/x.chm"}, std::nullopt, {"a/x_WebHelp", "./a/x_WebHelp-2"}},
        // Only characters that are safe on any disk and in an address are kept.
        {{"a/my help (v2).chm", "a/.hidden.chm", "a/-x;rm.chm"},
         "o",
         {"o/my_help__v2_", "o/_hidden", "o/-x_rm"}},
        {{"a/\xE4\xB8\xAD\xE6\x96\x87.chm", "a/bad\xFF.chm", "a/.chm", "a/"},
         "o",
         {"o/\xE4\xB8\xAD\xE6\x96\x87", "o/bad_", "o/_chm", "o/help"}},
        {{"a/x.chm", "b/x-2.chm", "c/x.chm"}, "o", {"o/x", "o/x-2", "o/x-3"}},
    };
    for (const SCase& c : aCases)
    {
        SCOPED_TRACE(c.vecInputs.back());
        EXPECT_EQ(Batch_OutputDirs(c.vecInputs, c.strOutput), c.vecDirs);
    }
}

TEST_F(CBatchTest, EachFileIsConvertedOrReportedWithItsReasonAndTheOthersGoOn)
{
    struct SCase
    {
        const char* pszJobs;
        std::vector<std::string> vecInputs;
        int nExit;
        const char* pszSummary;
    };
    const SCase aCases[] = {
        {"1", {"full.chm", "page.chm", "chinese.chm"}, 1, "2 of 3 converted, 1 failed\n"},
        {"2", {"full.chm", "page.chm", "chinese.chm"}, 1, "2 of 3 converted, 1 failed\n"},
        {"2", {"missing.chm", "page.chm"}, 1, "0 of 2 converted, 2 failed\n"},
        {"3", {"full.chm", "chinese.chm"}, 0, "2 of 2 converted\n"},
    };
    for (const SCase& c : aCases)
    {
        SCOPED_TRACE(std::string("-j ") + c.pszJobs + Join(c.vecInputs));
        const std::string strOut = m_dir / (std::string("out") + c.pszJobs + std::to_string(c.nExit));
        std::vector<std::string> vecArgs{"convert", "-j", c.pszJobs, "-o", strOut};
        for (const std::string& strInput : c.vecInputs)
            vecArgs.push_back(m_dir / ("in/" + strInput));
        const SCommandResult res = RunCommand(ShellQuote(HostProgram()) + Join(vecArgs));
        EXPECT_EQ(res.nExit, c.nExit) << res.strOutput;
        EXPECT_EQ(res.strOutput.size() - res.strOutput.rfind(c.pszSummary), std::string(c.pszSummary).size())
            << res.strOutput;
        for (const std::string& strInput : c.vecInputs)
        {
            const std::string strTitle = strInput.substr(0, strInput.size() - 4);
            const bool bCompiled = strTitle == "full" || strTitle == "chinese";
            EXPECT_EQ(FileExists(strOut + "/" + strTitle + "/index.html"), bCompiled) << strInput;
            EXPECT_EQ(res.strOutput.find("WebHelp site written to " + strOut + "/" + strTitle +
                                         "/index.html") != std::string::npos,
                      bCompiled)
                << res.strOutput;
        }
    }
    const SCommandResult bad =
        RunCommand(ShellQuote(HostProgram()) + " convert -j 2 -o " + ShellQuote(m_dir / "o") + " " +
                   ShellQuote(m_dir / "in/full.chm") + " " + ShellQuote(m_dir / "in/page.chm"));
    EXPECT_NE(bad.strOutput.find("webhelp: '" + m_dir / "in/page.chm" +
                                 "' is not a compiled help (.chm) file, or it is damaged\n"),
              std::string::npos)
        << bad.strOutput;
}

TEST_F(CBatchTest, SitesAreTheSameByteForByteWhateverTheNumberOfJobs)
{
    const std::vector<std::string> vecInputs{m_dir / "in/full.chm", m_dir / "in/chinese.chm",
                                             ChmFixture("sitemap_merge", "main")};
    for (const char* pszJobs : {"1", "2", "3"})
    {
        const SCommandResult res =
            RunCommand(ShellQuote(HostProgram()) + " convert -q -j " + pszJobs + " -o " +
                       ShellQuote(m_dir / ("out" + std::string(pszJobs))) + Join(vecInputs));
        ASSERT_EQ(res.nExit, 0) << res.strOutput;
    }
    const std::vector<std::string> vecFiles = ListFiles(m_dir / "out1");
    ASSERT_GT(vecFiles.size(), 30u);
    for (const char* pszOther : {"out2", "out3"})
    {
        SCOPED_TRACE(pszOther);
        ASSERT_EQ(ListFiles(m_dir / pszOther), vecFiles);
        for (const std::string& strFile : vecFiles)
            EXPECT_EQ(ReadFileBytes(m_dir / ("out1/" + strFile)),
                      ReadFileBytes(m_dir / (pszOther + ("/" + strFile))))
                << strFile;
    }
}

TEST_F(CBatchTest, ProgressIsLiveOnATerminalPlainInAPipeAndNothingButErrorsWhenQuiet)
{
    const std::string strFull = m_dir / "in/full.chm";
    const std::string strPage = m_dir / "in/page.chm";
    const std::string strPlainRun = "\nReading the table of contents... done\n"
                                    "Writing the table of contents... done\n"
                                    "Reading the index... done\n"
                                    "Writing the index... done\n"
                                    "Reading the list of files... done\n"
                                    "Gathering the full-text search data... done\n\n"
                                    "Writing the search data, scripts and pages... done\n"
                                    "Unpacking the topic files... done\n";
    const std::string strError =
        "webhelp: '" + strPage + "' is not a compiled help (.chm) file, or it is damaged\n";
    struct SCase
    {
        const char* pszName;
        bool bTerminal;
        std::vector<std::string> vecArgs;
        std::vector<std::string> vecShown; ///< in this order
        std::vector<std::string> vecAbsent;
        std::string strExact; ///< the whole output, when not empty
    };
    const SCase aCases[] = {
        {"pipe, one file",
         false,
         {"-o", m_dir / "p1", strFull},
         {},
         {},
         strPlainRun + "WebHelp site written to " + m_dir / "p1/index.html\n"},
        {"pipe, a batch",
         false,
         {"-j", "2", "-o", m_dir / "p2", strFull, strPage},
         {"Converting '" + strFull + "'\n" + strPlainRun + "WebHelp site written to " +
              m_dir / "p2/full/index.html\n",
          "Converting '" + strPage + "'\n", strError, "1 of 2 converted, 1 failed\n"},
         {"\x1b["},
         ""},
        {"pipe, quiet", false, {"-q", "-o", m_dir / "p3", strFull, strPage}, {}, {}, strError},
        {"terminal, one file",
         true,
         {"-o", m_dir / "t1", strFull},
         {"full.chm  0:00  Starting\r\n", "\x1b[1A\x1b[J",
          "WebHelp site written to " + m_dir / "t1/index.html\r\n"},
         {"... done", "converted"},
         ""},
        {"terminal, a batch",
         true,
         {"-j", "1", "-o", m_dir / "t2", strFull, strPage},
         {"full.chm  0:00  Starting\r\nAll  0:00  0 of 2 done, 1 running, 1 waiting\r\n", "\x1b[2A\x1b[J",
          "WebHelp site written to " + m_dir / "t2/full/index.html\r\n",
          "page.chm  0:00  Starting\r\nAll  0:00  1 of 2 done, 1 running, 0 waiting\r\n", "\x1b[2A\x1b[J",
          "webhelp: '" + strPage + "' is not", "1 of 2 converted, 1 failed\r\n"},
         {"... done", "Converting"},
         ""},
        {"terminal, quiet",
         true,
         {"--quiet", "-o", m_dir / "t3", strFull, strPage},
         {},
         {},
         "webhelp: '" + strPage + "' is not a compiled help (.chm) file, or it is damaged\r\n"},
    };
    for (const SCase& c : aCases)
    {
        SCOPED_TRACE(c.pszName);
        std::vector<std::string> vecArgs{"convert"};
        vecArgs.insert(vecArgs.end(), c.vecArgs.begin(), c.vecArgs.end());
        const SCommandResult res =
            c.bTerminal ? RunInTerminal(vecArgs) : RunCommand(ShellQuote(HostProgram()) + Join(vecArgs));
        EXPECT_EQ(res.nExit, c.vecArgs.back() == strPage ? 1 : 0) << res.strOutput;
        if (!c.strExact.empty())
        {
            EXPECT_EQ(res.strOutput, c.strExact);
        }
        size_t nFrom = 0;
        for (const std::string& strShown : c.vecShown)
        {
            const size_t nAt = res.strOutput.find(strShown, nFrom);
            EXPECT_NE(nAt, std::string::npos) << strShown << "\nin\n" << res.strOutput;
            nFrom = nAt == std::string::npos ? nFrom : nAt + strShown.size();
        }
        for (const std::string& strAbsent : c.vecAbsent)
            EXPECT_EQ(res.strOutput.find(strAbsent), std::string::npos) << strAbsent << "\nin\n"
                                                                        << res.strOutput;
    }
}

TEST(CProgressViewTest, ALiveLineShowsTheFileTheTimeTheStepAndTheCount)
{
    InitHost();
    CTempDir dir;
    CWebHelpHelper fresh;
    CWebHelpHelper converted;
    tagWebHelpSettings s = WebHelp_DefaultSettings();
    ASSERT_TRUE(WebHelp_SettingsFromCHMFile(ChmFixture("pipeline", "full"), s));
    s.strWebHelpDir = dir / "site";
    ASSERT_TRUE(converted.Convert(s, nullptr).bSucceeded);
    const std::string strUnpacked = std::to_string(ListFiles(dir / "site/source").size());
    struct SCase
    {
        const CWebHelpHelper* pHelper;
        std::string strLine;
    };
    const SCase aCases[] = {
        {nullptr, "full.chm  0:00  Starting\n"},
        {&fresh, "full.chm  0:00  Starting\n"},
        {&converted, "full.chm  0:00  Unpacking the topic files  " + strUnpacked + "/" + strUnpacked +
                         " files unpacked\n"},
    };
    for (const SCase& c : aCases)
    {
        SCOPED_TRACE(c.strLine);
        char* pBuf = nullptr;
        size_t nSize = 0;
        std::FILE* pOut = open_memstream(&pBuf, &nSize);
        ASSERT_NE(pOut, nullptr);
        {
            CProgressView view(CProgressView::EMode::kLive, {"in/full.chm"}, pOut, pOut);
            view.Job_Begin(0);
            view.Job_Watch(0, c.pHelper);
            view.Redraw(false);
            view.Job_Watch(0, nullptr);
            view.Redraw(false);
        }
        std::fclose(pOut);
        const std::string strOut(pBuf, nSize);
        std::free(pBuf);
        // Drawn at the start, then erased and drawn again with what the helper says, and once the
        // helper is let go.
        EXPECT_EQ(strOut,
                  "full.chm  0:00  Starting\n\r\x1b[1A\x1b[J" + c.strLine + "\r\x1b[1A\x1b[J" +
                      (c.pHelper != nullptr ? "full.chm  0:00  Finishing\n" : "full.chm  0:00  Starting\n"));
    }
}
