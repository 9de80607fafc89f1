#include "SearchKeywords.h"

#include "CCodePage.h"
#include "CSeenStrings.h"
#include "CText.h"
#include "CWebHelpHelper.h"

#include <array>
#include <cstring>
#include <utility>

namespace
{
enum EByteClass : unsigned char
{
    kSeparator,
    kAlnum,
    kWide,
};

// Byte classes of a code page that is not UTF-8: letters and digits, the wide bytes 0x81-0xFF,
// and everything else (0x80 included) separating.
constexpr std::array<unsigned char, 256> MakeByteClasses()
{
    std::array<unsigned char, 256> a{};
    for (int b = 0; b < 256; ++b)
    {
        bool bAlnum = (b >= '0' && b <= '9') || (b >= 'a' && b <= 'z') || (b >= 'A' && b <= 'Z');
        a[b] = bAlnum ? kAlnum : (b >= 0x81 ? kWide : kSeparator);
    }
    return a;
}
constexpr std::array<unsigned char, 256> g_aByteClass = MakeByteClasses();

bool IsStripSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

std::string_view Strip(std::string_view sv)
{
    while (!sv.empty() && IsStripSpace(sv.front()))
        sv.remove_prefix(1);
    while (!sv.empty() && IsStripSpace(sv.back()))
        sv.remove_suffix(1);
    return sv;
}

/// Length of the UTF-8 character at p that counts as wide: a valid multi-byte character other
/// than U+FFFD (which only stands for something lost); 0 when the bytes separate instead.
size_t WideUTF8Length(const unsigned char* p, const unsigned char* pEnd)
{
    char32_t c = 0;
    size_t nLen = DecodeUTF8(p, pEnd, c);
    if (nLen < 2 || c == 0xFFFD)
        return 0;
    return nLen;
}
} // namespace

void SearchKeywords_Add(CSearchKeywordMap& mapKeywords, std::string_view svKeyword, int nFile)
{
    if (svKeyword.empty())
        return;
    auto nNumber = static_cast<uint32_t>(nFile);
    auto it = mapKeywords.find(svKeyword);
    if (it == mapKeywords.end())
    {
        mapKeywords.emplace(std::string(svKeyword), std::vector<uint32_t>{nNumber});
        return;
    }
    // Pages come in increasing order, so the last number alone tells whether this page is listed.
    if (it->second.empty() || it->second.back() != nNumber)
        it->second.push_back(nNumber);
}

namespace
{
void Put(CSearchKeywordMap& mapKeywords, std::string_view svKeyword, int nFile)
{
    SearchKeywords_Add(mapKeywords, svKeyword, nFile);
}

/// Adds words of one page to an index a few words behind the text, in the same order: the slot of
/// each word is fetched while the words before it are added. The index of a large harvest does not
/// fit the cache, and most of an addition is otherwise the wait for its slot.
class CLookahead
{
public:
    CLookahead(CSearchKeywordIndex& index, int nFile) : m_index(index), m_nFile(nFile) {}
    void Put(std::string_view svKeyword)
    {
        if (svKeyword.empty())
            return;
        if (m_nCount == kDepth)
            AddOldest();
        const uint64_t nHash = Seen_Hash(svKeyword);
        m_index.Prefetch(nHash);
        m_aWords[(m_nFirst + m_nCount) % kDepth] = {svKeyword, nHash};
        ++m_nCount;
    }
    /// Adds the words still held.
    void Flush()
    {
        while (m_nCount > 0)
            AddOldest();
    }

private:
    static constexpr size_t kDepth = 8;
    void AddOldest()
    {
        const auto& [svKeyword, nHash] = m_aWords[m_nFirst];
        m_index.AddHashed(svKeyword, nHash, m_nFile);
        m_nFirst = (m_nFirst + 1) % kDepth;
        --m_nCount;
    }

    CSearchKeywordIndex& m_index;
    const int m_nFile;
    std::array<std::pair<std::string_view, uint64_t>, kDepth> m_aWords;
    size_t m_nFirst = 0;
    size_t m_nCount = 0;
};

void Put(CLookahead& lookahead, std::string_view svKeyword, int)
{
    lookahead.Put(svKeyword);
}
} // namespace

CSearchKeywordIndex::CSearchKeywordIndex(CSearchKeywordMap& mapKeywords) : m_mapKeywords(mapKeywords)
{
    size_t nCapacity = 1024;
    while (nCapacity < mapKeywords.size() * 2)
        nCapacity *= 2;
    m_vecSlots.resize(nCapacity);
    for (auto& entry : mapKeywords)
    {
        SSlot slot;
        slot.nHash = Seen_Hash(entry.first);
        slot.pEntry = &entry;
        slot.nLast = entry.second.empty() ? UINT32_MAX : entry.second.back();
        Insert(slot);
    }
}

void CSearchKeywordIndex::Insert(SSlot slot)
{
    if ((m_nUsed + 1) * 2 > m_vecSlots.size())
    {
        std::vector<SSlot> vecOld(m_vecSlots.size() * 2);
        vecOld.swap(m_vecSlots);
        m_nUsed = 0;
        for (const SSlot& old : vecOld)
        {
            if (old.pEntry != nullptr)
                Insert(old);
        }
    }
    size_t nMask = m_vecSlots.size() - 1;
    size_t i = slot.nHash & nMask;
    while (m_vecSlots[i].pEntry != nullptr)
        i = (i + 1) & nMask;
    m_vecSlots[i] = slot;
    ++m_nUsed;
}

void CSearchKeywordIndex::Add(std::string_view svKeyword, int nFile)
{
    AddHashed(svKeyword, Seen_Hash(svKeyword), nFile);
}

void CSearchKeywordIndex::AddHashed(std::string_view svKeyword, uint64_t nHash, int nFile)
{
    if (svKeyword.empty())
        return;
    auto nNumber = static_cast<uint32_t>(nFile);
    size_t nMask = m_vecSlots.size() - 1;
    for (size_t i = nHash & nMask; m_vecSlots[i].pEntry != nullptr; i = (i + 1) & nMask)
    {
        SSlot& slot = m_vecSlots[i];
        if (!Matches(slot, nHash, svKeyword))
            continue;
        if (slot.nLast != nNumber)
        {
            slot.pEntry->second.push_back(nNumber);
            slot.nLast = nNumber;
        }
        return;
    }
    // Unknown here, but the map may hold it if it was filled before the index (then it is indexed).
    auto [it, bNew] = m_mapKeywords.try_emplace(std::string(svKeyword));
    if (bNew || it->second.empty() || it->second.back() != nNumber)
        it->second.push_back(nNumber);
    SSlot slot;
    slot.nHash = nHash;
    slot.pEntry = &*it;
    slot.nLast = nNumber;
    if (svKeyword.size() <= sizeof(slot.aKey))
    {
        slot.nLen = static_cast<uint8_t>(svKeyword.size());
        std::memcpy(slot.aKey, svKeyword.data(), svKeyword.size());
    }
    Insert(slot);
}

bool CSearchKeywordIndex::Matches(const SSlot& slot, uint64_t nHash, std::string_view svKeyword)
{
    if (slot.nHash != nHash)
        return false;
    if (slot.nLen != 0)
        return slot.nLen == svKeyword.size() &&
               std::memcmp(slot.aKey, svKeyword.data(), svKeyword.size()) == 0;
    return slot.pEntry->first == svKeyword;
}

/// Whether a wide word is kept whole: at most kMaxWideKeyword bytes, or in UTF-8 at most
/// kMaxWideUTF8Chars characters (a run of ideographs there takes 3 bytes a character).
bool IsWholeWideKeyword(const CCodePage& cp, std::string_view svWord)
{
    if (svWord.size() <= kMaxWideKeyword)
        return true;
    if (!cp.IsUTF8() || svWord.size() > kMaxWideUTF8Chars * 4)
        return false;
    const auto* p = reinterpret_cast<const unsigned char*>(svWord.data());
    const auto* pEnd = p + svWord.size();
    size_t nChars = 0;
    for (; p < pEnd && nChars <= kMaxWideUTF8Chars; ++nChars)
        p += cp.CharLength(p, pEnd);
    return nChars <= kMaxWideUTF8Chars;
}

/// Adds a wide word (first byte 0x80 or above) for page nFile: whole when IsWholeWideKeyword,
/// else in pieces that never split a character of cp: 4 bytes in a single-byte code page, up to
/// 4 bytes in a double-byte one, two characters in UTF-8.
template <typename TSink>
void SearchKeywords_AddWideWord(TSink& sink, const CCodePage& cp, std::string_view svWord, int nFile)
{
    if (IsWholeWideKeyword(cp, svWord))
    {
        Put(sink, svWord, nFile);
        return;
    }
    if (!cp.IsUTF8() && !cp.IsDoubleByte())
    {
        for (size_t i = 0; i < svWord.size(); i += 4)
            Put(sink, svWord.substr(i, 4), nFile);
        return;
    }
    const auto* pBegin = reinterpret_cast<const unsigned char*>(svWord.data());
    const auto* pEnd = pBegin + svWord.size();
    const auto* p = pBegin;
    while (p < pEnd)
    {
        const auto* pPiece = p;
        if (cp.IsUTF8())
        {
            for (int nChars = 0; nChars < 2 && p < pEnd; ++nChars)
                p += cp.CharLength(p, pEnd);
        }
        else
        {
            // Whole characters, as many as fit in 4 bytes (at least one).
            do
                p += cp.CharLength(p, pEnd);
            while (p < pEnd && (p - pPiece) + static_cast<ptrdiff_t>(cp.CharLength(p, pEnd)) <= 4);
        }
        Put(sink, svWord.substr(static_cast<size_t>(pPiece - pBegin), static_cast<size_t>(p - pPiece)),
            nFile);
    }
}

template <typename TSink> void AddTextTo(TSink& sink, const CCodePage& cp, std::string_view svText, int nFile)
{
    const auto* pBegin = reinterpret_cast<const unsigned char*>(svText.data());
    const auto* pEnd = pBegin + svText.size();
    const auto* p = pBegin;
    const bool bUTF8 = cp.IsUTF8();
    auto Word = [&](const unsigned char* pFrom, const unsigned char* pTo)
    { return svText.substr(static_cast<size_t>(pFrom - pBegin), static_cast<size_t>(pTo - pFrom)); };
    while (p < pEnd)
    {
        unsigned char nClass = g_aByteClass[*p];
        if (nClass == kAlnum)
        {
            const auto* pStart = p;
            while (p < pEnd && g_aByteClass[*p] == kAlnum)
                ++p;
            Put(sink, Word(pStart, p), nFile);
            continue;
        }
        if (bUTF8)
        {
            size_t nLen = *p >= 0x80 ? WideUTF8Length(p, pEnd) : 0;
            if (nLen == 0)
            {
                ++p;
                continue;
            }
            const auto* pStart = p;
            while (p < pEnd && *p >= 0x80 && (nLen = WideUTF8Length(p, pEnd)) != 0)
                p += nLen;
            SearchKeywords_AddWideWord(sink, cp, Word(pStart, p), nFile);
            continue;
        }
        if (nClass == kWide)
        {
            const auto* pStart = p;
            while (p < pEnd && g_aByteClass[*p] == kWide)
                ++p;
            SearchKeywords_AddWideWord(sink, cp, Word(pStart, p), nFile);
            continue;
        }
        ++p;
    }
}

void SearchKeywords_AddText(CSearchKeywordMap& mapKeywords, const CCodePage& cp, std::string_view svText,
                            int nFile)
{
    AddTextTo(mapKeywords, cp, svText, nFile);
}

void SearchKeywords_AddText(CSearchKeywordIndex& index, const CCodePage& cp, std::string_view svText,
                            int nFile)
{
    CLookahead lookahead(index, nFile);
    AddTextTo(lookahead, cp, svText, nFile);
    lookahead.Flush();
}

namespace
{
/// Length of the wide character at p for the pairs: a character of two bytes or more, or a byte
/// of 0x81 and up that stands alone (half-width kana) and is no lead byte cut from its trail; 0
/// when the character separates.
size_t PairCharLength(const CCodePage& cp, const unsigned char* p, const unsigned char* pEnd)
{
    if (cp.IsUTF8())
        return *p >= 0x80 ? WideUTF8Length(p, pEnd) : 0;
    size_t nLen = cp.CharLength(p, pEnd);
    if (nLen >= 2)
        return nLen;
    return *p >= 0x81 && !cp.IsLeadByte(*p) ? 1 : 0;
}
} // namespace

void SearchKeywords_AddPairs(CSearchKeywordIndex& index, const CCodePage& cp, std::string_view svText,
                             int nFile)
{
    if (!cp.IsUTF8() && !cp.IsDoubleByte())
        return;
    const auto* pBegin = reinterpret_cast<const unsigned char*>(svText.data());
    const auto* pEnd = pBegin + svText.size();
    const unsigned char* pPrev = nullptr; // the wide character before p, if there is one
    for (const auto* p = pBegin; p < pEnd;)
    {
        size_t nLen = PairCharLength(cp, p, pEnd);
        if (nLen == 0)
        {
            pPrev = nullptr;
            p += cp.IsUTF8() ? 1 : cp.CharLength(p, pEnd);
            continue;
        }
        if (pPrev != nullptr)
            index.Add(
                svText.substr(static_cast<size_t>(pPrev - pBegin), static_cast<size_t>(p + nLen - pPrev)),
                nFile);
        pPrev = p;
        p += nLen;
    }
}

void CWebHelpHelper::FixTextForSearchKeywords(std::string& strText)
{
    const CCodePage& cp = GetSiteCodePage();
    std::string strOut;
    strOut.reserve(strText.size() + strText.size() / 4);
    unsigned char nPrev = ' ';
    const auto* p = reinterpret_cast<const unsigned char*>(strText.data());
    const auto* pEnd = p + strText.size();
    while (p < pEnd)
    {
        unsigned char b = *p;
        if (g_aByteClass[b] == kAlnum)
        {
            if (nPrev >= 0x80 && (cp.IsUTF8() || nPrev >= 0x81))
                strOut += ' ';
            strOut += static_cast<char>(b);
            nPrev = b;
            ++p;
            continue;
        }
        size_t nWide = 0;
        if (cp.IsUTF8())
            nWide = b >= 0x80 ? WideUTF8Length(p, pEnd) : 0;
        else
            nWide = b >= 0x81 ? 1 : 0;
        if (nWide == 0)
        {
            strOut += ' ';
            nPrev = ' ';
            ++p;
            continue;
        }
        if (nPrev < 0x80 && nPrev != ' ')
            strOut += ' ';
        strOut.append(reinterpret_cast<const char*>(p), nWide);
        nPrev = p[nWide - 1];
        p += nWide;
    }
    strText.swap(strOut);
}

void CWebHelpHelper::SplitTextToSearchKeywords2(std::string strText, int nFile)
{
    const CCodePage& cp = GetSiteCodePage();
    const unsigned char nFirstWide = cp.IsUTF8() ? 0x80 : 0x81;
    auto Handle = [&](std::string_view svWord)
    {
        if (svWord.empty())
            return;
        if (static_cast<unsigned char>(svWord.front()) < nFirstWide)
            SearchKeywords_Add(m_mapSearchKeywords, svWord, nFile);
        else
            SearchKeywords_AddWideWord(m_mapSearchKeywords, cp, svWord, nFile);
    };
    std::string_view sv = Strip(strText);
    while (!sv.empty())
    {
        size_t nSpace = sv.find(' ');
        if (nSpace == std::string_view::npos)
        {
            Handle(Strip(sv));
            break;
        }
        Handle(Strip(sv.substr(0, nSpace)));
        sv.remove_prefix(nSpace + 1);
    }
}

void CWebHelpHelper::SplitTextToSearchKeywords(std::string strText, int nFile)
{
    SplitTextToSearchKeywords2(std::move(strText), nFile);
}

void CWebHelpHelper::AddSearchKeywordToMap(std::string strKeyword, int nFile)
{
    SearchKeywords_Add(m_mapSearchKeywords, strKeyword, nFile);
}
