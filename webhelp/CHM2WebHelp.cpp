#include "CWebHelpHelper.h"

#include "CHMSitemap.h"
#include "CHMUnpackQueue.h"
#include "CSearchHarvest.h"
#include "CStrHelper.h"
#include "CXML.h"

#include <atomic>
#include <cerrno>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>
#include <utility>

namespace
{
class CProgress
{
public:
    explicit CProgress(const std::function<void(const std::string&)>& fnOutput) : m_fnOutput(fnOutput) {}
    void Text(const std::string& str) const
    {
        if (m_fnOutput)
            m_fnOutput(str);
    }
    void Number(int nID) const { Text(CStrHelper::ML_GetStringEx(nID)); }
    void LineEnd() const { Text("\r\n"); }

private:
    const std::function<void(const std::string&)>& m_fnOutput;
};

/// Runs a job on a second thread from construction, or at Wait() on this one when no thread can be
/// started. The destructor asks the job to stop through the flag and waits, so an early return never
/// leaves it running; the flag is down again afterwards. What the job throws is thrown by Wait().
class CAsideJob
{
public:
    CAsideJob(std::atomic<bool>& bStop, std::function<void()> job) : m_bStop(bStop), m_job(std::move(job))
    {
        m_bStop = false;
        try
        {
            m_thread = std::thread(
                [this]
                {
                    try
                    {
                        m_job();
                    }
                    catch (...)
                    {
                        m_pError = std::current_exception();
                    }
                });
        }
        catch (const std::system_error&)
        {
        }
    }
    ~CAsideJob()
    {
        m_bStop = true;
        if (m_thread.joinable())
            m_thread.join();
        m_bStop = false;
    }
    CAsideJob(const CAsideJob&) = delete;
    CAsideJob& operator=(const CAsideJob&) = delete;

    /// False when the job runs at Wait() on the waiting thread.
    bool HasThread() const { return m_thread.joinable(); }

    void Wait()
    {
        if (m_thread.joinable())
            m_thread.join();
        else if (m_job)
            m_job();
        m_job = nullptr;
        if (m_pError)
            std::rethrow_exception(std::exchange(m_pError, nullptr));
    }

private:
    std::atomic<bool>& m_bStop;
    std::function<void()> m_job;
    std::thread m_thread;
    std::exception_ptr m_pError;
};

/// A page on its way from the unpacking to the harvest: its bytes, or what the unpacking's side
/// read of it when it had time to spare.
struct SHarvestItem
{
    size_t nPage = 0;
    bool bRead = false;
    std::string strBytes;
    std::unique_ptr<SHarvestRead> pRead;
};

const int kTextDone = 675;
const int kTextFailed = 676;
const int kStepReadContents = 677;
const int kStepWriteContents = 678;
const int kStepReadIndex = 679;
const int kStepWriteIndex = 680;
const int kStepReadStorage = 681;
const int kStepHarvest = 682;
const int kStepWritePages = 683;
const int kStepUnpack = 684;

const char kNotReadable[] = "it is not a compiled help file, or it is damaged";
} // namespace

void CWebHelpHelper::SetCHMFile(std::string strCHMFile)
{
    m_strCHMFile = std::move(strCHMFile);
}

void CWebHelpHelper::CHM2WebHelp(std::string strWebHelpDir, std::string strSourceDir)
{
    m_pSettings = nullptr;
    const PFNCOMPILEOUTPUT pfnOutput = m_CompileThreadPar.pfnOutput;
    std::function<void(const std::string&)> fnOutput;
    if (pfnOutput != nullptr)
        fnOutput = pfnOutput;
    RunConversion(strWebHelpDir, strSourceDir, fnOutput);
}

tagConvertResult CWebHelpHelper::Convert(const tagWebHelpSettings& settings,
                                         std::function<void(const std::string&)> fnOutput)
{
    m_OwnSettings = settings;
    m_pSettings = &m_OwnSettings;
    SetCHMFile(m_OwnSettings.strCHMFile);
    return RunConversion(m_OwnSettings.strWebHelpDir, m_OwnSettings.strSourceDir, fnOutput);
}

bool CWebHelpHelper::OpenOutputFolder(const std::string& strRoot)
{
    return m_OutputFolder.Open(strRoot);
}

bool CWebHelpHelper::WriteSiteFile(const std::string& strPath, std::string_view svBytes)
{
    if (m_OutputFolder.WriteFile(strPath, svBytes))
        return true;
    NoteWriteFailure(strPath);
    return false;
}

void CWebHelpHelper::NoteWriteFailure(const std::string& strPath)
{
    const int nErrno = errno;
    if (!m_strWriteFailure.empty())
        return;
    m_strWriteFailure = strPath.empty() ? std::string(".") : strPath;
    m_nWriteErrno = nErrno != 0 ? nErrno : EIO;
}

const tagConvertResult& CWebHelpHelper::RunConversion(const std::string& strWebHelpDir,
                                                      const std::string& strSourceDir,
                                                      const std::function<void(const std::string&)>& fnOutput)
{
    const CProgress out(fnOutput);
    const std::string strTopicDir = strWebHelpDir + "/" + strSourceDir;
    const std::string strFilesDir = strWebHelpDir + "/whfiles";
    m_LastResult = tagConvertResult();
    m_nRunningStep.store(0, std::memory_order_relaxed);
    m_HarvestCount.Reset();
    m_UnpackCount.Reset();
    m_strWriteFailure.clear();
    m_nWriteErrno = 0;

    // The descriptors of the output folder live for this conversion only.
    struct SCloseAtEnd
    {
        COutputFolder& folder;
        ~SCloseAtEnd() { folder.Close(); }
    } closeAtEnd{m_OutputFolder};
    if (!m_OutputFolder.Open(strWebHelpDir))
        NoteWriteFailure(strWebHelpDir);
    for (const std::string& strDir : {strTopicDir, strFilesDir})
        if (!m_OutputFolder.MakeFolder(strDir))
            NoteWriteFailure(strDir);

    m_strWebHelpDir = strWebHelpDir;
    m_strSourceDir = strSourceDir;

    m_CHMFile.CHM_CloseCHMFile();
    m_CHMFile.CHM_SetCHMFile(m_strCHMFile);

    ClearMergeCHMFilesMap();
    m_mapMergeReaders.clear();
    m_vecCaseLinks.clear();

    ClearSearchFilesArray();
    ClearSearchTitlesArray();
    ClearSearchKeywordsMap();
    m_nSearchFileCount = 0;
    CSearchHarvest searchHarvest(Settings().nCharset);
    searchHarvest.Harvest_SetCount(&m_HarvestCount);
    // The list of files and the harvest's plan of it (the harvest numbers the pages in the list's
    // order) are made by whichever job needs them first, while the sitemaps are read.
    SHarvestPlan plan;
    bool bStorageRead = false;
    std::once_flag planMade;
    auto MakePlan = [&]
    {
        std::call_once(planMade,
                       [&]
                       {
                           auto pStorage = std::make_unique<CXML>();
                           pStorage->SetTagName("CHMInfo");
                           bStorageRead = m_CHMFile.CHM_ReadAllStorageInfoToXML(pStorage.get()) != 0;
                           plan = CSearchHarvest::Harvest_Plan(m_CHMFile, pStorage.get());
                           searchHarvest.Harvest_BeginPlanned(plan);
                       });
    };

    // Each topic file is decompressed once, in the archive's own order, by a reader of its own on a
    // job beside the sitemaps: the job writes it and hands it to the harvest, which runs on another
    // job and looks names up in the conversion's reader (which only reading the sitemaps changes).
    // Both touch nothing else of this object until they are waited for. A conversion that fails
    // keeps no search data; topic files unpacked before its failure stay.
    // Small: what waits here adds to the conversion's peak.
    CBatchQueue<SHarvestItem> queue(size_t(256) << 10, size_t(2) << 20);
    CCHMFileRW passReader;
    COutputFolder unpackFolder;
    bool bPassOpened = true;
    std::string strUnpackFailure;
    int nUnpackErrno = 0;
    CAsideJob harvest(searchHarvest.Harvest_StopFlag(),
                      [&]
                      {
                          std::vector<SHarvestItem> vecBatch;
                          try
                          {
                              MakePlan();
                              while (queue.Take(vecBatch))
                              {
                                  for (SHarvestItem& item : vecBatch)
                                  {
                                      if (searchHarvest.Harvest_StopFlag().load(std::memory_order_relaxed))
                                          continue;
                                      if (item.pRead)
                                          searchHarvest.Harvest_AddRead(m_CHMFile, item.nPage, *item.pRead);
                                      else
                                          searchHarvest.Harvest_AddPlanned(m_CHMFile, item.nPage,
                                                                           item.strBytes, item.bRead);
                                  }
                              }
                          }
                          catch (...)
                          {
                              queue.Abandon();
                              throw;
                          }
                          searchHarvest.Harvest_EndPlanned();
                      });
    // Declared after the harvest, the unpacking is stopped first on an early return, and finishing
    // the queue whatever happens lets the harvest end.
    const bool bHarvestAside = harvest.HasThread();
    CAsideJob unpack(m_bStopUnpack,
                     [&, strCHMFile = m_strCHMFile, nCharset = Settings().nCharset]
                     {
                         struct SFinish
                         {
                             CBatchQueue<SHarvestItem>& queue;
                             ~SFinish() { queue.Flush(true); }
                         } finish{queue};
                         std::optional<CHarvestPageReader> pageReader;
                         auto Hand = [&](size_t nPage, std::string& strBytes, bool bRead)
                         {
                             if (!bHarvestAside)
                             {
                                 searchHarvest.Harvest_AddPlanned(m_CHMFile, nPage, strBytes, bRead);
                                 return;
                             }
                             SHarvestItem item;
                             item.nPage = nPage;
                             item.bRead = bRead;
                             size_t nBytes = strBytes.size();
                             // While the harvest lags, this side reads pages too: both cores stay busy.
                             if (bRead && !strBytes.empty() && queue.Waiting() >= queue.MaxQueued() / 2)
                             {
                                 if (!pageReader)
                                     pageReader.emplace(nCharset);
                                 item.pRead = std::make_unique<SHarvestRead>();
                                 pageReader->Harvest_ReadPage(plan.vecPaths[nPage], strBytes, *item.pRead);
                                 nBytes = item.pRead->strBody.size();
                             }
                             else
                                 item.strBytes = std::move(strBytes);
                             queue.Add(std::move(item), nBytes);
                         };
                         if (!passReader.CHM_SetCHMFile(strCHMFile))
                         {
                             bPassOpened = false;
                             return;
                         }
                         passReader.CHM_SetUnpackCount(&m_UnpackCount);
                         passReader.CHM_SetUnpackStopFlag(&m_bStopUnpack);
                         unpackFolder.Open(strWebHelpDir);
                         MakePlan();
                         std::vector<bool> vecHanded(plan.vecPaths.size());
                         auto IsPage = [&](size_t nEntry)
                         { return nEntry < plan.vecPageOfEntry.size() && plan.vecPageOfEntry[nEntry] >= 0; };
                         auto Unpacked = [&](size_t nEntry, std::string& strBytes, bool bRead)
                         {
                             if (!IsPage(nEntry))
                                 return;
                             const auto nPage = static_cast<size_t>(plan.vecPageOfEntry[nEntry]);
                             vecHanded[nPage] = true;
                             Hand(nPage, strBytes, bRead);
                         };
                         passReader.CHM2Web_Decompile(strTopicDir, &unpackFolder, Unpacked, IsPage);
                         // Pages of entries that are not unpacked, or that another page read first.
                         std::string strBytes;
                         for (size_t nPage = 0; nPage < vecHanded.size(); ++nPage)
                         {
                             if (m_bStopUnpack.load(std::memory_order_relaxed))
                                 break;
                             if (vecHanded[nPage] || plan.vecEntryOf[nPage] < 0)
                                 continue;
                             const bool bRead = passReader.CHM_ReadEntry(
                                 static_cast<size_t>(plan.vecEntryOf[nPage]), strBytes);
                             Hand(nPage, strBytes, bRead);
                         }
                         // The reader's buffers go before the harvest's results are written.
                         passReader.CHM_GetWriteFailure(strUnpackFailure, nUnpackErrno);
                         passReader.CHM_CloseCHMFile();
                     });

    // A sitemap's tree goes once its script is written: the index of a large file is the largest
    // thing a conversion holds.
    auto pRawContents = std::make_unique<CXML>();
    auto pRawIndex = std::make_unique<CSitemapElements>();

    // A file that opens but has no such sitemap is converted with that list empty; only a file
    // that cannot be read fails.
    auto ReadSitemap = [&](bool bRead)
    {
        if (bRead)
            return true;
        return m_CHMFile.CHM_IsOpen() && m_CHMFile.CHM_SitemapMissing();
    };
    // Ends the step with the failure text; a failed write names its file and the system's reason.
    auto Fail = [&](int nStep, bool bWrite) -> const tagConvertResult&
    {
        out.Number(kTextFailed);
        out.LineEnd();
        m_LastResult.nFailedStep = nStep;
        m_LastResult.strFile = bWrite ? m_strWriteFailure : m_strCHMFile;
        m_LastResult.strReason = bWrite ? std::generic_category().message(m_nWriteErrno) : kNotReadable;
        return m_LastResult;
    };
    auto WriteFailed = [&] { return !m_strWriteFailure.empty(); };
    auto BeginStep = [&](int nStep)
    {
        m_nRunningStep.store(nStep, std::memory_order_relaxed);
        out.Number(nStep);
    };

    out.LineEnd();
    BeginStep(kStepReadContents);
    if (!ReadSitemap(m_CHMFile.CHM2Web_ReadHHCInfoToXML(pRawContents.get(), std::string()) != 0))
        return Fail(kStepReadContents, false);
    out.Number(kTextDone);
    out.LineEnd();

    BeginStep(kStepWriteContents);
    {
        auto pRoot = std::make_unique<CXML>();
        pRoot->SetTagName("HHC");
        pRoot->SetAttr("ft", std::string("ft"));
        m_strSitemapFolder = m_CHMFile.CHM_GetSitemapFolder();
        CHM2Web_SplitHHCInfo(pRawContents.get(), pRoot.get());
        pRawContents.reset();
        CHM2Web_CreateContentsScriptFile(pRoot.get(), strFilesDir + "/contentsdata.js");
        CHM2Web_CreateContentsImages(strFilesDir);
    }
    if (WriteFailed())
        return Fail(kStepWriteContents, true);
    out.Number(kTextDone);
    out.LineEnd();

    BeginStep(kStepReadIndex);
    if (!ReadSitemap(m_CHMFile.CHM2Web_ReadHHKElements(*pRawIndex) != 0))
        return Fail(kStepReadIndex, false);
    out.Number(kTextDone);
    out.LineEnd();

    BeginStep(kStepWriteIndex);
    m_strSitemapFolder = m_CHMFile.CHM_GetSitemapFolder();
    CHM2Web_CreateIndexScriptFromElements(*pRawIndex, strFilesDir + "/indexdata.js");
    pRawIndex.reset();
    if (WriteFailed())
        return Fail(kStepWriteIndex, true);
    out.Number(kTextDone);
    out.LineEnd();

    BeginStep(kStepReadStorage);
    MakePlan();
    if (!bStorageRead)
        return Fail(kStepReadStorage, false);
    out.Number(kTextDone);
    out.LineEnd();

    BeginStep(kStepHarvest);
    // Without a thread of its own the unpacking runs here, before the harvest that waits for it.
    if (!unpack.HasThread())
        unpack.Wait();
    harvest.Wait();
    searchHarvest.Harvest_MoveResultsTo(*this);
    out.Number(kTextDone);
    out.LineEnd();
    out.LineEnd();

    const tagWebHelpSettings& s = Settings();
    BeginStep(kStepWritePages);
    WriteSearchDataToFile(strFilesDir + "/searchdata.js");
    CHM2Web_WriteWHFiles(strFilesDir);
    CHM2Web_WriteHeaderJSFile(strWebHelpDir);
    CHM2Web_WriteIndexPage(strWebHelpDir);
    CHM2Web_CopyWHTemplatesImages(strFilesDir);
    CHM2Web_WriteContentsHeaderPage(strWebHelpDir);
    CHM2Web_WriteContentsNavPage(strWebHelpDir);
    CHM2Web_WriteContentsNavBarPage(strWebHelpDir);
    CHM2Web_WriteContentsMainPage(strWebHelpDir);
    if (s.bShowIndex)
    {
        CHM2Web_WriteIndexHeaderPage(strWebHelpDir);
        CHM2Web_WriteIndexNavPage(strWebHelpDir);
        CHM2Web_WriteIndexNavBarPage(strWebHelpDir);
        CHM2Web_WriteIndexMainPage(strWebHelpDir);
    }
    if (s.bShowSearch)
    {
        CHM2Web_WriteSearchHeaderPage(strWebHelpDir);
        CHM2Web_WriteSearchNavPage(strWebHelpDir);
        CHM2Web_WriteSearchNavBarPage(strWebHelpDir);
        CHM2Web_WriteSearchMainPage(strWebHelpDir);
    }
    if (WriteFailed())
        return Fail(kStepWritePages, true);
    out.Number(kTextDone);
    out.LineEnd();

    BeginStep(kStepUnpack);
    unpack.Wait();
    if (!bPassOpened)
        return Fail(kStepUnpack, false);
    if (!strUnpackFailure.empty())
    {
        errno = nUnpackErrno;
        NoteWriteFailure(strUnpackFailure);
    }
    m_LastResult.nCaseNames += CHM2Web_AddCaseLinks(strTopicDir, m_vecCaseLinks);
    CHM2Web_DecompileMergeCHMFiles(strTopicDir);
    if (WriteFailed())
        return Fail(kStepUnpack, true);
    out.Number(kTextDone);
    out.LineEnd();

    m_CHMFile.CHM_CloseCHMFile();
    m_mapMergeReaders.clear();
    m_LastResult.bSucceeded = true;
    return m_LastResult;
}
