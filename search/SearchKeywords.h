#pragma once

#include "CWebHelpHelper.h"

#include <cstdint>
#include <string_view>
#include <vector>

class CCodePage;

/// A wide keyword longer than this is cut into pieces.
inline constexpr size_t kMaxWideKeyword = 20;
/// A UTF-8 wide keyword of more characters than this is cut into pieces, whatever its bytes.
inline constexpr size_t kMaxWideUTF8Chars = 10;

/// A flat index over a keyword map for the length of a harvest: finds a keyword's list in one probe
/// and remembers the last page of each list, where the map would walk its nodes. Borrows the map,
/// which must outlive the index and must not be changed by anything else while the index lives.
class CSearchKeywordIndex
{
public:
    explicit CSearchKeywordIndex(CSearchKeywordMap& mapKeywords);
    CSearchKeywordIndex(const CSearchKeywordIndex&) = delete;
    CSearchKeywordIndex& operator=(const CSearchKeywordIndex&) = delete;

    const CSearchKeywordMap& GetMap() const { return m_mapKeywords; }
    /// As SearchKeywords_Add.
    void Add(std::string_view svKeyword, int nFile);
    /// As Add, for a keyword whose Seen_Hash is nHash.
    void AddHashed(std::string_view svKeyword, uint64_t nHash, int nFile);
    /// Asks for the slot where a keyword of hash nHash is looked for to be loaded into the cache,
    /// so that an AddHashed of it a little later does not wait for it. Changes nothing.
    void Prefetch(uint64_t nHash) const { __builtin_prefetch(&m_vecSlots[nHash & (m_vecSlots.size() - 1)]); }

private:
    /// Half a cache line; short keywords, most of them, are compared without leaving it.
    struct SSlot
    {
        uint64_t nHash = 0;
        CSearchKeywordMap::value_type* pEntry = nullptr; ///< null: free
        uint32_t nLast = 0;                              ///< last page in the entry's list
        uint8_t nLen = 0;                                ///< key length when the key is held here, else 0
        char aKey[11] = {};
    };
    static bool Matches(const SSlot& slot, uint64_t nHash, std::string_view svKeyword);
    void Insert(SSlot slot);

    CSearchKeywordMap& m_mapKeywords;
    std::vector<SSlot> m_vecSlots;
    size_t m_nUsed = 0;
};

/// Records that page nFile holds svKeyword; a page is listed once and lists stay ascending as
/// long as pages come in increasing order. An empty keyword is ignored.
void SearchKeywords_Add(CSearchKeywordMap& mapKeywords, std::string_view svKeyword, int nFile);

/// Adds every keyword of a lower-cased page text (bytes in cp) for page nFile: exactly the keywords
/// that FixTextForSearchKeywords followed by SplitTextToSearchKeywords2 find, in one pass that
/// neither copies the text nor allocates per word.
void SearchKeywords_AddText(CSearchKeywordMap& mapKeywords, const CCodePage& cp, std::string_view svText,
                            int nFile);
/// The same through an index, for a harvest of many pages.
void SearchKeywords_AddText(CSearchKeywordIndex& index, const CCodePage& cp, std::string_view svText,
                            int nFile);

/// Adds, for page nFile, every two wide characters that follow each other in a lower-cased page
/// text, whole characters of cp as the page has them (a trail byte that is an ASCII letter
/// included), so that a word typed from inside a run finds its page. Only double-byte code pages
/// and UTF-8 have such pairs; a single-byte site keeps exactly the keywords of SearchKeywords_AddText.
void SearchKeywords_AddPairs(CSearchKeywordIndex& index, const CCodePage& cp, std::string_view svText,
                             int nFile);
