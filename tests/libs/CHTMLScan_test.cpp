#include "CHTMLScan.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace
{
/// The rule a name's end follows, one byte at a time.
size_t NameEndByBytes(std::string_view sv, size_t nPos, bool bEquals)
{
    while (nPos < sv.size() && !HTML_IsSpace(sv[nPos]) && sv[nPos] != '/' && sv[nPos] != '>' &&
           !(bEquals && sv[nPos] == '='))
        ++nPos;
    return nPos;
}

TEST(CHTMLScanTest, NameEndsAtItsFirstStopByteWhateverTheBytesAroundIt)
{
    // Every byte value at every place of a run longer than two words, after bytes that are stops
    // themselves or only look alike in a word (0x21 and up, 0x80 and up, control bytes).
    const std::string strRun = "ab\x01Z\x0B\xA0\x7F"
                               "cd!\xFF=0?\x2E\x3E\x2F\x3Dxyz";
    for (bool bEquals : {false, true})
    {
        for (int nByte = 0; nByte < 256; ++nByte)
        {
            for (size_t nAt = 0; nAt <= strRun.size(); ++nAt)
            {
                std::string str = strRun;
                str.insert(nAt, 1, static_cast<char>(nByte));
                for (size_t nStart = 0; nStart < 3; ++nStart)
                {
                    SCOPED_TRACE(testing::Message() << "byte " << nByte << " at " << nAt << " from " << nStart
                                                    << (bEquals ? ", = stops" : ""));
                    ASSERT_EQ(HTML_NameEnd(str, nStart, bEquals), NameEndByBytes(str, nStart, bEquals));
                }
            }
        }
    }
}

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
