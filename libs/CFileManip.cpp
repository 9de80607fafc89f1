#include "CFileManip.h"

#include <cerrno>
#include <filesystem>

namespace fs = std::filesystem;

bool CFileManip::Copy(const std::string& strFrom, const std::string& strTo, unsigned)
{
    std::error_code ec;
    if (!fs::is_regular_file(strFrom, ec))
        return false;
    fs::path pathTo(strTo);
    if (pathTo.has_parent_path())
        fs::create_directories(pathTo.parent_path(), ec);
    // Copy beside the destination and rename over it, so a failure midway never leaves half a file.
    fs::path pathTemp = pathTo;
    pathTemp += ".copying";
    if (!fs::copy_file(strFrom, pathTemp, fs::copy_options::overwrite_existing, ec) || ec)
    {
        const int nErrno = ec.value() != 0 ? ec.value() : EIO;
        std::error_code ecRemove;
        fs::remove(pathTemp, ecRemove);
        errno = nErrno;
        return false;
    }
    fs::rename(pathTemp, pathTo, ec);
    if (ec)
    {
        std::error_code ecRemove;
        fs::remove(pathTemp, ecRemove);
        errno = ec.value();
        return false;
    }
    return true;
}
