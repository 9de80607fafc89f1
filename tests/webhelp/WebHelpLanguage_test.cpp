#include "CWebHelpHelper.h"
#include "WebHelpLanguage.h"

#include <gtest/gtest.h>

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
