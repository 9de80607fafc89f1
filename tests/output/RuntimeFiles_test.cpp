#include "OutputTestUtil.h"

#include "CFileManip.h"
#include "CXResource.h"
#include "HostCommands.h"

#include <set>

namespace
{
const std::string kRuntimeDir = std::string(WEBHELP_SOURCE_DIR) + "/output/runtime/";
const std::string kIconDir = std::string(WEBHELP_SOURCE_DIR) + "/host/icons/";

const char* const g_apszRuntimeFiles[] = {"whcontents.js", "whindex.js", "whsearch.js",   "whtree.js",
                                          "whhelper.js",   "index.js",   "whdefault.css", "whheader.css"};

class CRuntimeFilesTest : public COutputTest
{
protected:
    CRuntimeFilesTest() { InitHost(); }
    std::string FilesDir() const { return m_strOut + "/whfiles"; }
    /// Names of the files in whfiles, the placeholder of the fixture left out.
    std::set<std::string> Written() const
    {
        std::set<std::string> setNames;
        for (const std::string& strName : ListFiles(FilesDir()))
        {
            if (strName != ".keep")
                setNames.insert(strName);
        }
        return setNames;
    }
    std::string Icon(int nNumber) const
    {
        return ReadFileBytes(kIconDir + "chm_icon" + std::to_string(nNumber) + ".gif");
    }
};
} // namespace

TEST_F(CRuntimeFilesTest, RuntimeFilesAndTreeImagesAreTheModulesOwn)
{
    g_WebHelpSettings.bShowIndex = g_WebHelpSettings.bShowSearch = 0;
    m_helper.CHM2Web_WriteWHFiles(FilesDir());
    std::set<std::string> setExpected;
    for (const char* pszName : g_apszRuntimeFiles)
    {
        SCOPED_TRACE(pszName);
        setExpected.insert(pszName);
        EXPECT_EQ(Out(std::string("whfiles/") + pszName), ReadFileBytes(kRuntimeDir + pszName));
    }
    for (int i = 0; i <= 10; ++i)
    {
        const std::string strName = "wh_" + std::to_string(i) + ".gif";
        SCOPED_TRACE(strName);
        setExpected.insert(strName);
        const std::string strBytes = Out("whfiles/" + strName);
        EXPECT_FALSE(strBytes.empty());
        EXPECT_EQ(strBytes, ReadFileBytes(kRuntimeDir + strName));
    }
    EXPECT_EQ(Written(), setExpected);
}

TEST_F(CRuntimeFilesTest, RuntimeFilesComeFromTheModuleNotTheHost)
{
    EXPECT_NE(CXResource::Find("WHHELPER_JS", "WHFILES", m_helper.GetDLLModuleHandle()), nullptr);
    EXPECT_NE(CXResource::Find("WH_GIF_10", "GIF", m_helper.GetDLLModuleHandle()), nullptr);
    EXPECT_EQ(CXResource::Find("WH_GIF_11", "GIF", m_helper.GetDLLModuleHandle()), nullptr);
    EXPECT_EQ(CXResource::Find("WHHELPER_JS", "GIF", m_helper.GetDLLModuleHandle()), nullptr);
    EXPECT_EQ(CXResource::Find("WHHELPER_JS", "WHFILES", nullptr), nullptr);
    EXPECT_EQ(CXResource::Find("CHM_ICON1", "GIF", m_helper.GetDLLModuleHandle()), nullptr);
    EXPECT_NE(CXResource::Find("CHM_ICON1", "GIF", nullptr), nullptr);
}

TEST_F(CRuntimeFilesTest, SecondRunReplacesEveryRuntimeFile)
{
    for (const char* pszName : g_apszRuntimeFiles)
        WriteFileBytes(FilesDir() + "/" + pszName, std::string(100000, 'x'));
    WriteFileBytes(FilesDir() + "/wh_3.gif", "stale");
    m_helper.CHM2Web_WriteWHFiles(FilesDir());
    for (const char* pszName : g_apszRuntimeFiles)
        EXPECT_EQ(Out(std::string("whfiles/") + pszName), ReadFileBytes(kRuntimeDir + pszName)) << pszName;
    EXPECT_EQ(Out("whfiles/wh_3.gif"), ReadFileBytes(kRuntimeDir + "wh_3.gif"));
}

TEST_F(CRuntimeFilesTest, ContentsIconsOfTheNumbersInUseAndTheirPartners)
{
    struct SCase
    {
        const char* pszName;
        std::set<uint16_t> setUsed;
        std::set<std::string> setFiles;
    };
    const SCase aCases[] = {
        {"nothing used", {}, {}},
        {"pages only", {10}, {"11.gif"}},
        {"closed book brings the open one", {0}, {"1.gif", "2.gif"}},
        {"open member brings the closed one", {3}, {"3.gif", "4.gif"}},
        {"last pair", {6}, {"7.gif", "8.gif"}},
        {"numbers from 8 up stand alone", {8, 9, 41}, {"9.gif", "10.gif", "42.gif"}},
        {"mixed", {0, 5, 10, 21}, {"1.gif", "2.gif", "5.gif", "6.gif", "11.gif", "22.gif"}},
    };
    for (const SCase& c : aCases)
    {
        SCOPED_TRACE(c.pszName);
        CTempDir dir;
        m_helper.m_mapContentsImages = c.setUsed;
        m_helper.CHM2Web_CreateContentsImages(dir.Path());
        std::vector<std::string> vecFiles = ListFiles(dir.Path());
        EXPECT_EQ(std::set<std::string>(vecFiles.begin(), vecFiles.end()), c.setFiles);
        for (const std::string& strName : c.setFiles)
            EXPECT_EQ(ReadFileBytes(dir / strName), Icon(std::stoi(strName))) << strName;
    }
}

TEST_F(CRuntimeFilesTest, IconWithoutAPictureIsLeftOut)
{
    m_helper.m_mapContentsImages = {10, 500, 65535};
    m_helper.CHM2Web_CreateContentsImages(FilesDir());
    EXPECT_EQ(Written(), std::set<std::string>{"11.gif"});
}

TEST_F(CRuntimeFilesTest, TemplateImagesAreCopiedOverContentsIcons)
{
    Template("3.gif", "set's own 3");
    Template("wh_home.gif", "home");
    Template("wht_sync.gif", "sync");
    Template("wh_extra.gif", "not in the list");
    m_helper.m_mapContentsImages = {2, 10};
    m_helper.CHM2Web_CreateContentsImages(FilesDir());
    WriteFileBytes(FilesDir() + "/wh_home.gif", "older home");
    m_helper.CHM2Web_CopyWHTemplatesImages(FilesDir());
    EXPECT_EQ(Written(), (std::set<std::string>{"3.gif", "4.gif", "11.gif", "wh_home.gif", "wht_sync.gif"}));
    EXPECT_EQ(Out("whfiles/3.gif"), "set's own 3");
    EXPECT_EQ(Out("whfiles/4.gif"), Icon(4));
    EXPECT_EQ(Out("whfiles/wh_home.gif"), "home");
    EXPECT_EQ(Out("whfiles/wht_sync.gif"), "sync");
}

TEST_F(CRuntimeFilesTest, EveryListedTemplateImageIsCopied)
{
    for (const std::string& strName : CWebHelpHelper::m_strCopyTemplatesImages)
        Template(strName, "img " + strName, "xpgreen");
    g_WebHelpSettings.nTemplate = 3;
    m_helper.CHM2Web_CopyWHTemplatesImages(FilesDir());
    EXPECT_EQ(Written().size(), 17u);
    for (const std::string& strName : CWebHelpHelper::m_strCopyTemplatesImages)
        EXPECT_EQ(Out("whfiles/" + strName), "img " + strName);
}

TEST(CFileManipTest, CopyReplacesWithoutAsking)
{
    CTempDir dir;
    WriteFileBytes(dir / "a", "new bytes");
    WriteFileBytes(dir / "b", std::string(10000, 'o'));
    EXPECT_TRUE(CFileManip::Copy(dir / "a", dir / "b", 0x210));
    EXPECT_EQ(ReadFileBytes(dir / "b"), "new bytes");
    EXPECT_TRUE(CFileManip::Copy(dir / "a", dir / "sub/folder/c", 0x210));
    EXPECT_EQ(ReadFileBytes(dir / "sub/folder/c"), "new bytes");
    EXPECT_EQ(ListFiles(dir.Path()), (std::vector<std::string>{"a", "b", "sub/folder/c"}));
}

TEST(CFileManipTest, FailedCopyLeavesTheDestination)
{
    CTempDir dir;
    WriteFileBytes(dir / "b", "kept");
    EXPECT_FALSE(CFileManip::Copy(dir / "missing", dir / "b", 0x210));
    WriteFileBytes(dir / "folder/x", "");
    EXPECT_FALSE(CFileManip::Copy(dir / "folder", dir / "b", 0x210));
    EXPECT_EQ(ReadFileBytes(dir / "b"), "kept");
    EXPECT_EQ(ListFiles(dir.Path()), (std::vector<std::string>{"b", "folder/x"}));
}
