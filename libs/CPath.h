#pragma once

#include <string>

/// Path helper for two kinds of path: addresses in compiled-help data, which follow Windows
/// conventions, and paths of this machine, which are POSIX paths.
class CPath
{
public:
    CPath() = default;
    explicit CPath(const std::string& strPath) { SetPath(strPath); }

    /// The two flags are kept for callers' sake and mean nothing here.
    void SetPath(const std::string& strPath, int nFlag1 = 0, int nFlag2 = 0);
    const std::string& GetPath() const { return m_strPath; }

    /// A drive-letter path (C:\..., C:/...).
    bool IsLocalPath() const;
    /// A UNC path (\\server\..., //server/...) or an address with a URL scheme (http:, mailto:, file: ...).
    bool IsNetworkPath() const;
    /// Folder part including its last separator ("/" or "\"); empty when there is none.
    std::string GetLocation() const;
    /// File name with extension, without folders.
    std::string GetFileName() const;
    /// File name without folders and without extension.
    std::string GetFileTitle() const;
    /// Extension with its dot, or empty.
    std::string GetExtension() const;
    /// True when the path names an existing regular file on this machine.
    bool ExistFile() const;
    /// True when the path names an existing folder on this machine.
    bool ExistDir() const;

    /// Creates the folder and any missing parents; false when it does not exist afterwards.
    static bool CreateDir(const std::string& strDir);
    /// A path of this machine's file system rather than a URL.
    static bool IsFileSystemPath(const std::string& strPath);
    /// Finds strPath on disk, ignoring the case of every component (UTF-8 names included) when the
    /// exact name is missing. Components are separated by "/". Returns the path that exists, or empty.
    static std::string FindFileNoCase(const std::string& strPath);
    /// Resolves "." and ".." segments as PathCanonicalizeA does; false when the result would not
    /// fit 260 characters. Joins the segments with the first separator it meets. pszSeps lists the
    /// bytes that separate segments: "/" alone for text in which 0x5C may be half of a character.
    static bool Canonicalize(const std::string& strPath, std::string& strOut, const char* pszSeps = "/\\");
    /// ArchivePath_FileTitle: file title of a path whose separators are all "/".
    static std::string GetSlashPathTitle(const std::string& strPath);
    /// Joins a folder and a name with "/".
    static std::string Join(const std::string& strDir, const std::string& strName);

private:
    std::string m_strPath;
};
