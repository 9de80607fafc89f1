#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

struct CFileCloser
{
    void operator()(std::FILE* pFile) const { std::fclose(pFile); }
};
/// A file of the C library that closes itself; File_Close closes it and tells whether it was written whole.
using CFilePtr = std::unique_ptr<std::FILE, CFileCloser>;

/// Makes strPath hold svBytes as they are, replacing a file or link of that name (its folder is
/// taken as named; see COutputFolder). False, with errno telling why, when the file cannot be
/// created, written whole or closed.
bool File_WriteBytes(const std::string& strPath, std::string_view svBytes);

/// Closes pFile. False, with errno telling why, when a write through it failed or the close did: a full
/// disk may show only here. An empty pFile is false.
bool File_Close(CFilePtr& pFile);

/// The whole file as raw bytes. False when it cannot be opened or read (a folder opens but does not read).
bool File_ReadBytes(const std::string& strPath, std::string& strBytes);
