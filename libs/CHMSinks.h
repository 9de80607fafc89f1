#pragma once

#include "CHMArchive.h"

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <utility>

/// The most that is set aside for an entry before its bytes arrive: a damaged length must not
/// become a huge allocation.
inline constexpr uint64_t kCHMInitialBuffer = uint64_t(16) << 20;

/// Collects an entry into a malloc'ed buffer for callers that release it with free().
class CMallocSink : public CCHMSink
{
public:
    explicit CMallocSink(uint64_t nExpected) : m_nExpected(nExpected) {}
    ~CMallocSink() override;
    CMallocSink(const CMallocSink&) = delete;
    CMallocSink& operator=(const CMallocSink&) = delete;

    bool Write(const unsigned char* pData, size_t nSize) override;

    uint64_t Size() const { return m_nSize; }

    /// The bytes followed by one zero byte; the caller frees them. Null when out of memory.
    unsigned char* Release();

private:
    bool Reserve(uint64_t nNeeded);

    unsigned char* m_pBuf = nullptr;
    uint64_t m_nSize = 0;
    uint64_t m_nCapacity = 0;
    uint64_t m_nExpected;
};

/// Writes to an open file descriptor, which it borrows.
class CFileSink : public CCHMSink
{
public:
    explicit CFileSink(int fd) : m_fd(fd) {}
    bool Write(const unsigned char* pData, size_t nSize) override;

private:
    int m_fd;
};

/// Hands every piece straight on.
template <typename TForward> class CForwardSink : public CCHMSink
{
public:
    explicit CForwardSink(TForward forward) : m_forward(std::move(forward)) {}
    bool Write(const unsigned char* pData, size_t nSize) override
    {
        m_forward(std::string_view(reinterpret_cast<const char*>(pData), nSize));
        return true;
    }

private:
    TForward m_forward;
};
