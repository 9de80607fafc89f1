#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

/// gumbo's blocks come from large chunks with a free list per size class, so its many small
/// nodes, strings and vectors cost no malloc each and freed growth buffers are reused at once.
/// Everything is released together at the end, without gumbo's own teardown, which recurses once
/// per tree level. The word in front of a block holds its size class; 0 marks a block too large
/// for a class, which has its own malloc and is linked in front of that word.
class CGumboHeap
{
public:
    CGumboHeap() { m_large.pPrev = m_large.pNext = &m_large; }
    ~CGumboHeap();
    CGumboHeap(const CGumboHeap&) = delete;
    CGumboHeap& operator=(const CGumboHeap&) = delete;

    /// gumbo's allocator and deallocator, with the heap as their user data.
    static void* Alloc(void* pUser, size_t nSize) { return static_cast<CGumboHeap*>(pUser)->Allocate(nSize); }
    static void Free(void* pUser, void* pBlock)
    {
        if (pBlock != nullptr)
            static_cast<CGumboHeap*>(pUser)->Release(pBlock);
    }

private:
    struct SLink
    {
        SLink* pPrev;
        SLink* pNext;
    };
    /// gumbo keeps pointers and sizes in its blocks, never anything aligned wider than a word.
    using Word = uint64_t;
    static constexpr size_t kWord = sizeof(Word);
    static constexpr size_t kSmallMax = 256;
    static constexpr size_t kSmallClasses = kSmallMax / kWord;
    static constexpr size_t kPooledMax = size_t(64) << 10;
    static constexpr size_t kClasses = kSmallClasses + 8; // then 512 .. 64 KB
    // Huge pages: the index of a large file fills about a hundred megabytes, and a page fault per
    // 4 KB cost more than gumbo's own work.
    static constexpr size_t kChunk = size_t(2) << 20;

    static size_t ClassOf(size_t nSize);
    static size_t ClassSize(size_t nClass);
    void* Allocate(size_t nSize);
    void Release(void* pBlock);

    SLink m_large;
    void* m_apFree[kClasses] = {};
    std::vector<void*> m_vecChunks;
    char* m_pNext = nullptr;
    char* m_pEnd = nullptr;
};
