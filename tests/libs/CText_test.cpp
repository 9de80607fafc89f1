#include "CText.h"

#include "CCodePage.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace
{
constexpr int kRowShiftJIS = 27;
constexpr int kRowGBK = 8;
constexpr int kRowISO2022JP = 13;
constexpr int kRowISO2022KR = 15;
constexpr int kRowUTF8 = 31;
constexpr int kRow1252 = 34;

TEST(CTextTest, FoldsOnlyASCIILetters)
{
    struct SCase
    {
        std::string_view sv1;
        std::string_view sv2;
        int nCompare;     ///< sign of CompareNoCaseASCII
        bool bStartsWith; ///< psz1 starts with psz2
    };
    const SCase aCases[] = {
        {"Text/Sitemap", "text/sitemap", 0, true},
        {"ABC", "abd", -1, false},
        {"MK:@MSITStore:a.chm", "mk:@msitstore:", 1, true},
        {"ab", "abc", -1, false},
        {"", "", 0, true},
        {"[", "a", -1, false},                       // '[' sorts after 'A' but before 'a'
        {"\xC3\x89", "\xC3\xA9", -1, false},         // a UTF-8 letter has no ASCII case
        {"\xE9", "a", 1, false},                     // bytes compare unsigned
        {std::string_view("a\0b", 3), "A", 1, true}, // a zero byte ends nothing
        {"a@[", "A`{", -1, false},                   // neighbours of the letters are no letters
    };
    for (const SCase& c : aCases)
    {
        SCOPED_TRACE(std::string(c.sv1) + " / " + std::string(c.sv2));
        const int nCompare = CompareNoCaseASCII(c.sv1, c.sv2);
        const int nReversed = CompareNoCaseASCII(c.sv2, c.sv1);
        EXPECT_EQ((nCompare > 0) - (nCompare < 0), c.nCompare);
        EXPECT_EQ((nReversed > 0) - (nReversed < 0), -c.nCompare);
        EXPECT_EQ(EqualsNoCaseASCII(c.sv1, c.sv2), c.nCompare == 0);
        EXPECT_EQ(StartsWithNoCaseASCII(c.sv1, c.sv2), c.bStartsWith);
    }
    EXPECT_EQ(LowerASCII("MS-ITS:\xC3\x89Z@[`{"), "ms-its:\xC3\x89z@[`{");
    EXPECT_EQ(UpperASCII("ms-its:\xC3\xA9z@[`{"), "MS-ITS:\xC3\xA9Z@[`{");
}

TEST(CTextTest, DecodesOnlyShortestFormUTF8Characters)
{
    struct SCase
    {
        const char* pszName;
        std::string strBytes;
        size_t nLen; ///< 0: no character
        char32_t c;
    };
    const SCase aCases[] = {
        {"ascii", "A", 1, U'A'},
        {"smallest two-byte", "\xC2\x80", 2, 0x80},
        {"largest two-byte", "\xDF\xBF", 2, 0x7FF},
        {"smallest three-byte", "\xE0\xA0\x80", 3, 0x800},
        {"before the surrogates", "\xED\x9F\xBF", 3, 0xD7FF},
        {"after the surrogates", "\xEE\x80\x80", 3, 0xE000},
        {"smallest four-byte", "\xF0\x90\x80\x80", 4, 0x10000},
        {"largest character", "\xF4\x8F\xBF\xBF", 4, 0x10FFFF},
        {"only the first character", "\xC3\xA9\xC3\xA9", 2, 0xE9},
        {"overlong two-byte zero", "\xC0\x80", 0, 0},
        {"overlong two-byte slash", "\xC1\xAF", 0, 0},
        {"overlong three-byte", "\xE0\x9F\xBF", 0, 0},
        {"overlong four-byte", "\xF0\x8F\xBF\xBF", 0, 0},
        {"first surrogate", "\xED\xA0\x80", 0, 0},
        {"last surrogate", "\xED\xBF\xBF", 0, 0},
        {"above U+10FFFF", "\xF4\x90\x80\x80", 0, 0},
        {"five-byte lead", "\xF8\x88\x80\x80\x80", 0, 0},
        {"stray continuation", "\x80", 0, 0},
        {"cut off by the end", "\xE4\xB8", 0, 0},
        {"cut off by ascii", "\xE4\xB8<", 0, 0},
    };
    for (const SCase& c : aCases)
    {
        SCOPED_TRACE(c.pszName);
        const auto* p = reinterpret_cast<const unsigned char*>(c.strBytes.data());
        char32_t cOut = 0;
        EXPECT_EQ(DecodeUTF8(p, p + c.strBytes.size(), cOut), c.nLen);
        EXPECT_EQ(IsValidUTF8("a" + c.strBytes + "b"), c.nLen != 0);
        if (c.nLen == 0)
            continue;
        EXPECT_EQ(cOut, c.c);
        std::string strEncoded;
        EXPECT_TRUE(AppendUTF8(strEncoded, c.c));
        EXPECT_EQ(strEncoded, c.strBytes.substr(0, c.nLen));
    }
    for (char32_t c : {char32_t{0xD800}, char32_t{0xDFFF}, char32_t{0x110000}})
    {
        std::string str = "x";
        EXPECT_FALSE(AppendUTF8(str, c));
        EXPECT_EQ(str, "x");
    }
}

TEST(CTextTest, ReadsCharacterReferencesAsABrowserDoes)
{
    struct SCase
    {
        const char* pszText;
        ERefPlace nPlace;
        size_t nLen;
        char32_t c1;
        char32_t c2;
    };
    const ERefPlace kText = ERefPlace::kText;
    const ERefPlace kAttr = ERefPlace::kAttribute;
    const SCase aCases[] = {
        {"&amp;x", kText, 5, U'&', 0},
        {"&nbsp;x", kText, 6, 0xA0, 0},
        {"&nbsp;=", kAttr, 6, 0xA0, 0},
        {"&nbspx", kText, 5, 0xA0, 0},
        {"&nbspx", kAttr, 0, 0, 0},
        {"&nbsp", kText, 5, 0xA0, 0},
        {"&NBSP;", kText, 0, 0, 0}, // names keep their case
        {"&#20013;", kText, 8, 0x4E2D, 0},
        {"&#x4e2D;", kText, 8, 0x4E2D, 0},
        {"&#X4E2D", kText, 7, 0x4E2D, 0}, // ";" may be missing
        {"&#65x", kText, 4, U'A', 0},     // the number ends at the first other byte
        {"&NotEqualTilde;", kText, 15, 0x2242, 0x338},
        {"&copy 2024", kText, 5, 0xA9, 0},
        {"&notit;", kText, 4, 0xAC, 0}, // the longest legacy name that starts it
        {"&copy=2", kText, 5, 0xA9, 0},
        {"&copy=2", kAttr, 0, 0, 0}, // a query in an address, not a reference
        {"&copyx", kAttr, 0, 0, 0},
        {"&copy;=2", kAttr, 6, 0xA9, 0},
        {"&copy 2024", kAttr, 5, 0xA9, 0},
        {"&#150;", kText, 6, 0x2013, 0}, // C1 numbers mean windows-1252
        {"&#x80;", kAttr, 6, 0x20AC, 0},
        {"&#x81;", kText, 6, 0x81, 0}, // ... where it has a character
        {"&#0;", kText, 4, 0, 0},      // numbers that name no character
        {"&#xD800;", kText, 8, 0, 0},
        {"&#1114112;", kText, 10, 0, 0},
        {"&#99999999999999;", kText, 17, 0, 0},
        {"&#;", kText, 0, 0, 0},
        {"&#x;", kText, 0, 0, 0},
        {"&bogus;", kText, 0, 0, 0},
        {"& x", kText, 0, 0, 0},
        {"&", kText, 0, 0, 0},
    };
    for (const SCase& c : aCases)
    {
        SCOPED_TRACE(c.pszText);
        char32_t c1 = 1, c2 = 1;
        EXPECT_EQ(ReadCharReference(c.pszText, c.nPlace, c1, c2), c.nLen);
        if (c.nLen == 0)
            continue;
        EXPECT_EQ(c1, c.c1);
        EXPECT_EQ(c2, c.c2);
    }
}

TEST(CTextTest, EscapesOnlyASCIIOfTheCodePage)
{
    struct SCase
    {
        const char* pszName;
        int nRow;
        std::string strIn;
        std::string strText;    ///< EscapeHTMLText
        std::string strAttr;    ///< EscapeHTMLAttribute
        std::string strTitle;   ///< ScriptTitleLiteral
        std::string strAddress; ///< ScriptAddressLiteral
        std::string strFile;    ///< ScriptFileLiteral
    };
    const SCase aCases[] = {
        {"markup", kRow1252, "<b a=\"1\">&amp;'\xE9", "&lt;b a=\"1\"&gt;&amp;amp;'\xE9",
         "&lt;b a=&quot;1&quot;&gt;&amp;amp;'\xE9", "<b a='1'>&amp;'\xE9", "<b a=\\\"1\\\">&amp;'\xE9",
         "<b a=%221%22>&amp;'\xE9"},
        {"line breaks and backslashes", kRow1252, "a\\b\r\nc", "a\\b\r\nc", "a\\b\r\nc", "a\\\\b\\r\\nc",
         "a\\\\b\\r\\nc", "a\\\\b\\r\\nc"},
        {"utf-8 line and paragraph separators", kRowUTF8,
         "a\xE2\x80\xA8"
         "b\xE2\x80\xA9\xE2\x80\xAA",
         "a\xE2\x80\xA8"
         "b\xE2\x80\xA9\xE2\x80\xAA",
         "a\xE2\x80\xA8"
         "b\xE2\x80\xA9\xE2\x80\xAA",
         "a\\u2028b\\u2029\xE2\x80\xAA", "a\\u2028b\\u2029\xE2\x80\xAA", "a\\u2028b\\u2029\xE2\x80\xAA"},
        // "表ソ" ends both characters in 0x5C, then a real backslash.
        {"shift-jis trail byte 0x5C", kRowShiftJIS, "\x95\x5C\x83\x5C\\\"<", "\x95\x5C\x83\x5C\\\"&lt;",
         "\x95\x5C\x83\x5C\\&quot;&lt;", "\x95\x5C\x83\x5C\\\\'<", "\x95\x5C\x83\x5C\\\\\\\"<",
         "\x95\x5C\x83\x5C\\\\%22<"},
        {"gbk trail byte 0x5C, lead byte at the end", kRowGBK, "\x81\x5C\\\x81", "\x81\x5C\\\x81",
         "\x81\x5C\\\x81", "\x81\x5C\\\\\x81", "\x81\x5C\\\\\x81", "\x81\x5C\\\\\x81"},
        // "次※Α" is 0x3C21 0x2228 0x2621 inside the run; after it '"', '&' and '<' are ASCII again.
        {"iso-2022-jp shifted run", kRowISO2022JP, "\x1B$B\x3C\x21\x22\x28\x26\x21\x1B(B\"&<\\",
         "\x1B$B\x3C\x21\x22\x28\x26\x21\x1B(B\"&amp;&lt;\\",
         "\x1B$B\x3C\x21\x22\x28\x26\x21\x1B(B&quot;&amp;&lt;\\",
         "\x1B$B\x3C\x21\x22\x28\x26\x21\x1B(B'&<\\\\", "\x1B$B\x3C\x21\x22\x28\x26\x21\x1B(B\\\"&<\\\\",
         "\x1B$B\x3C\x21\x22\x28\x26\x21\x1B(B%22&<\\\\"},
        {"iso-2022-jp line break inside a run", kRowISO2022JP, "\x1B$B\x22\x28\n", "\x1B$B\x22\x28\n",
         "\x1B$B\x22\x28\n", "\x1B$B\x22\x28\\n", "\x1B$B\x22\x28\\n", "\x1B$B\x22\x28\\n"},
        {"iso-2022-jp: SO and SI shift nothing", kRowISO2022JP, "\x0E\"\x0F\"", "\x0E\"\x0F\"",
         "\x0E&quot;\x0F&quot;", "\x0E'\x0F'", "\x0E\\\"\x0F\\\"", "\x0E%22\x0F%22"},
        // The designation at the start of an ISO-2022-KR text shifts nothing: SO and SI do.
        {"iso-2022-kr", kRowISO2022KR, "\x1B$)C\"\x0E\x47\x22\x0F\"", "\x1B$)C\"\x0E\x47\x22\x0F\"",
         "\x1B$)C&quot;\x0E\x47\x22\x0F&quot;", "\x1B$)C'\x0E\x47\x22\x0F'",
         "\x1B$)C\\\"\x0E\x47\x22\x0F\\\"", "\x1B$)C%22\x0E\x47\x22\x0F%22"},
    };
    for (const SCase& c : aCases)
    {
        SCOPED_TRACE(c.pszName);
        CCodePage cp(c.nRow);
        EXPECT_EQ(EscapeHTMLText(c.strIn, cp), c.strText);
        EXPECT_EQ(EscapeHTMLAttribute(c.strIn, cp), c.strAttr);
        EXPECT_EQ(ScriptTitleLiteral(c.strIn, cp), c.strTitle);
        EXPECT_EQ(ScriptAddressLiteral(c.strIn, cp), c.strAddress);
        EXPECT_EQ(ScriptFileLiteral(c.strIn, cp), c.strFile);
    }
}

// A lead byte that starts no character must not take the backslash of the escape after it as its
// trail byte: the browser would read the two as one character and the escape would be lost.
TEST(CTextTest, LoneLeadByteNeverTakesTheBackslashOfAnEscape)
{
    struct SCase
    {
        const char* pszName;
        int nRow;
        std::string strIn;
        std::string strTitle;   ///< ScriptTitleLiteral
        std::string strAddress; ///< ScriptAddressLiteral
        std::string strName;    ///< ScriptLiteralFromUTF8 of a file name
    };
    const SCase aCases[] = {
        {"gbk lead byte before a line break", kRowGBK, "line\xF2\nbreak", "line\\uFFFD\\nbreak",
         "line\\uFFFD\\nbreak", "line\\uFFFD\\nbreak"},
        {"gbk lead byte before a quote", kRowGBK, "\x81\"a", "\x81'a", "\\uFFFD\\\"a", "\x81%22a"},
        {"shift-jis lead byte before a carriage return", kRowShiftJIS, "\x81\r", "\\uFFFD\\r", "\\uFFFD\\r",
         "\\uFFFD\\r"},
        {"gbk lead byte and 0x5C are one character", kRowGBK, "\x81\\\n", "\x81\\\\n", "\x81\\\\n",
         "\x81\\\\n"},
        {"gbk lead byte before a plain byte or at the end", kRowGBK, "\x81 \x81", "\x81 \x81", "\x81 \x81",
         "\x81 \x81"},
        {"utf-8 stray byte before a line break", kRowUTF8, "\xC3\n", "\xC3\\n", "\xC3\\n", "\xC3\\n"},
    };
    for (const SCase& c : aCases)
    {
        SCOPED_TRACE(c.pszName);
        CCodePage cp(c.nRow);
        EXPECT_EQ(ScriptTitleLiteral(c.strIn, cp), c.strTitle);
        EXPECT_EQ(ScriptAddressLiteral(c.strIn, cp), c.strAddress);
        EXPECT_EQ(ScriptLiteralFromUTF8(c.strIn, cp, true), c.strName);
    }
}

// A file name's ASCII characters that need no escape are written as the site's code page writes
// them: their own bytes in most, other bytes or an escape where the code page has no such character.
TEST(CTextTest, FileNameASCIIIsWrittenAsTheCodePageWritesIt)
{
    constexpr int kRowGerman646 = 0;
    const std::string strName = "a[b]{c}~|@d e.htm";
    for (int nRow : {kRowGerman646, kRowISO2022KR, kRowISO2022JP, kRowShiftJIS, kRowGBK, kRowUTF8, kRow1252})
    {
        SCOPED_TRACE(nRow);
        CCodePage cp(nRow);
        std::string strExpected;
        for (const char c : strName)
        {
            if (!cp.EncodeChar(static_cast<unsigned char>(c), strExpected))
            {
                char aEscape[8];
                std::snprintf(aEscape, sizeof(aEscape), "\\u%04X", static_cast<unsigned>(c));
                strExpected += aEscape;
            }
        }
        EXPECT_EQ(ScriptLiteralFromUTF8(strName, cp, true), strExpected);
        EXPECT_EQ(ScriptLiteralFromUTF8(strName, cp, false), strExpected);
    }
}

TEST(CTextTest, PlainASCIIMeansNoByteAbove0x7FAnywhere)
{
    const std::string strASCII = "<html><body>Plain text of a page here</body></html>";
    // Every position, so that a high byte in any lane of a word and in the tail is found.
    for (size_t nLen = 0; nLen <= strASCII.size(); ++nLen)
    {
        const std::string strText = strASCII.substr(0, nLen);
        SCOPED_TRACE(nLen);
        EXPECT_TRUE(IsPlainASCII(strText));
        for (size_t nPos = 0; nPos < nLen; ++nPos)
        {
            for (char chHigh : {'\x80', '\xFF', '\xE9'})
            {
                std::string strHigh = strText;
                strHigh[nPos] = chHigh;
                EXPECT_FALSE(IsPlainASCII(strHigh)) << nPos;
            }
        }
    }
    EXPECT_TRUE(IsPlainASCII(std::string("\0\x7F\x01", 3)));
}
TEST(CTextTest, LowersAWordOfASCIIAsEachByteAloneAndLeavesOtherWordsAlone)
{
    // Every ASCII byte in every lane, beside neighbours at both ends of the letters.
    for (int nByte = 0; nByte < 0x100; ++nByte)
    {
        for (size_t nLane = 0; nLane < 8; ++nLane)
        {
            SCOPED_TRACE(testing::Message() << nByte << " in lane " << nLane);
            unsigned char aWord[8] = {'@', 'A', 'Z', '[', '`', 'a', 'z', '{'};
            aWord[nLane] = static_cast<unsigned char>(nByte);
            unsigned char aExpected[8];
            for (size_t k = 0; k < 8; ++k)
                aExpected[k] = nByte < 0x80
                                   ? static_cast<unsigned char>(LowerASCII(static_cast<char>(aWord[k])))
                                   : aWord[k];
            EXPECT_EQ(LowerASCIIWord(aWord), nByte < 0x80);
            EXPECT_EQ(std::string(aWord, aWord + 8), std::string(aExpected, aExpected + 8));
        }
    }
}
} // namespace
