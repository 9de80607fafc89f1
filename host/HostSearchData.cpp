#include "HostCommands.h"

#include "COutputFolder.h"
#include "CPath.h"
#include "CWebHelpHelper.h"
#include "HostOptions.h"

#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
// Loose HTML files today are nearly always UTF-8, and a UTF-8 site can show every language.
const char* const kDefaultCharset = "utf-8";

struct SSearchDataOptions
{
    std::string strOutput;
    int nCharset = -1;
    std::string strSourceDir = "source";
    bool bQuiet = false;
    std::vector<std::string> vecFiles;
};

bool ParseSearchDataOptions(const std::vector<std::string>& vecArgs, SSearchDataOptions& opt,
                            std::string& strError)
{
    bool bOutputGiven = false;
    CArgWalker args(vecArgs);
    std::string strWord;
    bool bOperand = false;
    while (args.Next(strWord, bOperand))
    {
        if (bOperand)
        {
            opt.vecFiles.push_back(strWord);
            continue;
        }
        if (!args.HasJoinedValue() && (strWord == "-q" || strWord == "--quiet"))
        {
            opt.bQuiet = true;
            continue;
        }
        if (strWord != "-o" && strWord != "--output" && strWord != "--charset" && strWord != "--source-dir")
        {
            strError = "unknown option '" + args.Word() + "' for searchdata";
            return false;
        }
        std::string strValue;
        if (!args.Value(strValue, strError))
            return false;
        if (strWord == "--charset")
        {
            if (!ParseCharsetOption(strValue, opt.nCharset, strError))
                return false;
        }
        else if (strWord == "--source-dir")
            opt.strSourceDir = strValue;
        else
        {
            opt.strOutput = strValue;
            bOutputGiven = true;
        }
    }
    if (!bOutputGiven || opt.strOutput.empty())
    {
        strError = "searchdata needs the output file: -o OUT.js";
        return false;
    }
    if (opt.vecFiles.empty())
    {
        strError = "searchdata needs at least one HTML file";
        return false;
    }
    return true;
}

bool IsReadableFile(const std::string& strPath)
{
    struct stat st
    {
    };
    return stat(strPath.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(strPath.c_str(), R_OK) == 0;
}
} // namespace

int RunSearchData(const std::vector<std::string>& vecArgs)
{
    SSearchDataOptions opt;
    std::string strError;
    if (!ParseSearchDataOptions(vecArgs, opt, strError))
        return UsageError(strError + " (try webhelp --help)");
    if (CPath(opt.strOutput).ExistDir())
        return UsageError("'" + opt.strOutput + "' is a folder; -o names the file to write");

    // A relative path is below the current folder, which is then the output folder: no link on the
    // way is followed. Whether the file can be made is found out now, not after the harvest.
    CWebHelpHelper helper;
    {
        COutputFolder folder;
        COutputFile probe;
        if (!helper.OpenOutputFolder(".") || !folder.Open(".") || !probe.Open(folder, opt.strOutput))
        {
            std::fprintf(stderr, "webhelp: cannot write '%s'\n", opt.strOutput.c_str());
            return kExitFailed;
        }
    }

    for (const std::string& strFile : opt.vecFiles)
    {
        if (!IsReadableFile(strFile))
            std::fprintf(stderr, "webhelp: warning: cannot read '%s'; it is listed without keywords\n",
                         strFile.c_str());
    }

    helper.InitWebHelpSettings();
    g_WebHelpSettings.nCharset = opt.nCharset >= 0 ? opt.nCharset : ParseCharsetRow(kDefaultCharset);
    helper.m_strSourceDir = opt.strSourceDir;
    helper.ReadSearchDataFromFiles(&opt.vecFiles);
    helper.WriteSearchDataToFile(opt.strOutput);

    struct stat st
    {
    };
    if (stat(opt.strOutput.c_str(), &st) != 0 || st.st_size == 0)
    {
        std::fprintf(stderr, "webhelp: could not write '%s'\n", opt.strOutput.c_str());
        return kExitFailed;
    }
    if (!opt.bQuiet)
        std::printf("%d pages, %zu keywords written to %s\n", helper.m_nSearchFileCount,
                    helper.m_mapSearchKeywords.size(), opt.strOutput.c_str());
    return kExitOk;
}
