#include "WebHelpLanguage.h"

#include "CCharsets.h"

int WebHelpCharsetRowOfLCID(uint32_t nLCID)
{
    const uint32_t nLang = nLCID & 0xFFFF;
    const uint32_t nPrimary = nLang & 0x3FF;
    switch (nPrimary)
    {
    case 0x04: // Chinese: the sub-language tells simplified from traditional
        return (nLang == 0x0404 || nLang == 0x0C04 || nLang == 0x1404) ? kCharsetBig5 : kCharsetGb2312;
    case 0x11:
        return kCharsetShiftJis;
    case 0x12:
        // Browsers know "euc-kr" but not the bare "ks_c_5601"; both are the same code page.
        return kCharsetEucKr;
    case 0x05: // Czech
    case 0x0E: // Hungarian
    case 0x15: // Polish
    case 0x18: // Romanian
    case 0x1B: // Slovak
    case 0x1C: // Albanian
    case 0x24: // Slovenian
        return kCharsetWin1250;
    case 0x1A: // Croatian, Serbian, Bosnian: Cyrillic sub-languages use 1251
        return (nLang == 0x0C1A || nLang == 0x1C1A || nLang == 0x201A) ? kCharsetWin1251 : kCharsetWin1250;
    case 0x02: // Bulgarian
    case 0x19: // Russian
    case 0x22: // Ukrainian
    case 0x23: // Belarusian
    case 0x2F: // Macedonian
    case 0x3F: // Kazakh
    case 0x40: // Kyrgyz
    case 0x44: // Tatar
    case 0x50: // Mongolian
        return kCharsetWin1251;
    case 0x08:
        return kCharsetWin1253;
    case 0x1F: // Turkish
    case 0x2C: // Azeri (Latin); its Cyrillic form uses 1251
        return nLang == 0x082C ? kCharsetWin1251 : kCharsetWin1254;
    case 0x43: // Uzbek (Latin); its Cyrillic form uses 1251
        return nLang == 0x0843 ? kCharsetWin1251 : kCharsetWin1254;
    case 0x0D:
        return kCharsetWin1255;
    case 0x01: // Arabic
    case 0x20: // Urdu
    case 0x29: // Persian
        return kCharsetWin1256;
    case 0x25: // Estonian
    case 0x26: // Latvian
    case 0x27: // Lithuanian
        return kCharsetWin1257;
    case 0x2A:
        return kCharsetWin1258;
    case 0x1E:
        return kCharsetWin874;
    default:
        return kCharsetWin1252;
    }
}
