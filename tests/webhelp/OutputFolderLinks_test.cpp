#include "TestUtil.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace
{
/// Converts the fixture from the folder strCurrent into strSite (relative to it, or absolute).
SCommandResult ConvertInto(const std::string& strCurrent, const std::string& strSite)
{
    return RunCommand("cd " + ShellQuote(strCurrent) + " && " + ShellQuote(HostProgram()) + " convert " +
                      ShellQuote(ChmFixture("lettercase", "case")) + " -o " + ShellQuote(strSite) +
                      " --quiet");
}
} // namespace

// The fixture unpacks folders, adds names in other letter cases (hard links) and unpacks a merged
// file, so every kind of write meets a link in one row or another.
TEST(OutputFolderLinksTest, NoWriteFollowsALinkInTheOutputFolder)
{
    CTempDir reference;
    ASSERT_EQ(ConvertInto(reference.Path(), reference / "site").nExit, 0);
    const std::map<std::string, std::string> mapSite = ListTree(reference / "site");
    ASSERT_GT(mapSite.size(), 80u);

    struct SCase
    {
        const char* pszName;
        std::vector<SPlant> vecPlants;
        bool bRelative = false; ///< the output folder named relative to the current folder
    };
    const SCase aCases[] = {
        {"linked topic folder", {{"source", EPlant::kFolderLink}}},
        {"linked sub-folder", {{"source/Images", EPlant::kFolderLink}}},
        {"linked topic and sub-folders, relative output folder",
         {{"source/Images", EPlant::kFolderLink}, {"source/merge/part/Art", EPlant::kFolderLink}},
         true},
        {"linked folder of names in another case", {{"source/images", EPlant::kFolderLink}}},
        {"linked folder of a merged file", {{"source/merge/part/Art", EPlant::kFolderLink}}},
        {"linked data folder", {{"whfiles", EPlant::kFolderLink}}},
        {"linked topic file", {{"source/Pages/Topic.htm", EPlant::kFileLink}}},
        {"linked name in another case", {{"source/coUA.css", EPlant::kFileLink}}},
        {"linked template image", {{"whfiles/wh_home.gif", EPlant::kFileLink}}},
        {"linked data script", {{"whfiles/searchdata.js", EPlant::kFileLink}}},
        {"dangling link at index.html", {{"index.html", EPlant::kDanglingLink}}},
        {"dangling links at a topic and a page",
         {{"source/a.htm", EPlant::kDanglingLink}, {"whheaderc.html", EPlant::kDanglingLink}}},
        {"hard links at a runtime file and a topic",
         {{"whfiles/whtree.js", EPlant::kHardLink}, {"source/Images/back.gif", EPlant::kHardLink}}},
        {"an output folder that is itself a link, with a link inside",
         {{"", EPlant::kFolderLink}, {"source/Images", EPlant::kFolderLink}}},
    };
    for (const SCase& c : aCases)
    {
        SCOPED_TRACE(c.pszName);
        CTempDir dir;
        const std::string strSite = dir / "site";
        ASSERT_TRUE(PlantLinks(dir.Path(), strSite, c.vecPlants));
        const std::map<std::string, std::string> mapOutside = ListTree(dir / "outside");

        const SCommandResult res = ConvertInto(dir.Path(), c.bRelative ? "site" : strSite);
        ASSERT_EQ(res.nExit, 0) << res.strOutput;
        EXPECT_EQ(ListTree(dir / "outside"), mapOutside);
        // Links are listed as links: the site matches a clean one only when each was replaced.
        EXPECT_EQ(ListTree(strSite), mapSite);
        if (*c.vecPlants.front().pszPath == '\0')
        {
            EXPECT_TRUE(fs::is_symlink(strSite));
        }
    }
}
