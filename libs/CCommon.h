#pragma once

#include <functional>
#include <map>
#include <string>

/// What the host lends the module: its help (the host says where its help site is, the module
/// asks for topics by name) and a server to preview a converted site over HTTP.
/// Used on the user-interface thread only.
class CCommon
{
public:
    static CCommon& Instance();

    /// strSiteIndex is the index.html of the host's WebHelp site; mapTopics gives, for each topic
    /// name, the page's address inside the site ("source/using/wizard.htm").
    void SetHelpSite(std::string strSiteIndex, std::map<std::string, std::string> mapTopics);
    /// Opens strTopic in the desktop's browser (the site's start page for an unknown topic).
    /// False with a message for the user when no help site is registered or on disk, or the
    /// browser cannot be started.
    bool ShowHelp(const std::string& strTopic, std::string& strError);

    /// Serves the site folder strSite over HTTP on this machine: true with the address to open,
    /// false with a message for the user. Returns at once; serving goes on in the background.
    using FnPreview =
        std::function<bool(const std::string& strSite, std::string& strUrl, std::string& strError)>;
    /// An empty fn removes the host's server: the wizard then offers no preview.
    void SetPreviewServer(FnPreview fn) { m_fnPreview = std::move(fn); }
    bool CanPreview() const { return static_cast<bool>(m_fnPreview); }
    /// False with a message when the host lent no server or it cannot serve strSite.
    bool StartPreview(const std::string& strSite, std::string& strUrl, std::string& strError);

private:
    FnPreview m_fnPreview;
    std::string m_strSiteIndex;
    std::map<std::string, std::string> m_mapTopics;
};
