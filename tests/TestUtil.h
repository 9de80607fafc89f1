#pragma once

#include <map>
#include <string>
#include <vector>

/// A fresh folder under the system's temp folder, removed with everything in it on destruction.
class CTempDir
{
public:
    CTempDir();
    ~CTempDir();
    CTempDir(const CTempDir&) = delete;
    CTempDir& operator=(const CTempDir&) = delete;
    const std::string& Path() const { return m_strPath; }
    /// Path() + "/" + strName.
    std::string operator/(const std::string& strName) const { return m_strPath + "/" + strName; }

private:
    std::string m_strPath;
};

/// Whole file as bytes; empty when it cannot be read.
std::string ReadFileBytes(const std::string& strPath);
/// Creates parent folders as needed; false when the file cannot be written.
bool WriteFileBytes(const std::string& strPath, const std::string& strBytes);
bool FileExists(const std::string& strPath);
/// Every regular file below strDir, as paths relative to it with "/", sorted.
std::vector<std::string> ListFiles(const std::string& strDir);
/// Every entry below strDir, links not followed, by path relative to it with "/": "dir",
/// "link to TARGET" or a file's bytes.
std::map<std::string, std::string> ListTree(const std::string& strDir);

/// What PlantLinks puts at a path.
enum class EPlant
{
    kFolderLink,   ///< a link to the outside folder
    kFileLink,     ///< a link to the outside file
    kDanglingLink, ///< a link to a name outside that does not exist
    kHardLink,     ///< another name of the outside file
};
struct SPlant
{
    const char* pszPath; ///< below strSite; "" for strSite itself, then a link to strDir/real
    EPlant ePlant;
};
/// Makes strDir/outside/ with folder/kept.htm and file.htm, and below strSite each planted entry
/// leading there (plain folders on the way). False when one cannot be made.
bool PlantLinks(const std::string& strDir, const std::string& strSite, const std::vector<SPlant>& vecPlants);

/// Output and exit status of a shell command.
struct SCommandResult
{
    int nExit = -1;
    std::string strOutput; ///< stdout and stderr together
};
SCommandResult RunCommand(const std::string& strCommand);
/// Quotes a word for the shell.
std::string ShellQuote(const std::string& str);

/// A compiled fixture: WEBHELP_CHM_DIR/<project>/<name>.chm.
std::string ChmFixture(const std::string& strProject, const std::string& strName);
/// The file an address of a site leads to, as a browser asks the server for it: without its
/// fragment and query, percent-decoded.
std::string AddressFile(const std::string& strAddress);
/// The built host program.
std::string HostProgram();

/// Collects progress texts from the converter's output function (one global collector).
std::vector<std::string>& CollectedTexts();
void CollectText(const std::string& strText);

/// A plain HTTP answer: status 0 when none came.
struct SHttpReply
{
    int nStatus = 0;
    std::string strHeaders; ///< lower-cased, each line ending in "\r\n"
    std::string strBody;
    /// Value of a header named in lower case; "<none>" when it is missing.
    std::string Header(const std::string& strName) const;
};
/// GET strTarget from 127.0.0.1:nPort; the target goes out byte for byte, as no browser or
/// client library would send it.
SHttpReply FetchLocal(int nPort, const std::string& strTarget);

/// Gives the locale variables LC_ALL, LC_MESSAGES and LANG these values (null unsets one) for its
/// lifetime, and puts back the values they had before.
class CScopedLocaleEnv
{
public:
    CScopedLocaleEnv(const char* pszAll, const char* pszMessages, const char* pszLang);
    ~CScopedLocaleEnv();
    CScopedLocaleEnv(const CScopedLocaleEnv&) = delete;
    CScopedLocaleEnv& operator=(const CScopedLocaleEnv&) = delete;

private:
    struct SSaved
    {
        const char* pszName;
        bool bSet;
        std::string strValue;
    };
    std::vector<SSaved> m_vecSaved;
};
