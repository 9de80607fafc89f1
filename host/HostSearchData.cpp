#include "HostCommands.h"

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
    bool bOptionsEnded = false;
    bool bOutputGiven = false;
    for (size_t i = 0; i < vecArgs.size(); ++i)
    {
        const std::string& strArg = vecArgs[i];
        if (bOptionsEnded || strArg.empty() || strArg[0] != '-' || strArg == "-")
        {
            opt.vecFiles.push_back(strArg);
            continue;
        }
        if (strArg == "--")
        {
            bOptionsEnded = true;
            continue;
        }
        if (strArg == "-q" || strArg == "--quiet")
        {
            opt.bQuiet = true;
            continue;
        }
        if (strArg != "-o" && strArg != "--output" && strArg != "--charset" && strArg != "--source-dir")
        {
            strError = "unknown option '" + strArg + "' for searchdata";
            return false;
        }
        if (i + 1 >= vecArgs.size())
        {
            strError = "option '" + strArg + "' needs a value";
            return false;
        }
        const std::string& strValue = vecArgs[++i];
        if (strArg == "--charset")
        {
            opt.nCharset = ParseCharsetRow(strValue);
            if (opt.nCharset < 0)
            {
                strError =
                    "unknown charset '" + strValue + "' (a name such as utf-8 or gb2312, or a row 0-43)";
                return false;
            }
        }
        else if (strArg == "--source-dir")
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

    // Find out now, not after the harvest, whether the output can be written.
    if (std::FILE* pProbe = std::fopen(opt.strOutput.c_str(), "ab"))
        std::fclose(pProbe);
    else
    {
        std::fprintf(stderr, "webhelp: cannot write '%s'\n", opt.strOutput.c_str());
        return kExitFailed;
    }

    for (const std::string& strFile : opt.vecFiles)
    {
        if (!IsReadableFile(strFile))
            std::fprintf(stderr, "webhelp: warning: cannot read '%s'; it is listed without keywords\n",
                         strFile.c_str());
    }

    CWebHelpHelper helper;
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
