#include "WebHelpLanguage.h"

namespace
{
enum ERow
{
    kBig5 = 5,
    kEucKr = 7,
    kGb2312 = 8,
    kShiftJis = 27,
    kWin1250 = 32,
    kWin1251 = 33,
    kWin1252 = 34,
    kWin1253 = 35,
    kWin1254 = 36,
    kWin1255 = 37,
    kWin1256 = 38,
    kWin1257 = 39,
    kWin1258 = 40,
    kWin874 = 41,
};
} // namespace

int WebHelpCharsetRowOfLCID(uint32_t nLCID)
{
    const uint32_t nLang = nLCID & 0xFFFF;
    const uint32_t nPrimary = nLang & 0x3FF;
    switch (nPrimary)
    {
    case 0x04: // Chinese: the sub-language tells simplified from traditional
        return (nLang == 0x0404 || nLang == 0x0C04 || nLang == 0x1404) ? kBig5 : kGb2312;
    case 0x11:
        return kShiftJis;
    case 0x12:
        // Browsers know "euc-kr" but not the bare "ks_c_5601"; both are the same code page.
        return kEucKr;
    case 0x05: // Czech
    case 0x0E: // Hungarian
    case 0x15: // Polish
    case 0x18: // Romanian
    case 0x1B: // Slovak
    case 0x1C: // Albanian
    case 0x24: // Slovenian
        return kWin1250;
    case 0x1A: // Croatian, Serbian, Bosnian: Cyrillic sub-languages use 1251
        return (nLang == 0x0C1A || nLang == 0x1C1A || nLang == 0x201A) ? kWin1251 : kWin1250;
    case 0x02: // Bulgarian
    case 0x19: // Russian
    case 0x22: // Ukrainian
    case 0x23: // Belarusian
    case 0x2F: // Macedonian
    case 0x3F: // Kazakh
    case 0x40: // Kyrgyz
    case 0x44: // Tatar
    case 0x50: // Mongolian
        return kWin1251;
    case 0x08:
        return kWin1253;
    case 0x1F: // Turkish
    case 0x2C: // Azeri (Latin); its Cyrillic form uses 1251
        return nLang == 0x082C ? kWin1251 : kWin1254;
    case 0x43: // Uzbek (Latin); its Cyrillic form uses 1251
        return nLang == 0x0843 ? kWin1251 : kWin1254;
    case 0x0D:
        return kWin1255;
    case 0x01: // Arabic
    case 0x20: // Urdu
    case 0x29: // Persian
        return kWin1256;
    case 0x25: // Estonian
    case 0x26: // Latvian
    case 0x27: // Lithuanian
        return kWin1257;
    case 0x2A:
        return kWin1258;
    case 0x1E:
        return kWin874;
    default:
        return kWin1252;
    }
}
