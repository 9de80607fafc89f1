#include "ScriptLiteral.h"

#include "CCodePage.h"
#include "SitemapAddress.h"

namespace
{
const char kESC = 0x1B;
const char kShiftOut = 0x0E;
const char kShiftIn = 0x0F;

std::string Escape(std::string_view sv, const CCodePage& cp, const char* pszQuote)
{
    std::string strOut;
    strOut.reserve(sv.size() + 8);
    const bool bStateful = cp.GetName().compare(0, 8, "ISO-2022") == 0;
    bool bShifted = false; // inside a double-byte run of a stateful code page
    size_t i = 0;
    while (i < sv.size())
    {
        const char c = sv[i];
        if (bStateful)
        {
            if (c == kESC && i + 1 < sv.size())
                bShifted = sv[i + 1] == '$';
            else if (c == kShiftOut || c == kShiftIn)
                bShifted = c == kShiftOut;
        }
        const size_t nLen = SitemapCharLength(sv, i, cp);
        if (nLen > 1 || (bShifted && c != '\r' && c != '\n'))
        {
            strOut.append(sv.substr(i, nLen));
            i += nLen;
            continue;
        }
        switch (c)
        {
        case '"':
            strOut += pszQuote;
            break;
        case '\\':
            strOut += "\\\\";
            break;
        case '\r':
            strOut += "\\r";
            break;
        case '\n':
            strOut += "\\n";
            break;
        default:
            // U+2028 and U+2029 end a line in scripts older than ES2019.
            if (cp.IsUTF8() && c == '\xE2' && i + 2 < sv.size() && sv[i + 1] == '\x80' &&
                (sv[i + 2] == '\xA8' || sv[i + 2] == '\xA9'))
            {
                strOut += sv[i + 2] == '\xA8' ? "\\u2028" : "\\u2029";
                i += 3;
                continue;
            }
            strOut += c;
        }
        ++i;
    }
    return strOut;
}
} // namespace

std::string ScriptTitleLiteral(std::string_view sv, const CCodePage& cp)
{
    return Escape(sv, cp, "'");
}

std::string ScriptAddressLiteral(std::string_view sv, const CCodePage& cp)
{
    return Escape(sv, cp, "\\\"");
}

std::string ScriptFileLiteral(std::string_view sv, const CCodePage& cp)
{
    return Escape(sv, cp, "%22");
}
