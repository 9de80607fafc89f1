#include "CHMSinks.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

CMallocSink::~CMallocSink()
{
    std::free(m_pBuf);
}

bool CMallocSink::Write(const unsigned char* pData, size_t nSize)
{
    if (nSize > m_nExpected - m_nSize)
        return false;
    if (!Reserve(m_nSize + nSize + 1))
        return false;
    std::memcpy(m_pBuf + m_nSize, pData, nSize);
    m_nSize += nSize;
    return true;
}

unsigned char* CMallocSink::Release()
{
    if (!Reserve(m_nSize + 1))
        return nullptr;
    m_pBuf[m_nSize] = 0;
    unsigned char* p = m_pBuf;
    m_pBuf = nullptr;
    m_nSize = m_nCapacity = 0;
    return p;
}

// Grows as bytes arrive, so a damaged length field costs no more than the data really there.
bool CMallocSink::Reserve(uint64_t nNeeded)
{
    if (nNeeded <= m_nCapacity)
        return true;
    uint64_t nNew = m_nCapacity == 0 ? std::min(m_nExpected, kCHMInitialBuffer) + 1 : m_nCapacity * 2;
    nNew = std::max(std::min(nNew, m_nExpected + 1), nNeeded);
    void* p = std::realloc(m_pBuf, static_cast<size_t>(nNew));
    if (p == nullptr)
        return false;
    m_pBuf = static_cast<unsigned char*>(p);
    m_nCapacity = nNew;
    return true;
}

bool CFileSink::Write(const unsigned char* pData, size_t nSize)
{
    while (nSize > 0)
    {
        const ssize_t n = ::write(m_fd, pData, nSize);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        pData += n;
        nSize -= static_cast<size_t>(n);
    }
    return true;
}
