#include "GifDecoder.h"
#include "TestUtil.h"

#include "CWebHelpHelper.h"

#include <gtest/gtest.h>
#include <set>

namespace
{
const std::string kRuntimeDir = std::string(WEBHELP_SOURCE_DIR) + "/output/runtime/";
const std::string kIconDir = std::string(WEBHELP_SOURCE_DIR) + "/host/icons/";
const std::string kTemplatesDir = std::string(WEBHELP_BUILD_DIR) + "/whtemplates/";

const int32_t kGrey = Rgb(128, 128, 128);
const int32_t kBlack = Rgb(0, 0, 0);
const int32_t kClear = -1;

enum EBox
{
    kNoBox,
    kPlus,
    kMinus,
};

struct STreeImage
{
    const char* pszFile;
    bool bUp;    ///< line from the top down to row 8
    bool bDown;  ///< line from row 8 down to the bottom
    bool bRight; ///< line in row 8 from column 5 to the right edge
    EBox eBox;
};

// The look of each tree-line image as the tree script expects it.
const STreeImage g_aTreeImages[] = {
    {"wh_0.gif", false, false, false, kNoBox}, {"wh_1.gif", true, true, false, kNoBox},
    {"wh_2.gif", true, true, true, kNoBox},    {"wh_3.gif", true, false, true, kNoBox},
    {"wh_4.gif", false, true, true, kNoBox},   {"wh_5.gif", true, true, true, kPlus},
    {"wh_6.gif", true, false, true, kPlus},    {"wh_7.gif", false, true, true, kPlus},
    {"wh_8.gif", true, true, true, kMinus},    {"wh_9.gif", true, false, true, kMinus},
    {"wh_10.gif", false, true, true, kMinus},
};

/// The pixel the description asks for. Lines are dotted one pixel in two, on the pixels whose
/// column + row is odd, so that images stacked in a column continue each other's dots.
int32_t ExpectedTreePixel(const STreeImage& t, int x, int y)
{
    const bool bInBox = t.eBox != kNoBox && x >= 1 && x <= 9 && y >= 4 && y <= 12;
    if (bInBox)
    {
        if (x == 1 || x == 9 || y == 4 || y == 12)
            return kGrey;
        if (y == 8 && x >= 3 && x <= 7)
            return kBlack;
        if (t.eBox == kPlus && x == 5 && y >= 6 && y <= 10)
            return kBlack;
        return kClear;
    }
    const bool bDot = (x + y) % 2 == 1;
    const bool bOnVertical = x == 5 && ((t.bUp && y <= 8) || (t.bDown && y >= 8));
    const bool bOnHorizontal = t.bRight && y == 8 && x >= 5;
    return (bDot && (bOnVertical || bOnHorizontal)) ? kGrey : kClear;
}

SGifImage Decode(const std::string& strPath)
{
    SGifImage img;
    std::string strError;
    const std::string strBytes = ReadFileBytes(strPath);
    EXPECT_TRUE(DecodeGif(strBytes, img, strError)) << strPath << ": " << strError;
    return img;
}

int CountOpaque(const SGifImage& img)
{
    int n = 0;
    for (int32_t p : img.vecPixels)
        n += p != kClear;
    return n;
}
} // namespace

TEST(CTreeImagesTest, EveryTreeLineImageHasThePixelsOfItsLook)
{
    for (const STreeImage& t : g_aTreeImages)
    {
        SCOPED_TRACE(t.pszFile);
        SGifImage img = Decode(kRuntimeDir + t.pszFile);
        EXPECT_TRUE(img.b89a);
        ASSERT_EQ(img.nWidth, 16);
        ASSERT_EQ(img.nHeight, 16);
        int nWrong = 0;
        for (int y = 0; y < 16; ++y)
        {
            for (int x = 0; x < 16; ++x)
            {
                if (img.At(x, y) != ExpectedTreePixel(t, x, y) && ++nWrong <= 5)
                    ADD_FAILURE() << "pixel (" << x << ", " << y << ") is " << img.At(x, y) << ", expected "
                                  << ExpectedTreePixel(t, x, y);
            }
        }
        EXPECT_EQ(nWrong, 0);
    }
}

TEST(CTreeImagesTest, StackedImagesContinueTheVerticalDots)
{
    // Bottom row of one image and top row of the next must not both hold a dot or both lack one.
    SGifImage img = Decode(kRuntimeDir + "wh_1.gif");
    ASSERT_EQ(img.nHeight, 16);
    EXPECT_NE(img.At(5, 15) == kClear, img.At(5, 0) == kClear);
}

TEST(CTreeImagesTest, DecoderRejectsDamagedFiles)
{
    const std::string strGood = ReadFileBytes(kRuntimeDir + "wh_5.gif");
    ASSERT_GT(strGood.size(), 40u);
    struct SCase
    {
        const char* pszName;
        std::string strBytes;
    };
    const SCase aCases[] = {
        {"empty", ""},
        {"not a GIF", "PNG" + strGood.substr(3)},
        {"cut in the colour table", strGood.substr(0, 16)},
        {"cut in the image data", strGood.substr(0, strGood.size() - 6)},
        {"no trailer", strGood.substr(0, strGood.size() - 1)},
    };
    for (const SCase& c : aCases)
    {
        SCOPED_TRACE(c.pszName);
        SGifImage img;
        std::string strError;
        EXPECT_FALSE(DecodeGif(c.strBytes, img, strError));
        EXPECT_FALSE(strError.empty());
    }
}

TEST(CContentsIconsTest, FullSetOfDistinctSixteenPixelIcons)
{
    std::set<std::vector<int32_t>> setSeen;
    for (int n = 1; n <= 42; ++n)
    {
        SCOPED_TRACE(n);
        SGifImage img = Decode(kIconDir + "chm_icon" + std::to_string(n) + ".gif");
        EXPECT_TRUE(img.b89a);
        ASSERT_EQ(img.nWidth, 16);
        ASSERT_EQ(img.nHeight, 16);
        EXPECT_EQ(img.At(0, 0), kClear) << "background is transparent";
        EXPECT_GT(CountOpaque(img), 40);
        EXPECT_TRUE(setSeen.insert(img.vecPixels).second) << "same picture as an earlier icon";
    }
    EXPECT_FALSE(FileExists(kIconDir + "chm_icon43.gif"));
}

TEST(CTemplateSetImagesTest, EverySetHasItsSeventeenImages)
{
    std::set<std::vector<int32_t>> setHomeButtons;
    for (const std::string& strSet : CWebHelpHelper::m_strWHTemplateDir)
    {
        for (const std::string& strName : CWebHelpHelper::m_strCopyTemplatesImages)
        {
            SCOPED_TRACE(strSet + "/" + strName);
            SGifImage img = Decode(kTemplatesDir + strSet + "/" + strName);
            EXPECT_GT(CountOpaque(img), 20);
            if (strName.size() == 5) // 1.gif to 8.gif: contents icons in the tree
            {
                EXPECT_EQ(img.nWidth, 16);
                EXPECT_EQ(img.nHeight, 16);
            }
            if (strName == "wh_bg.gif")
            {
                EXPECT_EQ(img.nHeight, 32) << "fills the header frame";
            }
            if (strName == "wh_home.gif")
                setHomeButtons.insert(img.vecPixels);
        }
    }
    EXPECT_EQ(setHomeButtons.size(), 5u) << "each set has its own buttons";
}
