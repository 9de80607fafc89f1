#pragma once

#include <cstdint>
#include <string_view>

/// One charset row: the name a page declares, the name the wizard shows, and the code page
/// iconv serves it with.
struct SCharset
{
    const char* pszBrowserName;
    const char* pszDisplayName;
    /// Null for a row that iconv cannot serve: such a row is read and written as windows-1252.
    const char* pszIconvName;
};

constexpr int kCharsetCount = 44;

/// Rows that code refers to by name; the row numbers are the settings' and the command line's.
enum ECharsetRow : int32_t
{
    kCharsetBig5 = 5,
    kCharsetEucKr = 7,
    kCharsetGb2312 = 8,
    kCharsetShiftJis = 27,
    kCharsetUTF8 = 31,
    kCharsetWin1250 = 32,
    kCharsetWin1251 = 33,
    kCharsetWin1252 = 34,
    kCharsetWin1253 = 35,
    kCharsetWin1254 = 36,
    kCharsetWin1255 = 37,
    kCharsetWin1256 = 38,
    kCharsetWin1257 = 39,
    kCharsetWin1258 = 40,
    kCharsetWin874 = 41,
    kCharsetEucJp = 42,
};

/// Row nRow; windows-1252's row for a number outside the table.
const SCharset& Charset_Row(int nRow);

/// The iconv name of row nRow: windows-1252's for a row iconv cannot serve or outside the table.
const char* Charset_IconvName(int nRow);

/// The iconv name of the code page a browser reads a page in when the page declares svLabel (a
/// label of the web's encoding standard, any case, spaces around it ignored); null for a label
/// browsers do not know.
const char* Charset_IconvNameOfLabel(std::string_view svLabel);
