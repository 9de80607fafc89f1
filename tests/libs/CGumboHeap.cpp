#include "CGumboHeap.h"

#include <cstdlib>
#include <cstring>
#include <sys/mman.h>

CGumboHeap::~CGumboHeap()
{
    SLink* p = m_large.pNext;
    while (p != &m_large)
    {
        SLink* pNext = p->pNext;
        std::free(p);
        p = pNext;
    }
    for (void* pChunk : m_vecChunks)
        std::free(pChunk);
}

size_t CGumboHeap::ClassOf(size_t nSize)
{
    if (nSize <= kSmallMax)
        return nSize == 0 ? 0 : (nSize - 1) / kWord;
    size_t nClass = kSmallClasses;
    for (size_t nCap = kSmallMax * 2; nCap < nSize; nCap *= 2)
        ++nClass;
    return nClass;
}

size_t CGumboHeap::ClassSize(size_t nClass)
{
    if (nClass < kSmallClasses)
        return (nClass + 1) * kWord;
    return kSmallMax << (nClass - kSmallClasses + 1);
}

void* CGumboHeap::Allocate(size_t nSize)
{
    if (nSize > kPooledMax)
    {
        static_assert(sizeof(SLink) % kWord == 0);
        char* pRaw = static_cast<char*>(std::malloc(sizeof(SLink) + kWord + nSize));
        if (pRaw == nullptr)
            return nullptr;
        SLink* p = reinterpret_cast<SLink*>(pRaw);
        p->pPrev = &m_large;
        p->pNext = m_large.pNext;
        p->pNext->pPrev = p;
        m_large.pNext = p;
        Word* pTag = reinterpret_cast<Word*>(pRaw + sizeof(SLink));
        *pTag = 0;
        return pTag + 1;
    }
    const size_t nClass = ClassOf(nSize);
    Word* pTag = nullptr;
    if (void* pFree = m_apFree[nClass])
    {
        // A free block keeps the next free one in its first payload word.
        pTag = static_cast<Word*>(pFree);
        std::memcpy(&m_apFree[nClass], pTag + 1, sizeof(void*));
    }
    else
    {
        const size_t nNeed = kWord + ClassSize(nClass);
        if (m_pEnd - m_pNext < static_cast<std::ptrdiff_t>(nNeed))
        {
            // The rest of the old chunk is left unused; it is under one pooled block.
            char* pChunk = static_cast<char*>(std::aligned_alloc(kChunk, kChunk));
            if (pChunk == nullptr)
                return nullptr;
            ::madvise(pChunk, kChunk, MADV_HUGEPAGE);
            m_vecChunks.push_back(pChunk);
            m_pNext = pChunk;
            m_pEnd = pChunk + kChunk;
        }
        pTag = reinterpret_cast<Word*>(m_pNext);
        m_pNext += nNeed;
    }
    *pTag = nClass + 1;
    return pTag + 1;
}

void CGumboHeap::Release(void* pBlock)
{
    Word* pTag = static_cast<Word*>(pBlock) - 1;
    const Word nTag = *pTag;
    if (nTag > 0 && nTag <= kClasses)
    {
        std::memcpy(pTag + 1, &m_apFree[nTag - 1], sizeof(void*));
        m_apFree[nTag - 1] = pTag;
        return;
    }
    SLink* p = reinterpret_cast<SLink*>(reinterpret_cast<char*>(pTag) - sizeof(SLink));
    p->pPrev->pNext = p->pNext;
    p->pNext->pPrev = p->pPrev;
    std::free(p);
}
