#include "FuzzSupport.h"

#include "CCHMFileRW.h"
#include "CXML.h"

#include <filesystem>
#include <system_error>

namespace
{
/// Reads every file of the storage tree below pNode by its name, and finds the name it unpacks under.
void ReadEntries(CCHMFileRW& reader, CXML* pNode)
{
    for (int i = 0; i < pNode->GetChildCount(); ++i)
    {
        CXML* pChild = pNode->GetChildAt(i);
        const std::string strLocal = pChild->GetAttr("Local");
        if (pChild->GetAttrInt("Type") == 3)
        {
            std::string strBytes;
            reader.CHM_ReadStream(strLocal, strBytes);
            reader.CHM_FindEntryName(strLocal);
        }
        ReadEntries(reader, pChild);
    }
}

/// Everything below strDir must be a plain file or folder inside strInside.
void CheckUnpacked(const std::string& strDir, const std::string& strInside, const std::string& strInput)
{
    std::error_code ec;
    for (auto it = std::filesystem::recursive_directory_iterator(strDir, ec);
         !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec))
    {
        const std::string strPath = it->path().string();
        if (strPath == strInput || strPath == strInside)
            continue;
        if (strPath.compare(0, strInside.size() + 1, strInside + "/") != 0)
            Fuzz_Fail("unpacked outside its folder: " + strPath);
        if (it->is_symlink())
            Fuzz_Fail("unpacking made a link: " + strPath);
    }
}
} // namespace

int Fuzz_Reader(const uint8_t* pData, size_t nSize)
{
    const std::string strDir = Fuzz_TempDir() + "/reader";
    std::error_code ec;
    std::filesystem::create_directory(strDir, ec);
    const std::string strInput = strDir + "/input.chm";
    const std::string strOut = strDir + "/out";
    if (!Fuzz_WriteFile(strInput, pData, nSize))
        return 0;
    CCHMFileRW reader;
    if (!reader.CHM_SetCHMFile(strInput))
        return 0;
    CXML storage;
    reader.CHM_ReadAllStorageInfoToXML(&storage);
    ReadEntries(reader, &storage);
    CXML contents;
    reader.CHM2Web_ReadHHCInfoToXML(&contents, std::string());
    CXML index;
    reader.CHM2Web_ReadHHKInfoToXML(&index);
    reader.CHM_GetUnsafeEntryNames();
    reader.CHM2Web_Decompile(strOut);
    CheckUnpacked(strDir, strOut, strInput);
    std::filesystem::remove_all(strOut, ec);
    return 0;
}
