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
