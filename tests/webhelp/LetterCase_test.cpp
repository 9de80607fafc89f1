#include "TestUtil.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <set>
#include <string>
#include <vector>

namespace
{
/// The files that addresses below the topic folder in a data script lead to.
std::vector<std::string> SourceAddresses(const std::string& strScript)
{
    std::vector<std::string> vecFound;
    const std::regex re("\"(source/[^\"]*)");
    for (auto it = std::sregex_iterator(strScript.begin(), strScript.end(), re); it != std::sregex_iterator();
         ++it)
        vecFound.push_back(AddressFile((*it)[1]));
    return vecFound;
}

/// The references a browser loads or follows from a page or style sheet.
std::vector<std::string> References(const std::string& strText)
{
    std::vector<std::string> vecFound;
    static const std::regex re(
        R"re((?:href|src|background)\s*=\s*"([^"]*)"|url\(\s*(?:&quot;|["'])?([^"')&]+))re",
        std::regex::icase);
    for (auto it = std::sregex_iterator(strText.begin(), strText.end(), re); it != std::sregex_iterator();
         ++it)
        vecFound.push_back((*it)[1].matched ? (*it)[1].str() : (*it)[2].str());
    return vecFound;
}
} // namespace

// The fixture's sitemaps and pages name its files in other cases (folders too), in the main file
// and in a merged one; a.htm and A.htm are two files; three references lead out of the archive.
TEST(LetterCaseTest, EveryAddressAndReferenceOfTheSiteExistsUnderExactlyItsName)
{
    CTempDir dir;
    for (const char* pszCharset : {"windows-1252", "utf-8", "gb2312"})
    {
        SCOPED_TRACE(pszCharset);
        const std::string strSite = dir / pszCharset;
        const SCommandResult res = RunCommand(ShellQuote(HostProgram()) + " convert " +
                                              ShellQuote(ChmFixture("lettercase", "case")) + " -o " +
                                              ShellQuote(strSite) + " --charset " + pszCharset);
        ASSERT_EQ(res.nExit, 0) << res.strOutput;
        EXPECT_NE(res.strOutput.find("Added 13 names in the letter case that pages use"), std::string::npos)
            << res.strOutput;

        const std::string strContents = ReadFileBytes(strSite + "/whfiles/contentsdata.js");
        const std::string strIndex = ReadFileBytes(strSite + "/whfiles/indexdata.js");
        EXPECT_NE(strContents.find("\"source/Pages/Topic.htm#second\""), std::string::npos);
        EXPECT_NE(strIndex.find("\"source/Pages/Topic.htm?view=1\""), std::string::npos);
        EXPECT_NE(strIndex.find("\"source/merge/part/Docs/Page.htm\""), std::string::npos);
        for (const char* pszScript : {"contentsdata.js", "indexdata.js", "searchdata.js"})
        {
            for (const std::string& strAddress :
                 SourceAddresses(ReadFileBytes(strSite + "/whfiles/" + pszScript)))
                EXPECT_TRUE(FileExists(strSite + "/" + strAddress)) << pszScript << ": " << strAddress;
        }

        std::set<std::string> setOutside;
        for (const std::string& strFile : ListFiles(strSite + "/source"))
        {
            const std::filesystem::path path(strFile);
            const std::string strExt = path.extension().string();
            if (strExt != ".htm" && strExt != ".HTM" && strExt != ".css" && strExt != ".CSS")
                continue;
            const std::filesystem::path root = strFile.rfind("merge/part/", 0) == 0 ? "merge/part" : "";
            for (const std::string& strRef : References(ReadFileBytes(strSite + "/source/" + strFile)))
            {
                if (strRef.find(':') != std::string::npos)
                    continue;
                const std::string strTarget = (path.parent_path() / strRef.substr(0, strRef.find('#')))
                                                  .lexically_normal()
                                                  .generic_string();
                const bool bLeavesMerged =
                    !root.empty() &&
                    std::filesystem::path(strTarget).lexically_relative(root).generic_string().rfind("..",
                                                                                                     0) == 0;
                if (strRef[0] == '/' || strTarget.rfind("..", 0) == 0 || bLeavesMerged)
                    setOutside.insert(std::filesystem::path(strRef).filename().string());
                else
                    EXPECT_TRUE(FileExists(strSite + "/source/" + strTarget)) << strFile << ": " << strRef;
            }
        }
        EXPECT_EQ(setOutside, (std::set<std::string>{"Abs.htm", "Outside.htm"}));
        EXPECT_EQ(ReadFileBytes(strSite + "/source/a.htm"),
                  ReadFileBytes(WEBHELP_FIXTURES_DIR "/lettercase/a.htm"));
        EXPECT_EQ(ReadFileBytes(strSite + "/source/A.htm"),
                  ReadFileBytes(WEBHELP_FIXTURES_DIR "/lettercase/A.htm"));
    }
    for (const std::string& strFile : ListFiles(dir.Path()))
    {
        const std::string strName = std::filesystem::path(strFile).filename().string();
        EXPECT_TRUE(strName != "Abs.htm" && strName != "Outside.htm") << strFile;
    }
}
