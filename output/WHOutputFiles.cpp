#include "WHOutputFiles.h"

#include "CWebHelpHelper.h"

#include <cstdio>
#include <memory>

namespace
{
struct CFileCloser
{
    void operator()(std::FILE* pFile) const { std::fclose(pFile); }
};
using CFilePtr = std::unique_ptr<std::FILE, CFileCloser>;

const int32_t kDefaultTemplate = 1;
} // namespace

std::string WH_TemplatePath(const std::string& strAppRunPath, int32_t nTemplate, const std::string& strName)
{
    if (nTemplate < 0 || nTemplate >= static_cast<int32_t>(std::size(CWebHelpHelper::m_strWHTemplateDir)))
        nTemplate = kDefaultTemplate;
    std::string strPath = strAppRunPath;
    if (!strPath.empty() && strPath.back() != '/')
        strPath += '/';
    return strPath + "whtemplates/" + CWebHelpHelper::m_strWHTemplateDir[nTemplate] + "/" + strName;
}

bool WH_ReadFileBytes(const std::string& strPath, std::string& strBytes)
{
    strBytes.clear();
    CFilePtr pFile(std::fopen(strPath.c_str(), "rb"));
    if (!pFile)
        return false;
    char aBuf[16384];
    size_t nRead;
    while ((nRead = std::fread(aBuf, 1, sizeof(aBuf), pFile.get())) > 0)
        strBytes.append(aBuf, nRead);
    // A folder opens but does not read.
    return std::ferror(pFile.get()) == 0;
}

bool WH_WriteFileBytes(const std::string& strPath, std::string_view svBytes)
{
    CFilePtr pFile(std::fopen(strPath.c_str(), "wb"));
    if (!pFile)
        return false;
    bool bOk = std::fwrite(svBytes.data(), 1, svBytes.size(), pFile.get()) == svBytes.size();
    return std::fclose(pFile.release()) == 0 && bOk;
}

void WH_ReplaceAll(std::string& str, std::string_view svFrom, std::string_view svTo)
{
    if (svFrom.empty())
        return;
    size_t nPos = str.find(svFrom);
    if (nPos == std::string::npos)
        return;
    std::string strOut;
    strOut.reserve(str.size());
    size_t nStart = 0;
    while (nPos != std::string::npos)
    {
        strOut.append(str, nStart, nPos - nStart);
        strOut.append(svTo);
        nStart = nPos + svFrom.size();
        nPos = str.find(svFrom, nStart);
    }
    strOut.append(str, nStart, std::string::npos);
    str.swap(strOut);
}
