#include "TestUtil.h"

#include <algorithm>
#include <arpa/inet.h>
#include <array>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <netinet/in.h>
#include <sstream>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

CTempDir::CTempDir()
{
    std::string strTemplate = (fs::temp_directory_path() / "webhelp-test-XXXXXX").string();
    std::vector<char> vecBuf(strTemplate.begin(), strTemplate.end());
    vecBuf.push_back('\0');
    if (mkdtemp(vecBuf.data()) != nullptr)
        m_strPath = vecBuf.data();
}

CTempDir::~CTempDir()
{
    std::error_code ec;
    if (!m_strPath.empty())
        fs::remove_all(m_strPath, ec);
}

std::string ReadFileBytes(const std::string& strPath)
{
    std::ifstream in(strPath, std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

bool WriteFileBytes(const std::string& strPath, const std::string& strBytes)
{
    std::error_code ec;
    fs::path path(strPath);
    if (path.has_parent_path())
        fs::create_directories(path.parent_path(), ec);
    std::ofstream out(strPath, std::ios::binary | std::ios::trunc);
    out.write(strBytes.data(), static_cast<std::streamsize>(strBytes.size()));
    return static_cast<bool>(out);
}

bool FileExists(const std::string& strPath)
{
    std::error_code ec;
    return fs::exists(strPath, ec);
}

std::vector<std::string> ListFiles(const std::string& strDir)
{
    std::vector<std::string> vecFiles;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(strDir, ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec))
    {
        if (it->is_regular_file(ec))
            vecFiles.push_back(fs::relative(it->path(), strDir, ec).generic_string());
    }
    std::sort(vecFiles.begin(), vecFiles.end());
    return vecFiles;
}

std::map<std::string, std::string> ListTree(const std::string& strDir)
{
    std::map<std::string, std::string> mapTree;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(strDir, ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec))
    {
        const std::string strPath = fs::relative(it->path(), strDir, ec).generic_string();
        if (it->is_symlink(ec))
            mapTree[strPath] = "link to " + fs::read_symlink(it->path(), ec).string();
        else if (it->is_directory(ec))
            mapTree[strPath] = "dir";
        else
            mapTree[strPath] = ReadFileBytes(it->path().string());
    }
    return mapTree;
}

bool PlantLinks(const std::string& strDir, const std::string& strSite, const std::vector<SPlant>& vecPlants)
{
    const fs::path pathOutside = fs::path(strDir) / "outside";
    if (!WriteFileBytes((pathOutside / "folder/kept.htm").string(), "outside page") ||
        !WriteFileBytes((pathOutside / "file.htm").string(), "outside file"))
        return false;
    std::error_code ec;
    fs::create_directories(strSite, ec);
    for (const SPlant& plant : vecPlants)
    {
        if (*plant.pszPath == '\0')
        {
            fs::remove(strSite, ec);
            fs::create_directories(fs::path(strDir) / "real", ec);
            fs::create_directory_symlink(fs::path(strDir) / "real", strSite, ec);
        }
        else
        {
            const fs::path path = fs::path(strSite) / plant.pszPath;
            fs::create_directories(path.parent_path(), ec);
            switch (plant.ePlant)
            {
            case EPlant::kFolderLink:
                fs::create_directory_symlink(pathOutside / "folder", path, ec);
                break;
            case EPlant::kFileLink:
                fs::create_symlink(pathOutside / "file.htm", path, ec);
                break;
            case EPlant::kDanglingLink:
                fs::create_symlink(pathOutside / "made.htm", path, ec);
                break;
            case EPlant::kHardLink:
                fs::create_hard_link(pathOutside / "file.htm", path, ec);
                break;
            }
        }
        if (ec)
            return false;
    }
    return true;
}

SCommandResult RunCommand(const std::string& strCommand)
{
    SCommandResult result;
    std::string strFull = strCommand + " 2>&1";
    FILE* pPipe = popen(strFull.c_str(), "r");
    if (pPipe == nullptr)
        return result;
    std::array<char, 4096> aBuf;
    size_t nRead;
    while ((nRead = fread(aBuf.data(), 1, aBuf.size(), pPipe)) > 0)
        result.strOutput.append(aBuf.data(), nRead);
    int nStatus = pclose(pPipe);
    result.nExit = WIFEXITED(nStatus) ? WEXITSTATUS(nStatus) : -1;
    return result;
}

std::string ShellQuote(const std::string& str)
{
    std::string strOut = "'";
    for (char c : str)
    {
        if (c == '\'')
            strOut += "'\\''";
        else
            strOut += c;
    }
    return strOut + "'";
}

std::string ChmFixture(const std::string& strProject, const std::string& strName)
{
    return std::string(WEBHELP_CHM_DIR) + "/" + strProject + "/" + strName + ".chm";
}

std::string HostProgram()
{
    return std::string(WEBHELP_BUILD_DIR) + "/webhelp";
}

std::vector<std::string>& CollectedTexts()
{
    static std::vector<std::string> s_vec;
    return s_vec;
}

void CollectText(const std::string& strText)
{
    CollectedTexts().push_back(strText);
}

std::string AddressFile(const std::string& strAddress)
{
    const std::string strPath = strAddress.substr(0, strAddress.find_first_of("#?"));
    std::string strOut;
    for (size_t i = 0; i < strPath.size(); ++i)
    {
        if (strPath[i] == '%' && i + 2 < strPath.size() &&
            std::isxdigit(static_cast<unsigned char>(strPath[i + 1])) &&
            std::isxdigit(static_cast<unsigned char>(strPath[i + 2])))
        {
            strOut += static_cast<char>(std::stoi(strPath.substr(i + 1, 2), nullptr, 16));
            i += 2;
        }
        else
            strOut += strPath[i];
    }
    return strOut;
}

std::string SHttpReply::Header(const std::string& strName) const
{
    const size_t n = strHeaders.find("\r\n" + strName + ": ");
    if (n == std::string::npos)
        return "<none>";
    const size_t nValue = n + strName.size() + 4;
    return strHeaders.substr(nValue, strHeaders.find("\r\n", nValue) - nValue);
}

SHttpReply FetchLocal(int nPort, const std::string& strTarget)
{
    SHttpReply reply;
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<uint16_t>(nPort));
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    timeval tv{5, 0};
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof(tv));
    if (connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)) != 0)
    {
        close(fd);
        return reply;
    }
    const std::string strRequest =
        "GET " + strTarget + " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n";
    send(fd, strRequest.data(), strRequest.size(), MSG_NOSIGNAL);
    std::string strAll;
    char buf[4096];
    ssize_t n;
    while ((n = recv(fd, buf, sizeof(buf), 0)) > 0)
        strAll.append(buf, static_cast<size_t>(n));
    close(fd);
    const size_t nEnd = strAll.find("\r\n\r\n");
    if (strAll.compare(0, 9, "HTTP/1.1 ") != 0 || nEnd == std::string::npos)
        return reply;
    reply.nStatus = std::atoi(strAll.c_str() + 9);
    reply.strHeaders = strAll.substr(0, nEnd + 2);
    for (char& ch : reply.strHeaders)
        ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    reply.strBody = strAll.substr(nEnd + 4);
    return reply;
}

CScopedLocaleEnv::CScopedLocaleEnv(const char* pszAll, const char* pszMessages, const char* pszLang)
{
    for (auto [pszName, pszValue] :
         {std::pair{"LC_ALL", pszAll}, {"LC_MESSAGES", pszMessages}, {"LANG", pszLang}})
    {
        const char* pszOld = std::getenv(pszName);
        m_vecSaved.push_back({pszName, pszOld != nullptr, pszOld != nullptr ? pszOld : ""});
        if (pszValue != nullptr)
            setenv(pszName, pszValue, 1);
        else
            unsetenv(pszName);
    }
}

CScopedLocaleEnv::~CScopedLocaleEnv()
{
    for (const SSaved& s : m_vecSaved)
    {
        if (s.bSet)
            setenv(s.pszName, s.strValue.c_str(), 1);
        else
            unsetenv(s.pszName);
    }
}
