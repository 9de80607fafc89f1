#include "CFileIO.h"

#include "COutputFolder.h"

#include <cerrno>

bool File_WriteBytes(const std::string& strPath, std::string_view svBytes)
{
    COutputFolder folder;
    return folder.WriteFile(strPath, svBytes);
}

bool File_Close(CFilePtr& pFile)
{
    if (!pFile)
    {
        errno = EBADF;
        return false;
    }
    // A buffered write that failed earlier left its errno long overwritten; flush again to learn why.
    const bool bWriteError = std::ferror(pFile.get()) != 0;
    int nErrno = 0;
    if (bWriteError)
    {
        std::clearerr(pFile.get());
        if (std::fflush(pFile.get()) != 0)
            nErrno = errno;
    }
    const bool bClosed = std::fclose(pFile.release()) == 0;
    if (!bClosed && nErrno == 0)
        nErrno = errno;
    if (bWriteError || !bClosed)
    {
        errno = nErrno != 0 ? nErrno : EIO;
        return false;
    }
    return true;
}

bool File_ReadBytes(const std::string& strPath, std::string& strBytes)
{
    strBytes.clear();
    CFilePtr pFile(std::fopen(strPath.c_str(), "rb"));
    if (!pFile)
        return false;
    char aBuf[16384];
    size_t nRead;
    while ((nRead = std::fread(aBuf, 1, sizeof(aBuf), pFile.get())) > 0)
        strBytes.append(aBuf, nRead);
    return std::ferror(pFile.get()) == 0;
}
