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
    // Ten characters of 2, 3 and 4 bytes, 29 bytes in all: five pieces of two, three of them distinct.
    const std::string strE = "\xC3\xA9";
    const std::string strExtB = "\xF0\xA0\x80\x80";
    const std::string strRun = Repeat(strE + kUZhong + strExtB, 3) + strE;
    g_WebHelpSettings.nCharset = kRowUTF8;
    CKeywordsTestHelper helper;
    SearchKeywords_AddText(helper.m_mapSearchKeywords, helper.GetSiteCodePage(), strRun, 0);
    std::vector<std::string> vecExpected = {strE + kUZhong, strExtB + strE, kUZhong + strExtB};
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
} // namespace
