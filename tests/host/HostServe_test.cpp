#include "HostServer.h"
#include "TestUtil.h"

#include <gtest/gtest.h>

#include <cstring>
#include <regex>

namespace
{
int PortOf(const std::string& strUrl)
{
    return std::atoi(strUrl.c_str() + std::strlen("http://127.0.0.1:"));
}
} // namespace

TEST(HostServeTest, PortZeroPrintsTheAddressServedAndASignalEndsItWithZero)
{
    CTempDir dir;
    WriteFileBytes(dir / "site/index.html", "home");
    for (const char* pszSignal : {"INT", "TERM"})
    {
        SCOPED_TRACE(pszSignal);
        // A watchdog that holds no pipe ends a server that ignores the signal.
        const std::string strOut = dir / "out.txt";
        SCommandResult res = RunCommand(
            ShellQuote(HostProgram()) + " serve " + ShellQuote(dir / "site") + " --port 0 >" +
            ShellQuote(strOut) + " 2>&1 & p=$!; for i in $(seq 200); do grep -q http " + ShellQuote(strOut) +
            " && break; sleep 0.05; done; (sleep 20; kill -9 $p) >/dev/null 2>&1 & w=$!; kill -" + pszSignal +
            " $p; wait $p; echo \"exit=$?\"; kill $w; cat " + ShellQuote(strOut));
        std::smatch m;
        ASSERT_TRUE(std::regex_search(
            res.strOutput, m, std::regex("exit=0\nServing .*/site at http://127\\.0\\.0\\.1:([0-9]+)/")))
            << res.strOutput;
        EXPECT_GT(std::stoi(m[1]), 0);
        EXPECT_EQ(FetchLocal(std::stoi(m[1]), "/").nStatus, 0) << "still answering after the signal";
    }
}

TEST(HostServeTest, ATakenPortOrBadUsageEndsWithTwoAndAMessage)
{
    CTempDir dir;
    WriteFileBytes(dir / "site/index.html", "home");
    WriteFileBytes(dir / "file.txt", "not a folder");
    // Another of our servers: a second must not share its port.
    CHostServer other;
    std::string strError;
    ASSERT_TRUE(other.Serve_Start(dir / "site", 0, strError));
    const std::string strOtherPort = std::to_string(PortOf(other.Serve_GetUrl()));

    struct SCase
    {
        std::vector<std::string> vecArgs;
        const char* pszMessage;
    };
    const std::vector<SCase> aCases = {
        {{dir / "site", "--port=" + strOtherPort}, "in use"},
        {{}, "needs a site folder"},
        {{dir / "missing"}, "is not a folder"},
        {{dir / "file.txt"}, "is not a folder"},
        {{dir / "site", "--port", "http"}, "bad port"},
        {{dir / "site", "--port", "65536"}, "bad port"},
        {{dir / "site", "--port"}, "--port"},
        {{dir / "site", "--open=yes"}, "unknown option"},
        {{dir / "site", dir / "site"}, "one site folder"},
    };
    for (const SCase& c : aCases)
    {
        SCOPED_TRACE(c.pszMessage);
        std::string strArgs;
        for (const std::string& str : c.vecArgs)
            strArgs += " " + ShellQuote(str);
        // A server that wrongly starts is ended by the watchdog, and then fails the exit status.
        SCommandResult res =
            RunCommand("timeout -s KILL 10 " + ShellQuote(HostProgram()) + " serve" + strArgs);
        EXPECT_EQ(res.nExit, 2);
        EXPECT_NE(res.strOutput.find(c.pszMessage), std::string::npos) << res.strOutput;
    }
}
