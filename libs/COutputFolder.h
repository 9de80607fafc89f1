#pragma once

#include "CFileIO.h"

#include <cstdio>
#include <string>
#include <string_view>
#include <unordered_map>

class COutputFolder;

/// A file being written into a folder, never through a link. Where the name is free the file is
/// made afresh (O_EXCL, O_NOFOLLOW); where a file or link holds the name, the bytes go to a
/// temporary name beside it that Commit renames over the old one, so neither a hard link's other
/// names nor a symbolic link's target are written through. Destroyed uncommitted, a temporary
/// file is removed and a fresh one keeps what was written.
class COutputFile
{
public:
    COutputFile() = default;
    ~COutputFile();
    COutputFile(const COutputFile&) = delete;
    COutputFile& operator=(const COutputFile&) = delete;

    /// Opens strPath for writing through folder (see COutputFolder::OpenFile). nMode as for open(2).
    bool Open(COutputFolder& folder, const std::string& strPath, unsigned nMode = 0666);
    /// Writes every byte. False, with errno telling why, when the file is not open or a write fails.
    bool Write(std::string_view svBytes);
    /// The file as a buffered stream of the C library, owned by this object; null (errno set) when
    /// not open. Commit flushes and checks it.
    std::FILE* Stream();
    /// Closes the file and, for a temporary one, renames it over its name. False, with errno telling
    /// why, when any write, the close or the rename failed; a temporary file is then removed.
    bool Commit();

private:
    friend class COutputFolder;
    void Abandon();

    int m_fd = -1;
    CFilePtr m_pStream;
    int m_fdDir = -1; ///< own copy, only while a temporary name is in use
    std::string m_strTemp;
    std::string m_strName;
    bool m_bWriteFailed = false;
    int m_nWriteErrno = 0;
};

/// The folder a conversion writes into. Its own path, which may be a link the user gave, is
/// resolved once by Open; below it every step is reached through descriptors and never followed: a
/// symbolic link where a folder or file is to be made is removed and replaced by a plain one.
/// Paths outside the root (or any path while none is open) are written in their own folder as
/// named, with only the last name never followed. For one thread at a time.
class COutputFolder
{
public:
    COutputFolder() = default;
    ~COutputFolder();
    COutputFolder(const COutputFolder&) = delete;
    COutputFolder& operator=(const COutputFolder&) = delete;

    /// Makes strRoot with its missing parents and opens it, closing what was open. False, with errno
    /// telling why, when it cannot be made or opened. Root "." takes every relative path that does
    /// not climb with "..".
    bool Open(const std::string& strRoot);
    /// Closes every descriptor; later paths are written as named.
    void Close();
    bool IsOpen() const { return m_fdRoot >= 0; }

    /// The steps of strPath below the root, joined by "/" ("" for the root itself), when strPath is
    /// the root's path followed by steps that do not climb with "..". False otherwise.
    bool Relative(std::string_view svPath, std::string& strRelative) const;

    /// Makes folder strPath and the missing folders on the way below the root. False, with errno
    /// telling why, when a step is a plain file or cannot be made.
    bool MakeFolder(const std::string& strPath);
    /// Opens strPath for writing in file, making its folders on the way below the root. False, with
    /// errno telling why, when a folder cannot be made, or strPath is a folder or cannot be created.
    bool OpenFile(const std::string& strPath, COutputFile& file, unsigned nMode = 0666);
    /// Writes svBytes as the whole file strPath (as OpenFile, then Commit).
    bool WriteFile(const std::string& strPath, std::string_view svBytes);
    /// Gives strTo the bytes of the plain file strFrom: a hard link, else a copy where the file
    /// system makes none; a link at strTo is replaced. False, with errno telling why: EEXIST when
    /// strTo is a file or folder already, ENOENT when strFrom is no plain file.
    bool LinkOrCopy(const std::string& strFrom, const std::string& strTo);

private:
    /// Descriptor of folder svRelative below the root, owned here and valid until the next call;
    /// -1 with errno. bMake makes missing folders and replaces links; without it they fail (ENOENT).
    int Folder(std::string_view svRelative, bool bMake);
    /// Which missing folders FolderOf makes: none, those below the root, or also those of a path
    /// outside it (as named, links followed).
    enum class EMake
    {
        kNone,
        kInside,
        kAll,
    };
    /// The folder holding strPath, and its last name. The descriptor is borrowed (see Folder) or,
    /// for a path outside the root, fdOwn, which the caller closes; -1 with errno.
    int FolderOf(const std::string& strPath, EMake eMake, std::string& strName, int& fdOwn);
    void ForgetFolders();

    std::string m_strRoot;
    int m_fdRoot = -1;
    std::unordered_map<std::string, int> m_mapFolders; ///< relative path -> descriptor
};
