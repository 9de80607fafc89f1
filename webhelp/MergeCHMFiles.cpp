#include "CWebHelpHelper.h"

#include "CArchivePath.h"
#include "CCHMFileRW.h"
#include "CSearchHarvest.h"

#include <cerrno>
#include <memory>

void CWebHelpHelper::ClearMergeCHMFilesMap()
{
    m_mapMergeCHMFiles.clear();
}

void CWebHelpHelper::UnpackInto(CCHMFileRW& reader, const std::string& strDir)
{
    // Entries skipped as unsafe or unreadable are bad input and cost only themselves; a file that
    // could not be written fails the step.
    if (reader.CHM2Web_Decompile(strDir, &m_OutputFolder) != 0)
        return;
    NoteUnpackFailure(reader);
}

void CWebHelpHelper::NoteUnpackFailure(const CCHMFileRW& reader)
{
    std::string strPath;
    int nErrno = 0;
    if (reader.CHM_GetWriteFailure(strPath, nErrno))
    {
        errno = nErrno;
        NoteWriteFailure(strPath);
    }
}

void CWebHelpHelper::CHM2Web_DecompileMergeCHMFiles(std::string strTopicDir)
{
    for (const std::string& strKey : m_mapMergeCHMFiles)
    {
        if (strKey.empty())
            continue;
        // Keys are lower-cased and use "/" alone: the title is what the site's addresses name.
        const std::string strTitle = ArchivePath_FileTitle(strKey);
        if (strTitle.empty() || strTitle == "." || strTitle == "..")
            continue;
        const std::string strFound = ArchivePath_FindCHMFile(strKey);
        if (strFound.empty())
            continue;

        auto pReader = std::make_unique<CCHMFileRW>();
        // A file that does not open leaves no empty folder behind.
        if (!pReader->CHM_SetCHMFile(strFound))
            continue;
        pReader->CHM_SetUnpackCount(&m_UnpackCount);
        const std::string strDir = strTopicDir + "/merge/" + strTitle;
        m_OutputFolder.MakeFolder(strDir);
        UnpackInto(*pReader, strDir);
        CSearchHarvest references(Settings().nCharset);
        references.Harvest_ReadReferencesOfCHMFile(*pReader);
        m_LastResult.nCaseNames += CHM2Web_AddCaseLinks(strDir, references.Harvest_TakeCaseLinks());
        pReader->CHM_CloseCHMFile();
    }
}
