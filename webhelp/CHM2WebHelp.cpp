#include "CWebHelpHelper.h"

#include "CPath.h"
#include "CStrHelper.h"
#include "CXML.h"

#include <atomic>
#include <exception>
#include <functional>
#include <system_error>
#include <thread>
#include <utility>

namespace
{
class CProgress
{
public:
    explicit CProgress(PFNCOMPILEOUTPUT pfnOutput) : m_pfnOutput(pfnOutput) {}
    void Text(const std::string& str) const
    {
        if (m_pfnOutput != nullptr)
            m_pfnOutput(str);
    }
    void Number(int nID) const { Text(CStrHelper::ML_GetStringEx(nID)); }
    void LineEnd() const { Text("\r\n"); }

private:
    PFNCOMPILEOUTPUT m_pfnOutput;
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

const int kTextDone = 675;
const int kTextFailed = 676;
} // namespace

void CWebHelpHelper::SetCHMFile(std::string strCHMFile)
{
    m_strCHMFile = std::move(strCHMFile);
}

void CWebHelpHelper::CHM2WebHelp(std::string strWebHelpDir, std::string strSourceDir)
{
    const CProgress out(m_CompileThreadPar.pfnOutput);
    const std::string strTopicDir = strWebHelpDir + "/" + strSourceDir;
    const std::string strFilesDir = strWebHelpDir + "/whfiles";

    CPath::CreateDir(strWebHelpDir);
    CPath::CreateDir(strTopicDir);
    CPath::CreateDir(strFilesDir);

    m_strWebHelpDir = strWebHelpDir;
    m_strSourceDir = strSourceDir;

    m_CHMFile.CHM_CloseCHMFile();
    m_CHMFile.CHM_SetCHMFile(m_strCHMFile);

    ClearMergeCHMFilesMap();

    // The harvest needs nothing of the sitemaps, so it runs on a second thread, with a reader and a
    // code page of its own, beside their reading.
    CAsideJob harvest(m_bStopHarvest,
                      [this]
                      {
                          const CCodePage cp(g_WebHelpSettings.nCharset);
                          const CThreadCodePage scope(*this, cp);
                          CCHMFileRW chm;
                          HarvestCHMFileFrom(chm.CHM_SetCHMFile(m_strCHMFile) ? &chm : nullptr);
                      });

    // The trees that live to the end of the conversion, also when it ends early.
    auto pRawContents = std::make_unique<CXML>();
    auto pRawIndex = std::make_unique<CXML>();
    auto pStorage = std::make_unique<CXML>();

    // A file that opens but has no such sitemap is converted with that list empty; only a file
    // that cannot be read fails.
    auto ReadSitemap = [&](bool bRead)
    {
        if (bRead)
            return true;
        return m_CHMFile.CHM_IsOpen() && m_CHMFile.CHM_SitemapMissing();
    };

    out.LineEnd();
    out.Number(677);
    if (!ReadSitemap(m_CHMFile.CHM2Web_ReadHHCInfoToXML(pRawContents.get(), std::string()) != 0))
    {
        out.Number(kTextFailed);
        out.LineEnd();
        return;
    }
    out.Number(kTextDone);
    out.LineEnd();

    out.Number(678);
    {
        auto pRoot = std::make_unique<CXML>();
        pRoot->SetTagName("HHC");
        pRoot->SetAttr("ft", std::string("ft"));
        CHM2Web_SplitHHCInfo(pRawContents.get(), pRoot.get());
        CHM2Web_CreateContentsScriptFile(pRoot.get(), strFilesDir + "/contentsdata.js");
        CHM2Web_CreateContentsImages(strFilesDir);
    }
    out.Number(kTextDone);
    out.LineEnd();

    out.Number(679);
    if (!ReadSitemap(m_CHMFile.CHM2Web_ReadHHKInfoToXML(pRawIndex.get()) != 0))
    {
        out.Number(kTextFailed);
        out.LineEnd();
        return;
    }
    out.Number(kTextDone);
    out.LineEnd();

    out.Number(680);
    {
        auto pRoot = std::make_unique<CXML>();
        pRoot->SetTagName("HHK");
        pRoot->SetAttr("ft", std::string("ft"));
        CHM2Web_SplitHHKInfo(pRawIndex.get(), pRoot.get());
        CHM2Web_CreateIndexScriptFile(pRoot.get(), strFilesDir + "/indexdata.js");
    }
    out.Number(kTextDone);
    out.LineEnd();

    pStorage->SetTagName("CHMInfo");
    out.Number(681);
    if (m_CHMFile.CHM_ReadAllStorageInfoToXML(pStorage.get()) == 0)
    {
        out.Number(kTextFailed);
        out.LineEnd();
        return;
    }
    out.Number(kTextDone);
    out.LineEnd();

    out.Number(682);
    harvest.Wait();
    out.Number(kTextDone);
    out.LineEnd();
    out.LineEnd();

    out.Number(683);
    WriteSearchDataToFile(strFilesDir + "/searchdata.js");
    CHM2Web_WriteWHFiles(strFilesDir);
    CHM2Web_WriteHeaderJSFile(strWebHelpDir);
    CHM2Web_WriteIndexPage(strWebHelpDir);
    CHM2Web_CopyWHTemplatesImages(strFilesDir);
    CHM2Web_WriteContentsHeaderPage(strWebHelpDir);
    CHM2Web_WriteContentsNavPage(strWebHelpDir);
    CHM2Web_WriteContentsNavBarPage(strWebHelpDir);
    CHM2Web_WriteContentsMainPage(strWebHelpDir);
    if (g_WebHelpSettings.bShowIndex)
    {
        CHM2Web_WriteIndexHeaderPage(strWebHelpDir);
        CHM2Web_WriteIndexNavPage(strWebHelpDir);
        CHM2Web_WriteIndexNavBarPage(strWebHelpDir);
        CHM2Web_WriteIndexMainPage(strWebHelpDir);
    }
    if (g_WebHelpSettings.bShowSearch)
    {
        CHM2Web_WriteSearchHeaderPage(strWebHelpDir);
        CHM2Web_WriteSearchNavPage(strWebHelpDir);
        CHM2Web_WriteSearchNavBarPage(strWebHelpDir);
        CHM2Web_WriteSearchMainPage(strWebHelpDir);
    }
    out.Number(kTextDone);
    out.LineEnd();

    out.Number(684);
    m_CHMFile.CHM2Web_Decompile(strTopicDir);
    CHM2Web_DecompileMergeCHMFiles(strTopicDir);
    out.Number(kTextDone);
    out.LineEnd();

    m_CHMFile.CHM_CloseCHMFile();
    pStorage.reset();
    pRawIndex.reset();
    pRawContents.reset();
}
