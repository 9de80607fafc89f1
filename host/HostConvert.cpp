#include "HostCommands.h"

#include "CCHMFileRW.h"
#include "CCodePage.h"
#include "CPath.h"
#include "CStrHelper.h"
#include "CWebHelpHelper.h"
#include "HostOptions.h"
#include "WebHelpLanguage.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <strings.h>
#include <system_error>
#include <unistd.h>

namespace
{
bool g_bQuiet = false;
bool g_bFailed = false;
bool g_bLineOpen = false;

void PrintProgress(const std::string& strText)
{
    if (strText == CStrHelper::ML_GetStringEx(676))
        g_bFailed = true;
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

struct SCaptions
{
    const char* pszContents;
    const char* pszIndex;
    const char* pszSearch;
    const char* pszHome;
    const char* pszPrev;
    const char* pszNext;
    const char* pszPrint;
};

const SCaptions kEnglish = {"Contents", "Index", "Search", "Home", "Previous", "Next", "Print"};
const SCaptions kSimplifiedChinese = {"\u76EE\u5F55", "\u7D22\u5F15",       "\u641C\u7D22",
                                      "\u4E3B\u9875", "\u4E0A\u4E00\u6B65", "\u4E0B\u4E00\u6B65",
                                      "\u6253\u5370"};
const SCaptions kTraditionalChinese = {"\u76EE\u9304", "\u7D22\u5F15",       "\u641C\u5C0B",
                                       "\u9996\u9801", "\u4E0A\u4E00\u6B65", "\u4E0B\u4E00\u6B65",
                                       "\u5217\u5370"};

const SCaptions& CaptionsOfLCID(uint32_t nLCID)
{
    const uint32_t nLang = nLCID & 0xFFFF;
    if ((nLang & 0x3FF) != 0x04)
        return kEnglish;
    return (nLang == 0x0404 || nLang == 0x0C04 || nLang == 0x1404) ? kTraditionalChinese : kSimplifiedChinese;
}

/// Bytes in the code page of charset row nRow to UTF-8.
std::string ToUTF8(const std::string& strBytes, int nRow)
{
    CCodePage cpFrom(nRow);
    if (cpFrom.IsUTF8())
        return strBytes;
    CCodePage cpUTF8(31);
    return cpUTF8.FromWide(cpFrom.ToWide(strBytes));
}

std::string DefaultOutputDir(const std::string& strInput)
{
    CPath path(strInput);
    std::string strDir = path.GetLocation();
    return strDir + path.GetFileTitle() + "_WebHelp";
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
    const CCHMSystemInfo info = probe.CHM_GetSystemInfo();
    const std::vector<std::string> vecUnsafe = probe.CHM_GetUnsafeEntryNames();
    probe.CHM_CloseCHMFile();

    CWebHelpHelper helper;
    helper.InitWebHelpSettings();
    tagWebHelpSettings& s = g_WebHelpSettings;

    const int nFileRow = WebHelpCharsetRowOfLCID(info.nLCID);
    s.nCharset = opt.nCharset >= 0 ? opt.nCharset : nFileRow;
    if (opt.nTemplate >= 0)
        s.nTemplate = opt.nTemplate;

    const SCaptions& cap = CaptionsOfLCID(info.nLCID);
    s.strTxtContents = opt.strTxtContents.value_or(cap.pszContents);
    s.strTxtIndex = opt.strTxtIndex.value_or(cap.pszIndex);
    s.strTxtSearch = opt.strTxtSearch.value_or(cap.pszSearch);
    s.strTipHome = opt.strTipHome.value_or(cap.pszHome);
    s.strTipPrev = opt.strTipPrev.value_or(cap.pszPrev);
    s.strTipNext = opt.strTipNext.value_or(cap.pszNext);
    s.strTipPrint = opt.strTipPrint.value_or(cap.pszPrint);
    if (opt.strHomePage)
        s.strHomePage = *opt.strHomePage;
    if (opt.strSourceDir)
        s.strSourceDir = *opt.strSourceDir;

    if (opt.strTitle)
        s.strTitle = *opt.strTitle;
    else if (!info.strTitle.empty())
        s.strTitle = ToUTF8(info.strTitle, nFileRow);
    else
        s.strTitle = input.GetFileTitle();

    s.bShowIndex = opt.bShowIndex;
    s.bShowSearch = opt.bShowSearch;
    s.bShowHome = opt.bShowHome;
    s.bShowPrint = opt.bShowPrint;
    s.bShowPrev = opt.bShowPrev;
    s.bShowNext = opt.bShowNext;

    s.strCHMFile = opt.strInput;
    s.strWebHelpDir = opt.strOutputDir.value_or(DefaultOutputDir(opt.strInput));
    while (s.strWebHelpDir.size() > 1 && s.strWebHelpDir.back() == '/')
        s.strWebHelpDir.pop_back();

    // The pipeline cannot tell a folder it failed to make; without this a site nowhere is "written".
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
    g_bFailed = false;
    helper.m_CompileThreadPar.pfnOutput = PrintProgress;
    helper.SetCHMFile(s.strCHMFile);
    helper.CHM2WebHelp(s.strWebHelpDir, s.strSourceDir);
    if (g_bLineOpen && !g_bQuiet)
        std::fputc('\n', stdout);

    if (!g_bFailed && !CPath(s.strWebHelpDir + "/index.html").ExistFile())
        g_bFailed = true;
    if (g_bFailed)
    {
        std::fprintf(stderr, "webhelp: the conversion of '%s' failed\n", opt.strInput.c_str());
        return kExitFailed;
    }
    if (!g_bQuiet)
        std::printf("WebHelp site written to %s/index.html\n", s.strWebHelpDir.c_str());
    return kExitOk;
}
