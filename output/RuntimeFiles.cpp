#include "CWebHelpHelper.h"

#include "CPath.h"
#include "CXResource.h"
#include "WHOutputFiles.h"

// Generated at build time from output/runtime/ (see output/CMakeLists.txt).
extern const SResourceTable g_WebHelpModuleResources;

namespace
{
struct SRuntimeFile
{
    const char* pszResource;
    const char* pszFile;
};

const SRuntimeFile g_aRuntimeFiles[] = {
    {"WHCONTENTS_JS", "whcontents.js"}, {"WHINDEX_JS", "whindex.js"},     {"WHSEARCH_JS", "whsearch.js"},
    {"WHTREE_JS", "whtree.js"},         {"WHHELPER_JS", "whhelper.js"},   {"INDEX_JS", "index.js"},
    {"WHDEFAULT_CSS", "whdefault.css"}, {"WHHEADER_CSS", "whheader.css"},
};

const int kTreeImages = 11;
} // namespace

const void* CWebHelpHelper::GetDLLModuleHandle() const
{
    return &g_WebHelpModuleResources;
}

void CWebHelpHelper::CHM2Web_WriteWHFiles(std::string strFilesDir)
{
    const void* hModule = GetDLLModuleHandle();
    CXResource res;
    auto Extract = [&](const std::string& strPath)
    {
        if (!res.ExtractTo(strPath, m_OutputFolder))
            NoteWriteFailure(strPath);
    };
    for (const SRuntimeFile& file : g_aRuntimeFiles)
    {
        res.SetResParam(file.pszResource, "WHFILES", hModule);
        Extract(strFilesDir + "/" + file.pszFile);
    }
    for (int i = 0; i < kTreeImages; ++i)
    {
        res.SetResParam("WH_GIF_" + std::to_string(i), "GIF", hModule);
        Extract(strFilesDir + "/wh_" + std::to_string(i) + ".gif");
    }
}

void CWebHelpHelper::CHM2Web_CreateContentsImages(std::string strFilesDir)
{
    if (m_mapContentsImages.empty())
        return;
    CXResource res;
    // An icon number the host has no image for is the sitemap's fault and is skipped.
    auto ExtractContentsIcon = [&](int nNumber)
    {
        const std::string strName = "CHM_ICON" + std::to_string(nNumber);
        const std::string strPath = strFilesDir + "/" + std::to_string(nNumber) + ".gif";
        res.SetResParam(strName, "GIF", nullptr);
        if (!res.ExtractTo(strPath, m_OutputFolder) && CXResource::Find(strName, "GIF", nullptr) != nullptr)
            NoteWriteFailure(strPath);
    };
    for (uint16_t nKey : m_mapContentsImages)
    {
        const int k = nKey;
        ExtractContentsIcon(k + 1);
        // Icons 1 to 8 are closed/open pairs; the tree shows the open one while an entry is open.
        if (k < 8)
        {
            const int nPartner = (k % 2 == 0) ? k + 1 : k - 1;
            ExtractContentsIcon(nPartner + 1);
        }
    }
}

void CWebHelpHelper::CHM2Web_CopyWHTemplatesImages(std::string strFilesDir)
{
    CPath path;
    for (const std::string& strName : m_strCopyTemplatesImages)
    {
        const std::string strSource = WH_TemplatePath(m_strAppRunPath, Settings().nTemplate, strName);
        path.SetPath(strSource, 0, 0);
        if (!path.ExistFile())
            continue;
        const std::string strTarget = strFilesDir + "/" + strName;
        std::string strBytes;
        if (!WH_ReadFileBytes(strSource, strBytes))
            NoteWriteFailure(strTarget);
        else
            WriteSiteFile(strTarget, strBytes);
    }
}
