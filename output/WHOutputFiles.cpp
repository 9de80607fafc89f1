#include "WHOutputFiles.h"

#include "CCodePage.h"
#include "CFileIO.h"
#include "CText.h"
#include "CWebHelpHelper.h"

namespace
{
const int32_t kDefaultTemplate = 1;

const CCodePage& UTF8CodePage()
{
    static const CCodePage s_utf8(31); // the charset row of UTF-8
    return s_utf8;
}
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
    return File_ReadBytes(strPath, strBytes);
}

bool WH_WriteFileBytes(const std::string& strPath, std::string_view svBytes)
{
    return File_WriteBytes(strPath, svBytes);
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

// Escaped while still UTF-8, where every byte below 0x80 is ASCII, then converted: the references
// that the conversion writes for characters cp lacks must stay references, not show as text.
std::string WH_PageText(std::string_view svUTF8, const CCodePage& cp)
{
    return cp.FromUTF8ForHTML(EscapeHTMLText(svUTF8, UTF8CodePage()));
}

std::string WH_PageAttribute(std::string_view svUTF8, const CCodePage& cp)
{
    return cp.FromUTF8ForHTML(EscapeHTMLAttribute(svUTF8, UTF8CodePage()));
}
