#include "SitemapAddress.h"

#include "CCodePage.h"
#include "CPath.h"

namespace
{
const CCodePage& MachineCodePage()
{
    static const CCodePage s_utf8(31); // the charset row of UTF-8
    return s_utf8;
}
} // namespace

size_t SitemapCharLength(std::string_view sv, size_t i, const CCodePage& cp)
{
    if (!cp.IsDoubleByte() || i + 1 >= sv.size() || !cp.IsLeadByte(static_cast<unsigned char>(sv[i])))
        return 1;
    // Trail bytes start at 0x40 in the Windows double-byte code pages; EUC-JP keeps every byte
    // below 0x80 a character of its own.
    const unsigned char nTrailMin = cp.GetName() == "EUC-JP" ? 0x80 : 0x40;
    return static_cast<unsigned char>(sv[i + 1]) >= nTrailMin ? 2 : 1;
}

std::string SitemapSlashes(std::string_view sv, const CCodePage& cp)
{
    std::string strOut(sv);
    for (size_t i = 0; i < strOut.size(); i += SitemapCharLength(strOut, i, cp))
    {
        if (strOut[i] == '\\')
            strOut[i] = '/';
    }
    return strOut;
}

bool SitemapSplitCHMReference(const std::string& strAddress, const std::string& strCHMFile,
                              const CCodePage& cp, SCHMReference& ref)
{
    const std::string strSlashed = SitemapSlashes(strAddress, cp);
    const size_t nMarker = strSlashed.find("::/");
    if (nMarker == std::string::npos || nMarker == 0)
        return false;

    // The file part is in the help file's code page, the main file's folder is a name of this
    // machine (UTF-8): each is lower-cased by its own rules.
    std::string strFile = strSlashed.substr(0, nMarker);
    cp.MakeLower(strFile);
    std::string strResolved = strFile;
    CPath path(strFile);
    if (!path.IsLocalPath() && !path.IsNetworkPath())
    {
        if (strFile[0] == '/')
            strFile.erase(0, 1);
        std::string strFolder = CPath(strCHMFile).GetLocation();
        MachineCodePage().MakeLower(strFolder);
        if (!CPath::Canonicalize(strFolder + strFile, strResolved, "/"))
            return false;
    }
    std::string strTitle = CPath::GetSlashPathTitle(strResolved);
    if (strTitle.empty() || strTitle == "." || strTitle == "..")
        return false;

    ref.strKey = std::move(strResolved);
    ref.strTitle = std::move(strTitle);
    ref.strPath = strSlashed.substr(nMarker + 3);
    return true;
}

std::string SitemapFindCHMFile(const std::string& strKey)
{
    std::string strFound = CPath::FindFileNoCase(strKey);
    if (strFound.empty() || !CPath(strFound).ExistFile())
        return std::string();
    return strFound;
}

std::string SitemapMainFileKey(const std::string& strCHMFile)
{
    std::string strKey = strCHMFile;
    MachineCodePage().MakeLower(strKey);
    std::string strCanonical;
    return CPath::Canonicalize(strKey, strCanonical, "/") ? strCanonical : strKey;
}
