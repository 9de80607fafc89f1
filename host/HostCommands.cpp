#include "HostCommands.h"

#include "CXResource.h"

#include <cstdio>
#include <cstring>

void InitHostStrings();

// Generated from host/icons/ at build time.
extern const SResourceTable g_WebHelpHostResources;

namespace
{
const char* const kUsage =
    "Usage:\n"
    "  webhelp convert INPUT.chm... [options]\n"
    "                                        convert compiled help files into WebHelp sites\n"
    "  webhelp searchdata -o OUT.js [--charset NAME|ROW] [--source-dir NAME] FILE...\n"
    "                                        build searchdata.js for loose HTML files\n"
    "  webhelp serve SITE [--port N] [--open]\n"
    "                                        serve a site on 127.0.0.1 to preview it in a browser\n"
    "  webhelp wizard                        convert interactively (needs a display)\n"
    "  webhelp --help | --version\n"
    "\n"
    "Options of convert:\n"
    "  -o, --output DIR        output folder (default: INPUT's folder/INPUT's title_WebHelp);\n"
    "                          with several inputs, each site goes to DIR/<INPUT's title>\n"
    "  -j, --jobs N            conversions side by side (default: the number of processors)\n"
    "  --charset NAME|ROW      charset of the site, by name (gb2312, utf-8, ...) or row 0-43\n"
    "                          (default: the one that suits the compiled file's language)\n"
    "  --template NAME|ROW     template set: general, default, xpblue, xpgreen, xpsilver or 0-4\n"
    "                          (default: default)\n"
    "  --title TEXT            title of the site (default: the compiled file's own title)\n"
    "  --source-dir NAME       sub-folder for the topic files (default: source)\n"
    "  --no-index, --no-search leave out the Index or Search tab\n"
    "  --no-home, --no-print, --no-prev, --no-next\n"
    "                          leave out that button of the header bar\n"
    "  --home-url URL          address the Home button opens (default: index.html)\n"
    "  --caption-contents TEXT, --caption-index TEXT, --caption-search TEXT\n"
    "                          tab captions (default: in the compiled file's language)\n"
    "  --tip-home TEXT, --tip-prev TEXT, --tip-next TEXT, --tip-print TEXT\n"
    "                          button tips (default: in the compiled file's language)\n"
    "  -q, --quiet             print nothing but errors\n"
    "\n"
    "Options of searchdata:\n"
    "  -o, --output OUT.js     the search data script to write (replaced if it exists)\n"
    "  --charset NAME|ROW      charset of the site that will load it (default: utf-8); files\n"
    "                          with a byte-order mark are converted to it, others are read as in it\n"
    "  --source-dir NAME       folder of the pages, relative to the site (default: source);\n"
    "                          each page is listed as NAME/<its file name>\n"
    "  -q, --quiet             print nothing but errors; a file that cannot be read is\n"
    "                          listed without keywords, with a warning\n"
    "\n"
    "Options of serve:\n"
    "  -p, --port N            port on 127.0.0.1 (default: 8080); 0 picks a free one. The address\n"
    "                          is printed; Ctrl-C stops serving; only files inside SITE are served\n"
    "  --open                  open the address in the desktop's browser\n"
    "\n"
    "convert with several inputs: each becomes a site of its own, one that fails is reported\n"
    "and the others go on, and a last line says how many were converted. In a folder name made\n"
    "from a title, ASCII letters, digits, '-', '_', '.' and non-ASCII characters stay, any other\n"
    "character and a leading '.' become '_', and an empty title gives 'help'; a name that an\n"
    "earlier input has (letter case aside) gets '-2', '-3', ...\n"
    "On a terminal, each running conversion shows one live line (file, time, step, pages read or\n"
    "files unpacked); in a pipe or a log, the plain lines of each step, file by file.\n"
    "\n"
    "A long option takes its value as the next word or after '=' (--charset=utf-8); '--'\n"
    "ends the options, so that a file name may begin with '-'.\n"
    "Texts given on the command line are UTF-8.\n"
    "Captions and tips come in English, Chinese, Japanese, Korean, German, French, Spanish,\n"
    "Italian, Portuguese, Russian, Polish, Czech and Dutch; other languages get English.\n"
    "Exit status: 0 success, 1 a conversion failed, 2 bad usage, or the only input is missing or\n"
    "not a compiled help file (serve: or a port in use).\n";
} // namespace

void InitHost()
{
    static bool s_bDone = false;
    if (s_bDone)
        return;
    s_bDone = true;
    InitHostStrings();
    CXResource::SetHostResources(&g_WebHelpHostResources);
}

int UsageError(const std::string& strMessage)
{
    std::fprintf(stderr, "webhelp: %s\n", strMessage.c_str());
    return kExitUsage;
}

int RunHost(int argc, char** argv)
{
    InitHost();
    std::vector<std::string> vecArgs;
    for (int i = 2; i < argc; ++i)
        vecArgs.emplace_back(argv[i]);
    if (argc < 2)
    {
        std::fputs(kUsage, stderr);
        return kExitUsage;
    }
    std::string strCommand = argv[1];
    if (strCommand == "--help" || strCommand == "-h" || strCommand == "help")
    {
        std::fputs(kUsage, stdout);
        return kExitOk;
    }
    if (strCommand == "--version")
    {
        std::printf("webhelp %s\n", WEBHELP_VERSION);
        return kExitOk;
    }
    if (strCommand == "convert")
        return RunConvert(vecArgs);
    if (strCommand == "searchdata")
        return RunSearchData(vecArgs);
    if (strCommand == "serve")
        return RunServe(vecArgs);
    if (strCommand == "wizard")
        return RunWizard(vecArgs);
    return UsageError("unknown command '" + strCommand + "' (try webhelp --help)");
}
