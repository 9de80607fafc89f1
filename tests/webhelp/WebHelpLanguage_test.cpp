#include "CCharsets.h"
#include "CCodePage.h"
#include "CText.h"
#include "CWebHelpHelper.h"
#include "TestUtil.h"
#include "WebHelpLanguage.h"

#include <gtest/gtest.h>

#include <vector>

TEST(WebHelpLanguageTest, LanguageChoosesTheCharsetOfItsCodePage)
{
    struct SCase
    {
        uint32_t nLCID;
        const char* pszCharset;
    };
    const SCase aCases[] = {
        {0x0804, "gb2312"},       {0x1004, "gb2312"},       {0x0404, "big5"},
        {0x0C04, "big5"},         {0x0411, "shift-jis"},    {0x0412, "euc-kr"},
        {0x0409, "windows-1252"}, {0x0407, "windows-1252"}, {0x0419, "windows-1251"},
        {0x0415, "windows-1250"}, {0x041A, "windows-1250"}, {0x0C1A, "windows-1251"},
        {0x0408, "windows-1253"}, {0x041F, "windows-1254"}, {0x040D, "windows-1255"},
        {0x0401, "windows-1256"}, {0x0427, "windows-1257"}, {0x042A, "windows-1258"},
        {0x041E, "windows-874"},  {0, "windows-1252"},
    };
    CWebHelpHelper helper;
    for (const SCase& c : aCases)
    {
        SCOPED_TRACE(c.nLCID);
        EXPECT_EQ(helper.GetCharsetStr(WebHelpCharsetRowOfLCID(c.nLCID)), c.pszCharset);
    }
}

TEST(WebHelpLanguageTest, TextsOfALanguageAreItsOwnAndWholeInItsCharsets)
{
    struct SCase
    {
        uint32_t nLCID;
        std::vector<const char*> vecCharsets; ///< the first is the one its files get
        const char* pszContents;
        const char* pszNext;
    };
    const SCase aCases[] = {
        {0x0409, {"windows-1252"}, "Contents", "Next"},
        {0x0804, {"gb2312"}, "目录", "下一步"},
        {0x0404, {"big5"}, "目錄", "下一步"},
        {0x0C04, {"big5"}, "目錄", "下一步"},
        {0x0411, {"shift-jis", "x-euc", "iso-2022-jp"}, "目次", "次へ"},
        {0x0412, {"euc-kr", "iso-2022-kr"}, "목차", "다음"},
        {0x0407, {"windows-1252", "iso-8859-1"}, "Inhalt", "Weiter"},
        {0x0807, {"windows-1252"}, "Inhalt", "Weiter"},
        {0x040C, {"windows-1252", "iso-8859-1"}, "Sommaire", "Suivant"},
        {0x0C0A, {"windows-1252", "iso-8859-1"}, "Contenido", "Siguiente"},
        {0x0410, {"windows-1252"}, "Sommario", "Successivo"},
        {0x0416, {"windows-1252", "iso-8859-1"}, "Conteúdo", "Próximo"},
        {0x0816, {"windows-1252"}, "Conteúdo", "Próximo"},
        {0x0419, {"windows-1251", "koi8-r", "iso-8859-5"}, "Содержание", "Далее"},
        {0x0415, {"windows-1250", "iso-8859-2"}, "Spis treści", "Następny"},
        {0x0405, {"windows-1250", "iso-8859-2"}, "Obsah", "Další"},
        {0x0413, {"windows-1252"}, "Inhoud", "Volgende"},
        // Languages without texts of their own get English, in their own charset.
        {0x0408, {"windows-1253"}, "Contents", "Next"},
        {0x0422, {"windows-1251"}, "Contents", "Next"},
        {0, {"windows-1252"}, "Contents", "Next"},
    };
    for (const SCase& c : aCases)
    {
        SCOPED_TRACE(c.nLCID);
        EXPECT_EQ(CWebHelpHelper::m_strCharset[WebHelpCharsetRowOfLCID(c.nLCID)][0], c.vecCharsets[0]);
        const SWebHelpTexts& t = WebHelpTextsOfLCID(c.nLCID);
        EXPECT_STREQ(t.pszContents, c.pszContents);
        EXPECT_STREQ(t.pszNext, c.pszNext);
        for (const char* pszCharset : c.vecCharsets)
        {
            SCOPED_TRACE(pszCharset);
            int nRow = 0;
            while (nRow < kCharsetCount && CWebHelpHelper::m_strCharset[nRow][0] != pszCharset)
                ++nRow;
            ASSERT_LT(nRow, kCharsetCount);
            const CCodePage cp(nRow);
            for (const char* pszText : {t.pszContents, t.pszIndex, t.pszSearch, t.pszHome, t.pszPrev,
                                        t.pszNext, t.pszPrint, t.pszTitle})
            {
                // A character the charset lacks would reach the page as a character reference.
                const std::string strBytes = cp.FromUTF8ForHTML(pszText);
                EXPECT_FALSE(strBytes.empty());
                EXPECT_EQ(strBytes.find("&#"), std::string::npos) << pszText;
                std::string strBack;
                for (char32_t ch : cp.ToWide(strBytes))
                    AppendUTF8(strBack, ch);
                EXPECT_EQ(strBack, pszText);
            }
        }
    }
}

TEST(WebHelpLanguageTest, LocaleNameGivesItsLanguage)
{
    struct SCase
    {
        const char* pszLocale;
        uint32_t nLCID;
    };
    const SCase aCases[] = {
        {"de_DE.UTF-8", 0x0407},
        {"de_AT", 0x0407},
        {"DE", 0x0407},
        {"ja_JP.eucJP", 0x0411},
        {"ko_KR.UTF-8", 0x0412},
        {"ru_RU.KOI8-R", 0x0419},
        {"pt_BR.UTF-8", 0x0416},
        {"pt_PT.UTF-8", 0x0816},
        {"zh_CN.GB2312", 0x0804},
        {"zh_SG", 0x1004},
        {"zh_TW.UTF-8", 0x0404},
        {"zh_HK.big5hkscs", 0x0C04},
        {"sr_RS", 0x0C1A},
        {"sr_RS@latin", 0x081A},
        {"uz_UZ@cyrillic", 0x0843},
        {"uz_UZ", 0x0443},
        {"nl_BE@euro", 0x0413},
        {"en_GB.UTF-8", 0x0409},
        {"C", 0},
        {"C.UTF-8", 0},
        {"POSIX", 0},
        {"", 0},
        {"xx_YY", 0},
        {"_DE", 0},
    };
    for (const SCase& c : aCases)
    {
        SCOPED_TRACE(c.pszLocale);
        EXPECT_EQ(WebHelpLCIDOfLocale(c.pszLocale), c.nLCID);
    }
}

TEST(WebHelpLanguageTest, DesktopLanguageIsTheFirstSetOfLCAllLCMessagesLang)
{
    struct SCase
    {
        const char* pszAll;
        const char* pszMessages;
        const char* pszLang;
        uint32_t nLCID;
    };
    const SCase aCases[] = {
        {nullptr, nullptr, "de_DE.UTF-8", 0x0407},
        {nullptr, "fr_FR.UTF-8", "de_DE.UTF-8", 0x040C},
        {"ja_JP.UTF-8", "fr_FR.UTF-8", "de_DE.UTF-8", 0x0411},
        {"", "", "de_DE.UTF-8", 0x0407},
        // A variable that is set decides even when it names no language.
        {"C", "fr_FR.UTF-8", "de_DE.UTF-8", 0},
        {nullptr, nullptr, nullptr, 0},
    };
    for (const SCase& c : aCases)
    {
        SCOPED_TRACE(std::string(c.pszAll ? c.pszAll : "-") + " " + (c.pszMessages ? c.pszMessages : "-"));
        CScopedLocaleEnv env(c.pszAll, c.pszMessages, c.pszLang);
        EXPECT_EQ(WebHelpDesktopLCID(), c.nLCID);
    }
}
