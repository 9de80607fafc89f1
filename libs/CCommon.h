#pragma once

#include <map>
#include <string>

/// The host's help: the host says where its help site is, the module asks for topics by name.
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

private:
    std::string m_strSiteIndex;
    std::map<std::string, std::string> m_mapTopics;
};
