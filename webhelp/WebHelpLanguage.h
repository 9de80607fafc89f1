#pragma once

#include <cstdint>
#include <string_view>

/// Charset row that suits a compiled file of language nLCID: the code page its texts were
/// written in. kCharsetWin1252 for a language without a better row, and for 0.
int WebHelpCharsetRowOfLCID(uint32_t nLCID);

/// What a site's header shows in one language, in UTF-8.
struct SWebHelpTexts
{
    const char* pszContents;
    const char* pszIndex;
    const char* pszSearch;
    const char* pszHome;
    const char* pszPrev;
    const char* pszNext;
    const char* pszPrint;
    const char* pszTitle; ///< the site's title until a compiled file gives its own
};

/// The texts of language nLCID; English for a language without texts of its own, and for 0.
const SWebHelpTexts& WebHelpTextsOfLCID(uint32_t nLCID);

/// The language of a POSIX locale name ("de_DE.UTF-8", "pt_BR", "sr_RS@latin", "ja"); 0 for
/// "C", "POSIX", an empty name and a language without a code.
uint32_t WebHelpLCIDOfLocale(std::string_view svLocale);

/// The language of the desktop: the first of LC_ALL, LC_MESSAGES and LANG that is set and not
/// empty decides, as it does for messages. 0 when that one names no known language.
uint32_t WebHelpDesktopLCID();
