#include "CCHMFileRW.h"
#include "CXML.h"
#include "TestUtil.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace
{
// Enough names to fill several listing chunks (chmcmd then sets the first listing chunk to 1)
// and enough text for many LZX reset intervals.
constexpr int kPages = 1200;

std::string PageName(int n)
{
    char sz[64];
    std::snprintf(sz, sizeof(sz), "pages/page_with_a_rather_long_name_%04d.htm", n);
    return sz;
}

/// A help project of generated pages, compiled once for the whole suite.
class CCHMFileRWLargeTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_pProject = std::make_unique<CTempDir>();
        s_vecPages.clear();
        std::mt19937 rng(42);
        const char* const apszWords[] = {"alpha",  "beta", "gamma",  "delta", "lorem", "ipsum",
                                         "dolor",  "sit",  "amet",   "help",  "topic", "index",
                                         "search", "page", "window", "frame"};
        std::string strProject =
            "[OPTIONS]\r\nCompiled file=large.chm\r\nTitle=Large\r\nDefault topic=" + PageName(0) +
            "\r\n\r\n[FILES]\r\n";
        for (int n = 0; n < kPages; ++n)
        {
            std::string strPage =
                "<html><head><title>Page " + std::to_string(n) + "</title></head><body>\r\n";
            // A few pages of megabytes: unpacking passes them on in several pieces, and together
            // they hold more than is ever kept waiting to be written.
            const size_t nSize = n % 500 == 100 ? (size_t(7) << 19) : 600 + rng() % 3000;
            while (strPage.size() < nSize)
                strPage += std::string(apszWords[rng() % 16]) + std::to_string(rng() % 1000) + " ";
            strPage += "\r\n</body></html>\r\n";
            ASSERT_TRUE(WriteFileBytes(*s_pProject / PageName(n), strPage));
            s_vecPages.push_back(strPage);
            strProject += PageName(n) + "\r\n";
        }
        ASSERT_TRUE(WriteFileBytes(*s_pProject / "large.hhp", strProject));
        const SCommandResult result = RunCommand("cd " + ShellQuote(s_pProject->Path()) +
                                                 " && chmcmd --no-html-scan --verbosity 0 large.hhp");
        ASSERT_EQ(result.nExit, 0) << result.strOutput;
    }

    static void TearDownTestSuite() { s_pProject.reset(); }

    void SetUp() override
    {
        ASSERT_TRUE(FileExists(ChmPath()));
        ASSERT_TRUE(m_reader.CHM_SetCHMFile(ChmPath()));
    }

    static std::string ChmPath() { return *s_pProject / "large.chm"; }

    static std::unique_ptr<CTempDir> s_pProject;
    static std::vector<std::string> s_vecPages;
    CCHMFileRW m_reader;
    CTempDir m_out;
};

std::unique_ptr<CTempDir> CCHMFileRWLargeTest::s_pProject;
std::vector<std::string> CCHMFileRWLargeTest::s_vecPages;

uint32_t GetU32(const std::string& str, size_t nPos)
{
    uint32_t n = 0;
    for (int i = 3; i >= 0; --i)
        n = n << 8 | static_cast<unsigned char>(str[nPos + static_cast<size_t>(i)]);
    return n;
}
} // namespace

TEST_F(CCHMFileRWLargeTest, EveryEntryListedWhenTheFirstListingChunkIsNotZero)
{
    const std::string strChm = ReadFileBytes(ChmPath());
    const size_t nDirectory = GetU32(strChm, 0x48);
    ASSERT_EQ(strChm.compare(nDirectory, 4, "ITSP"), 0);
    // The file shows the quirk the reader works around; otherwise this test proves nothing.
    ASSERT_NE(GetU32(strChm, nDirectory + 0x20), 0u);

    CXML root;
    ASSERT_NE(m_reader.CHM_ReadAllStorageInfoToXML(&root), 0);
    const CXML* pFolder = nullptr;
    for (int i = 0; i < root.GetChildCount(); ++i)
    {
        if (root.GetChildAt(i)->GetAttr("Local") == "/pages/")
            pFolder = root.GetChildAt(i);
    }
    ASSERT_NE(pFolder, nullptr);
    ASSERT_EQ(pFolder->GetChildCount(), kPages);
    for (int n = 0; n < kPages; ++n)
        EXPECT_EQ(pFolder->GetChildAt(n)->GetAttr("Local"), "/" + PageName(n));
}

TEST_F(CCHMFileRWLargeTest, ReadsInAnyOrderGiveTheSources)
{
    std::vector<int> vecOrder(kPages);
    for (int n = 0; n < kPages; ++n)
        vecOrder[static_cast<size_t>(n)] = n;
    // Forwards, in the order of the content, then backwards, then shuffled: the decompressor goes
    // on from where it stands, has to restart and to skip ahead.
    std::vector<int> vecBackwards(vecOrder.rbegin(), vecOrder.rend());
    std::vector<int> vecShuffled = vecOrder;
    std::shuffle(vecShuffled.begin(), vecShuffled.end(), std::mt19937(3));
    vecOrder.insert(vecOrder.end(), vecBackwards.begin(), vecBackwards.end());
    vecOrder.insert(vecOrder.end(), vecShuffled.begin(), vecShuffled.end());
    int nWrong = 0;
    for (int n : vecOrder)
    {
        std::string strPath = PageName(n);
        std::replace(strPath.begin(), strPath.end(), '/', '\\');
        unsigned char* pBuf = nullptr;
        const int64_t nLength = m_reader.CHM_GetStream(strPath, &pBuf, 1);
        const std::string& strSource = s_vecPages[static_cast<size_t>(n)];
        if (nLength != static_cast<int64_t>(strSource.size()) || pBuf == nullptr ||
            std::string(reinterpret_cast<const char*>(pBuf), strSource.size()) != strSource)
            ++nWrong;
        std::free(pBuf);
    }
    EXPECT_EQ(nWrong, 0);
}

TEST_F(CCHMFileRWLargeTest, DecompileGivesTheSources)
{
    ASSERT_EQ(m_reader.CHM2Web_Decompile(m_out.Path()), 1);
    int nWrong = 0;
    for (int n = 0; n < kPages; ++n)
    {
        if (ReadFileBytes(m_out / PageName(n)) != s_vecPages[static_cast<size_t>(n)])
            ++nWrong;
    }
    EXPECT_EQ(nWrong, 0);
    EXPECT_EQ(ListFiles(m_out.Path()).size(), static_cast<size_t>(kPages) + 1); // and chmcmd's readme
}
