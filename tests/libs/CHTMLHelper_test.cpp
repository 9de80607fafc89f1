#include "CCodePage.h"
#include "CHTMLHelper.h"

#include <gtest/gtest.h>

namespace
{
const int kRowUTF8 = 31;
const int kRowGBK = 8;
const int kRowLatin1 = 34; // windows-1252

TEST(CHTMLHelperTest, ResolvesReferencesIntoTheCodePage)
{
    struct SCase
    {
        int nRow;
        const char* pszIn;
        const char* pszOut;
    };
    const SCase aCases[] = {
        {kRowUTF8, "Fish &amp; Chips", "Fish & Chips"},
        {kRowUTF8, "&lt;b&gt; &quot;q&quot; &apos;", "<b> \"q\" '"},
        {kRowUTF8, "&#20013;&#x6587;&#X6587", "\u4E2D\u6587\u6587"},
        {kRowUTF8, "&NotEqualTilde;", "\u2242\u0338"},
        {kRowUTF8, "&copy 2024", "\u00A9 2024"},                      // legacy name without ";"
        {kRowUTF8, "a.htm?x=1&copy=2&not1", "a.htm?x=1&copy=2&not1"}, // ... but not before "=" or a letter
        {kRowUTF8, "&#150; &#x80;", "\u2013 \u20AC"},                 // C1 numbers mean windows-1252
        {kRowUTF8, "&#0; &#xD800; &#1114112; &#99999999999;", "&#0; &#xD800; &#1114112; &#99999999999;"},
        {kRowUTF8, "& &; &# &#x; &bogus; &", "& &; &# &#x; &bogus; &"},
        {kRowGBK, "&#20013;&eacute;", "\xD6\xD0\xA8\xA6"}, // both exist in GBK
        {kRowGBK, "&#x10348;&#9733;x",
         "&#x10348;\xA1\xEF"
         "x"}, // Gothic letter: GBK lacks it
        {kRowLatin1, "&#20013;&eacute;&euro;", "&#20013;\xE9\x80"},
        {kRowLatin1, "&NotEqualTilde;", "&NotEqualTilde;"},      // neither character is in the code page
        {kRowGBK, "\xD6\xD0&amp;\x81\x5C", "\xD6\xD0&\x81\x5C"}, // other bytes pass through
    };
    for (const SCase& c : aCases)
    {
        SCOPED_TRACE(c.pszIn);
        CCodePage cp(c.nRow);
        EXPECT_EQ(CHTMLHelper::Instance().HTMLDecodeParamName(c.pszIn, cp), c.pszOut);
    }
}

TEST(CHTMLHelperTest, LocalDropsTheCompiledFileSchemes)
{
    struct SCase
    {
        const char* pszIn;
        const char* pszOut;
    };
    const SCase aCases[] = {
        {"ms-its:other.chm::/a.htm", "other.chm::/a.htm"},
        {"MS-ITS:other.chm::/a.htm", "other.chm::/a.htm"},
        {"mk:@MSITStore:C:\\x\\b.chm::/a.htm", "C:\\x\\b.chm::/a.htm"},
        {"MK:@msitstore:b.chm::/a&amp;b.htm", "b.chm::/a&b.htm"},
        {"a.htm#ms-its:", "a.htm#ms-its:"},
        {"ms-its", "ms-its"},
    };
    CCodePage cp(kRowUTF8);
    for (const SCase& c : aCases)
    {
        SCOPED_TRACE(c.pszIn);
        EXPECT_EQ(CHTMLHelper::Instance().HTMLDecodeParamLocal(c.pszIn, cp), c.pszOut);
    }
    // A name keeps what only an address loses.
    EXPECT_EQ(CHTMLHelper::Instance().HTMLDecodeParamName("ms-its:x", cp), "ms-its:x");
}
} // namespace
