#include "CHMSitemap.h"

#include <gtest/gtest.h>

#include <string>

// Numbers that name no element are answered as empty, never read past the arrays.
TEST(CSitemapElementsTest, NumbersOutsideTheElementsGiveNothing)
{
    CSitemapElements elements;
    elements.Sitemap_Take("<ul><li><object><param name=\"Name\" value=\"a\"></object></ul>");
    const uint32_t nHTML = elements.GetChildAt(CSitemapElements::kRoot, 0);
    ASSERT_NE(nHTML, CSitemapElements::kNone);
    ASSERT_EQ(elements.GetTagName(nHTML), "HTML");

    struct SCase
    {
        const char* pszWhat;
        uint32_t nElement;
        int nIndex;
    };
    const SCase aCases[] = {
        {"no element", CSitemapElements::kNone, 0},
        {"past the last element", 1000000, 0},
        {"the last possible number", CSitemapElements::kNone - 1, 0},
        {"a child index past the children", nHTML, 2},
        {"a negative child index", nHTML, -1},
    };
    for (const SCase& c : aCases)
    {
        SCOPED_TRACE(c.pszWhat);
        EXPECT_EQ(elements.GetChildAt(c.nElement, c.nIndex), CSitemapElements::kNone);
        if (c.nElement != nHTML)
        {
            EXPECT_EQ(elements.GetChildCount(c.nElement), 0);
            EXPECT_EQ(elements.GetTagName(c.nElement), "");
            EXPECT_EQ(elements.GetAttr(c.nElement, "name"), "");
        }
    }
    EXPECT_EQ(elements.GetTagName(CSitemapElements::kRoot), "");
    EXPECT_EQ(elements.GetChildCount(nHTML), 2) << "HEAD and BODY";
}

// Names are looked up in a table that grows as new ones come: every name, a tag's or an
// attribute's, keeps its own spelling however many there are and whichever came first.
TEST(CSitemapElementsTest, EveryNameKeepsItsSpellingAsTheTableGrows)
{
    constexpr int kNames = 600;
    std::string strBytes = "<body>";
    for (int i = 0; i < kNames; ++i)
    {
        const std::string strNumber = std::to_string(i);
        // Known tag and attribute names come between the new ones, and each new name comes twice.
        strBytes += "<x" + strNumber + " a" + strNumber + "=v" + strNumber + " name=n" + strNumber + "></x" +
                    strNumber + "><p a" + strNumber + "=w" + strNumber + "></p><x" + strNumber + " a" +
                    strNumber + "=u" + strNumber + "></x" + strNumber + ">";
    }
    CSitemapElements elements;
    elements.Sitemap_Take(strBytes);
    const uint32_t nHTML = elements.GetChildAt(CSitemapElements::kRoot, 0);
    const uint32_t nBody = elements.GetChildAt(nHTML, 1);
    ASSERT_EQ(elements.GetTagName(nBody), "BODY");
    ASSERT_EQ(elements.GetChildCount(nBody), 3 * kNames);
    for (int i = 0; i < kNames; ++i)
    {
        const std::string strNumber = std::to_string(i);
        SCOPED_TRACE(strNumber);
        const uint32_t nFirst = elements.GetChildAt(nBody, 3 * i);
        const uint32_t nP = elements.GetChildAt(nBody, 3 * i + 1);
        const uint32_t nSecond = elements.GetChildAt(nBody, 3 * i + 2);
        EXPECT_EQ(elements.GetTagName(nFirst), "X" + strNumber);
        EXPECT_EQ(elements.GetAttr(nFirst, "a" + strNumber), "v" + strNumber);
        EXPECT_EQ(elements.GetAttr(nFirst, "name"), "n" + strNumber);
        EXPECT_EQ(elements.GetTagName(nP), "P");
        EXPECT_EQ(elements.GetAttr(nP, "a" + strNumber), "w" + strNumber);
        EXPECT_EQ(elements.GetTagName(nSecond), "X" + strNumber);
        EXPECT_EQ(elements.GetAttr(nSecond, "a" + strNumber), "u" + strNumber);
        EXPECT_EQ(elements.GetAttr(nSecond, "a" + std::to_string(i + 1)), "");
    }
}
