#include "CCharsets.h"

#include "CText.h"

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

struct SLabel
{
    std::string_view svLabel;
    const char* pszIconvName;
};

// The labels browsers know, with the code page each reads a page in. A page that declares UTF-16 is
// read as UTF-8 (a declaration readable as ASCII bytes cannot be UTF-16); x-user-defined as windows-1252.
// clang-format off
const SLabel g_aLabels[] = {
    {"unicode-1-1-utf-8", "UTF-8"}, {"unicode11utf8", "UTF-8"}, {"unicode20utf8", "UTF-8"},
    {"utf-8", "UTF-8"}, {"utf8", "UTF-8"}, {"x-unicode20utf8", "UTF-8"}, {"utf-16", "UTF-8"},
    {"utf-16le", "UTF-8"}, {"utf-16be", "UTF-8"}, {"ucs-2", "UTF-8"}, {"unicodefffe", "UTF-8"},
    {"csunicode", "UTF-8"}, {"iso-10646-ucs-2", "UTF-8"}, {"866", "IBM866"}, {"cp866", "IBM866"},
    {"csibm866", "IBM866"}, {"ibm866", "IBM866"}, {"csisolatin2", "ISO-8859-2"}, {"iso-8859-2", "ISO-8859-2"},
    {"iso-ir-101", "ISO-8859-2"}, {"iso8859-2", "ISO-8859-2"}, {"iso88592", "ISO-8859-2"},
    {"iso_8859-2", "ISO-8859-2"}, {"iso_8859-2:1987", "ISO-8859-2"}, {"l2", "ISO-8859-2"},
    {"latin2", "ISO-8859-2"}, {"csisolatin3", "ISO-8859-3"}, {"iso-8859-3", "ISO-8859-3"},
    {"iso-ir-109", "ISO-8859-3"}, {"iso8859-3", "ISO-8859-3"}, {"iso88593", "ISO-8859-3"},
    {"iso_8859-3", "ISO-8859-3"}, {"iso_8859-3:1988", "ISO-8859-3"}, {"l3", "ISO-8859-3"},
    {"latin3", "ISO-8859-3"}, {"csisolatin4", "ISO-8859-4"}, {"iso-8859-4", "ISO-8859-4"},
    {"iso-ir-110", "ISO-8859-4"}, {"iso8859-4", "ISO-8859-4"}, {"iso88594", "ISO-8859-4"},
    {"iso_8859-4", "ISO-8859-4"}, {"iso_8859-4:1988", "ISO-8859-4"}, {"l4", "ISO-8859-4"},
    {"latin4", "ISO-8859-4"}, {"csisolatincyrillic", "ISO-8859-5"}, {"cyrillic", "ISO-8859-5"},
    {"iso-8859-5", "ISO-8859-5"}, {"iso-ir-144", "ISO-8859-5"}, {"iso8859-5", "ISO-8859-5"},
    {"iso88595", "ISO-8859-5"}, {"iso_8859-5", "ISO-8859-5"}, {"iso_8859-5:1988", "ISO-8859-5"},
    {"arabic", "ISO-8859-6"}, {"asmo-708", "ISO-8859-6"}, {"csiso88596e", "ISO-8859-6"},
    {"csiso88596i", "ISO-8859-6"}, {"csisolatinarabic", "ISO-8859-6"}, {"ecma-114", "ISO-8859-6"},
    {"iso-8859-6", "ISO-8859-6"}, {"iso-8859-6-e", "ISO-8859-6"}, {"iso-8859-6-i", "ISO-8859-6"},
    {"iso-ir-127", "ISO-8859-6"}, {"iso8859-6", "ISO-8859-6"}, {"iso88596", "ISO-8859-6"},
    {"iso_8859-6", "ISO-8859-6"}, {"iso_8859-6:1987", "ISO-8859-6"}, {"csisolatingreek", "ISO-8859-7"},
    {"ecma-118", "ISO-8859-7"}, {"elot_928", "ISO-8859-7"}, {"greek", "ISO-8859-7"}, {"greek8", "ISO-8859-7"},
    {"iso-8859-7", "ISO-8859-7"}, {"iso-ir-126", "ISO-8859-7"}, {"iso8859-7", "ISO-8859-7"},
    {"iso88597", "ISO-8859-7"}, {"iso_8859-7", "ISO-8859-7"}, {"iso_8859-7:1987", "ISO-8859-7"},
    {"sun_eu_greek", "ISO-8859-7"}, {"csiso88598e", "ISO-8859-8"}, {"csisolatinhebrew", "ISO-8859-8"},
    {"hebrew", "ISO-8859-8"}, {"iso-8859-8", "ISO-8859-8"}, {"iso-8859-8-e", "ISO-8859-8"},
    {"iso-ir-138", "ISO-8859-8"}, {"iso8859-8", "ISO-8859-8"}, {"iso88598", "ISO-8859-8"},
    {"iso_8859-8", "ISO-8859-8"}, {"iso_8859-8:1988", "ISO-8859-8"}, {"visual", "ISO-8859-8"},
    {"csiso88598i", "ISO-8859-8"}, {"iso-8859-8-i", "ISO-8859-8"}, {"logical", "ISO-8859-8"},
    {"csisolatin6", "ISO-8859-10"}, {"iso-8859-10", "ISO-8859-10"}, {"iso-ir-157", "ISO-8859-10"},
    {"iso8859-10", "ISO-8859-10"}, {"iso885910", "ISO-8859-10"}, {"l6", "ISO-8859-10"},
    {"latin6", "ISO-8859-10"}, {"iso-8859-13", "ISO-8859-13"}, {"iso8859-13", "ISO-8859-13"},
    {"iso885913", "ISO-8859-13"}, {"iso-8859-14", "ISO-8859-14"}, {"iso8859-14", "ISO-8859-14"},
    {"iso885914", "ISO-8859-14"}, {"csisolatin9", "ISO-8859-15"}, {"iso-8859-15", "ISO-8859-15"},
    {"iso8859-15", "ISO-8859-15"}, {"iso885915", "ISO-8859-15"}, {"iso_8859-15", "ISO-8859-15"},
    {"l9", "ISO-8859-15"}, {"iso-8859-16", "ISO-8859-16"}, {"cskoi8r", "KOI8-R"}, {"koi", "KOI8-R"},
    {"koi8", "KOI8-R"}, {"koi8-r", "KOI8-R"}, {"koi8_r", "KOI8-R"}, {"koi8-ru", "KOI8-U"},
    {"koi8-u", "KOI8-U"}, {"csmacintosh", "MACINTOSH"}, {"mac", "MACINTOSH"}, {"macintosh", "MACINTOSH"},
    {"x-mac-roman", "MACINTOSH"}, {"x-mac-cyrillic", "MAC-CYRILLIC"}, {"x-mac-ukrainian", "MAC-CYRILLIC"},
    {"dos-874", "CP874"}, {"iso-8859-11", "CP874"}, {"iso8859-11", "CP874"}, {"iso885911", "CP874"},
    {"tis-620", "CP874"}, {"windows-874", "CP874"}, {"cp1250", "CP1250"}, {"windows-1250", "CP1250"},
    {"x-cp1250", "CP1250"}, {"cp1251", "CP1251"}, {"windows-1251", "CP1251"}, {"x-cp1251", "CP1251"},
    {"ansi_x3.4-1968", "CP1252"}, {"ascii", "CP1252"}, {"cp1252", "CP1252"}, {"cp819", "CP1252"},
    {"csisolatin1", "CP1252"}, {"ibm819", "CP1252"}, {"iso-8859-1", "CP1252"}, {"iso-ir-100", "CP1252"},
    {"iso8859-1", "CP1252"}, {"iso88591", "CP1252"}, {"iso_8859-1", "CP1252"}, {"iso_8859-1:1987", "CP1252"},
    {"l1", "CP1252"}, {"latin1", "CP1252"}, {"us-ascii", "CP1252"}, {"windows-1252", "CP1252"},
    {"x-cp1252", "CP1252"}, {"x-user-defined", "CP1252"}, {"cp1253", "CP1253"}, {"windows-1253", "CP1253"},
    {"x-cp1253", "CP1253"}, {"cp1254", "CP1254"}, {"csisolatin5", "CP1254"}, {"iso-8859-9", "CP1254"},
    {"iso-ir-148", "CP1254"}, {"iso8859-9", "CP1254"}, {"iso88599", "CP1254"}, {"iso_8859-9", "CP1254"},
    {"iso_8859-9:1989", "CP1254"}, {"l5", "CP1254"}, {"latin5", "CP1254"}, {"windows-1254", "CP1254"},
    {"x-cp1254", "CP1254"}, {"cp1255", "CP1255"}, {"windows-1255", "CP1255"}, {"x-cp1255", "CP1255"},
    {"cp1256", "CP1256"}, {"windows-1256", "CP1256"}, {"x-cp1256", "CP1256"}, {"cp1257", "CP1257"},
    {"windows-1257", "CP1257"}, {"x-cp1257", "CP1257"}, {"cp1258", "CP1258"}, {"windows-1258", "CP1258"},
    {"x-cp1258", "CP1258"}, {"chinese", "CP936"}, {"csgb2312", "CP936"}, {"csiso58gb231280", "CP936"},
    {"gb2312", "CP936"}, {"gb_2312", "CP936"}, {"gb_2312-80", "CP936"}, {"gbk", "CP936"},
    {"iso-ir-58", "CP936"}, {"x-gbk", "CP936"}, {"gb18030", "GB18030"}, {"big5", "CP950"},
    {"big5-hkscs", "CP950"}, {"cn-big5", "CP950"}, {"csbig5", "CP950"}, {"x-x-big5", "CP950"},
    {"cseucpkdfmtjapanese", "EUC-JP"}, {"euc-jp", "EUC-JP"}, {"x-euc-jp", "EUC-JP"},
    {"csiso2022jp", "ISO-2022-JP"}, {"iso-2022-jp", "ISO-2022-JP"}, {"csshiftjis", "CP932"},
    {"ms932", "CP932"}, {"ms_kanji", "CP932"}, {"shift-jis", "CP932"}, {"shift_jis", "CP932"},
    {"sjis", "CP932"}, {"windows-31j", "CP932"}, {"x-sjis", "CP932"}, {"cseuckr", "CP949"},
    {"csksc56011987", "CP949"}, {"euc-kr", "CP949"}, {"iso-ir-149", "CP949"}, {"korean", "CP949"},
    {"ks_c_5601-1987", "CP949"}, {"ks_c_5601-1989", "CP949"}, {"ksc5601", "CP949"}, {"ksc_5601", "CP949"},
    {"windows-949", "CP949"},
};
// clang-format on
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

const char* Charset_IconvNameOfLabel(std::string_view svLabel)
{
    const auto IsSpace = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '\r'; };
    while (!svLabel.empty() && IsSpace(svLabel.front()))
        svLabel.remove_prefix(1);
    while (!svLabel.empty() && IsSpace(svLabel.back()))
        svLabel.remove_suffix(1);
    for (const SLabel& label : g_aLabels)
    {
        if (EqualsNoCaseASCII(svLabel, label.svLabel))
            return label.pszIconvName;
    }
    return nullptr;
}
