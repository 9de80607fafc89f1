#include "CXResource.h"

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
    const SResource* pRes = Find(m_strName, m_strType, m_hModule);
    if (pRes == nullptr)
        return false;
    std::FILE* pFile = std::fopen(strPath.c_str(), "wb");
    if (pFile == nullptr)
        return false;
    bool bOk = std::fwrite(pRes->pData, 1, pRes->nSize, pFile) == pRes->nSize;
    bOk = std::fclose(pFile) == 0 && bOk;
    return bOk;
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
