#include "CSeenStrings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
TEST(CSeenStringsTest, TellsEachStringNewOnlyTheFirstTime)
{
    struct SCase
    {
        const char* pszName;
        std::vector<std::string> vecInserted;
        std::vector<bool> vecNew;
    };
    const SCase aCases[] = {
        {"repeats", {"a/b.htm", "a/b.htm", "c.css", "a/b.htm"}, {true, false, true, false}},
        {"prefixes and empty", {"ab", "a", "", "abc", "", "a"}, {true, true, true, true, false, false}},
        {"case and zero bytes kept", {"A", "a", std::string("a\0", 2), "a"}, {true, true, true, false}},
    };
    for (const SCase& c : aCases)
    {
        SCOPED_TRACE(c.pszName);
        CSeenStrings seen;
        std::vector<bool> vecNew;
        for (const std::string& str : c.vecInserted)
            vecNew.push_back(seen.Seen_Insert(str));
        EXPECT_EQ(vecNew, c.vecNew);
    }
}

TEST(CSeenStringsTest, KeepsEveryStringAcrossGrowthUntilCleared)
{
    CSeenStrings seen;
    auto Name = [](int i) { return "folder" + std::to_string(i % 7) + "/page" + std::to_string(i) + ".htm"; };
    const int nCount = 20000;
    for (int i = 0; i < nCount; ++i)
        ASSERT_TRUE(seen.Seen_Insert(Name(i))) << i;
    for (int i = 0; i < nCount; ++i)
        ASSERT_FALSE(seen.Seen_Insert(Name(i))) << i;
    EXPECT_EQ(seen.Seen_Size(), static_cast<size_t>(nCount));
    seen.Seen_Clear();
    EXPECT_EQ(seen.Seen_Size(), 0u);
    EXPECT_TRUE(seen.Seen_Insert(Name(1)));
    EXPECT_FALSE(seen.Seen_Insert(Name(1)));
}

TEST(CSeenStringsTest, HashTellsApartStringsThatDifferInAnyOneByte)
{
    // Short strings are hashed from a few loads that overlap: every byte must still count.
    for (size_t nLen = 1; nLen <= 24; ++nLen)
    {
        const std::string strBase(nLen, 'a');
        for (size_t nPos = 0; nPos < nLen; ++nPos)
        {
            for (char c : {'b', '\0', '\xFF'})
            {
                SCOPED_TRACE(testing::Message() << "length " << nLen << ", byte " << nPos << " = " << int(c));
                std::string strOther = strBase;
                strOther[nPos] = c;
                EXPECT_NE(Seen_Hash(strOther), Seen_Hash(strBase));
            }
        }
        EXPECT_NE(Seen_Hash(strBase), Seen_Hash(strBase + '\0')) << nLen;
    }
}
} // namespace
