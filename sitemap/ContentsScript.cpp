#include "CWebHelpHelper.h"

#include "CPath.h"
#include "CText.h"
#include "CXML.h"

#include <algorithm>
#include <cstdio>
#include <memory>

namespace
{
/// Closing lines after a record: nCount times "]" + the last text, the first on the record's line
/// and each further one on a line of its own, one tab less indented than the one before.
void CloseRecords(std::string& strOut, int nCount, int& nTabs, const char* pszLast)
{
    for (int k = 0; k < nCount; ++k)
    {
        if (k > 0)
            strOut.append(static_cast<size_t>(std::max(--nTabs, 0)), '\t');
        strOut += k == nCount - 1 ? pszLast : "]\r\n";
    }
}
} // namespace

void CWebHelpHelper::AddSpace_Tab(int nCount, std::string& str)
{
    if (nCount > 0)
        str.insert(0, static_cast<size_t>(nCount), '\t');
}

void CWebHelpHelper::CHM2Web_CreateContentsScriptFile(CXML* pRoot, std::string strPath)
{
    // Opened first: a file that cannot be made leaves everything as it was.
    COutputFile file;
    if (!m_OutputFolder.OpenFile(strPath, file))
    {
        NoteWriteFailure(strPath);
        return;
    }

    const CCodePage& cp = GetSiteCodePage();
    std::string strOut = "var ContentItems = [\r\n";
    std::string strInitURL;
    bool bInitURL = false;
    CXML* pSiteMap = pRoot != nullptr ? pRoot->GetChildByTagName("SiteMap") : nullptr;
    if (pSiteMap != nullptr)
    {
        m_mapContentsImages.clear();
        int nTabs = 1;
        int nPrev = 0;
        const int nCount = pSiteMap->GetChildCount();
        for (int i = 0; i < nCount; ++i)
        {
            CXML* pTopic = pSiteMap->GetChildAt(i);
            // A tree that skips a level would leave brackets open: nest at most one deeper.
            const int nX = std::clamp(pTopic->GetAttrInt("XPosition"), 0, i == 0 ? 0 : nPrev + 1);
            int nImage = pTopic->GetAttrInt("ImageNumber");
            if (nImage == -1)
                nImage = 10;
            if (nImage >= 0 && nImage <= 0xFFFF)
                m_mapContentsImages.insert(static_cast<uint16_t>(nImage));
            const std::string strTitle = ScriptTitleLiteral(pTopic->GetAttr("Name"), cp);
            const std::string strLocal = CHM2Web_ArchiveSpelling(pTopic->GetAttr("Local"));
            std::string strAddress;
            if (!strLocal.empty())
            {
                CPath path(strLocal);
                strAddress =
                    (path.IsLocalPath() || path.IsNetworkPath()) ? strLocal : m_strSourceDir + "/" + strLocal;
                strAddress = ScriptAddressLiteral(strAddress, cp);
                if (!bInitURL)
                {
                    strInitURL = strAddress;
                    bInitURL = true;
                }
            }

            if (nX == nPrev)
            {
                if (i > 0)
                    strOut += "],\r\n";
            }
            else if (nX < nPrev)
                CloseRecords(strOut, nPrev - nX + 1, nTabs, "],\r\n");
            else
            {
                strOut += ",\r\n";
                ++nTabs;
            }
            nPrev = nX;

            std::string strRecord = "[\"" + strTitle + "\", ";
            strRecord += strLocal.empty() ? "null" : "\"" + strAddress + "\"";
            strRecord += ", \"" + std::to_string(static_cast<long long>(nImage) + 1) + "\"";
            AddSpace_Tab(nTabs, strRecord);
            strOut += strRecord;

            if (i == nCount - 1)
                CloseRecords(strOut, nX + 1, nTabs, "]\r\n");
        }
    }
    strOut += "];\r\n\r\n";
    strOut += "var gInitURL = \"" + strInitURL + "\"";
    file.Write(strOut);
    if (!file.Commit())
        NoteWriteFailure(strPath);
}
