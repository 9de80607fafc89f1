#include "CWebHelpHelper.h"

#include "CArchivePath.h"
#include "CPath.h"

#include <algorithm>
#include <cerrno>

namespace
{
const char kMergePrefix[] = "merge/";
} // namespace

std::string CWebHelpHelper::CHM2Web_ArchiveSpelling(const std::string& strLocal)
{
    CPath path(strLocal);
    if (strLocal.empty() || path.IsLocalPath() || path.IsNetworkPath())
        return strLocal;
    const size_t nPathEnd = std::min(strLocal.find_first_of("#?"), strLocal.size());
    std::string strPath = strLocal.substr(0, nPathEnd);
    // Archive names are UTF-8: a path in another code page with more than ASCII in it names none.
    if (!GetSiteCodePage().IsUTF8() &&
        std::any_of(strPath.begin(), strPath.end(), [](char c) { return (c & 0x80) != 0; }))
        return strLocal;

    CCHMFileRW* pReader = &m_CHMFile;
    std::string strPrefix;
    // The sitemaps write this prefix in lower case; without a merged file of that title it is a folder.
    const size_t nSlash = strPath.find('/', sizeof(kMergePrefix) - 1);
    if (strPath.compare(0, sizeof(kMergePrefix) - 1, kMergePrefix) == 0 && nSlash != std::string::npos)
    {
        const std::string strTitle =
            strPath.substr(sizeof(kMergePrefix) - 1, nSlash - (sizeof(kMergePrefix) - 1));
        auto it = m_mapMergeReaders.find(strTitle);
        if (it == m_mapMergeReaders.end())
        {
            auto pMerged = std::make_unique<CCHMFileRW>();
            for (const std::string& strKey : m_mapMergeCHMFiles)
            {
                if (ArchivePath_FileTitle(strKey) != strTitle)
                    continue;
                const std::string strFound = ArchivePath_FindCHMFile(strKey);
                if (!strFound.empty() && pMerged->CHM_SetCHMFile(strFound))
                    break;
            }
            it = m_mapMergeReaders.emplace(strTitle, std::move(pMerged)).first;
        }
        if (it->second->CHM_IsOpen())
        {
            pReader = it->second.get();
            strPrefix = strPath.substr(0, nSlash + 1);
            strPath.erase(0, nSlash + 1);
        }
    }

    std::string strExact;
    if (!pReader->CHM_IsOpen() || !ArchivePath_SafeRelative(strPath, strExact))
        return strLocal;
    const std::string strName = pReader->CHM_FindEntryName(strExact);
    if (strName.empty() || strName == strExact)
        return strLocal;
    return strPrefix + strName + strLocal.substr(nPathEnd);
}

int CWebHelpHelper::CHM2Web_AddCaseLinks(const std::string& strDir,
                                         const std::vector<std::pair<std::string, std::string>>& vecLinks)
{
    int nAdded = 0;
    for (const auto& [strSpelling, strName] : vecLinks)
    {
        const std::string strTo = strDir + "/" + strSpelling;
        // An unpacked file of that very name, or a name added before, stays as it is.
        // An entry that could not be unpacked costs only itself.
        if (!m_OutputFolder.LinkOrCopy(strDir + "/" + strName, strTo))
        {
            if (errno != EEXIST && errno != ENOENT)
                NoteWriteFailure(strTo);
            continue;
        }
        ++nAdded;
    }
    return nAdded;
}
