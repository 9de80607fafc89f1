#pragma once

// A small GIF reader for the tests, written from the format rather than from our encoder.

#include <cstdint>
#include <string>
#include <vector>

/// A decoded GIF: its first image placed on the logical screen.
struct SGifImage
{
    int nWidth = 0;
    int nHeight = 0;
    bool b89a = false;
    /// 0xRRGGBB of each pixel, row by row; -1 where the pixel is transparent or not covered.
    std::vector<int32_t> vecPixels;
    int32_t At(int x, int y) const { return vecPixels[static_cast<size_t>(y * nWidth + x)]; }
};

inline int32_t Rgb(int r, int g, int b)
{
    return (r << 16) | (g << 8) | b;
}

/// Decodes the first image of a GIF file; false with a reason for anything malformed.
inline bool DecodeGif(const std::string& strBytes, SGifImage& img, std::string& strError)
{
    const auto* p = reinterpret_cast<const unsigned char*>(strBytes.data());
    const size_t n = strBytes.size();
    size_t i = 0;
    auto Fail = [&strError](const char* psz)
    {
        strError = psz;
        return false;
    };
    auto U16 = [p](size_t at) { return p[at] | (p[at + 1] << 8); };

    if (n < 13 || strBytes.compare(0, 3, "GIF") != 0)
        return Fail("no GIF signature");
    img.b89a = strBytes.compare(3, 3, "89a") == 0;
    img.nWidth = U16(6);
    img.nHeight = U16(8);
    const unsigned char nFlags = p[10];
    i = 13;
    std::vector<int32_t> vecGlobal;
    if (nFlags & 0x80)
    {
        size_t nColours = size_t(1) << ((nFlags & 7) + 1);
        if (i + 3 * nColours > n)
            return Fail("global colour table cut short");
        for (size_t c = 0; c < nColours; ++c, i += 3)
            vecGlobal.push_back(Rgb(p[i], p[i + 1], p[i + 2]));
    }
    img.vecPixels.assign(static_cast<size_t>(img.nWidth * img.nHeight), -1);

    int nTransparent = -1;
    while (i < n)
    {
        const unsigned char nIntro = p[i++];
        if (nIntro == 0x3B)
            return Fail("no image before the trailer");
        if (nIntro == 0x21)
        {
            if (i >= n)
                return Fail("extension cut short");
            const unsigned char nLabel = p[i++];
            bool bFirst = true;
            while (i < n && p[i] != 0)
            {
                size_t nLen = p[i];
                if (i + 1 + nLen > n)
                    return Fail("extension block cut short");
                if (nLabel == 0xF9 && bFirst && nLen >= 4 && (p[i + 1] & 1))
                    nTransparent = p[i + 4];
                bFirst = false;
                i += 1 + nLen;
            }
            ++i;
            continue;
        }
        if (nIntro != 0x2C)
            return Fail("unknown block");
        if (i + 9 > n)
            return Fail("image descriptor cut short");
        const int nLeft = U16(i), nTop = U16(i + 2), nW = U16(i + 4), nH = U16(i + 6);
        const unsigned char nImgFlags = p[i + 8];
        i += 9;
        if (nImgFlags & 0x40)
            return Fail("interlaced images are not expected");
        std::vector<int32_t> vecColours = vecGlobal;
        if (nImgFlags & 0x80)
        {
            vecColours.clear();
            size_t nColours = size_t(1) << ((nImgFlags & 7) + 1);
            if (i + 3 * nColours > n)
                return Fail("local colour table cut short");
            for (size_t c = 0; c < nColours; ++c, i += 3)
                vecColours.push_back(Rgb(p[i], p[i + 1], p[i + 2]));
        }
        if (vecColours.empty())
            return Fail("no colour table");
        if (i >= n)
            return Fail("no LZW code size");
        const int nMinCode = p[i++];
        if (nMinCode < 2 || nMinCode > 8)
            return Fail("bad LZW code size");
        std::string strData;
        while (i < n && p[i] != 0)
        {
            size_t nLen = p[i];
            if (i + 1 + nLen > n)
                return Fail("image data cut short");
            strData.append(reinterpret_cast<const char*>(p + i + 1), nLen);
            i += 1 + nLen;
        }
        if (i >= n)
            return Fail("image data has no terminator");
        ++i;
        if (i >= n || p[i] != 0x3B)
            return Fail("no trailer after the image");

        // LZW: the table holds (prefix code, last byte); first bytes are kept for speed.
        const int nClear = 1 << nMinCode, nEnd = nClear + 1;
        std::vector<int> vecPrefix(4096, -1);
        std::vector<unsigned char> vecSuffix(4096), vecFirst(4096);
        for (int c = 0; c < nClear; ++c)
        {
            vecSuffix[static_cast<size_t>(c)] = static_cast<unsigned char>(c);
            vecFirst[static_cast<size_t>(c)] = static_cast<unsigned char>(c);
        }
        int nSize = nMinCode + 1, nNext = nEnd + 1, nPrev = -1;
        size_t nBit = 0;
        std::vector<unsigned char> vecOut;
        const size_t nBits = strData.size() * 8;
        bool bEnded = false;
        while (nBit + static_cast<size_t>(nSize) <= nBits)
        {
            int nCode = 0;
            for (int b = 0; b < nSize; ++b, ++nBit)
                nCode |= ((static_cast<unsigned char>(strData[nBit / 8]) >> (nBit % 8)) & 1) << b;
            if (nCode == nClear)
            {
                nSize = nMinCode + 1;
                nNext = nEnd + 1;
                nPrev = -1;
                continue;
            }
            if (nCode == nEnd)
            {
                bEnded = true;
                break;
            }
            if (nCode > nNext || (nCode == nNext && nPrev < 0))
                return Fail("LZW code out of range");
            int nEmit = nCode;
            if (nPrev >= 0 && nNext < 4096)
            {
                vecPrefix[static_cast<size_t>(nNext)] = nPrev;
                vecFirst[static_cast<size_t>(nNext)] = vecFirst[static_cast<size_t>(nPrev)];
                vecSuffix[static_cast<size_t>(nNext)] = nCode == nNext ? vecFirst[static_cast<size_t>(nPrev)]
                                                                       : vecFirst[static_cast<size_t>(nCode)];
                ++nNext;
                if (nNext == (1 << nSize) && nSize < 12)
                    ++nSize;
            }
            std::vector<unsigned char> vecString;
            for (int c = nEmit; c >= 0; c = vecPrefix[static_cast<size_t>(c)])
                vecString.push_back(vecSuffix[static_cast<size_t>(c)]);
            vecOut.insert(vecOut.end(), vecString.rbegin(), vecString.rend());
            nPrev = nCode;
        }
        if (!bEnded)
            return Fail("no end-of-information code");
        if (vecOut.size() != static_cast<size_t>(nW * nH))
            return Fail("pixel count differs from the image size");
        for (int y = 0; y < nH; ++y)
        {
            for (int x = 0; x < nW; ++x)
            {
                int nIndex = vecOut[static_cast<size_t>(y * nW + x)];
                if (nLeft + x >= img.nWidth || nTop + y >= img.nHeight)
                    return Fail("image outside the screen");
                if (static_cast<size_t>(nIndex) >= vecColours.size())
                    return Fail("colour index outside the table");
                img.vecPixels[static_cast<size_t>((nTop + y) * img.nWidth + nLeft + x)] =
                    nIndex == nTransparent ? -1 : vecColours[static_cast<size_t>(nIndex)];
            }
        }
        return true;
    }
    return Fail("no image");
}
