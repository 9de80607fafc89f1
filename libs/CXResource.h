#pragma once

#include <cstddef>
#include <string>

class COutputFolder;

/// One file compiled into a binary, found by name and type.
struct SResource
{
    const char* pszName;
    const char* pszType;
    const unsigned char* pData;
    size_t nSize;
};

/// The resources of one binary. A pointer to it is that binary's "module handle".
struct SResourceTable
{
    const SResource* pItems;
    size_t nCount;
};

/// Writes a named resource to a file.
class CXResource
{
public:
    /// hModule is a module's SResourceTable, or null for the host's own resources.
    void SetResParam(const std::string& strName, const std::string& strType, const void* hModule);
    /// Writes the resource byte for byte, creating or replacing the file. False when the resource
    /// is unknown (errno untouched) or the file cannot be written (errno tells why).
    bool ExtractTo(const std::string& strPath) const;
    /// The same, written through folder.
    bool ExtractTo(const std::string& strPath, COutputFolder& folder) const;

    /// The host registers its resources (the contents icons) at start-up.
    static void SetHostResources(const SResourceTable* pTable);
    /// Null when there is no such resource.
    static const SResource* Find(const std::string& strName, const std::string& strType, const void* hModule);

private:
    std::string m_strName;
    std::string m_strType;
    const void* m_hModule = nullptr;
};
