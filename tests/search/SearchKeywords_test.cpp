#include "CCodePage.h"
#include "CWebHelpHelper.h"
#include "SearchKeywords.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>

namespace
{
constexpr int kRowGBK = 8;
constexpr int kRowUTF8 = 31;
constexpr int kRow1252 = 34;

struct CKeywordsTestHelper : CWebHelpHelper
{
    using CWebHelpHelper::AddSearchKeywordToMap;
    using CWebHelpHelper::FixTextForSearchKeywords;
    using CWebHelpHelper::GetSiteCodePage;
    using CWebHelpHelper::SplitTextToSearchKeywords;
    using CWebHelpHelper::SplitTextToSearchKeywords2;
};

using CSortedKeywords = std::map<std::string, std::vector<uint32_t>>;

CSortedKeywords Sorted(const CSearchKeywordMap& map)
{
    return CSortedKeywords(map.begin(), map.end());
}

std::vector<std::string> Keys(const CSearchKeywordMap& map)
{
    std::vector<std::string> vec;
    for (const auto& [strKey, vecFiles] : Sorted(map))
        vec.push_back(strKey);
    return vec;
}

std::string Repeat(const std::string& str, int n)
{
    std::string strOut;
    for (int i = 0; i < n; ++i)
        strOut += str;
    return strOut;
}

const std::string kZhong = "\xD6\xD0"; // GBK: middle
const std::string kWen = "\xCE\xC4";   // GBK: text
const std::string kUZhong = "\xE4\xB8\xAD";
const std::string kUWen = "\xE6\x96\x87";

class CSearchKeywordsTest : public ::testing::Test
{
protected:
    void TearDown() override { g_WebHelpSettings.nCharset = 0; }

    /// Keywords of one lower-cased page text, through the named steps of the harvest.
    std::vector<std::string> KeywordsOf(int nRow, const std::string& strText)
    {
        g_WebHelpSettings.nCharset = nRow;
        CKeywordsTestHelper helper;
        std::string str = strText;
        helper.FixTextForSearchKeywords(str);
        helper.SplitTextToSearchKeywords2(str, 0);
        return Keys(helper.m_mapSearchKeywords);
    }
};

struct SCase
{
    const char* pszName;
    int nRow;
    std::string strText;
    std::vector<std::string> vecKeywords; // in any order
};

TEST_F(CSearchKeywordsTest, SplitsTextIntoKeywordsByByteClass)
{
    const std::vector<SCase> aCases = {
        {"punctuation", kRow1252, "hello, world!", {"hello", "world"}},
        {"digits", kRow1252, "version 2.0", {"0", "2", "version"}},
        {"joiners", kRow1252, "a+b e-mail x_y", {"a", "b", "e", "mail", "x", "y"}},
        {"one letter", kRow1252, " x 7 ", {"7", "x"}},
        {"only punctuation", kRow1252, " .,;!?\t\r\n()[]{}\"\\ ", {}},
        {"empty", kRow1252, "", {}},
        {"0x80 separates",
         kRow1252,
         "ab\x80"
         "cd",
         {"ab", "cd"}},
        {"cafe in windows-1252", kRow1252, "caf\xE9", {"caf", "\xE9"}},
        {"200 letters", kRow1252, Repeat("a", 200), {Repeat("a", 200)}},
        {"22 single-byte wide bytes", kRow1252, Repeat("\xE9", 22), {Repeat("\xE9", 2), Repeat("\xE9", 4)}},
        {"letters then two chinese characters", kRowGBK, "abc" + kZhong + kWen, {"abc", kZhong + kWen}},
        {"10 double-byte characters", kRowGBK, Repeat(kZhong, 10), {Repeat(kZhong, 10)}},
        {"11 double-byte characters", kRowGBK, Repeat(kZhong, 11), {kZhong, Repeat(kZhong, 2)}},
        {"21 wide bytes", kRowGBK, Repeat(kWen, 10) + "\xD6", {"\xD6", Repeat(kWen, 2)}},
        {"control bytes",
         kRowGBK,
         std::string("a\0b\x01"
                     "c",
                     5),
         {"a", "b", "c"}},
        {"cafe in utf-8", kRowUTF8, "caf\xC3\xA9", {"caf", "\xC3\xA9"}},
        {"6 chinese characters in utf-8", kRowUTF8, Repeat(kUZhong, 6), {Repeat(kUZhong, 6)}},
        {"7 chinese characters in utf-8",
         kRowUTF8,
         Repeat(kUZhong, 3) + Repeat(kUWen, 4),
         {Repeat(kUZhong, 3) + Repeat(kUWen, 4)}},
        {"11 chinese characters in utf-8",
         kRowUTF8,
         Repeat(kUZhong, 3) + Repeat(kUWen, 8),
         {kUZhong + kUZhong, kUWen, kUWen + kUWen, kUZhong + kUWen}},
        {"bytes that are not utf-8 separate",
         kRowUTF8,
         "a\xFF"
         "b\x80"
         "c\xE4\xB8",
         {"a", "b", "c"}},
        {"replacement character separates", kRowUTF8, kUZhong + "\xEF\xBF\xBD" + kUWen, {kUZhong, kUWen}},
        {"0x80 is wide in utf-8", kRowUTF8, "x\xC2\x80y", {"x", "\xC2\x80", "y"}},
    };
    for (const SCase& c : aCases)
    {
        SCOPED_TRACE(c.pszName);
        std::vector<std::string> vecExpected = c.vecKeywords;
        std::sort(vecExpected.begin(), vecExpected.end());
        EXPECT_EQ(KeywordsOf(c.nRow, c.strText), vecExpected);
    }
}

TEST_F(CSearchKeywordsTest, LongUTF8RunsAreCutBetweenCharactersOnly)
{
    // Eleven characters of 2, 3 and 4 bytes, 32 bytes in all: five pieces of two, three of them
    // distinct, and the last character alone.
    const std::string strE = "\xC3\xA9";
    const std::string strExtB = "\xF0\xA0\x80\x80";
    const std::string strRun = Repeat(strE + kUZhong + strExtB, 3) + strE + kUZhong;
    g_WebHelpSettings.nCharset = kRowUTF8;
    CKeywordsTestHelper helper;
    SearchKeywords_AddText(helper.m_mapSearchKeywords, helper.GetSiteCodePage(), strRun, 0);
    std::vector<std::string> vecExpected = {strE + kUZhong, strExtB + strE, kUZhong + strExtB, kUZhong};
    std::sort(vecExpected.begin(), vecExpected.end());
    EXPECT_EQ(Keys(helper.m_mapSearchKeywords), vecExpected);
}

TEST_F(CSearchKeywordsTest, PageIsListedOncePerKeywordInAscendingOrder)
{
    CKeywordsTestHelper helper;
    for (int i = 0; i < 5; ++i)
        helper.AddSearchKeywordToMap("word", 3);
    helper.AddSearchKeywordToMap("other", 0);
    helper.AddSearchKeywordToMap("other", 2);
    helper.AddSearchKeywordToMap("other", 2);
    helper.SplitTextToSearchKeywords2("word word other word", 4);
    EXPECT_EQ(Sorted(helper.m_mapSearchKeywords), (CSortedKeywords{{"other", {0, 2, 4}}, {"word", {3, 4}}}));
}

TEST_F(CSearchKeywordsTest, FixSeparatesRunsWithSpaces)
{
    g_WebHelpSettings.nCharset = kRowGBK;
    CKeywordsTestHelper helper;
    std::string str = "ab" + kZhong + "9!" + kWen + "\x80z";
    helper.FixTextForSearchKeywords(str);
    EXPECT_EQ(str, "ab " + kZhong + " 9 " + kWen + " z");
}

TEST_F(CSearchKeywordsTest, BothNamesOfTheSplitterCutALongWideWordAlike)
{
    // 22 bytes: over the bound, so pieces of two characters and the one left over.
    g_WebHelpSettings.nCharset = kRowGBK;
    const std::vector<std::string> vecExpected = {"a.b", kZhong, Repeat(kZhong, 2)};
    for (bool bSecond : {false, true})
    {
        SCOPED_TRACE(bSecond);
        CKeywordsTestHelper helper;
        const std::string strText = "  a.b  " + Repeat(kZhong, 11) + " ";
        if (bSecond)
            helper.SplitTextToSearchKeywords2(strText, 1);
        else
            helper.SplitTextToSearchKeywords(strText, 1);
        EXPECT_EQ(Keys(helper.m_mapSearchKeywords), vecExpected);
    }
}

// The one-pass extraction the harvest uses must find what the named steps find, on any bytes.
TEST_F(CSearchKeywordsTest, OnePassFindsWhatTheNamedStepsFind)
{
    const unsigned char aAlphabet[] = {'a',  'Z',  '7',  ' ',  '.',  '\t', '\\', 0x80,
                                       0x81, 0xA1, 0xB8, 0xBD, 0xBF, 0xAD, 0xC3, 0xA9,
                                       0xD6, 0xE4, 0xEF, 0xF0, 0x90, 0xFF, 0x40, 0x00};
    std::mt19937 rng(20240501);
    for (int nRow : {kRow1252, kRowGBK, kRowUTF8, 27 /* shift-jis */})
    {
        SCOPED_TRACE(nRow);
        g_WebHelpSettings.nCharset = nRow;
        for (int nIter = 0; nIter < 400; ++nIter)
        {
            std::string str;
            size_t nLen = rng() % 90;
            for (size_t i = 0; i < nLen; ++i)
                str += static_cast<char>(aAlphabet[rng() % sizeof(aAlphabet)]);
            CKeywordsTestHelper named;
            CKeywordsTestHelper fused;
            std::string strFixed = str;
            named.FixTextForSearchKeywords(strFixed);
            named.SplitTextToSearchKeywords2(strFixed, 1);
            SearchKeywords_AddText(fused.m_mapSearchKeywords, fused.GetSiteCodePage(), str, 1);
            ASSERT_EQ(Sorted(fused.m_mapSearchKeywords), Sorted(named.m_mapSearchKeywords)) << str;
            // Through the harvest's index, over a map that already holds some keywords.
            CSearchKeywordMap mapIndexed = {{"a", {0}}, {"7", {0}}};
            CSearchKeywordMap mapExpected = mapIndexed;
            SearchKeywords_AddText(mapExpected, fused.GetSiteCodePage(), str, 1);
            {
                CSearchKeywordIndex index(mapIndexed);
                SearchKeywords_AddText(index, fused.GetSiteCodePage(), str, 1);
                SearchKeywords_AddText(index, fused.GetSiteCodePage(), str, 1);
            }
            ASSERT_EQ(Sorted(mapIndexed), Sorted(mapExpected)) << str;
        }
    }
}

// Every two wide characters that follow each other are a keyword of their page, whole characters
// as the code page has them, in double-byte code pages and UTF-8; single-byte code pages add none.
TEST_F(CSearchKeywordsTest, PairsOfWideCharactersAreKeywords)
{
    constexpr int kRowBig5 = 5;
    constexpr int kRowEUCKR = 7;
    constexpr int kRowSJIS = 27;
    constexpr int kRow1251 = 33;
    const std::string kU[] = {"\xE6\x97\xA5", "\xE6\x9C\xAC", "\xE8\xAA\x9E", "\xF0\xA0\x80\x80"};
    const std::vector<SCase> aCases = {
        {"gbk: three characters",
         kRowGBK,
         "\xD6\xD0\xCE\xC4\xD7\xD6",
         {"\xD6\xD0\xCE\xC4", "\xCE\xC4\xD7\xD6"}},
        {"gbk: letters, digits and punctuation end a run",
         kRowGBK,
         kZhong + "a" + kWen + kZhong + "1" + kZhong + ", " + kWen + kWen,
         {kWen + kZhong, kWen + kWen}},
        {"gbk: one character alone has no pair", kRowGBK, "a" + kZhong + "b", {}},
        {"gbk: a lead byte without its trail joins no pair", kRowGBK, kZhong + "\xD6", {}},
        // The second byte of "hon" (0x7B) and of katakana "a" (0x41) is ASCII.
        {"shift-jis: kanji, kana and half-width kana",
         kRowSJIS,
         "\x93\xFA\x96\x7B\x83\x41\xB1",
         {"\x93\xFA\x96\x7B", "\x96\x7B\x83\x41", "\x83\x41\xB1"}},
        {"euc-kr: three syllables",
         kRowEUCKR,
         "\xC7\xD1\xB1\xB9\xBE\xEE",
         {"\xC7\xD1\xB1\xB9", "\xB1\xB9\xBE\xEE"}},
        // "zi" is 0xA6 0x72: its second byte is the letter r.
        {"big5: four characters",
         kRowBig5,
         "\xA4\xA4\xA4\xE5\xA6\x72\xB8\xEA",
         {"\xA4\xA4\xA4\xE5", "\xA4\xE5\xA6\x72", "\xA6\x72\xB8\xEA"}},
        {"utf-8: characters of 3 and 4 bytes",
         kRowUTF8,
         kU[0] + kU[1] + kU[3] + kU[2] + " " + kU[0],
         {kU[0] + kU[1], kU[1] + kU[3], kU[3] + kU[2]}},
        {"utf-8: accented letters", kRowUTF8, "fa\xC3\xA7\xC3\xA3o", {"\xC3\xA7\xC3\xA3"}},
        {"utf-8: bytes that are no character end a run",
         kRowUTF8,
         kU[0] + "\xE4\xB8" + kU[1] + "\xEF\xBF\xBD" + kU[2],
         {}},
        {"windows-1251: none", kRow1251, "\xEF\xF0\xE8\xE2\xE5\xF2", {}},
        {"windows-1252: none", kRow1252, "\xE9\xE8\xE9", {}},
    };
    for (const SCase& c : aCases)
    {
        SCOPED_TRACE(c.pszName);
        g_WebHelpSettings.nCharset = c.nRow;
        CKeywordsTestHelper helper;
        {
            CSearchKeywordIndex index(helper.m_mapSearchKeywords);
            SearchKeywords_AddPairs(index, helper.GetSiteCodePage(), c.strText, 0);
        }
        std::vector<std::string> vecExpected = c.vecKeywords;
        std::sort(vecExpected.begin(), vecExpected.end());
        EXPECT_EQ(Keys(helper.m_mapSearchKeywords), vecExpected);
    }
}

TEST_F(CSearchKeywordsTest, LowerCasingStepsOverDoubleByteCharacters)
{
    // In GBK the second byte of a character may be an ASCII letter: "A" here is not lowered and
    // stands as a keyword of its own, while the first byte joins the wide run.
    g_WebHelpSettings.nCharset = kRowGBK;
    CKeywordsTestHelper helper;
    std::string str = "ABC \x81\x41 \x81\x5C";
    helper.GetSiteCodePage().MakeLower(str);
    EXPECT_EQ(str, "abc \x81\x41 \x81\x5C");
    SearchKeywords_AddText(helper.m_mapSearchKeywords, helper.GetSiteCodePage(), str, 0);
    EXPECT_EQ(Keys(helper.m_mapSearchKeywords), (std::vector<std::string>{"A", "abc", "\x81"}));
}
} // namespace

namespace
{
TEST(CSearchKeywordIndexTest, GrowsAndKeepsEveryList)
{
    CSearchKeywordMap mapIndexed;
    CSearchKeywordMap mapPlain;
    {
        CSearchKeywordIndex index(mapIndexed);
        for (int nPage = 0; nPage < 6; ++nPage)
        {
            for (int i = nPage; i < 5000; i += 1 + nPage)
            {
                std::string strKey = "k" + std::to_string(i) + (i % 3 == 0 ? "-with-a-longer-tail" : "");
                index.Add(strKey, nPage);
                index.Add(strKey, nPage);
                SearchKeywords_Add(mapPlain, strKey, nPage);
            }
        }
    }
    EXPECT_EQ(mapIndexed.size(), 5000u);
    EXPECT_EQ(Sorted(mapIndexed), Sorted(mapPlain));
}

TEST(CSearchKeywordIndexTest, PageTextAddsEveryWordInOrderWhileTheIndexGrows)
{
    // Words are added a few behind the text; the index grows several times within one page.
    std::string strText;
    for (int i = 0; i < 3000; ++i)
        strText += "w" + std::to_string(i % 2000) + (i % 5 == 0 ? "\xE9\xE8 " : " ");
    const CCodePage cp(kRow1252);
    CSearchKeywordMap mapIndexed = {{"w7", {0}}};
    CSearchKeywordMap mapPlain = mapIndexed;
    {
        CSearchKeywordIndex index(mapIndexed);
        SearchKeywords_AddText(index, cp, strText, 1);
        SearchKeywords_AddText(index, cp, "w1 x", 2);
    }
    SearchKeywords_AddText(mapPlain, cp, strText, 1);
    SearchKeywords_AddText(mapPlain, cp, "w1 x", 2);
    EXPECT_EQ(mapIndexed.size(), 2000u + 2u);
    EXPECT_EQ(Sorted(mapIndexed), Sorted(mapPlain));
}
} // namespace
