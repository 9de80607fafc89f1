#include "CWebHelpHelper.h"

#include "CCharsets.h"
#include "WebHelpDefaults.h"

#include <climits>
#include <unistd.h>

tagWebHelpSettings g_WebHelpSettings;

const std::string CWebHelpHelper::m_strWHTemplates[5] = {"General", "Default", "XP Blue", "XP Green",
                                                         "XP Silver"};
const std::string CWebHelpHelper::m_strWHTemplateDir[5] = {"general", "default", "xpblue", "xpgreen",
                                                           "xpsilver"};

// The class-wide copy of the charset table's names, for callers that index it by row.
#define WH_CHARSET_NAMES(n) Charset_Row(n).pszBrowserName, Charset_Row(n).pszDisplayName
const std::string CWebHelpHelper::m_strCharset[kCharsetCount][2] = {
    WH_CHARSET_NAMES(0),  WH_CHARSET_NAMES(1),  WH_CHARSET_NAMES(2),  WH_CHARSET_NAMES(3),
    WH_CHARSET_NAMES(4),  WH_CHARSET_NAMES(5),  WH_CHARSET_NAMES(6),  WH_CHARSET_NAMES(7),
    WH_CHARSET_NAMES(8),  WH_CHARSET_NAMES(9),  WH_CHARSET_NAMES(10), WH_CHARSET_NAMES(11),
    WH_CHARSET_NAMES(12), WH_CHARSET_NAMES(13), WH_CHARSET_NAMES(14), WH_CHARSET_NAMES(15),
    WH_CHARSET_NAMES(16), WH_CHARSET_NAMES(17), WH_CHARSET_NAMES(18), WH_CHARSET_NAMES(19),
    WH_CHARSET_NAMES(20), WH_CHARSET_NAMES(21), WH_CHARSET_NAMES(22), WH_CHARSET_NAMES(23),
    WH_CHARSET_NAMES(24), WH_CHARSET_NAMES(25), WH_CHARSET_NAMES(26), WH_CHARSET_NAMES(27),
    WH_CHARSET_NAMES(28), WH_CHARSET_NAMES(29), WH_CHARSET_NAMES(30), WH_CHARSET_NAMES(31),
    WH_CHARSET_NAMES(32), WH_CHARSET_NAMES(33), WH_CHARSET_NAMES(34), WH_CHARSET_NAMES(35),
    WH_CHARSET_NAMES(36), WH_CHARSET_NAMES(37), WH_CHARSET_NAMES(38), WH_CHARSET_NAMES(39),
    WH_CHARSET_NAMES(40), WH_CHARSET_NAMES(41), WH_CHARSET_NAMES(42), WH_CHARSET_NAMES(43),
};
#undef WH_CHARSET_NAMES

const std::string CWebHelpHelper::m_strCopyTemplatesImages[17] = {
    "wh_bg.gif",    "wh_home.gif",  "wh_prev.gif",  "wh_next.gif", "wh_print.gif", "wht_hide.gif",
    "wht_prev.gif", "wht_next.gif", "wht_sync.gif", "1.gif",       "2.gif",        "3.gif",
    "4.gif",        "5.gif",        "6.gif",        "7.gif",       "8.gif"};

CWebHelpHelper::CWebHelpHelper()
{
    m_nCharsetCount = kCharsetCount;
    m_strAppRunPath = GetAppRunPath();
}

CWebHelpHelper::~CWebHelpHelper()
{
    // A running worker still uses this object: wait for it before anything is emptied under it.
    if (m_pCompileThread)
    {
        if (m_pCompileThread->joinable())
            m_pCompileThread->join();
        m_pCompileThread.reset();
    }
    ClearSearchFilesArray();
    ClearSearchTitlesArray();
    ClearSearchKeywordsMap();
    ClearMergeCHMFilesMap();
}

void CWebHelpHelper::InitWebHelpSettings()
{
    tagWebHelpSettings s = WebHelp_DefaultSettings();
    s.strCHMFile = std::move(g_WebHelpSettings.strCHMFile);
    s.strWebHelpDir = std::move(g_WebHelpSettings.strWebHelpDir);
    g_WebHelpSettings = std::move(s);
}

std::string CWebHelpHelper::GetCharsetStr(int32_t nIndex) const
{
    if (nIndex >= 0 && nIndex < m_nCharsetCount)
        return m_strCharset[nIndex][0];
    return Charset_Row(kCharsetWin1252).pszBrowserName;
}

std::string CWebHelpHelper::GetAppRunPath() const
{
    char szPath[PATH_MAX + 1];
    ssize_t nLen = readlink("/proc/self/exe", szPath, PATH_MAX);
    if (nLen <= 0)
        return std::string();
    std::string strPath(szPath, static_cast<size_t>(nLen));
    size_t nPos = strPath.rfind('/');
    if (nPos != std::string::npos && nPos > 0)
        strPath.resize(nPos + 1);
    return strPath;
}

const CCodePage& CWebHelpHelper::GetSiteCodePage()
{
    const int32_t nCharset = Settings().nCharset;
    if (!m_pSiteCodePage || m_pSiteCodePage->GetRow() != nCharset)
        m_pSiteCodePage = std::make_unique<CCodePage>(nCharset);
    return *m_pSiteCodePage;
}

tagConvertProgress CWebHelpHelper::GetProgress() const
{
    tagConvertProgress progress;
    progress.nStep = m_nRunningStep.load(std::memory_order_relaxed);
    progress.nHarvested = m_HarvestCount.nDone.load(std::memory_order_relaxed);
    progress.nHarvestTotal = m_HarvestCount.nTotal.load(std::memory_order_relaxed);
    // The unpacking runs from the start beside the other steps but is shown from its own step (684)
    // on, where it is waited for: before that, the harvest's count is the news.
    if (progress.nStep >= 684)
    {
        progress.nUnpacked = m_UnpackCount.nDone.load(std::memory_order_relaxed);
        progress.nUnpackTotal = m_UnpackCount.nTotal.load(std::memory_order_relaxed);
    }
    return progress;
}
