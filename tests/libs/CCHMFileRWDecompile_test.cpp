#include "CCHMFileRW.h"
#include "CHMUnpackQueue.h"
#include "CWorkCount.h"
#include "TestUtil.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace
{
const std::string kSources = std::string(WEBHELP_FIXTURES_DIR) + "/reader/";

struct SMode
{
    const char* pszName;
    bool bOverlapped;
    bool bHand;  ///< each file's bytes handed over as well
    bool bPages; ///< only those of the pages
};
const SMode kModes[] = {{"two threads", true, false, false},
                        {"one thread", false, false, false},
                        {"handing over", false, true, false},
                        {"handing over pages", false, true, true}};
const char* const kPages[] = {"index.htm", "topics/sub/b.htm"};

/// Unpacks as mode says, keeping what is handed over: bytes, and whether they were read whole.
int Decompile(CCHMFileRW& reader, const std::string& strOut, const SMode& mode,
              std::vector<std::pair<std::string, bool>>& vecHanded)
{
    reader.CHM_SetUnpackOverlapped(mode.bOverlapped);
    if (!mode.bHand)
        return reader.CHM2Web_Decompile(strOut);
    std::vector<size_t> vecPages;
    for (const char* pszPage : kPages)
        vecPages.push_back(reader.CHM_FindEntry(pszPage).value_or(SIZE_MAX));
    return reader.CHM2Web_Decompile(
        strOut, nullptr,
        [&](size_t, std::string& strBytes, bool bRead)
        { vecHanded.emplace_back(std::move(strBytes), bRead); },
        [&](size_t nEntry)
        { return !mode.bPages || std::find(vecPages.begin(), vecPages.end(), nEntry) != vecPages.end(); });
}
} // namespace

TEST(CCHMFileRWDecompileTest, OneThreadWritesWhatTwoThreadsWriteAndCountsEveryFile)
{
    CTempDir temp;
    std::vector<std::string> vecWritten[std::size(kModes)];
    for (size_t i = 0; i < std::size(kModes); ++i)
    {
        SCOPED_TRACE(kModes[i].pszName);
        CCHMFileRW reader;
        ASSERT_TRUE(reader.CHM_SetCHMFile(ChmFixture("reader", "full")));
        SWorkCount count;
        reader.CHM_SetUnpackCount(&count);
        const std::string strOut = temp / kModes[i].pszName;
        std::vector<std::pair<std::string, bool>> vecHanded;
        ASSERT_EQ(Decompile(reader, strOut, kModes[i], vecHanded), 1);
        vecWritten[i] = ListFiles(strOut);
        EXPECT_EQ(count.nDone.load(), static_cast<int>(vecWritten[i].size()));
        EXPECT_EQ(count.nTotal.load(), count.nDone.load());
        for (const char* pszFile : {"index.htm", "topics/sub/b.htm", "images/allbytes.bin", "empty.txt"})
            EXPECT_EQ(ReadFileBytes(strOut + "/" + pszFile), ReadFileBytes(kSources + pszFile)) << pszFile;
        if (!kModes[i].bHand)
            continue;
        // Every file written and wanted is handed over once, whole, with the bytes it was written with.
        std::vector<std::pair<std::string, bool>> vecFiles;
        for (const std::string& strFile : vecWritten[i])
        {
            if (!kModes[i].bPages ||
                std::find(std::begin(kPages), std::end(kPages), strFile) != std::end(kPages))
                vecFiles.emplace_back(ReadFileBytes(strOut + "/" + strFile), true);
        }
        EXPECT_EQ(vecFiles.size(), kModes[i].bPages ? std::size(kPages) : vecWritten[i].size());
        std::sort(vecFiles.begin(), vecFiles.end());
        std::sort(vecHanded.begin(), vecHanded.end());
        EXPECT_EQ(vecHanded, vecFiles);
    }
    EXPECT_FALSE(vecWritten[0].empty());
    for (size_t i = 1; i < std::size(kModes); ++i)
        EXPECT_EQ(vecWritten[i], vecWritten[0]);
}

TEST(CCHMFileRWDecompileTest, AQueueWhoseTakerGaveUpNeverHoldsTheAdderBack)
{
    // Room for one batch: the adder waits at the second until the taker gives up.
    CBatchQueue<std::string> queue(size_t(1) << 10, size_t(1) << 10);
    std::thread adder(
        [&]
        {
            for (int i = 0; i < 64; ++i)
                queue.Add(std::string(size_t(1) << 10, 'x'), size_t(1) << 10);
            queue.Flush(true);
        });
    std::vector<std::string> vecBatch;
    ASSERT_TRUE(queue.Take(vecBatch));
    EXPECT_EQ(vecBatch.size(), 1u);
    queue.Abandon();
    adder.join();
    EXPECT_FALSE(queue.Take(vecBatch));
}

TEST(CCHMFileRWDecompileTest, RaisedStopFlagWritesNoFileAndReportsNotAllWritten)
{
    CTempDir temp;
    for (const SMode& mode : kModes)
    {
        SCOPED_TRACE(mode.pszName);
        CCHMFileRW reader;
        ASSERT_TRUE(reader.CHM_SetCHMFile(ChmFixture("reader", "full")));
        std::atomic<bool> bStop{true};
        reader.CHM_SetUnpackStopFlag(&bStop);
        const std::string strOut = temp / mode.pszName;
        std::vector<std::pair<std::string, bool>> vecHanded;
        EXPECT_EQ(Decompile(reader, strOut, mode, vecHanded), 0);
        EXPECT_TRUE(vecHanded.empty());
        EXPECT_TRUE(ListFiles(strOut).empty());
        std::string strPath;
        int nErrno = 0;
        EXPECT_FALSE(reader.CHM_GetWriteFailure(strPath, nErrno)) << strPath;
    }
}
