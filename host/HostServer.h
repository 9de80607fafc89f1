#pragma once

#include <atomic>
#include <memory>
#include <string>
#include <thread>

namespace httplib
{
class Server;
}

/// What a request path leads to inside a site.
struct SServeTarget
{
    int nStatus = 404;       ///< 200 with strFile, 301 with strLocation, else 403 or 404
    std::string strFile;     ///< the file to send, resolved, inside the site
    std::string strLocation; ///< where a folder without its "/" is sent
};

/// The file that strTarget (the request target as sent: path, then an optional query) names in the
/// site whose resolved folder is strRoot. Refuses with 403 what could name anything outside it
/// (a ".." segment, a backslash, an encoded slash or backslash, a NUL byte) and with 404 what
/// resolves outside it through symbolic links; a folder gives its index.html, else 404.
SServeTarget Serve_Resolve(const std::string& strRoot, const std::string& strTarget);

/// Content type for a file by its extension, in any letter case; no charset, since the pages and
/// data scripts declare their own. Unknown extensions give application/octet-stream.
std::string Serve_ContentType(const std::string& strFile);

/// Serves the files of one site folder on 127.0.0.1, on threads of its own, until stopped or
/// destroyed. Only GET and HEAD are answered.
class CHostServer
{
public:
    CHostServer();
    ~CHostServer();
    CHostServer(const CHostServer&) = delete;
    CHostServer& operator=(const CHostServer&) = delete;

    /// Listens on nPort (0: a free one) and answers from then on. False with a message naming the
    /// folder or the port when strSite is no folder or the port cannot be had; nothing is served then.
    /// Serving twice is refused.
    bool Serve_Start(const std::string& strSite, int nPort, std::string& strError);
    /// Stops answering and waits for the server's threads; nothing when not serving.
    void Serve_Stop();
    bool Serve_IsRunning() const { return m_thread.joinable(); }
    /// "http://127.0.0.1:PORT/" while serving, else empty.
    std::string Serve_GetUrl() const;
    /// The resolved site folder while serving.
    const std::string& Serve_GetSite() const { return m_strRoot; }

private:
    std::unique_ptr<httplib::Server> m_pServer;
    std::thread m_thread; // joined before m_pServer goes
    std::atomic<bool> m_bEnded{false};
    std::string m_strRoot;
    int m_nPort = 0;
};
