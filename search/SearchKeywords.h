#pragma once

#include "CWebHelpHelper.h"

#include <string_view>

class CCodePage;

/// A wide keyword longer than this is cut into pieces.
inline constexpr size_t kMaxWideKeyword = 20;

/// Records that page nFile holds svKeyword; a page is listed once and lists stay ascending as
/// long as pages come in increasing order. An empty keyword is ignored.
void SearchKeywords_Add(CSearchKeywordMap& mapKeywords, std::string_view svKeyword, int nFile);

/// Adds every keyword of a lower-cased page text (bytes in cp) for page nFile: exactly the keywords
/// that FixTextForSearchKeywords followed by SplitTextToSearchKeywords2 find, in one pass that
/// neither copies the text nor allocates per word.
void SearchKeywords_AddText(CSearchKeywordMap& mapKeywords, const CCodePage& cp, std::string_view svText,
                            int nFile);

/// Adds a wide word (first byte 0x80 or above) for page nFile: whole when it is at most
/// kMaxWideKeyword bytes long, else in pieces that never split a character of cp: 4 bytes in a
/// single-byte code page, up to 4 bytes in a double-byte one, two characters in UTF-8.
void SearchKeywords_AddWideWord(CSearchKeywordMap& mapKeywords, const CCodePage& cp, std::string_view svWord,
                                int nFile);
