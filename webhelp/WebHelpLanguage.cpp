#include "WebHelpLanguage.h"

#include "CCharsets.h"
#include "CText.h"

#include <algorithm>
#include <cstdlib>
#include <string>

namespace
{
/// Taiwan, Hong Kong and Macao write Chinese in traditional characters.
bool IsTraditionalChinese(uint32_t nLang)
{
    return nLang == 0x0404 || nLang == 0x0C04 || nLang == 0x1404;
}

struct SLanguageTexts
{
    uint32_t nPrimary;
    bool bTraditional;
    SWebHelpTexts texts;
};

// The words help in each language uses for its own tabs and buttons.
const SLanguageTexts kTexts[] = {
    {0x04, false, {"目录", "索引", "搜索", "主页", "上一步", "下一步", "打印", "网络在线帮助"}},
    {0x04, true, {"目錄", "索引", "搜尋", "首頁", "上一步", "下一步", "列印", "線上說明"}},
    {0x11, false, {"目次", "索引", "検索", "ホーム", "前へ", "次へ", "印刷", "オンライン ヘルプ"}},
    {0x12, false, {"목차", "색인", "검색", "홈", "이전", "다음", "인쇄", "온라인 도움말"}},
    {0x07, false, {"Inhalt", "Index", "Suchen", "Startseite", "Zurück", "Weiter", "Drucken", "Online-Hilfe"}},
    {0x0C,
     false,
     {"Sommaire", "Index", "Rechercher", "Accueil", "Précédent", "Suivant", "Imprimer", "Aide en ligne"}},
    {0x0A,
     false,
     {"Contenido", "Índice", "Buscar", "Inicio", "Anterior", "Siguiente", "Imprimir", "Ayuda en línea"}},
    {0x10,
     false,
     {"Sommario", "Indice", "Cerca", "Pagina iniziale", "Precedente", "Successivo", "Stampa",
      "Guida in linea"}},
    {0x16,
     false,
     {"Conteúdo", "Índice", "Pesquisar", "Início", "Anterior", "Próximo", "Imprimir", "Ajuda on-line"}},
    {0x19, false, {"Содержание", "Указатель", "Поиск", "Главная", "Назад", "Далее", "Печать", "Справка"}},
    {0x15,
     false,
     {"Spis treści", "Indeks", "Wyszukaj", "Strona główna", "Poprzedni", "Następny", "Drukuj",
      "Pomoc online"}},
    {0x05, false, {"Obsah", "Rejstřík", "Hledat", "Domů", "Předchozí", "Další", "Tisk", "Nápověda online"}},
    {0x13,
     false,
     {"Inhoud", "Index", "Zoeken", "Startpagina", "Vorige", "Volgende", "Afdrukken", "Online Help"}},
};

const SWebHelpTexts kEnglish = {"Contents", "Index", "Search", "Home",
                                "Previous", "Next",  "Print",  "Online Help"};

struct SLocaleLanguage
{
    const char* pszCode; ///< ISO 639 code as locale names begin
    uint32_t nLCID;      ///< the language as spoken where most of its readers are
};

const SLocaleLanguage kLocaleLanguages[] = {
    {"ar", 0x0401}, {"az", 0x042C}, {"be", 0x0423}, {"bg", 0x0402}, {"bs", 0x141A}, {"ca", 0x0403},
    {"cs", 0x0405}, {"da", 0x0406}, {"de", 0x0407}, {"el", 0x0408}, {"en", 0x0409}, {"es", 0x0C0A},
    {"et", 0x0425}, {"fa", 0x0429}, {"fi", 0x040B}, {"fr", 0x040C}, {"he", 0x040D}, {"hr", 0x041A},
    {"hu", 0x040E}, {"id", 0x0421}, {"is", 0x040F}, {"it", 0x0410}, {"ja", 0x0411}, {"kk", 0x043F},
    {"ko", 0x0412}, {"ky", 0x0440}, {"lt", 0x0427}, {"lv", 0x0426}, {"mk", 0x042F}, {"mn", 0x0450},
    {"nb", 0x0414}, {"nl", 0x0413}, {"nn", 0x0814}, {"no", 0x0414}, {"pl", 0x0415}, {"pt", 0x0416},
    {"ro", 0x0418}, {"ru", 0x0419}, {"sk", 0x041B}, {"sl", 0x0424}, {"sq", 0x041C}, {"sr", 0x0C1A},
    {"sv", 0x041D}, {"th", 0x041E}, {"tr", 0x041F}, {"tt", 0x0444}, {"uk", 0x0422}, {"ur", 0x0420},
    {"uz", 0x0443}, {"vi", 0x042A}, {"zh", 0x0804},
};

/// Where the country or the script of a locale changes the LCID its language has by itself.
struct SLocaleVariant
{
    const char* pszCode;
    const char* pszVariant; ///< the country after "_", or the script after "@"
    uint32_t nLCID;
};

const SLocaleVariant kLocaleVariants[] = {
    {"zh", "TW", 0x0404}, {"zh", "HK", 0x0C04},    {"zh", "MO", 0x1404},       {"zh", "SG", 0x1004},
    {"pt", "PT", 0x0816}, {"sr", "latin", 0x081A}, {"uz", "cyrillic", 0x0843},
};
} // namespace

int WebHelpCharsetRowOfLCID(uint32_t nLCID)
{
    const uint32_t nLang = nLCID & 0xFFFF;
    const uint32_t nPrimary = nLang & 0x3FF;
    switch (nPrimary)
    {
    case 0x04: // Chinese: the sub-language tells simplified from traditional
        return IsTraditionalChinese(nLang) ? kCharsetBig5 : kCharsetGb2312;
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

const SWebHelpTexts& WebHelpTextsOfLCID(uint32_t nLCID)
{
    const uint32_t nLang = nLCID & 0xFFFF;
    const bool bTraditional = IsTraditionalChinese(nLang);
    for (const SLanguageTexts& t : kTexts)
    {
        if (t.nPrimary == (nLang & 0x3FF) && t.bTraditional == bTraditional)
            return t.texts;
    }
    return kEnglish;
}

uint32_t WebHelpLCIDOfLocale(std::string_view svLocale)
{
    // language[_COUNTRY][.codeset][@modifier]
    const size_t nEndCode = std::min(svLocale.find_first_of("_.@"), svLocale.size());
    const std::string strCode = LowerASCII(svLocale.substr(0, nEndCode));
    std::string_view svCountry;
    if (nEndCode < svLocale.size() && svLocale[nEndCode] == '_')
    {
        svCountry = svLocale.substr(nEndCode + 1);
        svCountry = svCountry.substr(0, std::min(svCountry.find_first_of(".@"), svCountry.size()));
    }
    const size_t nAt = svLocale.find('@');
    const std::string_view svModifier = nAt == std::string_view::npos ? "" : svLocale.substr(nAt + 1);
    for (const SLocaleVariant& v : kLocaleVariants)
    {
        if (strCode == v.pszCode && (svCountry == v.pszVariant || svModifier == v.pszVariant))
            return v.nLCID;
    }
    for (const SLocaleLanguage& l : kLocaleLanguages)
    {
        if (strCode == l.pszCode)
            return l.nLCID;
    }
    return 0;
}

uint32_t WebHelpDesktopLCID()
{
    for (const char* pszName : {"LC_ALL", "LC_MESSAGES", "LANG"})
    {
        const char* pszValue = std::getenv(pszName);
        if (pszValue != nullptr && *pszValue != '\0')
            return WebHelpLCIDOfLocale(pszValue);
    }
    return 0;
}
