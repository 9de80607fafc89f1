#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

/// A hash of sv's bytes for the harvest's flat tables, whose slot is its low bits. It reads eight
/// bytes at a time and a short string in at most two loads: most keys are words of a few letters,
/// which a byte-wise hash spends most of its time on.
inline uint64_t Seen_Hash(std::string_view sv)
{
    constexpr uint64_t kMul = 0x9E3779B97F4A7C15u;
    const char* p = sv.data();
    const size_t n = sv.size();
    uint64_t nHash = n * kMul;
    size_t i = 0;
    for (; i + 8 <= n; i += 8)
    {
        uint64_t nWord = 0;
        std::memcpy(&nWord, p + i, 8);
        nHash = (nHash ^ nWord) * kMul;
        nHash ^= nHash >> 32;
    }
    const size_t nLeft = n - i;
    uint64_t nTail = 0;
    if (nLeft >= 4)
    {
        // Two loads that overlap cover every length from 4 to 7.
        uint32_t nLow = 0;
        uint32_t nHigh = 0;
        std::memcpy(&nLow, p + i, 4);
        std::memcpy(&nHigh, p + n - 4, 4);
        nTail = nLow | (uint64_t{nHigh} << 32);
    }
    else if (nLeft > 0)
        nTail = static_cast<unsigned char>(p[i]) |
                (uint64_t{static_cast<unsigned char>(p[i + nLeft / 2])} << 8) |
                (uint64_t{static_cast<unsigned char>(p[n - 1])} << 16);
    nHash = (nHash ^ nTail) * kMul;
    return nHash ^ (nHash >> 29);
}

/// A set of strings that only grows, for telling whether a string was met before. Its strings lie
/// one after another in a single buffer and its slots are one flat table, so that a lookup, which
/// mostly finds its string, costs a hash, one slot and one compare, and an insertion no allocation
/// of its own.
class CSeenStrings
{
public:
    /// True when sv was not in the set; it is from now on.
    bool Seen_Insert(std::string_view sv);
    void Seen_Clear();
    size_t Seen_Size() const { return m_nUsed; }

private:
    struct SSlot
    {
        uint64_t nHash = 0;
        size_t nOffset = kFree; ///< where the string starts in m_strChars
        size_t nLen = 0;
    };
    static constexpr size_t kFree = SIZE_MAX;
    void Grow();

    std::vector<SSlot> m_vecSlots;
    std::string m_strChars;
    size_t m_nUsed = 0;
};
