#include "COutputFolder.h"

#include "CHMSinks.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>
#include <utility>

namespace
{
/// Folders kept open at once; far below the usual limit of 1024 descriptors.
constexpr size_t kMaxFolders = 128;

constexpr int kFolderFlags = O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

/// A descriptor closed on every way out, errno kept.
class CFd
{
public:
    explicit CFd(int fd = -1) : m_fd(fd) {}
    ~CFd() { Reset(); }
    CFd(const CFd&) = delete;
    CFd& operator=(const CFd&) = delete;
    int Get() const { return m_fd; }
    int Release() { return std::exchange(m_fd, -1); }
    void Reset(int fd = -1)
    {
        if (m_fd >= 0)
        {
            const int nErrno = errno;
            ::close(m_fd);
            errno = nErrno;
        }
        m_fd = fd;
    }

private:
    int m_fd;
};

bool IsLink(int fdDir, const std::string& strName)
{
    struct stat st;
    return ::fstatat(fdDir, strName.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(st.st_mode);
}

/// A name no other writer picks: short, since the real name may already be as long as names go.
std::string TemporaryName()
{
    static std::atomic<unsigned> s_nCount{0};
    return ".webhelp-" + std::to_string(::getpid()) + "-" + std::to_string(s_nCount++);
}
} // namespace

COutputFile::~COutputFile()
{
    Abandon();
}

bool COutputFile::Open(COutputFolder& folder, const std::string& strPath, unsigned nMode)
{
    return folder.OpenFile(strPath, *this, nMode);
}

bool COutputFile::Write(std::string_view svBytes)
{
    if (m_bWriteFailed)
    {
        errno = m_nWriteErrno;
        return false;
    }
    bool bWritten;
    if (m_pStream)
        bWritten = svBytes.empty() ||
                   std::fwrite(svBytes.data(), 1, svBytes.size(), m_pStream.get()) == svBytes.size();
    else if (m_fd >= 0)
        bWritten =
            CFileSink(m_fd).Write(reinterpret_cast<const unsigned char*>(svBytes.data()), svBytes.size());
    else
    {
        errno = EBADF;
        return false;
    }
    if (!bWritten)
    {
        // Later pieces must not land at the wrong offset: the file stays failed.
        m_bWriteFailed = true;
        m_nWriteErrno = errno != 0 ? errno : EIO;
    }
    return bWritten;
}

std::FILE* COutputFile::Stream()
{
    if (!m_pStream && m_fd >= 0)
    {
        m_pStream.reset(::fdopen(m_fd, "wb"));
        if (m_pStream)
            m_fd = -1;
    }
    if (!m_pStream && m_fd < 0)
        errno = EBADF;
    return m_pStream.get();
}

bool COutputFile::Commit()
{
    bool bDone = !m_bWriteFailed;
    int nErrno = m_nWriteErrno;
    auto Failed = [&](int n)
    {
        if (bDone)
            nErrno = n;
        bDone = false;
    };
    if (m_pStream)
    {
        if (!File_Close(m_pStream))
            Failed(errno);
    }
    else if (m_fd >= 0)
    {
        if (::close(m_fd) != 0)
            Failed(errno);
        m_fd = -1;
    }
    else
        Failed(EBADF);
    if (m_fdDir >= 0)
    {
        if (bDone && ::renameat(m_fdDir, m_strTemp.c_str(), m_fdDir, m_strName.c_str()) != 0)
            Failed(errno);
        if (!bDone)
            ::unlinkat(m_fdDir, m_strTemp.c_str(), 0);
        ::close(m_fdDir);
        m_fdDir = -1;
    }
    m_bWriteFailed = false;
    m_nWriteErrno = 0;
    errno = bDone ? 0 : (nErrno != 0 ? nErrno : EIO);
    return bDone;
}

void COutputFile::Abandon()
{
    const int nErrno = errno;
    m_pStream.reset();
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    if (m_fdDir >= 0)
    {
        ::unlinkat(m_fdDir, m_strTemp.c_str(), 0);
        ::close(m_fdDir);
        m_fdDir = -1;
    }
    m_bWriteFailed = false;
    m_nWriteErrno = 0;
    errno = nErrno;
}

COutputFolder::~COutputFolder()
{
    Close();
}

bool COutputFolder::Open(const std::string& strRoot)
{
    Close();
    if (strRoot.empty())
    {
        errno = ENOENT;
        return false;
    }
    std::error_code ec;
    std::filesystem::create_directories(strRoot, ec);
    // The root is the one path followed: the user named it, links and all.
    const int fd = ::open(strRoot.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    m_fdRoot = fd;
    m_strRoot = strRoot;
    while (m_strRoot.size() > 1 && m_strRoot.back() == '/')
        m_strRoot.pop_back();
    return true;
}

void COutputFolder::Close()
{
    ForgetFolders();
    if (m_fdRoot >= 0)
        ::close(m_fdRoot);
    m_fdRoot = -1;
    m_strRoot.clear();
}

void COutputFolder::ForgetFolders()
{
    for (const auto& [strPath, fd] : m_mapFolders)
        ::close(fd);
    m_mapFolders.clear();
}

bool COutputFolder::Relative(std::string_view svPath, std::string& strRelative) const
{
    strRelative.clear();
    if (!IsOpen())
        return false;
    std::string_view svRest;
    if (m_strRoot == ".")
    {
        if (svPath.empty() || svPath.front() == '/')
            return false;
        svRest = svPath;
    }
    else if (svPath == m_strRoot)
        return true;
    else
    {
        const size_t nPrefix = m_strRoot.size() + (m_strRoot.back() == '/' ? 0 : 1);
        if (svPath.size() <= nPrefix || svPath.compare(0, m_strRoot.size(), m_strRoot) != 0 ||
            svPath[nPrefix - 1] != '/')
            return false;
        svRest = svPath.substr(nPrefix);
    }
    while (!svRest.empty())
    {
        const size_t nSlash = std::min(svRest.find('/'), svRest.size());
        const std::string_view svStep = svRest.substr(0, nSlash);
        svRest.remove_prefix(std::min(nSlash + 1, svRest.size()));
        if (svStep.empty() || svStep == ".")
            continue;
        if (svStep == "..")
        {
            strRelative.clear();
            return false;
        }
        if (!strRelative.empty())
            strRelative += '/';
        strRelative += svStep;
    }
    return true;
}

int COutputFolder::Folder(std::string_view svRelative, bool bMake)
{
    if (svRelative.empty())
        return m_fdRoot;
    const std::string strRelative(svRelative);
    auto it = m_mapFolders.find(strRelative);
    if (it != m_mapFolders.end())
        return it->second;
    const size_t nSlash = strRelative.rfind('/');
    const int fdParent =
        Folder(nSlash == std::string::npos ? std::string_view() : svRelative.substr(0, nSlash), bMake);
    if (fdParent < 0)
        return -1;
    const std::string strName = nSlash == std::string::npos ? strRelative : strRelative.substr(nSlash + 1);
    int fd = ::openat(fdParent, strName.c_str(), kFolderFlags);
    if (fd < 0)
    {
        if (!bMake)
            return -1;
        if (errno == ELOOP || errno == ENOTDIR)
        {
            // A link is replaced, never followed; a plain file in the way stays a failure.
            if (!IsLink(fdParent, strName))
            {
                errno = ENOTDIR;
                return -1;
            }
            if (::unlinkat(fdParent, strName.c_str(), 0) != 0)
                return -1;
        }
        else if (errno != ENOENT)
            return -1;
        if (::mkdirat(fdParent, strName.c_str(), 0755) != 0 && errno != EEXIST)
            return -1;
        fd = ::openat(fdParent, strName.c_str(), kFolderFlags);
        if (fd < 0)
            return -1;
    }
    // Only after the parent's last use: forgetting closes it.
    if (m_mapFolders.size() >= kMaxFolders)
        ForgetFolders();
    m_mapFolders.emplace(strRelative, fd);
    return fd;
}

int COutputFolder::FolderOf(const std::string& strPath, EMake eMake, std::string& strName, int& fdOwn)
{
    fdOwn = -1;
    std::string strRelative;
    if (Relative(strPath, strRelative) && !strRelative.empty())
    {
        const size_t nSlash = strRelative.rfind('/');
        strName = nSlash == std::string::npos ? strRelative : strRelative.substr(nSlash + 1);
        return Folder(nSlash == std::string::npos ? std::string_view()
                                                  : std::string_view(strRelative).substr(0, nSlash),
                      eMake != EMake::kNone);
    }
    const size_t nSlash = strPath.rfind('/');
    strName = nSlash == std::string::npos ? strPath : strPath.substr(nSlash + 1);
    if (strName.empty() || strName == "." || strName == "..")
    {
        errno = EISDIR;
        return -1;
    }
    const std::string strDir = nSlash == std::string::npos ? std::string(".")
                               : nSlash == 0               ? std::string("/")
                                                           : strPath.substr(0, nSlash);
    if (eMake == EMake::kAll)
    {
        std::error_code ec;
        std::filesystem::create_directories(strDir, ec);
    }
    fdOwn = ::open(strDir.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    return fdOwn;
}

bool COutputFolder::MakeFolder(const std::string& strPath)
{
    std::string strRelative;
    if (Relative(strPath, strRelative))
        return Folder(strRelative, true) >= 0;
    std::error_code ec;
    std::filesystem::create_directories(strPath, ec);
    if (std::filesystem::is_directory(strPath, ec))
        return true;
    errno = ec ? ec.value() : ENOTDIR;
    return false;
}

bool COutputFolder::OpenFile(const std::string& strPath, COutputFile& file, unsigned nMode)
{
    file.Abandon();
    std::string strName;
    int fdOwn = -1;
    const int fdDir = FolderOf(strPath, EMake::kInside, strName, fdOwn);
    CFd own(fdOwn);
    if (fdDir < 0)
        return false;
    const int fd =
        ::openat(fdDir, strName.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, nMode);
    if (fd >= 0)
    {
        file.m_fd = fd;
        return true;
    }
    if (errno != EEXIST)
        return false;
    struct stat st;
    if (::fstatat(fdDir, strName.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(st.st_mode))
    {
        errno = EISDIR;
        return false;
    }
    // Something holds the name: write beside it and rename over it at the end.
    CFd dir(own.Get() >= 0 ? own.Release() : ::fcntl(fdDir, F_DUPFD_CLOEXEC, 0));
    if (dir.Get() < 0)
        return false;
    for (int nTry = 0; nTry < 100; ++nTry)
    {
        std::string strTemp = TemporaryName();
        const int fdTemp =
            ::openat(dir.Get(), strTemp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, nMode);
        if (fdTemp >= 0)
        {
            file.m_fd = fdTemp;
            file.m_fdDir = dir.Release();
            file.m_strTemp = std::move(strTemp);
            file.m_strName = std::move(strName);
            return true;
        }
        if (errno != EEXIST)
            return false;
    }
    return false;
}

bool COutputFolder::WriteFile(const std::string& strPath, std::string_view svBytes)
{
    COutputFile file;
    if (!OpenFile(strPath, file))
        return false;
    file.Write(svBytes);
    return file.Commit();
}

bool COutputFolder::LinkOrCopy(const std::string& strFrom, const std::string& strTo)
{
    std::string strFromName;
    int fdOwn = -1;
    int fdFromDir = FolderOf(strFrom, EMake::kNone, strFromName, fdOwn);
    // Kept apart from the folders below: finding strTo's folder may close the borrowed one.
    CFd from(fdOwn >= 0 ? fdOwn : fdFromDir >= 0 ? ::fcntl(fdFromDir, F_DUPFD_CLOEXEC, 0) : -1);
    struct stat st;
    if (from.Get() < 0 || ::fstatat(from.Get(), strFromName.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 ||
        !S_ISREG(st.st_mode))
    {
        errno = ENOENT;
        return false;
    }
    std::string strToName;
    const int fdToDir = FolderOf(strTo, EMake::kAll, strToName, fdOwn);
    CFd ownTo(fdOwn);
    if (fdToDir < 0)
        return false;
    if (::fstatat(fdToDir, strToName.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0)
    {
        if (!S_ISLNK(st.st_mode))
        {
            errno = EEXIST;
            return false;
        }
        if (::unlinkat(fdToDir, strToName.c_str(), 0) != 0)
            return false;
    }
    if (::linkat(from.Get(), strFromName.c_str(), fdToDir, strToName.c_str(), 0) == 0)
        return true;
    if (errno == EEXIST || errno == ENOENT || errno == ENOTDIR)
        return false;
    // No hard links here: a copy.
    CFd in(::openat(from.Get(), strFromName.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    if (in.Get() < 0)
        return false;
    COutputFile file;
    if (!OpenFile(strTo, file))
        return false;
    char aBuf[65536];
    ssize_t nRead;
    while ((nRead = ::read(in.Get(), aBuf, sizeof(aBuf))) != 0)
    {
        if (nRead < 0 && errno == EINTR)
            continue;
        if (nRead < 0)
            return false;
        if (!file.Write(std::string_view(aBuf, static_cast<size_t>(nRead))))
            return false;
    }
    return file.Commit();
}
