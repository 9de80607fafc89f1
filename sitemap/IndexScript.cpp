#include "CWebHelpHelper.h"

#include "CText.h"
#include "CXML.h"

#include <cstdio>
#include <memory>

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
        for (int i = 0; i < pSiteMap->GetChildCount(); ++i)
        {
            CXML* pTopic = pSiteMap->GetChildAt(i);
            const std::string strLocal = pTopic->GetAttr("Local");
            std::string strAddress;
            // A cross-reference names another keyword, which the list shows with apostrophes.
            if (strLocal.compare(0, sizeof(kSeeAlso) - 1, kSeeAlso) == 0)
                strAddress = ScriptTitleLiteral(strLocal, cp);
            else if (!strLocal.empty())
                strAddress =
                    ScriptAddressLiteral(m_strSourceDir + "/" + CHM2Web_ArchiveSpelling(strLocal), cp);

            if (i > 0)
                strOut += ",\r\n";
            std::string strRecord =
                ScriptTitleLiteral(pTopic->GetAttr("Name"), cp) + "\", \"" + strAddress + "\"]";
            AddSpace_Space(pTopic->GetAttrInt("XPosition"), strRecord);
            strOut += "[\"" + strRecord;
        }
    }
    strOut += "];\r\n\r\n";
    file.Write(strOut);
    if (!file.Commit())
        NoteWriteFailure(strPath);
}
