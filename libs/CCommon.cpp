#include "CCommon.h"

#include "CPath.h"
#include "CQZHelper.h"

namespace
{
// Percent-encodes what a file: address or its query cannot hold as it is.
std::string EncodeURL(const std::string& str, bool bQueryValue)
{
    static const char kHex[] = "0123456789ABCDEF";
    std::string strOut;
    for (unsigned char c : str)
    {
        const bool bPlain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                            c == '-' || c == '_' || c == '.' || c == '~' || (c == '/' && !bQueryValue);
        if (bPlain)
        {
            strOut += static_cast<char>(c);
        }
        else
        {
            strOut += '%';
            strOut += kHex[c >> 4];
            strOut += kHex[c & 15];
        }
    }
    return strOut;
}
} // namespace

CCommon& CCommon::Instance()
{
    static CCommon s_common;
    return s_common;
}

void CCommon::SetHelpSite(std::string strSiteIndex, std::map<std::string, std::string> mapTopics)
{
    m_strSiteIndex = std::move(strSiteIndex);
    m_mapTopics = std::move(mapTopics);
}

bool CCommon::ShowHelp(const std::string& strTopic, std::string& strError)
{
    if (m_strSiteIndex.empty())
    {
        strError = "No help is installed with this program.";
        return false;
    }
    if (!CPath(m_strSiteIndex).ExistFile())
    {
        strError = "The user guide was not found: " + m_strSiteIndex + " does not exist.";
        return false;
    }
    std::string strAddress = "file://" + EncodeURL(m_strSiteIndex, false);
    auto it = m_mapTopics.find(strTopic);
    if (it != m_mapTopics.end())
        strAddress += "?page=" + EncodeURL(it->second, true);
    if (!CQZHelper::OpenDirectoryInWindowsExplorer(strAddress))
    {
        strError = "The browser could not be started to show " + m_strSiteIndex + ".";
        return false;
    }
    return true;
}

bool CCommon::StartPreview(const std::string& strSite, std::string& strUrl, std::string& strError)
{
    if (!m_fnPreview)
    {
        strError = "This program cannot serve a site for a browser.";
        return false;
    }
    return m_fnPreview(strSite, strUrl, strError);
}
