#include "CCharsets.h"

namespace
{
const SCharset g_aCharsets[kCharsetCount] = {
    {"DIN_66003", "IA5 (German)", "DIN_66003"},
    {"NS_4551-1", "IA5 (Norwegian)", "NS_4551-1"},
    {"SEN_850200_B", "IA5 (Swedish)", "SEN_850200_B"},
    {"_autodetect", "Japanese (Auto Select)", "CP932"},
    {"_autodetect_kr", "Korean (Auto Select)", "CP949"},
    {"big5", "Chinese Traditional (Big5)", "CP950"},
    {"csISO2022JP", "Japanese (JIS-Allow 1 byte Kana)", "ISO-2022-JP"},
    {"euc-kr", "Korean (EUC)", "CP949"},
    {"gb2312", "Chinese Simplified (GB2312)", "CP936"},
    {"hz-gb-2312", "Chinese Simplified (HZ)", nullptr}, // glibc has no HZ
    {"ibm852", "Central European (DOS)", "IBM852"},
    {"ibm866", "Cyrillic Alphabet (DOS)", "IBM866"},
    {"irv", "IA5 (IRV)", "ISO646-US"},
    {"iso-2022-jp", "Japanese (JIS)", "ISO-2022-JP"},
    {"iso-2022-jp", "Japanese (JIS-Allow 1 byte Kana)", "ISO-2022-JP"},
    {"iso-2022-kr", "Korean (ISO)", "ISO-2022-KR"},
    {"iso-8859-1", "Western Alphabet", "ISO-8859-1"},
    {"iso-8859-1", "Western Alphabet (ISO)", "ISO-8859-1"},
    {"iso-8859-2", "Central European Alphabet (ISO)", "ISO-8859-2"},
    {"iso-8859-3", "Latin 3 Alphabet (ISO)", "ISO-8859-3"},
    {"iso-8859-4", "Baltic Alphabet (ISO)", "ISO-8859-4"},
    {"iso-8859-5", "Cyrillic Alphabet (ISO)", "ISO-8859-5"},
    {"iso-8859-6", "Arabic Alphabet (ISO)", "ISO-8859-6"},
    {"iso-8859-7", "Greek Alphabet (ISO)", "ISO-8859-7"},
    {"iso-8859-8", "Hebrew Alphabet (ISO)", "ISO-8859-8"},
    {"koi8-r", "Cyrillic Alphabet (KOI8-R)", "KOI8-R"},
    {"ks_c_5601", "Korean", "CP949"},
    {"shift-jis", "Japanese (Shift-JIS)", "CP932"},
    // Browsers read a page that declares "unicode" as UTF-8, and know no UTF-7.
    {"unicode", "Universal Alphabet", "UTF-8"},
    {"unicodeFEFF", "Universal Alphabet (Big-Endian)", "UTF-8"},
    {"utf-7", "Universal Alphabet (UTF-7)", nullptr},
    {"utf-8", "Universal Alphabet (UTF-8)", "UTF-8"},
    {"windows-1250", "Central European Alphabet (Windows)", "CP1250"},
    {"windows-1251", "Cyrillic Alphabet (Windows)", "CP1251"},
    {"windows-1252", "Western Alphabet (Windows)", "CP1252"},
    {"windows-1253", "Greek Alphabet (Windows)", "CP1253"},
    {"windows-1254", "Turkish Alphabet", "CP1254"},
    {"windows-1255", "Hebrew Alphabet (Windows)", "CP1255"},
    {"windows-1256", "Arabic Alphabet (Windows)", "CP1256"},
    {"windows-1257", "Baltic Alphabet (Windows)", "CP1257"},
    {"windows-1258", "Vietnamese Alphabet (Windows)", "CP1258"},
    {"windows-874", "Thai (Windows)", "CP874"},
    {"x-euc", "Japanese (EUC)", "EUC-JP"},
    {"x-user-defined", "User Defined", nullptr},
};
} // namespace

const SCharset& Charset_Row(int nRow)
{
    return nRow >= 0 && nRow < kCharsetCount ? g_aCharsets[nRow] : g_aCharsets[kCharsetWin1252];
}

const char* Charset_IconvName(int nRow)
{
    const char* pszName = Charset_Row(nRow).pszIconvName;
    return pszName != nullptr ? pszName : g_aCharsets[kCharsetWin1252].pszIconvName;
}
