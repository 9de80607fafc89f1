#include "CWebHelpHelper.h"

#include "CText.h"
#include "CXML.h"

#include <algorithm>
#include <string>
#include <unordered_map>

namespace
{
const char kSeeAlso[] = "@@@";
} // namespace

void CWebHelpHelper::AddSpace_Space(int nCount, std::string& str)
{
    if (nCount > 0)
        str.insert(0, static_cast<size_t>(nCount), ' ');
}

void CWebHelpHelper::CHM2Web_CreateIndexScriptFile(CXML* pRoot, std::string strPath)
{
    COutputFile file;
    if (!m_OutputFolder.OpenFile(strPath, file))
    {
        NoteWriteFailure(strPath);
        return;
    }

    const CCodePage& cp = GetSiteCodePage();
    std::string strOut = "var IndexItems = [\r\n";
    CXML* pSiteMap = pRoot != nullptr ? pRoot->GetChildByTagName("SiteMap") : nullptr;
    if (pSiteMap != nullptr)
    {
        // A page is named by several keywords: its address is looked up in the archive and
        // escaped once.
        std::unordered_map<std::string, std::string> mapAddresses;
        std::string strSeeAlso;
        for (int i = 0; i < pSiteMap->GetChildCount(); ++i)
        {
            CXML* pTopic = pSiteMap->GetChildAt(i);
            std::string strLocal = pTopic->GetAttr("Local");
            const std::string* pAddress = &strSeeAlso;
            // A cross-reference names another keyword, which the list shows with apostrophes.
            if (strLocal.compare(0, sizeof(kSeeAlso) - 1, kSeeAlso) == 0)
                strSeeAlso = ScriptTitleLiteral(strLocal, cp);
            else if (strLocal.empty())
                strSeeAlso.clear();
            else
            {
                auto [it, bNew] = mapAddresses.try_emplace(std::move(strLocal));
                if (bNew)
                    it->second =
                        ScriptAddressLiteral(m_strSourceDir + "/" + CHM2Web_ArchiveSpelling(it->first), cp);
                pAddress = &it->second;
            }

            if (i > 0)
                strOut += ",\r\n";
            strOut += "[\"";
            strOut.append(static_cast<size_t>(std::max(pTopic->GetAttrInt("XPosition"), 0)), ' ');
            strOut += ScriptTitleLiteral(pTopic->GetAttr("Name"), cp);
            strOut += "\", \"";
            strOut += *pAddress;
            strOut += "\"]";
        }
    }
    strOut += "];\r\n\r\n";
    file.Write(strOut);
    if (!file.Commit())
        NoteWriteFailure(strPath);
}
