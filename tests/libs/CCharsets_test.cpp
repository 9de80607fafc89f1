#include "CCharsets.h"

#include "CCodePage.h"
#include "CWebHelpHelper.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
TEST(CCharsetsTest, EveryRowNamesOneCharsetEverywhere)
{
    CWebHelpHelper helper;
    ASSERT_EQ(helper.m_nCharsetCount, kCharsetCount);
    for (int nRow = 0; nRow < kCharsetCount; ++nRow)
    {
        const SCharset& row = Charset_Row(nRow);
        SCOPED_TRACE(row.pszBrowserName);
        EXPECT_EQ(CWebHelpHelper::m_strCharset[nRow][0], row.pszBrowserName);
        EXPECT_EQ(CWebHelpHelper::m_strCharset[nRow][1], row.pszDisplayName);
        EXPECT_EQ(helper.GetCharsetStr(nRow), row.pszBrowserName);
        // iconv opens the row's own code page, unless the row has none and falls back.
        CCodePage cp(nRow);
        EXPECT_EQ(cp.GetName(), row.pszIconvName != nullptr ? row.pszIconvName : "CP1252");
        EXPECT_EQ(cp.GetName(), Charset_IconvName(nRow));
    }
    for (int nRow : {-1, kCharsetCount})
    {
        SCOPED_TRACE(nRow);
        EXPECT_EQ(&Charset_Row(nRow), &Charset_Row(kCharsetWin1252));
        EXPECT_EQ(helper.GetCharsetStr(nRow), Charset_Row(kCharsetWin1252).pszBrowserName);
    }
}

TEST(CCharsetsTest, NamedRowsAreTheCharsetsTheirNamesSay)
{
    struct SCase
    {
        int nRow;
        const char* pszBrowserName;
        const char* pszIconvName;
    };
    const SCase aCases[] = {
        {kCharsetBig5, "big5", "CP950"},
        {kCharsetEucKr, "euc-kr", "CP949"},
        {kCharsetGb2312, "gb2312", "CP936"},
        {kCharsetShiftJis, "shift-jis", "CP932"},
        {kCharsetUTF8, "utf-8", "UTF-8"},
        {kCharsetWin1250, "windows-1250", "CP1250"},
        {kCharsetWin1251, "windows-1251", "CP1251"},
        {kCharsetWin1252, "windows-1252", "CP1252"},
        {kCharsetWin1253, "windows-1253", "CP1253"},
        {kCharsetWin1254, "windows-1254", "CP1254"},
        {kCharsetWin1255, "windows-1255", "CP1255"},
        {kCharsetWin1256, "windows-1256", "CP1256"},
        {kCharsetWin1257, "windows-1257", "CP1257"},
        {kCharsetWin1258, "windows-1258", "CP1258"},
        {kCharsetWin874, "windows-874", "CP874"},
        {kCharsetEucJp, "x-euc", "EUC-JP"},
    };
    for (const SCase& c : aCases)
    {
        SCOPED_TRACE(c.pszBrowserName);
        EXPECT_STREQ(Charset_Row(c.nRow).pszBrowserName, c.pszBrowserName);
        EXPECT_STREQ(Charset_IconvName(c.nRow), c.pszIconvName);
    }
}
} // namespace
