// Reads a generated sitemap text of the limits' sizes (a flat list of N entries, or lists nested N
// deep) and converts it as the contents and as the index: the time of each step and the peak
// resident memory. Prints figures; asserts nothing.
//
//   sitemap_limits entries|deep N

#include "CCharsets.h"
#include "CHMSitemap.h"
#include "CXML.h"
#include "SitemapBenchHelper.h"

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

namespace
{
double Seconds(std::chrono::steady_clock::time_point t0)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

long PeakKB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}
} // namespace

int main(int argc, char** argv)
{
    const std::string strKind = argc > 1 ? argv[1] : "entries";
    const long nCount = argc > 2 ? std::atol(argv[2]) : 1000000;
    std::string strHtml = strKind == "deep" ? "<HTML><BODY>\n" : "<HTML><BODY><UL>\n";
    for (long i = 0; i < nCount; ++i)
    {
        if (strKind == "deep")
            strHtml += "<UL>";
        strHtml += "<LI><OBJECT type=\"text/sitemap\"><param name=\"Name\" value=\"Entry " +
                   std::to_string(i) + "\"><param name=\"Local\" value=\"p" + std::to_string(i % 1000) +
                   ".htm\"></OBJECT>\n";
    }
    std::printf("%s %ld: %zu bytes of sitemap, peak %ld MiB after generating it\n", strKind.c_str(), nCount,
                strHtml.size(), PeakKB() / 1024);

    const std::string strOut = (std::filesystem::temp_directory_path() / "webhelp-sitemap-limits").string();
    std::filesystem::create_directories(strOut);
    g_WebHelpSettings.nCharset = kCharsetUTF8;
    CSitemapBenchHelper helper;
    helper.m_strSourceDir = "source";
    for (bool bIndex : {false, true})
    {
        auto t0 = std::chrono::steady_clock::now();
        auto pRaw = std::make_unique<CXML>();
        CHM_ParseSitemapToXML(strHtml, pRaw.get());
        const double dRead = Seconds(t0);
        t0 = std::chrono::steady_clock::now();
        auto pRoot = std::make_unique<CXML>();
        pRoot->SetTagName(bIndex ? "HHK" : "HHC");
        if (bIndex)
            helper.CHM2Web_SplitHHKInfo(pRaw.get(), pRoot.get());
        else
            helper.CHM2Web_SplitHHCInfo(pRaw.get(), pRoot.get());
        const double dSplit = Seconds(t0);
        t0 = std::chrono::steady_clock::now();
        if (bIndex)
            helper.CHM2Web_CreateIndexScriptFile(pRoot.get(), strOut + "/indexdata.js");
        else
            helper.CHM2Web_CreateContentsScriptFile(pRoot.get(), strOut + "/contentsdata.js");
        const double dWrite = Seconds(t0);
        t0 = std::chrono::steady_clock::now();
        pRaw.reset();
        pRoot.reset();
        const double dFree = Seconds(t0);
        std::printf("  %-8s read %.3f s, convert %.3f s, script %.3f s, free %.3f s; peak %ld MiB\n",
                    bIndex ? "index" : "contents", dRead, dSplit, dWrite, dFree, PeakKB() / 1024);
    }
    std::filesystem::remove_all(strOut);
    return 0;
}
