#include "HostServer.h"

#include <httplib.h>

#include <cerrno>
#include <chrono>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string_view>
#include <strings.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace
{
int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::string RealPath(const std::string& strPath)
{
    char szResolved[PATH_MAX];
    return realpath(strPath.c_str(), szResolved) != nullptr ? std::string(szResolved) : std::string();
}

bool IsInside(const std::string& strRoot, const std::string& strPath)
{
    return strPath == strRoot ||
           (strPath.size() > strRoot.size() && strPath.compare(0, strRoot.size(), strRoot) == 0 &&
            (strRoot.back() == '/' || strPath[strRoot.size()] == '/'));
}

// The file's bytes, read through a descriptor that refuses a symbolic link swapped in since the
// path was resolved; false for anything but a regular file.
bool ReadRegularFile(const std::string& strFile, std::string& strBytes)
{
    const int fd = open(strFile.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return false;
    struct stat st;
    bool bOk = fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    if (bOk)
    {
        strBytes.resize(static_cast<size_t>(st.st_size));
        size_t nDone = 0;
        while (nDone < strBytes.size())
        {
            const ssize_t n = read(fd, strBytes.data() + nDone, strBytes.size() - nDone);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                break;
            nDone += static_cast<size_t>(n);
        }
        strBytes.resize(nDone);
    }
    close(fd);
    return bOk;
}

// Only SO_REUSEADDR: the library's default also sets SO_REUSEPORT, which would let a second
// server share a port that is in use instead of failing.
void SetSocketOptions(int sock)
{
    int nYes = 1;
    setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &nYes, sizeof(nYes));
}

void Answer(const std::string& strRoot, const httplib::Request& req, httplib::Response& res)
{
    const SServeTarget target = Serve_Resolve(strRoot, req.target);
    res.set_header("Cache-Control", "no-cache");
    std::string strBytes;
    if (target.nStatus == 200 && ReadRegularFile(target.strFile, strBytes))
    {
        res.status = 200;
        res.set_content(std::move(strBytes), Serve_ContentType(target.strFile).c_str());
        return;
    }
    if (target.nStatus == 301)
    {
        res.set_redirect(target.strLocation, 301);
        return;
    }
    res.status = target.nStatus == 403 ? 403 : 404;
    res.set_content(res.status == 403 ? "403 Forbidden\n" : "404 Not Found\n", "text/plain");
}
} // namespace

SServeTarget Serve_Resolve(const std::string& strRoot, const std::string& strTarget)
{
    SServeTarget result;
    const std::string_view svTarget(strTarget);
    const size_t nQuery = svTarget.find('?');
    const std::string_view svRawPath = svTarget.substr(0, nQuery);
    if (svRawPath.empty() || svRawPath.front() != '/' || strRoot.empty())
        return result;

    // Segments are split on the slashes as sent: an encoded slash or backslash, a NUL byte and a
    // ".." segment could only serve to reach past the site.
    std::string strRelative;
    std::string strSegment;
    for (size_t i = 1; i <= svRawPath.size(); ++i)
    {
        if (i == svRawPath.size() || svRawPath[i] == '/')
        {
            if (strSegment == "..")
            {
                result.nStatus = 403;
                return result;
            }
            if (!strSegment.empty() && strSegment != ".")
                strRelative += "/" + strSegment;
            strSegment.clear();
            continue;
        }
        char c = svRawPath[i];
        if (c == '%' && i + 2 < svRawPath.size() && HexDigit(svRawPath[i + 1]) >= 0 &&
            HexDigit(svRawPath[i + 2]) >= 0)
        {
            c = static_cast<char>(HexDigit(svRawPath[i + 1]) * 16 + HexDigit(svRawPath[i + 2]));
            i += 2;
            if (c == '/')
            {
                result.nStatus = 403;
                return result;
            }
        }
        if (c == '\\' || c == '\0')
        {
            result.nStatus = 403;
            return result;
        }
        strSegment += c;
    }

    const std::string strResolved = RealPath(strRoot + strRelative);
    if (strResolved.empty())
        return result;
    if (!IsInside(strRoot, strResolved))
    {
        result.nStatus = 403;
        return result;
    }
    struct stat st;
    if (stat(strResolved.c_str(), &st) != 0)
        return result;
    if (S_ISDIR(st.st_mode))
    {
        if (svRawPath.back() != '/')
        {
            result.nStatus = 301;
            result.strLocation = std::string(svRawPath) + "/";
            if (nQuery != std::string_view::npos)
                result.strLocation += svTarget.substr(nQuery);
            return result;
        }
        return Serve_Resolve(strRoot, std::string(svRawPath) + "index.html");
    }
    if (S_ISREG(st.st_mode))
    {
        result.nStatus = 200;
        result.strFile = strResolved;
    }
    return result;
}

std::string Serve_ContentType(const std::string& strFile)
{
    struct SType
    {
        const char* pszExt;
        const char* pszType;
    };
    static const SType aTypes[] = {
        {"html", "text/html"},      {"htm", "text/html"},       {"js", "text/javascript"},
        {"css", "text/css"},        {"gif", "image/gif"},       {"png", "image/png"},
        {"jpg", "image/jpeg"},      {"jpeg", "image/jpeg"},     {"jpe", "image/jpeg"},
        {"svg", "image/svg+xml"},   {"ico", "image/x-icon"},    {"bmp", "image/bmp"},
        {"txt", "text/plain"},      {"xml", "application/xml"}, {"json", "application/json"},
        {"pdf", "application/pdf"},
    };
    const size_t nSlash = strFile.rfind('/');
    const size_t nDot = strFile.rfind('.');
    if (nDot != std::string::npos && (nSlash == std::string::npos || nDot > nSlash))
    {
        const std::string strExt = strFile.substr(nDot + 1);
        for (const SType& t : aTypes)
        {
            if (strcasecmp(strExt.c_str(), t.pszExt) == 0)
                return t.pszType;
        }
    }
    return "application/octet-stream";
}

CHostServer::CHostServer() = default;

CHostServer::~CHostServer()
{
    Serve_Stop();
}

bool CHostServer::Serve_Start(const std::string& strSite, int nPort, std::string& strError)
{
    if (Serve_IsRunning())
    {
        strError = "already serving " + m_strRoot;
        return false;
    }
    struct stat st;
    const std::string strRoot = RealPath(strSite);
    if (strRoot.empty() || stat(strRoot.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
    {
        strError = strSite + " is not a folder";
        return false;
    }

    auto pServer = std::make_unique<httplib::Server>();
    pServer->set_socket_options(SetSocketOptions);
    pServer->Get(".*", [strRoot](const httplib::Request& req, httplib::Response& res)
                 { Answer(strRoot, req, res); });
    errno = 0;
    const int nBound = nPort == 0 ? pServer->bind_to_any_port("127.0.0.1")
                                  : (pServer->bind_to_port("127.0.0.1", nPort) ? nPort : -1);
    if (nBound <= 0)
    {
        const int nErr = errno;
        strError = nErr == EADDRINUSE
                       ? "port " + std::to_string(nPort) +
                             " on 127.0.0.1 is in use by another program; choose another with --port N, "
                             "or --port 0 for a free one"
                       : "cannot listen on 127.0.0.1 port " + std::to_string(nPort) +
                             (nErr != 0 ? ": " + std::string(std::strerror(nErr)) : std::string());
        return false;
    }

    // A peer that goes away mid-answer must cost that answer, not the process.
    std::signal(SIGPIPE, SIG_IGN);
    httplib::Server* pRaw = pServer.get();
    m_bEnded = false;
    try
    {
        m_thread = std::thread(
            [this, pRaw]
            {
                pRaw->listen_after_bind();
                m_bEnded = true;
            });
    }
    catch (const std::system_error& e)
    {
        strError = std::string("cannot start the server's thread: ") + e.what();
        return false;
    }
    m_pServer = std::move(pServer);
    m_strRoot = strRoot;
    m_nPort = nBound;
    return true;
}

void CHostServer::Serve_Stop()
{
    if (!m_thread.joinable())
        return;
    // stop() does nothing until the loop has begun: ask again until the thread has ended.
    for (;;)
    {
        m_pServer->stop();
        if (m_bEnded)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    m_thread.join();
    m_pServer.reset();
    m_strRoot.clear();
    m_nPort = 0;
}

std::string CHostServer::Serve_GetUrl() const
{
    return Serve_IsRunning() ? "http://127.0.0.1:" + std::to_string(m_nPort) + "/" : std::string();
}
