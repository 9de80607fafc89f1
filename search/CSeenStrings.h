#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

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
