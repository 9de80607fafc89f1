#include "HostServer.h"
#include "TestUtil.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

namespace
{
/// A site folder beside a secret file, with links that stay inside and links that lead out.
class CServerTest : public ::testing::Test
{
protected:
    CServerTest()
    {
        WriteFileBytes(m_dir / "secret.txt", "SECRET");
        WriteFileBytes(m_dir / "site-old/page.htm", "SECRET in a sibling folder");
        WriteFileBytes(m_dir / "site/index.html", "home");
        WriteFileBytes(m_dir / "site/sub/index.html", "sub home");
        WriteFileBytes(m_dir / "site/sub/page.htm", "sub page");
        WriteFileBytes(m_dir / "site/a b.htm", "spaced");
        WriteFileBytes(m_dir / "site/100%.htm", "percent");
        std::filesystem::create_directories(m_dir / "site/empty");
        std::filesystem::create_symlink("../secret.txt", m_dir / "site/out.txt");
        std::filesystem::create_symlink(m_dir.Path(), m_dir / "site/outdir");
        std::filesystem::create_symlink("../site-old", m_dir / "site/sibling");
        std::filesystem::create_symlink("sub/page.htm", m_dir / "site/in.htm");
        std::filesystem::create_symlink("../empty", m_dir / "site/sub/up");
    }

    bool Start()
    {
        std::string strError;
        return m_server.Serve_Start(m_dir / "site", 0, strError);
    }
    int Port() const { return std::atoi(m_server.Serve_GetUrl().c_str() + std::strlen("http://127.0.0.1:")); }

    CTempDir m_dir;
    CHostServer m_server;
};
} // namespace

TEST_F(CServerTest, RequestsThatTryToLeaveTheSiteAreRefused)
{
    ASSERT_TRUE(Start());
    struct SCase
    {
        const char* pszTarget;
        int nStatus;
        const char* pszBody; ///< for 200
    };
    const SCase aCases[] = {
        {"/../secret.txt", 403, nullptr},     {"/sub/../../secret.txt", 403, nullptr},
        {"/%2e%2e/secret.txt", 403, nullptr}, {"/%2E%2E/%2e%2E/secret.txt", 403, nullptr},
        {"/..%2fsecret.txt", 403, nullptr},   {"/sub%2F..%2F..%2Fsecret.txt", 403, nullptr},
        {"/..\\secret.txt", 403, nullptr},    {"/%5c..%5csecret.txt", 403, nullptr},
        {"/index.html%00.txt", 403, nullptr}, {"/out.txt", 403, nullptr},
        {"/outdir/secret.txt", 403, nullptr}, {"/outdir/site/index.html", 200, "home"},
        {"/sibling/page.htm", 403, nullptr},  {"/sub/up/", 404, nullptr},
        {"/missing.htm", 404, nullptr},       {"secret.txt", 404, nullptr},
        {"/sub/page.htm", 200, "sub page"},   {"/in.htm", 200, "sub page"},
        {"/a%20b.htm", 200, "spaced"},        {"/./sub//page.htm?x=/../secret.txt", 200, "sub page"},
        {"/100%.htm", 200, "percent"},
    };
    for (const SCase& c : aCases)
    {
        SCOPED_TRACE(c.pszTarget);
        const SHttpReply reply = FetchLocal(Port(), c.pszTarget);
        EXPECT_EQ(reply.nStatus, c.nStatus);
        if (c.pszBody != nullptr)
            EXPECT_EQ(reply.strBody, c.pszBody);
        else
            EXPECT_EQ(reply.strBody.find("SECRET"), std::string::npos);
    }
}

TEST_F(CServerTest, FoldersGiveTheirIndexPage)
{
    ASSERT_TRUE(Start());
    struct SCase
    {
        const char* pszTarget;
        int nStatus;
        const char* pszBody;
        const char* pszLocation;
    };
    const SCase aCases[] = {
        {"/", 200, "home", "<none>"},
        {"/?page=source/a.htm", 200, "home", "<none>"},
        {"/sub/", 200, "sub home", "<none>"},
        {"/sub", 301, "", "/sub/"},
        {"/sub?page=x", 301, "", "/sub/?page=x"},
        {"/empty/", 404, "404 Not Found\n", "<none>"},
    };
    for (const SCase& c : aCases)
    {
        SCOPED_TRACE(c.pszTarget);
        const SHttpReply reply = FetchLocal(Port(), c.pszTarget);
        EXPECT_EQ(reply.nStatus, c.nStatus);
        EXPECT_EQ(reply.strBody, c.pszBody);
        EXPECT_EQ(reply.Header("location"), c.pszLocation);
    }
}

TEST_F(CServerTest, ContentTypesSuitEachFileAndForceNoCharset)
{
    struct SCase
    {
        const char* pszName;
        const char* pszType;
    };
    const SCase aCases[] = {
        {"index.html", "text/html"},
        {"source/Topic.HTM", "text/html"},
        {"whfiles/whtree.js", "text/javascript"},
        {"whfiles/whstyle.css", "text/css"},
        {"whfiles/wh_1.gif", "image/gif"},
        {"images/Shot.PNG", "image/png"},
        {"images/photo.jpg", "image/jpeg"},
        {"images/photo.jpeg", "image/jpeg"},
        {"images/logo.svg", "image/svg+xml"},
        {"favicon.ico", "image/x-icon"},
        {"readme.txt", "text/plain"},
        {"source/topics.hhc", "application/octet-stream"},
        {"source/noextension", "application/octet-stream"},
        {"source.d/file", "application/octet-stream"},
    };
    for (const SCase& c : aCases)
        WriteFileBytes(m_dir / ("site/" + std::string(c.pszName)), c.pszName);
    ASSERT_TRUE(Start());
    for (const SCase& c : aCases)
    {
        SCOPED_TRACE(c.pszName);
        const SHttpReply reply = FetchLocal(Port(), "/" + std::string(c.pszName));
        EXPECT_EQ(reply.nStatus, 200);
        EXPECT_EQ(reply.Header("content-type"), c.pszType);
        EXPECT_EQ(reply.strBody, c.pszName);
    }
}
