// Times the contents and index conversion and the two data scripts, on a compiled file's sitemaps or,
// without one, on generated sitemaps of the given size; with a file, also searchdata.js from its pages.
// Prints figures; asserts nothing.
//
//   sitemap_bench [FILE.chm] [--entries N] [--runs N] [--no-search]

#include "CCHMFileRW.h"
#include "CCharsets.h"
#include "CHMSitemap.h"
#include "CXML.h"
#include "SitemapBenchHelper.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <unistd.h>

namespace
{
CXML* NewParamObject(const std::vector<std::pair<std::string, std::string>>& vecParams)
{
    auto* pObject = new CXML();
    pObject->SetTagName("OBJECT");
    pObject->SetAttr("type", std::string("text/sitemap"));
    for (const auto& param : vecParams)
    {
        CXML* p = pObject->AddChild("PARAM", std::string());
        p->SetAttr("name", param.first);
        p->SetAttr("value", param.second);
    }
    return pObject;
}

/// root > HTML > BODY > UL with books of 20 pages, three levels deep, nEntries items in all.
std::unique_ptr<CXML> MakeRaw(int nEntries, bool bIndex)
{
    auto pRaw = std::make_unique<CXML>();
    CXML* pBody = pRaw->AddChild("HTML", std::string())->AddChild("BODY", std::string());
    CXML* pTop = pBody->AddChild("UL", std::string());
    CXML* pBookList = nullptr;
    for (int i = 0; i < nEntries; ++i)
    {
        const std::string strName = "Topic &amp; entry " + std::to_string(i);
        const std::string strLocal =
            "html/chapter" + std::to_string(i / 400) + "/page" + std::to_string(i) + ".htm";
        CXML* pParent = (i % 20 == 0 || pBookList == nullptr) ? pTop : pBookList;
        CXML* pLI = pParent->AddChild("LI", std::string());
        if (bIndex && i % 7 == 3)
            pLI->AddChild(NewParamObject({{"Keyword", strName},
                                          {"Name", "first"},
                                          {"Local", strLocal},
                                          {"Name", "second"},
                                          {"Local", "x/" + strLocal}}));
        else
            pLI->AddChild(NewParamObject({{"Name", strName}, {"Local", strLocal}}));
        if (i % 20 == 0)
            pBookList = pLI->AddChild("UL", std::string());
    }
    return pRaw;
}

/// This thread's CPU time: on a shared machine the wall clock mostly measures the other work.
double Millis(const std::function<void()>& fn)
{
    auto Now = []
    {
        timespec ts{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
        return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) / 1e6;
    };
    const double d0 = Now();
    fn();
    return Now() - d0;
}

int CountTopics(CXML* pRoot)
{
    CXML* pSiteMap = pRoot->GetChildByTagName("SiteMap");
    return pSiteMap != nullptr ? pSiteMap->GetChildCount() : 0;
}

struct SFigures
{
    double dRead = 0, dSplit = 0, dWrite = 0;
    int nTopics = 0;
};

void Report(const char* pszWhat, std::vector<SFigures>& vec, const std::string& strFile)
{
    std::sort(vec.begin(), vec.end(),
              [](const SFigures& a, const SFigures& b)
              { return a.dRead + a.dSplit + a.dWrite < b.dRead + b.dSplit + b.dWrite; });
    const SFigures& best = vec.front();
    const SFigures& median = vec[vec.size() / 2];
    std::error_code ec;
    std::printf("%-8s %7d Topics  read %8.1f ms  convert %8.1f ms  script %8.1f ms  total %8.1f ms (median "
                "%.1f ms, %zu runs)  %s %llu bytes\n",
                pszWhat, best.nTopics, best.dRead, best.dSplit, best.dWrite,
                best.dRead + best.dSplit + best.dWrite, median.dRead + median.dSplit + median.dWrite,
                vec.size(), std::filesystem::path(strFile).filename().c_str(),
                static_cast<unsigned long long>(std::filesystem::file_size(strFile, ec)));
}
} // namespace

int main(int argc, char** argv)
{
    std::string strCHM;
    int nEntries = 20000;
    int nRuns = 5;
    bool bSearch = true;
    for (int i = 1; i < argc; ++i)
    {
        const std::string strArg = argv[i];
        if (strArg == "--entries" && i + 1 < argc)
            nEntries = std::atoi(argv[++i]);
        else if (strArg == "--no-search")
            bSearch = false;
        else if (strArg == "--runs" && i + 1 < argc)
            nRuns = std::max(1, std::atoi(argv[++i]));
        else
            strCHM = strArg;
    }

    // A folder of its own: runs side by side would remove each other's scripts while writing them.
    const std::string strOut =
        (std::filesystem::temp_directory_path() / ("webhelp-bench-sitemap-" + std::to_string(getpid())))
            .string();
    std::filesystem::create_directories(strOut);
    g_WebHelpSettings.nCharset = kCharsetUTF8;
    CSitemapBenchHelper helper;
    helper.m_strSourceDir = "source";
    helper.m_strCHMFile = strCHM.empty() ? strOut + "/generated.chm" : strCHM;

    // The converter's own reader, as in a conversion: the scripts look names up in it.
    CCHMFileRW& reader = helper.m_CHMFile;
    if (!strCHM.empty() && !reader.CHM_SetCHMFile(strCHM))
    {
        std::fprintf(stderr, "sitemap_bench: cannot open %s\n", strCHM.c_str());
        return 1;
    }
    if (strCHM.empty())
        std::printf("generated sitemaps of %d entries (no file given)\n", nEntries);
    else
        std::printf("%s\n", strCHM.c_str());

    std::vector<SFigures> vecContents, vecIndex;
    for (int nRun = 0; nRun < nRuns; ++nRun)
    {
        for (bool bIndex : {false, true})
        {
            SFigures fig;
            std::unique_ptr<CXML> pRaw;
            // A file's index is read as the conversion reads it, without a tree.
            auto pElements = std::make_unique<CSitemapElements>();
            fig.dRead = Millis(
                [&]
                {
                    if (strCHM.empty())
                        pRaw = MakeRaw(nEntries, bIndex);
                    else if (bIndex)
                        reader.CHM2Web_ReadHHKElements(*pElements);
                    else
                    {
                        pRaw = std::make_unique<CXML>();
                        reader.CHM2Web_ReadHHCInfoToXML(pRaw.get(), std::string());
                    }
                });
            auto pRoot = std::make_unique<CXML>();
            pRoot->SetTagName(bIndex ? "HHK" : "HHC");
            const std::string strScript = strOut + (bIndex ? "/indexdata.js" : "/contentsdata.js");
            if (bIndex && pRaw == nullptr)
            {
                // As the conversion writes it: split item by item into the script, so all of it is "script".
                fig.dWrite =
                    Millis([&] { helper.CHM2Web_CreateIndexScriptFromElements(*pElements, strScript); });
                helper.CHM2Web_SplitHHKElements(*pElements, pRoot.get());
                fig.nTopics = CountTopics(pRoot.get());
                vecIndex.push_back(fig);
            }
            else if (bIndex)
            {
                fig.dSplit = Millis([&] { helper.CHM2Web_SplitHHKInfo(pRaw.get(), pRoot.get()); });
                fig.dWrite = Millis([&] { helper.CHM2Web_CreateIndexScriptFile(pRoot.get(), strScript); });
                fig.nTopics = CountTopics(pRoot.get());
                vecIndex.push_back(fig);
            }
            else
            {
                fig.dSplit = Millis([&] { helper.CHM2Web_SplitHHCInfo(pRaw.get(), pRoot.get()); });
                fig.dWrite = Millis([&] { helper.CHM2Web_CreateContentsScriptFile(pRoot.get(), strScript); });
                fig.nTopics = CountTopics(pRoot.get());
                vecContents.push_back(fig);
            }
        }
    }
    std::printf("(read = %s; CPU time of this thread, best run shown)\n",
                strCHM.empty() ? "building the raw tree in memory" : "the reader parsing the sitemap");
    Report("contents", vecContents, strOut + "/contentsdata.js");
    Report("index", vecIndex, strOut + "/indexdata.js");
    if (!strCHM.empty() && bSearch)
    {
        auto pStorage = std::make_unique<CXML>();
        if (reader.CHM_ReadAllStorageInfoToXML(pStorage.get()) != 0)
            helper.CHM2Web_ReadSearchDataFromCHMFile(pStorage.get());
        const std::string strScript = strOut + "/searchdata.js";
        std::vector<double> vecWrite;
        for (int nRun = 0; nRun < nRuns; ++nRun)
            vecWrite.push_back(Millis([&] { helper.WriteSearchDataToFile(strScript); }));
        std::sort(vecWrite.begin(), vecWrite.end());
        std::error_code ec;
        std::printf(
            "search   %7zu keywords  script %8.1f ms (median %.1f ms, %zu runs)  searchdata.js %llu bytes\n",
            helper.m_mapSearchKeywords.size(), vecWrite.front(), vecWrite[vecWrite.size() / 2],
            vecWrite.size(), static_cast<unsigned long long>(std::filesystem::file_size(strScript, ec)));
    }
    std::filesystem::remove_all(strOut);
    return 0;
}
