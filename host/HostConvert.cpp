#include "HostCommands.h"

#include "CCHMFileRW.h"
#include "CPath.h"
#include "CStrHelper.h"
#include "CWebHelpHelper.h"
#include "HostOptions.h"
#include "WebHelpDefaults.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <strings.h>
#include <system_error>
#include <unistd.h>

namespace
{
bool g_bQuiet = false;
bool g_bLineOpen = false;

void PrintProgress(const std::string& strText)
{
    if (g_bQuiet)
        return;
    // The pipeline ends its lines with "\r\n"; a terminal wants "\n".
    if (strText == "\r\n")
    {
        std::fputc('\n', stdout);
        g_bLineOpen = false;
    }
    else
    {
        std::fputs(strText.c_str(), stdout);
        g_bLineOpen = !strText.empty();
    }
    std::fflush(stdout);
}

/// One line for the user: the step that failed, and the file with the system's reason.
std::string DescribeFailure(const tagConvertResult& result)
{
    std::string strStep = CStrHelper::ML_GetStringEx(result.nFailedStep);
    while (!strStep.empty() && (strStep.back() == ' ' || strStep.back() == '.'))
        strStep.pop_back();
    std::string str = strStep.empty() ? "step " + std::to_string(result.nFailedStep) : strStep;
    if (!result.strFile.empty())
        str += ": '" + result.strFile + "': " + result.strReason;
    return str;
}
} // namespace

int RunConvert(const std::vector<std::string>& vecArgs)
{
    SConvertOptions opt;
    std::string strError;
    if (!ParseConvertOptions(vecArgs, opt, strError))
        return UsageError(strError + " (try webhelp --help)");

    CPath input(opt.strInput);
    if (!input.ExistFile())
    {
        if (input.ExistDir())
            return UsageError("'" + opt.strInput + "' is a folder, not a compiled help file");
        return UsageError("'" + opt.strInput + "' does not exist");
    }
    CCHMFileRW probe;
    if (!probe.CHM_SetCHMFile(opt.strInput))
        return UsageError("'" + opt.strInput + "' is not a compiled help (.chm) file, or it is damaged");
    const std::vector<std::string> vecUnsafe = probe.CHM_GetUnsafeEntryNames();
    probe.CHM_CloseCHMFile();

    tagWebHelpSettings s = WebHelp_DefaultSettings();
    if (!WebHelp_SettingsFromCHMFile(opt.strInput, s))
        return UsageError("'" + opt.strInput + "' is not a compiled help (.chm) file, or it is damaged");
    if (opt.nCharset >= 0)
        s.nCharset = opt.nCharset;
    if (opt.nTemplate >= 0)
        s.nTemplate = opt.nTemplate;
    for (auto [pOption, pField] : {std::pair{&opt.strTxtContents, &s.strTxtContents},
                                   {&opt.strTxtIndex, &s.strTxtIndex},
                                   {&opt.strTxtSearch, &s.strTxtSearch},
                                   {&opt.strTipHome, &s.strTipHome},
                                   {&opt.strTipPrev, &s.strTipPrev},
                                   {&opt.strTipNext, &s.strTipNext},
                                   {&opt.strTipPrint, &s.strTipPrint},
                                   {&opt.strHomePage, &s.strHomePage},
                                   {&opt.strSourceDir, &s.strSourceDir},
                                   {&opt.strTitle, &s.strTitle},
                                   {&opt.strOutputDir, &s.strWebHelpDir}})
    {
        if (*pOption)
            *pField = **pOption;
    }
    s.bShowIndex = opt.bShowIndex;
    s.bShowSearch = opt.bShowSearch;
    s.bShowHome = opt.bShowHome;
    s.bShowPrint = opt.bShowPrint;
    s.bShowPrev = opt.bShowPrev;
    s.bShowNext = opt.bShowNext;
    while (s.strWebHelpDir.size() > 1 && s.strWebHelpDir.back() == '/')
        s.strWebHelpDir.pop_back();

    // Refused before the conversion starts, so nothing is read from a file that has nowhere to go.
    std::error_code ec;
    std::filesystem::create_directories(s.strWebHelpDir, ec);
    if (ec || access(s.strWebHelpDir.c_str(), W_OK | X_OK) != 0)
    {
        std::fprintf(stderr, "webhelp: cannot write to the output folder '%s': %s\n", s.strWebHelpDir.c_str(),
                     (ec ? ec : std::error_code(errno, std::generic_category())).message().c_str());
        return kExitFailed;
    }
    for (const std::string& strName : vecUnsafe)
        std::fprintf(stderr, "webhelp: not unpacked: the entry '%s' would land outside the output folder\n",
                     strName.c_str());

    g_bQuiet = opt.bQuiet;
    CWebHelpHelper helper;
    const tagConvertResult result = helper.Convert(s, PrintProgress);
    if (g_bLineOpen && !g_bQuiet)
        std::fputc('\n', stdout);
    if (!result.bSucceeded)
    {
        std::fprintf(stderr, "webhelp: the conversion of '%s' failed: %s\n", opt.strInput.c_str(),
                     DescribeFailure(result).c_str());
        return kExitFailed;
    }
    if (!g_bQuiet && result.nCaseNames > 0)
        std::printf("Added %d names in the letter case that pages use\n",
                    static_cast<int>(result.nCaseNames));
    if (!g_bQuiet)
        std::printf("WebHelp site written to %s/index.html\n", s.strWebHelpDir.c_str());
    return kExitOk;
}
