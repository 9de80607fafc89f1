#include "CCHMFileRW.h"
#include "CRunEnv.h"
#include "CXML.h"
#include "TestUtil.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

namespace
{
const std::string kSources = std::string(WEBHELP_FIXTURES_DIR) + "/reader/";

/// The fixture files compiled into full.chm, as written in its project.
const char* const kFullFiles[] = {"index.htm",
                                  "topics/a.htm",
                                  "topics/sub/b.htm",
                                  "Topics2/MixedCase.HTM",
                                  "images/allbytes.bin",
                                  "empty.txt",
                                  "sub/part.hhc",
                                  "full.hhc",
                                  "full.hhk"};

struct SStorageEntry
{
    int nDepth;
    int nType;
    std::string strLocal;
    bool operator==(const SStorageEntry&) const = default;
};

void FlattenStorage(CXML* pNode, int nDepth, std::vector<SStorageEntry>& vecOut)
{
    for (int i = 0; i < pNode->GetChildCount(); ++i)
    {
        CXML* pChild = pNode->GetChildAt(i);
        vecOut.push_back({nDepth, pChild->GetAttrInt("Type"), pChild->GetAttr("Local")});
        FlattenStorage(pChild, nDepth + 1, vecOut);
    }
}

/// The "value" of the first param named strName below pNode, in document order.
std::string ParamValue(const CXML* pNode, const std::string& strName)
{
    for (int i = 0; i < pNode->GetChildCount(); ++i)
    {
        const CXML* pChild = pNode->GetChildAt(i);
        if (pChild->GetTagName() == "PARAM" && pChild->GetAttr("name") == strName)
            return pChild->GetAttr("value");
        std::string str = ParamValue(pChild, strName);
        if (!str.empty())
            return str;
    }
    return std::string();
}

/// CHM_GetStream's result as bytes; the trailing zero byte is checked and dropped.
struct SStream
{
    int64_t nLength = -1;
    bool bBuffer = false;
    bool bZeroAfter = false;
    std::string strBytes;
};

SStream GetStream(CCHMFileRW& reader, const std::string& strPath)
{
    SStream s;
    unsigned char* pBuf = reinterpret_cast<unsigned char*>(&s); // must be overwritten
    s.nLength = reader.CHM_GetStream(strPath, &pBuf, 1);
    s.bBuffer = pBuf != nullptr;
    if (pBuf != nullptr && s.nLength >= 0)
    {
        s.strBytes.assign(reinterpret_cast<const char*>(pBuf), static_cast<size_t>(s.nLength));
        s.bZeroAfter = pBuf[s.nLength] == 0;
    }
    std::free(pBuf);
    return s;
}

class CCHMFileRWTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_reader.CHM_SetCHMFile(ChmFixture("reader", "full"))); }

    CCHMFileRW m_reader;
    CTempDir m_temp;
};
} // namespace

TEST_F(CCHMFileRWTest, SystemRecordOfTheFile)
{
    EXPECT_TRUE(m_reader.CHM_IsOpen());
    const CCHMSystemInfo& info = m_reader.CHM_GetSystemInfo();
    EXPECT_EQ(info.strTitle, "Reader full");
    EXPECT_EQ(info.nLCID, 0x0804u);
    EXPECT_EQ(info.strContentsFile, "full.hhc");
    EXPECT_EQ(info.strIndexFile, "full.hhk");
    EXPECT_EQ(info.strDefaultTopic, "index.htm");
}

TEST_F(CCHMFileRWTest, ContentsSitemapAsElementTree)
{
    CXML root;
    ASSERT_NE(m_reader.CHM2Web_ReadHHCInfoToXML(&root, std::string()), 0);
    ASSERT_EQ(root.GetChildCount(), 1);
    const CXML* pHtml = root.GetChildByTagName("HTML");
    ASSERT_NE(pHtml, nullptr);
    const CXML* pBody = pHtml->GetChildByTagName("BODY");
    ASSERT_NE(pBody, nullptr);
    const CXML* pProps = pBody->GetChildByTagName("OBJECT");
    ASSERT_NE(pProps, nullptr);
    EXPECT_EQ(pProps->GetAttr("type"), "text/site properties");
    const CXML* pList = pBody->GetChildByTagName("UL");
    ASSERT_NE(pList, nullptr);
    ASSERT_EQ(pList->GetChildCount(), 2);
    const CXML* pFirst = pList->GetChildAt(0);
    EXPECT_EQ(pFirst->GetTagName(), "LI");
    EXPECT_EQ(ParamValue(pFirst, "Name"), "Start &amp; &#20013;");
    const CXML* pNested = pFirst->GetChildByTagName("UL");
    ASSERT_NE(pNested, nullptr);
    EXPECT_EQ(pNested->GetChildCount(), 2);
    EXPECT_EQ(ParamValue(pNested->GetChildAt(1), "Local"), "topics/sub/b.htm");
    EXPECT_EQ(ParamValue(pList->GetChildAt(1), "Local"), "Topics2/MixedCase.HTM");
}

TEST_F(CCHMFileRWTest, IndexSitemapAsElementTree)
{
    CXML root;
    ASSERT_NE(m_reader.CHM2Web_ReadHHKInfoToXML(&root), 0);
    EXPECT_FALSE(m_reader.CHM_SitemapMissing());
    EXPECT_EQ(ParamValue(&root, "Name"), "alpha");
}

TEST_F(CCHMFileRWTest, SitemapOfAMergedFileByItsPath)
{
    for (const char* pszPath :
         {"sub\\part.hhc", "\\sub\\part.hhc", "/sub/part.hhc", "sub/part.hhc", "SUB\\Part.HHC"})
    {
        SCOPED_TRACE(pszPath);
        CXML root;
        ASSERT_NE(m_reader.CHM2Web_ReadHHCInfoToXML(&root, pszPath), 0);
        EXPECT_EQ(ParamValue(&root, "Name"), "Part entry");
    }
    CXML root;
    EXPECT_EQ(m_reader.CHM2Web_ReadHHCInfoToXML(&root, "sub\\none.hhc"), 0);
    EXPECT_TRUE(m_reader.CHM_SitemapMissing());
    EXPECT_EQ(root.GetChildCount(), 0);
}

TEST(CCHMFileRWSitemapTest, FileWithoutIndexSitemapSaysItIsMissing)
{
    CCHMFileRW reader;
    ASSERT_TRUE(reader.CHM_SetCHMFile(ChmFixture("reader", "noindex")));
    EXPECT_TRUE(reader.CHM_GetSystemInfo().strIndexFile.empty());
    CXML index;
    EXPECT_EQ(reader.CHM2Web_ReadHHKInfoToXML(&index), 0);
    EXPECT_TRUE(reader.CHM_SitemapMissing());
    CXML contents;
    EXPECT_NE(reader.CHM2Web_ReadHHCInfoToXML(&contents, std::string()), 0);
    EXPECT_FALSE(reader.CHM_SitemapMissing());
}

TEST(CCHMFileRWSitemapTest, ReadsFailWithoutAnOpenFile)
{
    CCHMFileRW reader;
    CXML root;
    EXPECT_EQ(reader.CHM2Web_ReadHHCInfoToXML(&root, std::string()), 0);
    EXPECT_FALSE(reader.CHM_SitemapMissing());
    EXPECT_EQ(reader.CHM2Web_ReadHHKInfoToXML(&root), 0);
    EXPECT_FALSE(reader.CHM_SitemapMissing());
    EXPECT_EQ(reader.CHM_ReadAllStorageInfoToXML(&root), 0);
    EXPECT_EQ(root.GetChildCount(), 0);
    EXPECT_EQ(reader.CHM_GetStream("index.htm", nullptr, 1), -1);
    unsigned char* pBuf = nullptr;
    EXPECT_EQ(reader.CHM_GetStream("index.htm", &pBuf, 1), -1);
    EXPECT_EQ(pBuf, nullptr);
}

TEST(CCHMFileRWSitemapTest, SitemapBytesOfOtherCodePagesArriveUnchanged)
{
    CCHMFileRW reader;
    ASSERT_TRUE(reader.CHM_SetCHMFile(ChmFixture("reader", "cjk")));
    CXML contents;
    ASSERT_NE(reader.CHM2Web_ReadHHCInfoToXML(&contents, std::string()), 0);
    // "中文标题 — 《目录》" in GBK.
    EXPECT_EQ(ParamValue(&contents, "Name"),
              "\xD6\xD0\xCE\xC4\xB1\xEA\xCC\xE2 \xA1\xAA \xA1\xB6\xC4\xBF\xC2\xBC\xA1\xB7");
    CXML index;
    ASSERT_NE(reader.CHM2Web_ReadHHKInfoToXML(&index), 0);
    EXPECT_EQ(ParamValue(&index, "Name"), "Caf\xE9 \xE0 la cr\xE8me \xBF\xFF");
}

TEST_F(CCHMFileRWTest, StorageTreeListsUserFilesNestedByFolder)
{
    CXML root;
    root.SetTagName("CHMInfo");
    ASSERT_NE(m_reader.CHM_ReadAllStorageInfoToXML(&root), 0);
    std::vector<SStorageEntry> vecEntries;
    FlattenStorage(&root, 0, vecEntries);
    // Archive directory order, which sorts names without regard to case.
    const std::vector<SStorageEntry> vecExpected = {
        {0, 3, "/_#_README_#_"},     {0, 3, "/empty.txt"},    {0, 3, "/full.hhc"},
        {0, 3, "/full.hhk"},         {0, 0, "/images/"},      {1, 3, "/images/allbytes.bin"},
        {0, 3, "/index.htm"},        {0, 0, "/sub/"},         {1, 3, "/sub/part.hhc"},
        {0, 0, "/topics/"},          {1, 3, "/topics/a.htm"}, {1, 0, "/topics/sub/"},
        {2, 3, "/topics/sub/b.htm"}, {0, 0, "/Topics2/"},     {1, 3, "/Topics2/MixedCase.HTM"},
    };
    EXPECT_EQ(vecEntries, vecExpected);
}

TEST_F(CCHMFileRWTest, StreamsHoldTheContentAndAZeroByte)
{
    struct SCase
    {
        const char* pszPath;
        const char* pszSource;
    };
    const SCase aCases[] = {
        {"index.htm", "index.htm"},
        {"topics\\sub\\b.htm", "topics/sub/b.htm"},
        {"topics/sub/b.htm", "topics/sub/b.htm"},
        {"\\topics\\a.htm", "topics/a.htm"},
        {"TOPICS\\SUB\\B.HTM", "topics/sub/b.htm"},
        {"topics2\\mixedcase.htm", "Topics2/MixedCase.HTM"},
        {"Topics2\\MixedCase.HTM", "Topics2/MixedCase.HTM"},
        {"images\\allbytes.bin", "images/allbytes.bin"},
        {"empty.txt", "empty.txt"},
    };
    for (const SCase& c : aCases)
    {
        SCOPED_TRACE(c.pszPath);
        const std::string strSource = ReadFileBytes(kSources + c.pszSource);
        const SStream s = GetStream(m_reader, c.pszPath);
        EXPECT_EQ(s.nLength, static_cast<int64_t>(strSource.size()));
        EXPECT_TRUE(s.bBuffer);
        EXPECT_TRUE(s.bZeroAfter);
        EXPECT_EQ(s.strBytes, strSource);
    }
}

TEST_F(CCHMFileRWTest, MissingStreamsGiveNoBuffer)
{
    for (const char* pszPath : {"nothere.htm", "", "topics", "topics\\", "topics\\a.htm\\x", "..\\index.htm"})
    {
        SCOPED_TRACE(pszPath);
        const SStream s = GetStream(m_reader, pszPath);
        EXPECT_EQ(s.nLength, -1);
        EXPECT_FALSE(s.bBuffer);
        std::string strOut = "stale";
        EXPECT_FALSE(m_reader.CHM_ReadStream(pszPath, strOut));
        EXPECT_EQ(strOut, "");
    }
}

TEST_F(CCHMFileRWTest, ReadStreamGivesWhatGetStreamGives)
{
    for (const char* pszPath : {"index.htm", "TOPICS\\SUB\\B.HTM", "topics2\\mixedcase.htm",
                                "images\\allbytes.bin", "empty.txt", "full.hhk"})
    {
        SCOPED_TRACE(pszPath);
        const SStream s = GetStream(m_reader, pszPath);
        std::string strOut = "stale";
        EXPECT_TRUE(m_reader.CHM_ReadStream(pszPath, strOut));
        EXPECT_EQ(strOut, s.strBytes);
    }
}

TEST_F(CCHMFileRWTest, EveryStoragePageIsReadableUnderItsPath)
{
    CXML root;
    ASSERT_NE(m_reader.CHM_ReadAllStorageInfoToXML(&root), 0);
    std::vector<SStorageEntry> vecEntries;
    FlattenStorage(&root, 0, vecEntries);
    ASSERT_EQ(m_reader.CHM2Web_Decompile(m_temp.Path()), 1);
    for (const SStorageEntry& entry : vecEntries)
    {
        if (entry.nType != 3)
            continue;
        SCOPED_TRACE(entry.strLocal);
        std::string strPath = entry.strLocal.substr(1);
        for (char& c : strPath)
            c = c == '/' ? '\\' : c;
        const SStream s = GetStream(m_reader, strPath);
        EXPECT_GE(s.nLength, 0);
        EXPECT_EQ(s.strBytes, ReadFileBytes(m_temp.Path() + entry.strLocal));
    }
}

// The lookup keys are made by the first lookup: threads that look names up together from the
// start find what one thread finds.
TEST_F(CCHMFileRWTest, EveryStoragePageIsFoundAlikeByThreadsThatLookFirstTogether)
{
    CXML root;
    ASSERT_NE(m_reader.CHM_ReadAllStorageInfoToXML(&root), 0);
    std::vector<SStorageEntry> vecEntries;
    FlattenStorage(&root, 0, vecEntries);
    std::vector<std::string> vecNames;
    for (const SStorageEntry& entry : vecEntries)
    {
        const std::string strPath = entry.strLocal.substr(1);
        std::string strUpper = strPath;
        for (char& c : strUpper)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        vecNames.insert(vecNames.end(), {strPath, strUpper, "./" + strPath, strPath + ".missing"});
    }
    std::vector<std::string> vecExpected;
    for (const std::string& strName : vecNames)
        vecExpected.push_back(m_reader.CHM_FindEntryName(strName));

    CCHMFileRW fresh;
    ASSERT_TRUE(fresh.CHM_SetCHMFile(ChmFixture("reader", "full")));
    std::vector<std::vector<std::string>> vecFound(4);
    std::vector<std::thread> vecThreads;
    for (size_t t = 0; t < vecFound.size(); ++t)
        vecThreads.emplace_back(
            [&, t]
            {
                for (size_t i = 0; i < vecNames.size(); ++i)
                    vecFound[t].push_back(fresh.CHM_FindEntryName(vecNames[(i + t * 7) % vecNames.size()]));
                std::rotate(vecFound[t].begin(),
                            vecFound[t].end() - static_cast<long>((t * 7) % vecNames.size()),
                            vecFound[t].end());
            });
    for (std::thread& thread : vecThreads)
        thread.join();
    for (const std::vector<std::string>& vec : vecFound)
        EXPECT_EQ(vec, vecExpected);
}

TEST_F(CCHMFileRWTest, DecompileWritesTheSourcesByteForByte)
{
    const std::string strOut = m_temp / "out";
    ASSERT_EQ(m_reader.CHM2Web_Decompile(strOut), 1);
    std::vector<std::string> vecExpected(std::begin(kFullFiles), std::end(kFullFiles));
    vecExpected.push_back("_#_README_#_");
    std::sort(vecExpected.begin(), vecExpected.end());
    EXPECT_EQ(ListFiles(strOut), vecExpected);
    for (const char* pszFile : kFullFiles)
    {
        SCOPED_TRACE(pszFile);
        EXPECT_TRUE(FileExists(strOut + "/" + pszFile));
        EXPECT_EQ(ReadFileBytes(strOut + "/" + pszFile), ReadFileBytes(kSources + pszFile));
    }
}

TEST_F(CCHMFileRWTest, DecompileRaisesTheLongFileNameFlagOnlyForLongPaths)
{
    CRunEnv::Instance().SetFoundLongFilename(0);
    ASSERT_EQ(m_reader.CHM2Web_Decompile(m_temp / "short"), 1);
    EXPECT_EQ(CRunEnv::Instance().GetFoundLongFilename(), 0);

    std::string strDeep = m_temp.Path();
    while (strDeep.size() < 260 - std::string("/topics/sub/b.htm").size())
        strDeep += "/deeper";
    ASSERT_EQ(m_reader.CHM2Web_Decompile(strDeep), 1);
    EXPECT_EQ(CRunEnv::Instance().GetFoundLongFilename(), 1);
    CRunEnv::Instance().SetFoundLongFilename(0);
}

TEST_F(CCHMFileRWTest, ClosingAndReopening)
{
    m_reader.CHM_CloseCHMFile();
    EXPECT_FALSE(m_reader.CHM_IsOpen());
    EXPECT_TRUE(m_reader.CHM_GetSystemInfo().strTitle.empty());
    EXPECT_EQ(GetStream(m_reader, "index.htm").nLength, -1);
    m_reader.CHM_CloseCHMFile();

    ASSERT_TRUE(m_reader.CHM_SetCHMFile(ChmFixture("reader", "noindex")));
    EXPECT_EQ(m_reader.CHM_GetSystemInfo().strTitle, "Reader noindex");
    ASSERT_TRUE(m_reader.CHM_SetCHMFile(ChmFixture("reader", "full")));
    EXPECT_EQ(m_reader.CHM_GetSystemInfo().strTitle, "Reader full");
    EXPECT_EQ(GetStream(m_reader, "topics\\a.htm").strBytes, ReadFileBytes(kSources + "topics/a.htm"));
}

TEST(CCHMFileRWLookupTest, ExactSpellingFirstElseTheFirstEntryOfTheSameLetters)
{
    CCHMFileRW reader;
    ASSERT_TRUE(reader.CHM_SetCHMFile(ChmFixture("lettercase", "case")));
    // a.htm and A.htm are two entries; a spelling of neither finds the one the directory lists first.
    CXML storage;
    ASSERT_NE(reader.CHM_ReadAllStorageInfoToXML(&storage), 0);
    std::string strFirst;
    for (int i = 0; i < storage.GetChildCount() && strFirst.empty(); ++i)
    {
        const std::string strLocal = storage.GetChildAt(i)->GetAttr("Local");
        if (strLocal == "/a.htm" || strLocal == "/A.htm")
            strFirst = strLocal.substr(1);
    }
    ASSERT_FALSE(strFirst.empty());
    struct SCase
    {
        std::string strPath;
        std::string strSource;
    };
    const SCase aCases[] = {
        {"a.htm", "a.htm"},
        {"A.htm", "A.htm"},
        {"\\a.htm", "a.htm"},
        {"/A.htm", "A.htm"},
        {"A.HTM", strFirst},
        {"\\a.HTM", strFirst},
        {"Pages\\Topic.htm", "Pages/Topic.htm"},
        {"pages/topic.HTM", "Pages/Topic.htm"},
        {"PAGES\\TOPIC.HTM", "Pages/Topic.htm"},
        {"images/LOGO.gif", "Images/logo.gif"},
    };
    for (const SCase& c : aCases)
    {
        SCOPED_TRACE(c.strPath);
        const SStream s = GetStream(reader, c.strPath);
        EXPECT_EQ(s.strBytes,
                  ReadFileBytes(std::string(WEBHELP_FIXTURES_DIR) + "/lettercase/" + c.strSource));
    }
    for (const char* pszPath : {"b.htm", "Pages", "Pages\\Topic.htm\\x", "a.htm.bak"})
    {
        SCOPED_TRACE(pszPath);
        EXPECT_EQ(GetStream(reader, pszPath).nLength, -1);
    }
}
