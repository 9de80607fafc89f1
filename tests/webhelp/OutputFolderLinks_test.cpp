#include "TestUtil.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace
{
/// Every entry below strDir (links not followed) by relative path: "dir", "link to …" or the bytes.
std::map<std::string, std::string> Tree(const std::string& strDir)
{
    std::map<std::string, std::string> mapTree;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(strDir, ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec))
    {
        const std::string strPath = fs::relative(it->path(), strDir, ec).generic_string();
        if (it->is_symlink(ec))
            mapTree[strPath] = "link to " + fs::read_symlink(it->path(), ec).string();
        else if (it->is_directory(ec))
            mapTree[strPath] = "dir";
        else
            mapTree[strPath] = ReadFileBytes(it->path().string());
    }
    return mapTree;
}

enum class EPlant
{
    kFolderLink,   ///< a link to the outside folder
    kFileLink,     ///< a link to the outside file
    kDanglingLink, ///< a link to a name outside that does not exist
    kHardLink,     ///< another name of the outside file
};

struct SPlant
{
    const char* pszPath; ///< in the output folder; "" for the output folder itself
    EPlant ePlant;
};

/// Makes an outside folder with a file in it, and strSite's planted entries (with plain folders
/// on the way), each leading out.
void Plant(const CTempDir& dir, const std::string& strSite, const std::vector<SPlant>& vecPlants)
{
    ASSERT_TRUE(WriteFileBytes(dir / "outside/folder/kept.htm", "outside page"));
    ASSERT_TRUE(WriteFileBytes(dir / "outside/file.htm", "outside file"));
    fs::create_directories(strSite);
    for (const SPlant& plant : vecPlants)
    {
        const fs::path path = *plant.pszPath == '\0' ? fs::path(strSite) : fs::path(strSite) / plant.pszPath;
        if (*plant.pszPath == '\0')
        {
            fs::remove(path);
            fs::create_directories(dir / "real");
            fs::create_directory_symlink(dir / "real", path);
            continue;
        }
        fs::create_directories(path.parent_path());
        switch (plant.ePlant)
        {
        case EPlant::kFolderLink:
            fs::create_directory_symlink(dir / "outside/folder", path);
            break;
        case EPlant::kFileLink:
            fs::create_symlink(dir / "outside/file.htm", path);
            break;
        case EPlant::kDanglingLink:
            fs::create_symlink(dir / "outside/made.htm", path);
            break;
        case EPlant::kHardLink:
            fs::create_hard_link(dir / "outside/file.htm", path);
            break;
        }
    }
}

SCommandResult ConvertInto(const std::string& strSite)
{
    return RunCommand(ShellQuote(HostProgram()) + " convert " + ShellQuote(ChmFixture("lettercase", "case")) +
                      " -o " + ShellQuote(strSite) + " --quiet");
}
} // namespace

// The fixture unpacks folders, adds names in other letter cases (hard links) and unpacks a merged
// file, so every kind of write meets a link in one row or another.
TEST(OutputFolderLinksTest, NoWriteFollowsALinkInTheOutputFolder)
{
    CTempDir reference;
    ASSERT_EQ(ConvertInto(reference / "site").nExit, 0);
    const std::map<std::string, std::string> mapSite = Tree(reference / "site");
    ASSERT_GT(mapSite.size(), 80u);

    struct SCase
    {
        const char* pszName;
        std::vector<SPlant> vecPlants;
    };
    const SCase aCases[] = {
        {"linked topic folder", {{"source", EPlant::kFolderLink}}},
        {"linked sub-folder", {{"source/Images", EPlant::kFolderLink}}},
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
        Plant(dir, strSite, c.vecPlants);
        const std::map<std::string, std::string> mapOutside = Tree(dir / "outside");

        const SCommandResult res = ConvertInto(strSite);
        ASSERT_EQ(res.nExit, 0) << res.strOutput;
        EXPECT_EQ(Tree(dir / "outside"), mapOutside);
        // Links are listed as links: the site matches a clean one only when each was replaced.
        EXPECT_EQ(Tree(strSite), mapSite);
        if (*c.vecPlants.front().pszPath == '\0')
        {
            EXPECT_TRUE(fs::is_symlink(strSite));
        }
    }
}
