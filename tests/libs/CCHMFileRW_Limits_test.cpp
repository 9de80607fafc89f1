#include "CCHMFileRW.h"
#include "CXML.h"
#include "TestUtil.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace
{
void PutU32(std::string& str, uint32_t n)
{
    for (int i = 0; i < 4; ++i)
        str += static_cast<char>(n >> (8 * i));
}

void PutU64(std::string& str, uint64_t n)
{
    PutU32(str, static_cast<uint32_t>(n));
    PutU32(str, static_cast<uint32_t>(n >> 32));
}

std::string EncInt(uint64_t n)
{
    std::string str(1, static_cast<char>(n & 0x7F));
    while ((n >>= 7) != 0)
        str.insert(str.begin(), static_cast<char>(0x80 | (n & 0x7F)));
    return str;
}

struct SStored
{
    std::string strName;
    std::string strBytes;
    uint64_t nClaimed = UINT64_MAX; ///< the length the directory gives; UINT64_MAX: the true one
};

/// A compiled file whose entries are stored uncompressed in one listing chunk, names in sorted
/// order; nChunks (when not 0) is the number of directory chunks its header claims.
std::string StoredArchive(const std::vector<SStored>& vecEntries, uint32_t nChunks = 0)
{
    constexpr uint32_t kChunk = 4096;
    std::string strChunk = "PMGL";
    PutU32(strChunk, 0);
    PutU32(strChunk, 0);
    PutU32(strChunk, 0xFFFFFFFF);
    PutU32(strChunk, 0xFFFFFFFF);
    std::string strContent;
    for (const SStored& e : vecEntries)
    {
        const uint64_t nLength = e.nClaimed != UINT64_MAX ? e.nClaimed : e.strBytes.size();
        strChunk +=
            EncInt(e.strName.size()) + e.strName + EncInt(0) + EncInt(strContent.size()) + EncInt(nLength);
        strContent += e.strBytes;
    }
    strChunk.resize(kChunk - 2, '\0');
    strChunk += static_cast<char>(vecEntries.size());
    strChunk += static_cast<char>(vecEntries.size() >> 8);

    const uint64_t nDir = 0x60 + 0x18;
    const uint64_t nContent = nDir + 0x54 + kChunk;
    std::string str = "ITSF";
    for (uint32_t n : {3u, 0x60u, 1u, 0u, 0x409u})
        PutU32(str, n);
    const unsigned char aGuids[] = {0x10, 0xFD, 0x01, 0x7C, 0xAA, 0x7B, 0xD0, 0x11, 0x9E, 0x0C, 0x00,
                                    0xA0, 0xC9, 0x22, 0xE6, 0xEC, 0x11, 0xFD, 0x01, 0x7C, 0xAA, 0x7B,
                                    0xD0, 0x11, 0x9E, 0x0C, 0x00, 0xA0, 0xC9, 0x22, 0xE6, 0xEC};
    str.append(reinterpret_cast<const char*>(aGuids), sizeof(aGuids));
    for (uint64_t n : {uint64_t(0x60), uint64_t(0x18), nDir, uint64_t(0x54 + kChunk), nContent})
        PutU64(str, n);
    PutU32(str, 0x1FE);
    PutU32(str, 0);
    PutU64(str, nContent + strContent.size());
    PutU64(str, 0);
    str += "ITSP";
    for (uint32_t n :
         {1u, 0x54u, 0x0Au, kChunk, 2u, 1u, 0xFFFFFFFFu, 0u, 0u, 0xFFFFFFFFu, nChunks ? nChunks : 1u, 0x409u})
        PutU32(str, n);
    str.append(16, '\0');
    for (uint32_t n : {0x54u, 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu})
        PutU32(str, n);
    return str + strChunk + strContent;
}

const std::string kPage = "<html><head><title>T</title></head><body>text</body></html>";
} // namespace

// A damaged directory's sizes are never believed: an entry that claims more bytes than the file
// holds is refused alone (no allocation of its claim), and a directory claiming more chunks than
// fit in the file does not open. Run under AddressSanitizer, a huge allocation would fail the test.
TEST(CCHMFileRWLimitsTest, SizesClaimedPastTheFileAreRefused)
{
    struct SCase
    {
        const char* pszName;
        std::vector<SStored> vecEntries;
        uint32_t nChunks;
        bool bOpens;
        std::vector<std::string> vecReadable; ///< the entries read whole
    };
    const SCase aCases[] = {
        {"sound", {{"/a.htm", kPage}, {"/b.htm", kPage}}, 0, true, {"a.htm", "b.htm"}},
        {"entry of 2^62 bytes",
         {{"/a.htm", kPage, uint64_t(1) << 62}, {"/b.htm", kPage}},
         0,
         true,
         {"b.htm"}},
        {"entry of 2^40 bytes and one past the end",
         {{"/a.htm", kPage, uint64_t(1) << 40}, {"/b.htm", kPage}, {"/c.htm", kPage, kPage.size() + 1}},
         0,
         true,
         {"b.htm"}},
        {"100,000 chunks of 4 KiB", {{"/a.htm", kPage}}, 100000, false, {}},
        {"4 billion chunks", {{"/a.htm", kPage}}, 0xFFFFFFFF, false, {}},
    };
    for (const SCase& c : aCases)
    {
        SCOPED_TRACE(c.pszName);
        CTempDir temp;
        ASSERT_TRUE(WriteFileBytes(temp / "in.chm", StoredArchive(c.vecEntries, c.nChunks)));
        CCHMFileRW reader;
        EXPECT_EQ(reader.CHM_SetCHMFile(temp / "in.chm"), c.bOpens);
        std::vector<std::string> vecReadable;
        for (const SStored& e : c.vecEntries)
        {
            std::string strBytes;
            if (reader.CHM_ReadStream(e.strName, strBytes))
            {
                vecReadable.push_back(e.strName.substr(1));
                EXPECT_EQ(strBytes, e.strBytes);
            }
        }
        EXPECT_EQ(vecReadable, c.vecReadable);
        reader.CHM2Web_Decompile(temp / "out");
        for (const std::string& strName : c.vecReadable)
            EXPECT_EQ(ReadFileBytes(temp / ("out/" + strName)), kPage);
    }
}
