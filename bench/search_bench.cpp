// Harvest speed: pages per second, megabytes of page text per second of processor time (so per
// core, whatever else runs) and peak memory for the search data of a compiled help file or of
// a folder of HTML files. Prints figures; asserts nothing.
#include "CCharsets.h"
#include "CHMArchive.h"
#include "CText.h"
#include "CWebHelpHelper.h"
#include "CXML.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <sys/resource.h>
#include <vector>

namespace
{
long PeakKB()
{
    rusage ru{};
    getrusage(RUSAGE_SELF, &ru);
    return ru.ru_maxrss;
}

/// Processor time of this process so far, user and system.
double CPUSeconds()
{
    rusage ru{};
    getrusage(RUSAGE_SELF, &ru);
    return static_cast<double>(ru.ru_utime.tv_sec + ru.ru_stime.tv_sec) +
           static_cast<double>(ru.ru_utime.tv_usec + ru.ru_stime.tv_usec) / 1e6;
}

bool IsPage(std::string_view svName)
{
    const std::string strName = LowerASCII(svName);
    return strName.ends_with(".htm") || strName.ends_with(".html");
}

/// Bytes of the pages the harvest reads: those of a folder, or of an archive's entries.
uintmax_t PageBytes(const std::string& strInput)
{
    uintmax_t nBytes = 0;
    std::error_code ec;
    if (std::filesystem::is_directory(strInput, ec))
    {
        for (auto it = std::filesystem::recursive_directory_iterator(strInput, ec);
             !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec))
        {
            if (it->is_regular_file(ec) && IsPage(it->path().string()))
                nBytes += it->file_size(ec);
        }
        return nBytes;
    }
    CCHMArchive archive;
    if (archive.Open(strInput))
    {
        for (const SCHMEntry& entry : archive.Entries())
            nBytes += IsPage(entry.strName) ? entry.nLength : 0;
    }
    return nBytes;
}

double Since(std::chrono::steady_clock::time_point t)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t).count();
}
} // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
    {
        std::fprintf(stderr, "usage: search_bench FILE.chm|FOLDER [CHARSET-ROW] [OUT.js]\n");
        return 2;
    }
    std::string strInput = argv[1];
    g_WebHelpSettings.nCharset = argc > 2 ? std::atoi(argv[2]) : kCharsetWin1252;
    std::string strOut = argc > 3 ? argv[3] : "/tmp/search_bench_searchdata.js";
    CWebHelpHelper helper;
    helper.m_strSourceDir = "source";
    long nBaseKB = PeakKB();
    const uintmax_t nPageBytes = PageBytes(strInput);
    auto tStart = std::chrono::steady_clock::now();
    std::error_code ec;
    double dCPUStart = 0;
    if (std::filesystem::is_directory(strInput, ec))
    {
        std::vector<std::string> vecFiles;
        for (auto it = std::filesystem::recursive_directory_iterator(strInput, ec);
             !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec))
        {
            if (it->is_regular_file(ec))
                vecFiles.push_back(it->path().string());
        }
        std::printf("listed %zu files in %.2f s\n", vecFiles.size(), Since(tStart));
        tStart = std::chrono::steady_clock::now();
        dCPUStart = CPUSeconds();
        helper.ReadSearchDataFromFiles(&vecFiles);
    }
    else
    {
        if (!helper.m_CHMFile.CHM_SetCHMFile(strInput))
        {
            std::fprintf(stderr, "search_bench: cannot open %s\n", strInput.c_str());
            return 1;
        }
        CXML storage;
        storage.SetTagName("CHMInfo");
        if (helper.m_CHMFile.CHM_ReadAllStorageInfoToXML(&storage) == 0)
        {
            std::fprintf(stderr, "search_bench: cannot list %s\n", strInput.c_str());
            return 1;
        }
        std::printf("listed the archive in %.2f s\n", Since(tStart));
        tStart = std::chrono::steady_clock::now();
        dCPUStart = CPUSeconds();
        helper.CHM2Web_ReadSearchDataFromCHMFile(&storage);
    }
    double dHarvest = Since(tStart);
    const double dHarvestCPU = CPUSeconds() - dCPUStart;
    size_t nRefs = 0;
    for (const auto& entry : helper.m_mapSearchKeywords)
        nRefs += entry.second.size();
    std::printf("harvest: %d pages in %.2f s = %.0f pages/s; %zu keywords, %zu page references\n",
                helper.m_nSearchFileCount, dHarvest,
                helper.m_nSearchFileCount / (dHarvest > 0 ? dHarvest : 1e-9),
                helper.m_mapSearchKeywords.size(), nRefs);
    std::printf("harvest: %.1f MB of pages, %.2f s of processor time = %.1f MB/s per core\n",
                nPageBytes / 1e6, dHarvestCPU, nPageBytes / 1e6 / (dHarvestCPU > 0 ? dHarvestCPU : 1e-9));
    tStart = std::chrono::steady_clock::now();
    helper.WriteSearchDataToFile(strOut);
    std::printf("write: %.2f s, %jd bytes to %s\n", Since(tStart),
                static_cast<intmax_t>(std::filesystem::file_size(strOut, ec)), strOut.c_str());
    std::printf("peak memory: %ld KB (%ld KB before the harvest)\n", PeakKB(), nBaseKB);
    return 0;
}
