#include "CBOMTextReader.h"
#include "CCodePage.h"
#include "TestUtil.h"

#include <gtest/gtest.h>

namespace
{
constexpr int kRowGBK = 8;
constexpr int kRowUTF8 = 31;
constexpr int kRow1252 = 34;

std::string Decode(int nRow, const std::string& strBytes)
{
    CCodePage cp(nRow);
    CBOMTextReader reader(cp);
    return reader.LoadBuffer(reinterpret_cast<const unsigned char*>(strBytes.data()),
                             static_cast<int64_t>(strBytes.size()));
}

std::string DecodeOwned(int nRow, std::string strBytes)
{
    CCodePage cp(nRow);
    CBOMTextReader reader(cp);
    return reader.LoadBytes(std::move(strBytes));
}

struct SCase
{
    const char* pszName;
    int nRow;
    std::string strBytes;
    std::string strText;
};

TEST(CBOMTextReaderTest, DecodesByTheByteOrderMark)
{
    using namespace std::string_literals;
    const SCase aCases[] = {
        {"no mark: bytes as they are", kRowGBK, "a\xD6\xD0z", "a\xD6\xD0z"},
        {"no mark: up to the first zero byte", kRow1252, "ab\0cd"s, "ab"},
        {"no mark, utf-8 bytes in windows-1252", kRow1252, "caf\xC3\xA9", "caf\xC3\xA9"},
        {"empty", kRow1252, "", ""},
        {"one byte", kRow1252, "\xFF", "\xFF"},
        {"utf-8 with mark to windows-1252", kRow1252,
         "\xEF\xBB\xBF"
         "caf\xC3\xA9",
         "caf\xE9"},
        {"utf-8 with mark to gbk", kRowGBK, "\xEF\xBB\xBF\xE4\xB8\xAD", "\xD6\xD0"},
        {"utf-8 with mark, character gbk lacks", kRowGBK,
         "\xEF\xBB\xBF"
         "a\xC3\xA9",
         "a\xA8\xA6"},
        {"utf-8 with mark, character windows-1252 lacks", kRow1252,
         "\xEF\xBB\xBF"
         "a\xE4\xB8\xAD"
         "b",
         "a?b"},
        {"mark alone", kRowUTF8, "\xEF\xBB\xBF", ""},
        {"cut-off mark is text", kRow1252, "\xEF\xBB", "\xEF\xBB"},
        {"four-byte utf-8 kept whole", kRowUTF8, "\xEF\xBB\xBF\xF0\x9F\x98\x80!", "\xF0\x9F\x98\x80!"},
        {"four-byte utf-8 in gbk", kRowGBK, "\xEF\xBB\xBF\xF0\x9F\x98\x80!", "?!"},
        {"cut-off four-byte utf-8", kRowUTF8, "\xEF\xBB\xBF\xF0\x9F\x98",
         "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},
        {"continuation byte alone", kRowUTF8,
         "\xEF\xBB\xBF"
         "a\x80"
         "b",
         "a\xEF\xBF\xBD"
         "b"},
        {"cut-off two-byte utf-8 at the end", kRowUTF8,
         "\xEF\xBB\xBF"
         "a\xC3",
         "a"},
        {"cut-off utf-8 before a tag", kRowUTF8,
         "\xEF\xBB\xBF"
         "a\xE4\xB8<b>\xC3</b>",
         "a\xEF\xBF\xBD<b>\xEF\xBF\xBD</b>"},
        {"utf-16 le", kRowUTF8,
         "\xFF\xFE"
         "a\0\x2D\x4E"s,
         "a\xE4\xB8\xAD"},
        {"utf-16 be", kRowGBK, "\xFE\xFF\0a\x4E\x2D"s, "a\xD6\xD0"},
        {"utf-16 le, odd byte ignored", kRow1252,
         "\xFF\xFE"
         "a\0b\0c"s,
         "ab"},
        {"utf-16 be, odd byte ignored", kRow1252, "\xFE\xFF\0a\0b\0"s, "ab"},
        {"utf-16 le surrogate pair", kRowUTF8, "\xFF\xFE\x3D\xD8\x00\xDE"s, "\xF0\x9F\x98\x80"},
        {"utf-16 le lone surrogate", kRowUTF8,
         "\xFF\xFE\x3D\xD8"
         "a\0"s,
         "?a"},
        {"utf-16 keeps zero characters and line breaks", kRow1252,
         "\xFF\xFE"
         "a\0\0\0\r\0\n\0"s,
         "a\0\r\n"s},
    };
    for (const SCase& c : aCases)
    {
        SCOPED_TRACE(c.pszName);
        EXPECT_EQ(Decode(c.nRow, c.strBytes), c.strText);
        EXPECT_EQ(DecodeOwned(c.nRow, c.strBytes), c.strText);
    }
}

// Each byte of a form that is no character is a U+FFFD of its own, as in a browser: an overlong "<"
// must not become a tag, nor an encoded surrogate pair a character.
TEST(CBOMTextReaderTest, ReadsBytesThatAreNoCharacterAsReplacements)
{
    const std::string strMark = "\xEF\xBB\xBF";
    const std::string strFFFD = "\xEF\xBF\xBD";
    const SCase aCases[] = {
        {"overlong two-byte", kRowUTF8, strMark + "a\xC0\xBC" + "b", "a" + strFFFD + strFFFD + "b"},
        {"overlong three-byte", kRowUTF8, strMark + "\xE0\x80\xBC", strFFFD + strFFFD + strFFFD},
        {"overlong four-byte", kRowUTF8, strMark + "\xF0\x80\x80\xBC", strFFFD + strFFFD + strFFFD + strFFFD},
        {"encoded surrogate pair", kRowUTF8, strMark + "\xED\xA0\xBD\xED\xB8\x80",
         strFFFD + strFFFD + strFFFD + strFFFD + strFFFD + strFFFD},
        {"above U+10FFFF", kRowUTF8, strMark + "\xF4\x90\x80\x80!",
         strFFFD + strFFFD + strFFFD + strFFFD + "!"},
        {"overlong in windows-1252", kRow1252, strMark + "\xC0\xBC" + "a", "??a"},
        {"valid after invalid", kRowUTF8, strMark + "\xC0\xC3\xA9", strFFFD + "\xC3\xA9"},
    };
    for (const SCase& c : aCases)
    {
        SCOPED_TRACE(c.pszName);
        EXPECT_EQ(Decode(c.nRow, c.strBytes), c.strText);
    }
}

TEST(CBOMTextReaderTest, ReadsBytesAndCharactersUntilTheEnd)
{
    CCodePage cp(kRowUTF8);
    CBOMTextReader reader(cp);
    const std::string strBytes = "\xEF\xBB\xBF"
                                 "A\xC3\xA9";
    // LoadBuffer leaves the reader at the end of what it decoded.
    reader.LoadBuffer(reinterpret_cast<const unsigned char*>(strBytes.data()), 5);
    EXPECT_EQ(reader.GetEncoding(), CBOMTextReader::kUTF8);
    EXPECT_TRUE(reader.IsEOF());
    EXPECT_EQ(reader.ReadByte(), 0);
    EXPECT_TRUE(reader.IsEOF());
}

TEST(CBOMTextReaderTest, LoadsFilesAndGivesEmptyTextForUnreadableOnes)
{
    CTempDir dir;
    ASSERT_TRUE(WriteFileBytes(dir / "a.htm", std::string("\xFF\xFE<\0b\0>\0", 8)));
    ASSERT_TRUE(WriteFileBytes(dir / "plain.htm", std::string("<p>x</p>\0junk", 13)));
    CCodePage cp(kRow1252);
    CBOMTextReader reader(cp);
    EXPECT_EQ(reader.LoadFile(dir / "a.htm"), "<b>");
    EXPECT_EQ(reader.LoadFile(dir / "plain.htm"), "<p>x</p>");
    EXPECT_EQ(reader.LoadFile(dir / "missing.htm"), "");
    EXPECT_EQ(reader.LoadFile(dir.Path()), "");
}
} // namespace
