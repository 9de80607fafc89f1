#include "CSeenStrings.h"

bool CSeenStrings::Seen_Insert(std::string_view sv)
{
    if ((m_nUsed + 1) * 2 > m_vecSlots.size())
        Grow();
    const uint64_t nHash = Seen_Hash(sv);
    const size_t nMask = m_vecSlots.size() - 1;
    size_t i = nHash & nMask;
    for (; m_vecSlots[i].nOffset != kFree; i = (i + 1) & nMask)
    {
        const SSlot& slot = m_vecSlots[i];
        if (slot.nHash == nHash && std::string_view(m_strChars).substr(slot.nOffset, slot.nLen) == sv)
            return false;
    }
    m_vecSlots[i] = SSlot{nHash, m_strChars.size(), sv.size()};
    m_strChars.append(sv);
    ++m_nUsed;
    return true;
}

void CSeenStrings::Grow()
{
    std::vector<SSlot> vecOld(m_vecSlots.empty() ? 1024 : m_vecSlots.size() * 2);
    vecOld.swap(m_vecSlots);
    const size_t nMask = m_vecSlots.size() - 1;
    for (const SSlot& slot : vecOld)
    {
        if (slot.nOffset == kFree)
            continue;
        size_t i = slot.nHash & nMask;
        while (m_vecSlots[i].nOffset != kFree)
            i = (i + 1) & nMask;
        m_vecSlots[i] = slot;
    }
}

void CSeenStrings::Seen_Clear()
{
    m_vecSlots.clear();
    m_strChars.clear();
    m_nUsed = 0;
}
