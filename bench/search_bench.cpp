// Harvest speed: pages per second, megabytes of page text per second of processor time (so per
// core, whatever else runs) and peak memory for the search data of a compiled help file or of
// a folder of HTML files. Prints figures; asserts nothing.
#include "../search/CBOMTextReader.h"
#include "../search/CHTMLDocument.h"
#include "../search/SearchKeywords.h"
#include "CCharsets.h"
#include "CCodePage.h"
#include "CHMArchive.h"
#include "CText.h"
#include "CWebHelpHelper.h"
#include "CXML.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
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

/// Bytes of the pages the harvest reads: those of a folder, or of an archive's entries. For an
/// archive, *pUnpackCPU gets the processor time of unpacking them alone, which is not the harvest's
/// own work.
uintmax_t PageBytes(const std::string& strInput, double* pUnpackCPU)
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
        const double dStart = CPUSeconds();
        std::string strPage;
        for (size_t i = 0; i < archive.Entries().size(); ++i)
        {
            if (!IsPage(archive.Entries()[i].strName))
                continue;
            nBytes += archive.Entries()[i].nLength;
            strPage.clear();
            CStringSink sink(strPage);
            archive.Extract(i, sink);
        }
        *pUnpackCPU = CPUSeconds() - dStart;
    }
    return nBytes;
}

double Since(std::chrono::steady_clock::time_point t)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t).count();
}
/// One harvest into *pHelper; false when the input cannot be read.
bool Harvest(const std::string& strInput, CWebHelpHelper& helper, double& dWall, double& dCPU)
{
    std::error_code ec;
    if (std::filesystem::is_directory(strInput, ec))
    {
        std::vector<std::string> vecFiles;
        for (auto it = std::filesystem::recursive_directory_iterator(strInput, ec);
             !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec))
        {
            if (it->is_regular_file(ec))
                vecFiles.push_back(it->path().string());
        }
        const auto tStart = std::chrono::steady_clock::now();
        const double dCPUStart = CPUSeconds();
        helper.ReadSearchDataFromFiles(&vecFiles);
        dWall = Since(tStart);
        dCPU = CPUSeconds() - dCPUStart;
        return true;
    }
    if (!helper.m_CHMFile.CHM_SetCHMFile(strInput))
    {
        std::fprintf(stderr, "search_bench: cannot open %s\n", strInput.c_str());
        return false;
    }
    CXML storage;
    storage.SetTagName("CHMInfo");
    if (helper.m_CHMFile.CHM_ReadAllStorageInfoToXML(&storage) == 0)
    {
        std::fprintf(stderr, "search_bench: cannot list %s\n", strInput.c_str());
        return false;
    }
    const auto tStart = std::chrono::steady_clock::now();
    const double dCPUStart = CPUSeconds();
    helper.CHM2Web_ReadSearchDataFromCHMFile(&storage);
    dWall = Since(tStart);
    dCPU = CPUSeconds() - dCPUStart;
    return true;
}
/// The harvest's work on page text alone, pages decoded beforehand and held in memory: reading each
/// page with its references, lowering its body and adding its keywords. Prints the best of nRounds.
int TextOnly(const std::string& strInput, int nCharset, int nRounds)
{
    const CCodePage cp(nCharset);
    CCHMArchive archive;
    if (!archive.Open(strInput))
    {
        std::fprintf(stderr, "search_bench: cannot open %s\n", strInput.c_str());
        return 1;
    }
    std::vector<std::string> vecPages;
    uintmax_t nBytes = 0;
    for (size_t i = 0; i < archive.Entries().size(); ++i)
    {
        if (!IsPage(archive.Entries()[i].strName))
            continue;
        std::string strPage;
        CStringSink sink(strPage);
        archive.Extract(i, sink);
        CBOMTextReader reader(cp);
        vecPages.push_back(reader.LoadBytes(std::move(strPage)));
        nBytes += vecPages.back().size();
    }
    double dBest = 0;
    for (int nRound = 1; nRound <= nRounds; ++nRound)
    {
        CSearchKeywordMap mapKeywords;
        CSearchKeywordIndex index(mapKeywords);
        CHTMLDocument doc(cp);
        std::vector<std::string> vecReferences;
        size_t nReferences = 0;
        const double dStart = CPUSeconds();
        for (size_t nPage = 0; nPage < vecPages.size(); ++nPage)
        {
            doc.SetReferenceList(&vecReferences);
            doc.Write(vecPages[nPage]);
            nReferences += vecReferences.size();
            std::string& strBody = doc.GetBodyText();
            cp.MakeLower(strBody);
            SearchKeywords_AddText(index, cp, strBody, static_cast<int>(nPage));
            SearchKeywords_AddPairs(index, cp, strBody, static_cast<int>(nPage));
        }
        const double dCPU = CPUSeconds() - dStart;
        dBest = nRound == 1 ? dCPU : std::min(dBest, dCPU);
        std::printf(
            "round %d: %zu pages, %.1f MB, %zu keywords, %zu references, %.3f s = %.1f MB/s per core\n",
            nRound, vecPages.size(), nBytes / 1e6, mapKeywords.size(), nReferences, dCPU,
            nBytes / 1e6 / (dCPU > 0 ? dCPU : 1e-9));
    }
    std::printf("text: best of %d, %.3f s of processor time = %.1f MB/s of page text per core\n", nRounds,
                dBest, nBytes / 1e6 / (dBest > 0 ? dBest : 1e-9));
    return 0;
}
} // namespace

int main(int argc, char** argv)
{
    // "--text FILE.chm [CHARSET-ROW] [ROUNDS]": the work on page text alone, without unpacking.
    if (argc > 2 && std::string_view(argv[1]) == "--text")
        return TextOnly(argv[2], argc > 3 ? std::atoi(argv[3]) : kCharsetWin1252,
                        argc > 4 ? std::max(1, std::atoi(argv[4])) : 3);
    if (argc < 2)
    {
        std::fprintf(stderr, "usage: search_bench FILE.chm|FOLDER [CHARSET-ROW] [OUT.js] [ROUNDS]\n"
                             "       search_bench --text FILE.chm [CHARSET-ROW] [ROUNDS]\n");
        return 2;
    }
    std::string strInput = argv[1];
    g_WebHelpSettings.nCharset = argc > 2 ? std::atoi(argv[2]) : kCharsetWin1252;
    std::string strOut = argc > 3 ? argv[3] : "/tmp/search_bench_searchdata.js";
    // The machine is shared: the best of several rounds is the nearest to the harvest's own cost.
    const int nRounds = argc > 4 ? std::max(1, std::atoi(argv[4])) : 3;
    long nBaseKB = PeakKB();
    double dUnpackCPU = 0;
    const uintmax_t nPageBytes = PageBytes(strInput, &dUnpackCPU);
    std::unique_ptr<CWebHelpHelper> pHelper;
    double dBestCPU = 0;
    long nFirstKB = 0;
    for (int nRound = 1; nRound <= nRounds; ++nRound)
    {
        pHelper.reset();
        auto pRound = std::make_unique<CWebHelpHelper>();
        pRound->m_strSourceDir = "source";
        double dHarvest = 0;
        double dHarvestCPU = 0;
        if (!Harvest(strInput, *pRound, dHarvest, dHarvestCPU))
            return 1;
        pHelper = std::move(pRound);
        size_t nRefs = 0;
        for (const auto& entry : pHelper->m_mapSearchKeywords)
            nRefs += entry.second.size();
        std::printf("round %d: %d pages in %.2f s = %.0f pages/s; %zu keywords, %zu page references\n",
                    nRound, pHelper->m_nSearchFileCount, dHarvest,
                    pHelper->m_nSearchFileCount / (dHarvest > 0 ? dHarvest : 1e-9),
                    pHelper->m_mapSearchKeywords.size(), nRefs);
        std::printf("round %d: %.1f MB of pages, %.3f s of processor time = %.1f MB/s per core\n", nRound,
                    nPageBytes / 1e6, dHarvestCPU, nPageBytes / 1e6 / (dHarvestCPU > 0 ? dHarvestCPU : 1e-9));
        dBestCPU = nRound == 1 ? dHarvestCPU : std::min(dBestCPU, dHarvestCPU);
        if (nRound == 1)
            nFirstKB = PeakKB();
    }
    std::printf("harvest: best of %d, %.3f s of processor time = %.1f MB/s of page text per core\n", nRounds,
                dBestCPU, nPageBytes / 1e6 / (dBestCPU > 0 ? dBestCPU : 1e-9));
    if (dUnpackCPU > 0 && dBestCPU > dUnpackCPU)
        std::printf("harvest: %.3f s of it unpacking the pages; the rest = %.1f MB/s of page text per core\n",
                    dUnpackCPU, nPageBytes / 1e6 / (dBestCPU - dUnpackCPU));
    auto tStart = std::chrono::steady_clock::now();
    std::error_code ec;
    pHelper->WriteSearchDataToFile(strOut);
    std::printf("write: %.2f s, %jd bytes to %s\n", Since(tStart),
                static_cast<intmax_t>(std::filesystem::file_size(strOut, ec)), strOut.c_str());
    std::printf("peak memory: %ld KB after the first round, %ld KB at the end (%ld KB before the harvest)\n",
                nFirstKB, PeakKB(), nBaseKB);
    return 0;
}
