#include "CHTMLScan.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace
{
TEST(CHTMLScanTest, AttributesAreReadWithTheirValuesUpToTheTagsEnd)
{
    using CAttributes = std::vector<std::pair<std::string, std::string>>;
    struct SCase
    {
        const char* pszTag; ///< after the tag's name
        CAttributes vecAttributes;
        size_t nEnd; ///< std::string_view::npos: cut off
    };
    const SCase aCases[] = {
        {" class=\"kw\" href='../a/b.html'>x", {{"class", "kw"}, {"href", "../a/b.html"}}, 31},
        {" averyveryverylongattributename=1 b>", {{"averyveryverylongattributename", "1"}, {"b", ""}}, 36},
        {" =a b\x01=c/d\t=\te>", {{"=a", ""}, {"b\x01", "c/d"}, {"=", ""}, {"e", ""}}, 15},
        {"/ a/=b>", {{"a", ""}, {"=b", ""}}, 7},
        {" a=\"b>c", {}, std::string_view::npos},
        {" a", {{"a", ""}}, std::string_view::npos},
    };
    for (const SCase& c : aCases)
    {
        SCOPED_TRACE(c.pszTag);
        CAttributes vecAttributes;
        const size_t nEnd = HTML_ReadAttributes(c.pszTag, 0,
                                                [&](std::string_view svName, std::string_view svValue, bool)
                                                { vecAttributes.emplace_back(svName, svValue); });
        EXPECT_EQ(nEnd, c.nEnd);
        if (c.nEnd != std::string_view::npos)
        {
            EXPECT_EQ(vecAttributes, c.vecAttributes);
        }
    }
}
} // namespace
