#include "CXResource.h"

#include "COutputFolder.h"

#include <cstdio>

namespace
{
const SResourceTable* g_pHostResources = nullptr;
}

void CXResource::SetResParam(const std::string& strName, const std::string& strType, const void* hModule)
{
    m_strName = strName;
    m_strType = strType;
    m_hModule = hModule;
}

bool CXResource::ExtractTo(const std::string& strPath) const
{
    COutputFolder folder;
    return ExtractTo(strPath, folder);
}

bool CXResource::ExtractTo(const std::string& strPath, COutputFolder& folder) const
{
    const SResource* pRes = Find(m_strName, m_strType, m_hModule);
    if (pRes == nullptr)
        return false;
    return folder.WriteFile(strPath,
                            std::string_view(reinterpret_cast<const char*>(pRes->pData), pRes->nSize));
}

void CXResource::SetHostResources(const SResourceTable* pTable)
{
    g_pHostResources = pTable;
}

const SResource* CXResource::Find(const std::string& strName, const std::string& strType, const void* hModule)
{
    const auto* pTable = hModule != nullptr ? static_cast<const SResourceTable*>(hModule) : g_pHostResources;
    if (pTable == nullptr)
        return nullptr;
    for (size_t i = 0; i < pTable->nCount; ++i)
    {
        const SResource& res = pTable->pItems[i];
        if (strName == res.pszName && strType == res.pszType)
            return &res;
    }
    return nullptr;
}
