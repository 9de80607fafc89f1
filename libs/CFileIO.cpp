#include "CFileIO.h"

#include "CFileManip.h"

#include <cerrno>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

bool File_WriteBytes(const std::string& strPath, std::string_view svBytes)
{
    CFilePtr pFile(std::fopen(strPath.c_str(), "wb"));
    if (!pFile)
        return false;
    if (!svBytes.empty() && std::fwrite(svBytes.data(), 1, svBytes.size(), pFile.get()) != svBytes.size())
    {
        const int nErrno = errno;
        pFile.reset();
        errno = nErrno;
        return false;
    }
    return File_Close(pFile);
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

bool File_LinkOrCopy(const std::string& strFrom, const std::string& strTo)
{
    std::error_code ec;
    const std::filesystem::path pathTo(strTo);
    if (pathTo.has_parent_path())
        std::filesystem::create_directories(pathTo.parent_path(), ec);
    if (::link(strFrom.c_str(), strTo.c_str()) == 0)
        return true;
    if (errno == EEXIST || errno == ENOENT || errno == ENOTDIR)
        return false;
    struct stat st;
    if (::lstat(strTo.c_str(), &st) == 0)
    {
        errno = EEXIST;
        return false;
    }
    return CFileManip::Copy(strFrom, strTo, 0);
}
