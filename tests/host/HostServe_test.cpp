#include "HostServer.h"
#include "TestUtil.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <regex>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace
{
/// `webhelp serve ...` running with its output in a pipe.
class CServeProcess
{
public:
    explicit CServeProcess(std::vector<std::string> vecArgs)
    {
        int aPipe[2];
        if (pipe2(aPipe, O_CLOEXEC) != 0)
            return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, aPipe[1], 1);
        posix_spawn_file_actions_adddup2(&actions, aPipe[1], 2);
        vecArgs.insert(vecArgs.begin(), {HostProgram(), "serve"});
        std::vector<char*> vecArgv;
        for (std::string& str : vecArgs)
            vecArgv.push_back(str.data());
        vecArgv.push_back(nullptr);
        if (posix_spawn(&m_pid, vecArgv[0], &actions, nullptr, vecArgv.data(), environ) != 0)
            m_pid = -1;
        posix_spawn_file_actions_destroy(&actions);
        close(aPipe[1]);
        m_fd = aPipe[0];
    }
    ~CServeProcess()
    {
        if (m_pid > 0)
        {
            kill(m_pid, SIGKILL);
            waitpid(m_pid, nullptr, 0);
        }
        if (m_fd >= 0)
            close(m_fd);
    }

    /// What it printed until strUntil appeared, it closed its output, or 10 s passed.
    std::string Read(const std::string& strUntil)
    {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        char buf[512];
        while (m_strOutput.find(strUntil) == std::string::npos && std::chrono::steady_clock::now() < end)
        {
            pollfd p{m_fd, POLLIN, 0};
            if (poll(&p, 1, 100) <= 0)
                continue;
            const ssize_t n = read(m_fd, buf, sizeof(buf));
            if (n <= 0)
                break;
            m_strOutput.append(buf, static_cast<size_t>(n));
        }
        return m_strOutput;
    }

    /// Its exit status; -1 when it did not end within 10 s or was ended by a signal.
    int Wait()
    {
        for (int i = 0; i < 1000 && m_pid > 0; ++i)
        {
            int nStatus = 0;
            if (waitpid(m_pid, &nStatus, WNOHANG) == m_pid)
            {
                m_pid = -1;
                return WIFEXITED(nStatus) ? WEXITSTATUS(nStatus) : -1;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return -1;
    }

    pid_t m_pid = -1;

private:
    int m_fd = -1;
    std::string m_strOutput;
};

int StatusOf(int nPort)
{
    return FetchLocal(nPort, "/").nStatus;
}

int PortOf(const std::string& strUrl)
{
    return std::atoi(strUrl.c_str() + std::strlen("http://127.0.0.1:"));
}
} // namespace

TEST(HostServeTest, PortZeroPrintsTheAddressServedAndASignalEndsItWithZero)
{
    CTempDir dir;
    WriteFileBytes(dir / "site/index.html", "home");
    for (int nSignal : {SIGINT, SIGTERM})
    {
        SCOPED_TRACE(nSignal);
        CServeProcess serve({dir / "site", "--port", "0"});
        ASSERT_GT(serve.m_pid, 0);
        const std::string strOut = serve.Read("\n");
        std::smatch m;
        ASSERT_TRUE(
            std::regex_search(strOut, m, std::regex("^Serving .*/site at http://127\\.0\\.0\\.1:([0-9]+)/")))
            << strOut;
        const int nPort = std::stoi(m[1]);
        EXPECT_GT(nPort, 0);
        EXPECT_EQ(StatusOf(nPort), 200);
        kill(serve.m_pid, nSignal);
        EXPECT_EQ(serve.Wait(), 0);
        EXPECT_EQ(StatusOf(nPort), 0) << "still answering after the signal";
    }
}

TEST(HostServeTest, ATakenPortOrBadUsageEndsWithTwoAndAMessage)
{
    CTempDir dir;
    WriteFileBytes(dir / "site/index.html", "home");
    WriteFileBytes(dir / "file.txt", "not a folder");
    // Another of our servers, and a plain listener of some other program.
    CHostServer other;
    std::string strError;
    bool bInUse = false;
    ASSERT_TRUE(other.Serve_Start(dir / "site", 0, strError, bInUse));
    const std::string strOtherPort = std::to_string(PortOf(other.Serve_GetUrl()));
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t nLen = sizeof(addr);
    ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)), 0);
    ASSERT_EQ(listen(fd, 1), 0);
    getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &nLen);
    const std::string strListenerPort = std::to_string(ntohs(addr.sin_port));

    struct SCase
    {
        std::vector<std::string> vecArgs;
        const char* pszMessage;
    };
    const std::vector<SCase> aCases = {
        {{dir / "site", "--port", strOtherPort}, "in use"},
        {{dir / "site", "--port=" + strListenerPort}, "in use"},
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
        CServeProcess serve(c.vecArgs);
        EXPECT_EQ(serve.Wait(), 2);
        EXPECT_NE(serve.Read(c.pszMessage).find(c.pszMessage), std::string::npos) << serve.Read("");
    }
    close(fd);
}
