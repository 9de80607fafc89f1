#include "CCodePage.h"

#include "CCharsets.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace
{
constexpr int kRowShiftJIS = 27;
constexpr int kRowGBK = 8;
constexpr int kRowISO2022JP = 13;
constexpr int kRowUTF8 = 31;
constexpr int kRow1252 = 34;
constexpr int kRowKOI8R = 25;
constexpr int kRowCP949 = 7;

TEST(CCodePageTest, LowerCasesWholeCharactersOfTheCodePage)
{
    struct SCase
    {
        int nRow;
        std::string strIn;
        std::string strOut;
    };
    const SCase aCases[] = {
        {kRow1252, "ABC \xC0\xC9\xDE xyz \xDF\x80", "abc \xE0\xE9\xFE xyz \xDF\x80"},
        {kRowKOI8R, "\xF0\xD2\xC9", "\xD0\xD2\xC9"},
        // Full-width A, Greek capital alpha; a second byte "A" stays as it is.
        {kRowGBK, "\xA3\xC1\xA6\xA1\x81\x41Z", "\xA3\xE1\xA6\xC1\x81\x41z"},
        {kRowShiftJIS, "\x82\x60\x83\x41Q", "\x82\x81\x83\x41q"},
        {kRowUTF8, "\xCE\xA3\xC3\x89Q\xE4\xB8\xAD", "\xCF\x83\xC3\xA9q\xE4\xB8\xAD"},
        // Capital I with dot lowers to a shorter character, capital A with stroke to a longer one.
        {kRowUTF8, "\xC4\xB0X\xC8\xBAY", "ix\xE2\xB1\xA5y"},
        {kRowUTF8, "A\xFF\xC3", "a\xFF\xC3"},
        {kRowGBK, "\x81", "\x81"},
    };
    for (const SCase& c : aCases)
    {
        SCOPED_TRACE(c.strIn);
        CCodePage cp(c.nRow);
        std::string str = c.strIn;
        cp.MakeLower(str);
        EXPECT_EQ(str, c.strOut);
    }
}

TEST(CCodePageTest, ConvertsWideTextWithDefaultCharacter)
{
    struct SCase
    {
        int nRow;
        std::u32string strWide;
        std::string strBytes;
    };
    const SCase aCases[] = {
        {kRow1252, U"caf\u00E9 \u4E2D\u20AC", "caf\xE9 ?\x80"},
        {kRowGBK, U"a\u4E2D\u6587\U0001F600b", "a\xD6\xD0\xCE\xC4?b"},
        {kRowUTF8, U"\u4E2D\U0001F600", "\xE4\xB8\xAD\xF0\x9F\x98\x80"},
        {kRowUTF8, std::u32string(1, char32_t(0xD800)), "?"},
        // A missing character inside shifted text: the "?" must be read as itself.
        {kRowISO2022JP, U"\u65E5\u00E9\u672C", "\x1B$BF|\x1B(B?\x1B$BK\\\x1B(B"},
        // windows-1258's converter holds a letter back for a combining mark that may follow.
        {kCharsetWin1258, U"Az09 \u00C2", "Az09 \xC2"},
    };
    for (const SCase& c : aCases)
    {
        SCOPED_TRACE(c.strBytes);
        CCodePage cp(c.nRow);
        EXPECT_EQ(cp.FromWide(c.strWide), c.strBytes);
        if (c.strBytes.find('?') == std::string::npos)
        {
            EXPECT_EQ(cp.ToWide(c.strBytes), c.strWide);
        }
    }
}

TEST(CCodePageTest, KnowsLeadBytesAndCharacterLengths)
{
    CCodePage gbk(kRowGBK);
    CCodePage cp1252(kRow1252);
    CCodePage utf8(kRowUTF8);
    EXPECT_TRUE(gbk.IsDoubleByte());
    EXPECT_TRUE(gbk.IsLeadByte(0x81));
    EXPECT_TRUE(gbk.IsLeadByte(0xFE));
    EXPECT_FALSE(gbk.IsLeadByte(0x80));
    EXPECT_FALSE(gbk.IsLeadByte('A'));
    EXPECT_FALSE(cp1252.IsLeadByte(0xE9));
    auto Len = [](const CCodePage& cp, const std::string& str)
    {
        const auto* p = reinterpret_cast<const unsigned char*>(str.data());
        return cp.CharLength(p, p + str.size());
    };
    EXPECT_EQ(Len(gbk, "\xD6\xD0"), 2u);
    EXPECT_EQ(Len(gbk, "\x81\x5C"), 2u);
    EXPECT_EQ(Len(gbk, "\x81\x22"), 1u); // no character ends in a double quote
    EXPECT_EQ(Len(gbk, "\xD6"), 1u);
    EXPECT_EQ(Len(cp1252, "\xD6\xD0"), 1u);
    EXPECT_EQ(Len(utf8, "\xF0\x9F\x98\x80"), 4u);
    EXPECT_EQ(Len(utf8, "\xF0\x9F\x98"), 1u);
    EXPECT_EQ(Len(utf8, "\xC0\x80"), 1u);
    EXPECT_FALSE(CCodePage(kRowISO2022JP).IsAsciiCompatible());
    EXPECT_FALSE(CCodePage(0).IsAsciiCompatible());
    EXPECT_TRUE(gbk.IsAsciiCompatible());
}

TEST(CCodePageTest, UnservedRowsFallBackToWindows1252)
{
    for (int nRow : {-1, 9, 30, 43, 44})
    {
        SCOPED_TRACE(nRow);
        CCodePage cp(nRow);
        EXPECT_EQ(cp.GetName(), "CP1252");
        EXPECT_EQ(cp.FromWide(U"\u00E9"), "\xE9");
    }
}

TEST(CCodePageTest, FromUTF8ForHTMLUsesReferencesForMissingCharacters)
{
    CCodePage cp(kRowGBK);
    EXPECT_EQ(cp.FromUTF8ForHTML("a\xE4\xB8\xAD\xF0\x9F\x98\x80\xFF"), "a\xD6\xD0&#128512;\xFF");
}

TEST(CCodePageTest, BytesTheConverterTakesWholeYetRefusesBecomeOneReplacement)
{
    // glibc's CP949 refuses A2 E8 only after it has taken both bytes: reading on once ran past the end.
    CCodePage cp(kRowCP949);
    EXPECT_EQ(cp.ToWide("\xA3\xC1\xA2\xE8"), U"\uFF21\uFFFD");
    std::string str = "\xA3\xC1\xA2\xE8";
    cp.MakeLower(str);
    EXPECT_EQ(str, "\xA3\xE1\xA2\xE8");
}

TEST(CCodePageTest, ThreadsSharingOneCodePageGetWhatACodePageOfTheirOwnGives)
{
    const std::pair<int, std::string> aCases[] = {
        {kRowGBK, "\xA3\xC1\xA6\xA1 Abc \xD6\xD0"},
        {kRowCP949, "\xA3\xC1\xB0\xA1 Abc"},
        {kRowISO2022JP, "\x1B$BF|K\\\x1B(B Abc"},
    };
    for (const auto& [nRow, strPiece] : aCases)
    {
        SCOPED_TRACE(nRow);
        std::string strText; // long enough that conversions on different threads overlap
        for (int i = 0; i < 64; ++i)
            strText += strPiece;
        auto Results = [&](const CCodePage& cp)
        {
            std::string str = strText;
            cp.MakeLower(str);
            return str + cp.FromWide(cp.ToWide(strText)) + cp.FromUTF8ForHTML("\xC3\x89\xE4\xB8\xAD");
        };
        const std::string strExpected = Results(CCodePage(nRow));
        const CCodePage shared(nRow);
        std::atomic<int> nWrong{0};
        std::vector<std::thread> vecThreads;
        for (int t = 0; t < 4; ++t)
            vecThreads.emplace_back(
                [&]
                {
                    for (int i = 0; i < 50; ++i)
                        nWrong += Results(shared) != strExpected ? 1 : 0;
                });
        for (std::thread& thread : vecThreads)
            thread.join();
        EXPECT_EQ(nWrong, 0);
    }
}
} // namespace

TEST(CCodePageTest, EucJpCharactersTakeOnlyBytesFromTheirOwnRange)
{
    struct SCase
    {
        const char* pszBytes;
        size_t nLen;
    };
    const SCase aCases[] = {
        {"\xA4\xA2", 2}, {"\x8E\xB1", 2}, {"\x8F\xB0\xA1", 3}, {"\xA4\x5C", 1},
        {"\xA4\x8E", 1}, {"\xA4\x41", 1}, {"\x8E\xE0", 1},     {"\x8F\xB0\x5C", 1},
        {"\x8F\xB0", 1}, {"\xA4", 1},     {"\x8E\x5C\x8E", 1}, {"\x80\xA1\xA1", 1},
    };
    CCodePage eucjp(kCharsetEucJp);
    ASSERT_EQ(eucjp.GetName(), "EUC-JP");
    for (const SCase& c : aCases)
    {
        SCOPED_TRACE(c.pszBytes);
        const std::string str = c.pszBytes;
        const auto* p = reinterpret_cast<const unsigned char*>(str.data());
        EXPECT_EQ(eucjp.CharLength(p, p + str.size()), c.nLen);
    }
    // Lower-casing goes by the same lengths: full-width A, a JIS X 0212 character, lone lead bytes.
    std::string str = "\xA3\xC1\x8F\xA3\xC1Q\xA4Z\x8EW";
    eucjp.MakeLower(str);
    EXPECT_EQ(str, "\xA3\xE1\x8F\xA3\xC1q\xA4z\x8Ew");
}

TEST(CCodePageTest, DeclaredCharsetIsFoundAsABrowserPrescanFindsIt)
{
    struct SCase
    {
        std::string strPage;
        const char* pszLabel;
    };
    const SCase aCases[] = {
        {"<html><head><meta charset=\"utf-8\"><title>x</title>", "utf-8"},
        {"<META CHARSET=Shift_JIS>", "shift_jis"},
        {"<meta http-equiv='Content-Type' content='text/html; charset=euc-kr'>", "euc-kr"},
        {"<meta content=\"text/html;charset = 'gb2312'\" http-equiv=content-type>", "gb2312"},
        // Without the http-equiv the content says nothing about the page.
        {"<meta content=\"text/html; charset=utf-8\">", ""},
        {"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<html>", "UTF-8"},
        {"<?xml version='1.0' encoding='windows-1252'?><meta charset=utf-8>", "utf-8"},
        // A declaration inside a comment or an attribute value is none; the first known one counts.
        {"<!-- <meta charset=utf-8> --><meta charset=koi8-r>", "koi8-r"},
        {"<a title='<meta charset=utf-8>'><meta charset=big5>", "big5"},
        {"<meta charset=nonsense><meta charset=latin1>", "latin1"},
        {"<meta charset=utf-8 charset=big5>", "utf-8"},
        {"<meta charset=utf-8 CHARSET=big5>", "utf-8"},
        {"<meta http-equiv=refresh HTTP-EQUIV=content-type content='text/html; charset=utf-8'>", ""},
        {"<meta CONTENT='Text/HTML; Charset=KOI8-R' content=x Http-Equiv=\"CONTENT-TYPE\">", "koi8-r"},
        {"<meta content='text/html; charset=koi8-r' http-equiv=content-type charset=utf-8>", "utf-8"},
        {"<meta charset=utf-8 content='text/html; charset=koi8-r' http-equiv=content-type>", "utf-8"},
        {"<meta =x charset = \"UTF-8\" >", "utf-8"},
        {"<meta http-equiv=content-type content='text/charsetx; CHARSET = Big5'>", "big5"},
        {"<meta name=charset content=big5 charset>", ""},
        // Text between tags, a "<" that starts no tag and a quoted ">" are passed over alike.
        {"a < b\n<p title='>'><meta charset=big5>", "big5"},
        {"<!DOCTYPE html>\n<html lang=en>\n<head>\n<meta charset=gbk>", "gbk"},
        {std::string(1024, ' ') + "<meta charset=utf-8>", ""},
        {"<meta charset=\"utf-8", ""},
        {"", ""},
    };
    for (const SCase& c : aCases)
    {
        SCOPED_TRACE(c.strPage);
        EXPECT_EQ(CodePage_DeclaredLabel(c.strPage), c.pszLabel);
    }
}

TEST(CCodePageTest, PageInAnotherDeclaredCharsetIsReadIntoTheSiteCodePage)
{
    struct SCase
    {
        int nRow;
        std::string strPage;
        std::string strText;
    };
    const std::string strUTF8Page = "<meta charset=utf-8>caf\xC3\xA9 \xED\x95\x9C";
    const SCase aCases[] = {
        {kRow1252, strUTF8Page, "<meta charset=utf-8>caf\xE9 ?"},
        {kRowShiftJIS, "<meta charset=utf-8>\xE6\x97\xA5", "<meta charset=utf-8>\x93\xFA"},
        {kRowUTF8, "<meta charset=iso-8859-1>\xE9\x80", "<meta charset=iso-8859-1>\xC3\xA9\xE2\x82\xAC"},
        // The site's own charset, by its label or another, and no declaration keep the bytes.
        {kRowUTF8, strUTF8Page, strUTF8Page},
        {kRowShiftJIS, "<meta charset=sjis>\x93\xFA", "<meta charset=sjis>\x93\xFA"},
        {kRow1252, "caf\xC3\xA9", "caf\xC3\xA9"},
        // Bytes below 0x80 are ASCII only where both code pages say so.
        {kRowUTF8, "<meta charset=iso-2022-jp>\x1B$B$3\x1B(B", "<meta charset=iso-2022-jp>\xE3\x81\x93"},
        {kRowISO2022JP, "<meta charset=utf-8>a~b", "<meta charset=utf-8>a~b"},
    };
    for (const SCase& c : aCases)
    {
        SCOPED_TRACE(c.strPage);
        EXPECT_EQ(CodePage_PageToSite(c.strPage, CCodePage(c.nRow)), c.strText);
    }
}

namespace
{
TEST(CCodePageTest, LowerCasesLongASCIIRunsAroundCharactersAtAnyOffset)
{
    struct SCase
    {
        int nRow;
        std::string strChar;  ///< a character whose bytes must survive lowering as they are
        std::string strLower; ///< the character lowered
    };
    const SCase aCases[] = {
        {kRow1252, "\xC9", "\xE9"},
        {kRowGBK, "\x81\x41", "\x81\x41"},          // trail byte "A"
        {kRowShiftJIS, "\x83\x5A", "\x83\x5A"},     // trail byte "Z"
        {kRowCP949, "\x81\x5A", "\x81\x5A"},        // trail byte "Z"
        {kRowUTF8, "\xC3\x89", "\xC3\xA9"},         // capital E acute
        {kRowUTF8, "\xE4\xB8\xAD", "\xE4\xB8\xAD"}, // no case
    };
    const std::string strUpper = "@AZ[`az{QUICK BROWN FOX JUMPS";
    const std::string strLower = "@az[`az{quick brown fox jumps";
    for (const SCase& c : aCases)
    {
        CCodePage cp(c.nRow);
        for (size_t nPos = 0; nPos <= strUpper.size(); ++nPos)
        {
            SCOPED_TRACE(testing::Message() << "row " << c.nRow << " at " << nPos);
            std::string str = strUpper.substr(0, nPos) + c.strChar + strUpper.substr(nPos);
            cp.MakeLower(str);
            EXPECT_EQ(str, strLower.substr(0, nPos) + c.strLower + strLower.substr(nPos));
        }
    }
}
} // namespace
