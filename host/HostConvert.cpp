#include "HostCommands.h"

#include "CCHMFileRW.h"
#include "CPath.h"
#include "CWebHelpHelper.h"
#include "HostBatch.h"
#include "HostOptions.h"
#include "HostProgress.h"
#include "WebHelpDefaults.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <strings.h>
#include <system_error>
#include <unistd.h>

namespace
{
/// One line for the user: the step that failed, and the file with the system's reason.
std::string DescribeFailure(const tagConvertResult& result)
{
    const std::string strStep = Progress_StepName(result.nFailedStep);
    std::string str = strStep.empty() ? "step " + std::to_string(result.nFailedStep) : strStep;
    if (!result.strFile.empty())
        str += ": '" + result.strFile + "': " + result.strReason;
    return str;
}

/// Converts strInput into strOutputDir with opt's settings, telling view about job nJob; the exit code.
int ConvertOne(const SConvertOptions& opt, const std::string& strInput, const std::string& strOutputDir,
               CProgressView& view, size_t nJob)
{
    auto Error = [&](const std::string& strMessage, int nExit)
    {
        view.Job_Error(nJob, "webhelp: " + strMessage);
        return nExit;
    };
    CPath input(strInput);
    if (!input.ExistFile())
    {
        if (input.ExistDir())
            return Error("'" + strInput + "' is a folder, not a compiled help file", kExitUsage);
        return Error("'" + strInput + "' does not exist", kExitUsage);
    }
    CCHMFileRW probe;
    if (!probe.CHM_SetCHMFile(strInput))
        return Error("'" + strInput + "' is not a compiled help (.chm) file, or it is damaged", kExitUsage);
    const std::vector<std::string> vecUnsafe = probe.CHM_GetUnsafeEntryNames();
    tagWebHelpSettings s = WebHelp_DefaultSettings();
    WebHelp_SettingsFromReader(probe, strInput, s);
    probe.CHM_CloseCHMFile();
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
                                   {&opt.strTitle, &s.strTitle}})
    {
        if (*pOption)
            *pField = **pOption;
    }
    s.strWebHelpDir = strOutputDir;
    s.bShowIndex = opt.bShowIndex;
    s.bShowSearch = opt.bShowSearch;
    s.bShowHome = opt.bShowHome;
    s.bShowPrint = opt.bShowPrint;
    s.bShowPrev = opt.bShowPrev;
    s.bShowNext = opt.bShowNext;

    // Refused before the conversion starts, so nothing is read from a file that has nowhere to go.
    std::error_code ec;
    std::filesystem::create_directories(s.strWebHelpDir, ec);
    if (ec || access(s.strWebHelpDir.c_str(), W_OK | X_OK) != 0)
    {
        return Error("cannot write to the output folder '" + s.strWebHelpDir +
                         "': " + (ec ? ec : std::error_code(errno, std::generic_category())).message(),
                     kExitFailed);
    }
    for (const std::string& strName : vecUnsafe)
        Error("not unpacked: the entry '" + strName + "' would land outside the output folder", kExitOk);

    CWebHelpHelper helper;
    view.Job_Watch(nJob, &helper);
    const tagConvertResult result =
        helper.Convert(s, [&view, nJob](const std::string& strText) { view.Job_Text(nJob, strText); });
    view.Job_Watch(nJob, nullptr);
    if (!result.bSucceeded)
        return Error("the conversion of '" + strInput + "' failed: " + DescribeFailure(result), kExitFailed);
    if (result.nCaseNames > 0)
        view.Job_Line(nJob, "Added " + std::to_string(result.nCaseNames) +
                                " names in the letter case that pages use");
    view.Job_Line(nJob, "WebHelp site written to " + s.strWebHelpDir + "/index.html");
    return kExitOk;
}
} // namespace

int RunConvert(const std::vector<std::string>& vecArgs)
{
    SConvertOptions opt;
    std::string strError;
    if (!ParseConvertOptions(vecArgs, opt, strError))
        return UsageError(strError + " (try webhelp --help)");

    const std::vector<std::string> vecOutputDirs = Batch_OutputDirs(opt.vecInputs, opt.strOutputDir);
    CProgressView view(CProgressView::ModeForOutput(opt.bQuiet), opt.vecInputs, stdout, stderr);
    std::vector<int> vecExit(opt.vecInputs.size(), kExitOk);
    Batch_Run(
        opt.vecInputs.size(), opt.nJobs > 0 ? opt.nJobs : Batch_DefaultJobs(),
        [&](size_t nJob)
        {
            view.Job_Begin(nJob);
            vecExit[nJob] = ConvertOne(opt, opt.vecInputs[nJob], vecOutputDirs[nJob], view, nJob);
            view.Job_End(nJob, vecExit[nJob] == kExitOk);
        },
        [&](bool bDone) { view.Redraw(bDone); });
    view.Summary();

    // One input keeps the status of its own failure; in a batch, any failure is a failed batch.
    if (vecExit.size() == 1)
        return vecExit[0];
    for (int nExit : vecExit)
    {
        if (nExit != kExitOk)
            return kExitFailed;
    }
    return kExitOk;
}
