#include "CHTMLEntities.h"

#include <gtest/gtest.h>

TEST(CHTMLEntitiesTest, NamesWithSemicolonLegacyPrefixesAndMisses)
{
    struct SCase
    {
        const char* pszText;
        size_t nLen;
        char32_t c1;
        char32_t c2;
    };
    const SCase aCases[] = {
        {"amp;x", 4, U'&', 0},
        {"ampx", 3, U'&', 0}, // legacy name as a prefix
        {"notin;", 6, 0x2209, 0},
        {"notit;", 3, 0xAC, 0}, // "not" is legacy, "notit;" is no name
        {"nbsp", 4, 0xA0, 0},
        {"NotEqualTilde;", 14, 0x2242, 0x338},
        {"CounterClockwiseContourIntegral;", 32, 0x2233, 0},
        {"bogus;", 0, 0, 0},
        {";", 0, 0, 0},
        {"", 0, 0, 0},
    };
    for (const SCase& c : aCases)
    {
        SCOPED_TRACE(c.pszText);
        char32_t c1 = 0, c2 = 0;
        EXPECT_EQ(HTMLLookupNamedEntity(c.pszText, c1, c2), c.nLen);
        if (c.nLen > 0)
        {
            EXPECT_EQ(c1, c.c1);
            EXPECT_EQ(c2, c.c2);
        }
    }
}

TEST(CHTMLEntitiesTest, CommonNamesMatchOnlyInTheirOwnCaseAndWhole)
{
    struct SCase
    {
        const char* pszText;
        size_t nLen;
        char32_t c1;
    };
    const SCase aCases[] = {
        {"nbsp;", 5, 0xA0},     {"NBSP;", 0, 0},   {"nbspx;", 4, 0xA0},    {"lt;", 3, U'<'},
        {"LT;", 3, U'<'},       {"lt", 2, U'<'},   {"ltimes;", 7, 0x22C9}, {"gt;", 3, U'>'},
        {"gtrdot;", 7, 0x22D7}, {"amp;", 4, U'&'}, {"AMP;", 4, U'&'},      {"quot;", 5, U'"'},
        {"QUOT;", 5, U'"'},     {"quo;", 0, 0},
    };
    for (const SCase& c : aCases)
    {
        SCOPED_TRACE(c.pszText);
        char32_t c1 = 0, c2 = 0;
        EXPECT_EQ(HTMLLookupNamedEntity(c.pszText, c1, c2), c.nLen);
        EXPECT_EQ(c1, c.c1);
        EXPECT_EQ(c2, 0u);
    }
}
