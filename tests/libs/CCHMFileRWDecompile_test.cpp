#include "CCHMFileRW.h"
#include "CWorkCount.h"
#include "TestUtil.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <vector>

namespace
{
const std::string kSources = std::string(WEBHELP_FIXTURES_DIR) + "/reader/";

struct SMode
{
    const char* pszName;
    bool bOverlapped;
};
const SMode kModes[] = {{"two threads", true}, {"one thread", false}};
} // namespace

TEST(CCHMFileRWDecompileTest, OneThreadWritesWhatTwoThreadsWriteAndCountsEveryFile)
{
    CTempDir temp;
    std::vector<std::string> vecWritten[2];
    for (size_t i = 0; i < std::size(kModes); ++i)
    {
        SCOPED_TRACE(kModes[i].pszName);
        CCHMFileRW reader;
        ASSERT_TRUE(reader.CHM_SetCHMFile(ChmFixture("reader", "full")));
        SWorkCount count;
        reader.CHM_SetUnpackCount(&count);
        reader.CHM_SetUnpackOverlapped(kModes[i].bOverlapped);
        const std::string strOut = temp / kModes[i].pszName;
        ASSERT_EQ(reader.CHM2Web_Decompile(strOut), 1);
        vecWritten[i] = ListFiles(strOut);
        EXPECT_EQ(count.nDone.load(), static_cast<int>(vecWritten[i].size()));
        EXPECT_EQ(count.nTotal.load(), count.nDone.load());
        for (const char* pszFile : {"index.htm", "topics/sub/b.htm", "images/allbytes.bin", "empty.txt"})
            EXPECT_EQ(ReadFileBytes(strOut + "/" + pszFile), ReadFileBytes(kSources + pszFile)) << pszFile;
    }
    EXPECT_FALSE(vecWritten[0].empty());
    EXPECT_EQ(vecWritten[0], vecWritten[1]);
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
        reader.CHM_SetUnpackOverlapped(mode.bOverlapped);
        const std::string strOut = temp / mode.pszName;
        EXPECT_EQ(reader.CHM2Web_Decompile(strOut), 0);
        EXPECT_TRUE(ListFiles(strOut).empty());
        std::string strPath;
        int nErrno = 0;
        EXPECT_FALSE(reader.CHM_GetWriteFailure(strPath, nErrno)) << strPath;
    }
}
