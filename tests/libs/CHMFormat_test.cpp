#include "CCHMFileRW.h"
#include "CHMFormat.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace
{
/// One #SYSTEM field: code, length, data.
std::string Field(uint16_t nCode, const std::string& strData)
{
    std::string str;
    str.push_back(static_cast<char>(nCode & 0xFF));
    str.push_back(static_cast<char>(nCode >> 8));
    str.push_back(static_cast<char>(strData.size() & 0xFF));
    str.push_back(static_cast<char>(strData.size() >> 8));
    return str + strData;
}

const std::string kVersion("\x03\x00\x00\x00", 4);
} // namespace

TEST(CHMFormatTest, SystemRecordFields)
{
    const std::string strRecord =
        kVersion + Field(10, std::string(4, 'x')) +
        Field(4, std::string("\x04\x08\x00\x00\x01\x00\x00\x00", 8)) +
        Field(2, std::string("index.htm\0", 10)) + Field(3, std::string("Title \xD6\xD0\0", 9)) +
        Field(0, std::string("toc.hhc\0", 8)) + Field(1, "keys.hhk") + Field(9, "HHA");
    CCHMSystemInfo info;
    ASSERT_TRUE(CHM_ParseSystemRecord(strRecord, info));
    EXPECT_EQ(info.nLCID, 0x0804u);
    EXPECT_EQ(info.strDefaultTopic, "index.htm");
    EXPECT_EQ(info.strTitle, "Title \xD6\xD0");
    EXPECT_EQ(info.strContentsFile, "toc.hhc");
    EXPECT_EQ(info.strIndexFile, "keys.hhk");
}

TEST(CHMFormatTest, SystemRecordStopsAtAFieldRunningPastTheEnd)
{
    struct SCase
    {
        const char* pszWhat;
        std::string strRecord;
        const char* pszTitle;
        uint32_t nLCID;
        bool bResult;
    };
    std::string strLong = Field(0, "toc.hhc");
    strLong[2] = 100; // claims 100 bytes
    const SCase aCases[] = {
        {"empty", "", "", 0, false},
        {"version cut short", std::string("\x03\x00", 2), "", 0, false},
        {"version only", kVersion, "", 0, true},
        {"field after a long one", kVersion + Field(3, "T") + strLong + Field(3, "U"), "T", 0, true},
        {"header cut short", kVersion + Field(3, "T") + std::string("\x04\x00\x04", 3), "T", 0, true},
        {"short locale", kVersion + Field(4, std::string("\x04\x08", 2)), "", 0, true},
        {"title without end byte at the end", kVersion + Field(3, "Last"), "Last", 0, true},
    };
    for (const SCase& c : aCases)
    {
        SCOPED_TRACE(c.pszWhat);
        CCHMSystemInfo info;
        info.strTitle = "stale";
        EXPECT_EQ(CHM_ParseSystemRecord(c.strRecord, info), c.bResult);
        EXPECT_EQ(info.strTitle, c.pszTitle);
        EXPECT_EQ(info.nLCID, c.nLCID);
        EXPECT_TRUE(info.strContentsFile.empty());
    }
}

TEST(CHMFormatTest, InternalNames)
{
    struct SCase
    {
        const char* pszName;
        bool bInternal;
    };
    const SCase aCases[] = {
        {"/#SYSTEM", true},
        {"/$FIftiMain", true},
        {"/$WWKeywordLinks/BTree", true},
        {"::DataSpace/NameList", true},
        {"/index.htm", false},
        {"/_#_README_#_", false},
        {"/a/#b.htm", false},
        {"/", false},
        {"", false},
    };
    for (const SCase& c : aCases)
    {
        SCOPED_TRACE(c.pszName);
        EXPECT_EQ(CHM_IsInternalName(c.pszName), c.bInternal);
    }
}

TEST(CHMFormatTest, NamesNormalisedForLookup)
{
    EXPECT_EQ(CHM_NormalizeName("sub\\b.hhc"), "/sub/b.hhc");
    EXPECT_EQ(CHM_NormalizeName("\\sub\\b.hhc"), "/sub/b.hhc");
    EXPECT_EQ(CHM_NormalizeName("/sub/b.hhc"), "/sub/b.hhc");
    EXPECT_EQ(CHM_NormalizeName(""), "/");
    EXPECT_EQ(CHM_LowerName("/Topics/\xC3\x84Z.HTM"), "/topics/\xC3\x84z.htm");
}

TEST(CHMFormatTest, NormalizedNamesAreMadeAndComparedInPlaceAsNormalizeNameMakesThem)
{
    const char* const apszNames[] = {
        "sub\\b.hhc", "\\Sub\\B.hhc", "/sub/b.hhc",    "/Sub/B.hhc",           "", "/", "\\", "a",
        "x\\",        "//a",          "::DataSpace/x", "/Topics/\xC3\x84Z.HTM"};
    std::vector<std::string> vecKeys;
    for (const char* pszName : apszNames)
    {
        vecKeys.push_back(pszName);
        vecKeys.push_back(CHM_NormalizeName(pszName));
        vecKeys.push_back(CHM_LowerName(CHM_NormalizeName(pszName)));
    }
    std::string strInto = "left over from the last name";
    for (const char* pszName : apszNames)
    {
        SCOPED_TRACE(pszName);
        const std::string strNormalized = CHM_NormalizeName(pszName);
        CHM_NormalizeNameInto(pszName, strInto);
        EXPECT_EQ(strInto, strNormalized);
        for (const std::string& strKey : vecKeys)
        {
            SCOPED_TRACE(strKey);
            EXPECT_EQ(CHM_IsNormalizedName(pszName, strKey, false), strKey == strNormalized);
            EXPECT_EQ(CHM_IsNormalizedName(pszName, strKey, true), strKey == CHM_LowerName(strNormalized));
        }
    }
}

TEST(CHMFormatTest, UnpackPathsStayInsideTheFolder)
{
    struct SCase
    {
        const char* pszName;
        const char* pszRelative; ///< null when refused
    };
    const SCase aCases[] = {
        {"/index.htm", "index.htm"},
        {"/a/b/c.htm", "a/b/c.htm"},
        {"a/b.htm", "a/b.htm"},
        {"/a\\b.htm", "a/b.htm"},
        {"/a/./b.htm", "a/b.htm"},
        {"/a//b.htm", "a/b.htm"},
        {"/.../x.htm", ".../x.htm"},
        {"/a..b/x.htm", "a..b/x.htm"},
        {"/..", nullptr},
        {"/../evil.htm", nullptr},
        {"/a/../../evil.htm", nullptr},
        {"/a/b/..", nullptr},
        {"/..\\evil.htm", nullptr},
        {"/a\\..\\..\\evil.htm", nullptr},
        {"//etc/passwd", nullptr},
        {"/\\server\\share", nullptr},
        {"/C:/evil.htm", nullptr},
        {"/c:evil.htm", nullptr},
        {"/C:\\evil.htm", nullptr},
        {"/", nullptr},
        {"", nullptr},
        {"/./.", nullptr},
    };
    for (const SCase& c : aCases)
    {
        SCOPED_TRACE(c.pszName);
        std::string strRelative = "stale";
        const bool bSafe = CHM_SafeRelativePath(c.pszName, strRelative);
        EXPECT_EQ(bSafe, c.pszRelative != nullptr);
        EXPECT_EQ(strRelative, c.pszRelative != nullptr ? c.pszRelative : "");
    }
}
