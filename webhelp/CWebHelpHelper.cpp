#include "CWebHelpHelper.h"

#include "WebHelpDefaults.h"

#include <climits>
#include <unistd.h>

tagWebHelpSettings g_WebHelpSettings;

const std::string CWebHelpHelper::m_strWHTemplates[5] = {"General", "Default", "XP Blue", "XP Green",
                                                         "XP Silver"};
const std::string CWebHelpHelper::m_strWHTemplateDir[5] = {"general", "default", "xpblue", "xpgreen",
                                                           "xpsilver"};

const std::string CWebHelpHelper::m_strCharset[44][2] = {
    {"DIN_66003", "IA5 (German)"},
    {"NS_4551-1", "IA5 (Norwegian)"},
    {"SEN_850200_B", "IA5 (Swedish)"},
    {"_autodetect", "Japanese (Auto Select)"},
    {"_autodetect_kr", "Korean (Auto Select)"},
    {"big5", "Chinese Traditional (Big5)"},
    {"csISO2022JP", "Japanese (JIS-Allow 1 byte Kana)"},
    {"euc-kr", "Korean (EUC)"},
    {"gb2312", "Chinese Simplified (GB2312)"},
    {"hz-gb-2312", "Chinese Simplified (HZ)"},
    {"ibm852", "Central European (DOS)"},
    {"ibm866", "Cyrillic Alphabet (DOS)"},
    {"irv", "IA5 (IRV)"},
    {"iso-2022-jp", "Japanese (JIS)"},
    {"iso-2022-jp", "Japanese (JIS-Allow 1 byte Kana)"},
    {"iso-2022-kr", "Korean (ISO)"},
    {"iso-8859-1", "Western Alphabet"},
    {"iso-8859-1", "Western Alphabet (ISO)"},
    {"iso-8859-2", "Central European Alphabet (ISO)"},
    {"iso-8859-3", "Latin 3 Alphabet (ISO)"},
    {"iso-8859-4", "Baltic Alphabet (ISO)"},
    {"iso-8859-5", "Cyrillic Alphabet (ISO)"},
    {"iso-8859-6", "Arabic Alphabet (ISO)"},
    {"iso-8859-7", "Greek Alphabet (ISO)"},
    {"iso-8859-8", "Hebrew Alphabet (ISO)"},
    {"koi8-r", "Cyrillic Alphabet (KOI8-R)"},
    {"ks_c_5601", "Korean"},
    {"shift-jis", "Japanese (Shift-JIS)"},
    {"unicode", "Universal Alphabet"},
    {"unicodeFEFF", "Universal Alphabet (Big-Endian)"},
    {"utf-7", "Universal Alphabet (UTF-7)"},
    {"utf-8", "Universal Alphabet (UTF-8)"},
    {"windows-1250", "Central European Alphabet (Windows)"},
    {"windows-1251", "Cyrillic Alphabet (Windows)"},
    {"windows-1252", "Western Alphabet (Windows)"},
    {"windows-1253", "Greek Alphabet (Windows)"},
    {"windows-1254", "Turkish Alphabet"},
    {"windows-1255", "Hebrew Alphabet (Windows)"},
    {"windows-1256", "Arabic Alphabet (Windows)"},
    {"windows-1257", "Baltic Alphabet (Windows)"},
    {"windows-1258", "Vietnamese Alphabet (Windows)"},
    {"windows-874", "Thai (Windows)"},
    {"x-euc", "Japanese (EUC)"},
    {"x-user-defined", "User Defined"},
};

const std::string CWebHelpHelper::m_strCopyTemplatesImages[17] = {
    "wh_bg.gif",    "wh_home.gif",  "wh_prev.gif",  "wh_next.gif", "wh_print.gif", "wht_hide.gif",
    "wht_prev.gif", "wht_next.gif", "wht_sync.gif", "1.gif",       "2.gif",        "3.gif",
    "4.gif",        "5.gif",        "6.gif",        "7.gif",       "8.gif"};

CWebHelpHelper::CWebHelpHelper()
{
    m_nCharsetCount = 44;
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
    return "windows-1252";
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

namespace
{
/// The code page a CThreadCodePage gives this thread, and the helper it is for.
thread_local const CWebHelpHelper* t_pCodePageHelper = nullptr;
thread_local const CCodePage* t_pThreadCodePage = nullptr;
} // namespace

CWebHelpHelper::CThreadCodePage::CThreadCodePage(const CWebHelpHelper& helper, const CCodePage& cp)
    : m_pOuterHelper(t_pCodePageHelper), m_pOuterCodePage(t_pThreadCodePage)
{
    t_pCodePageHelper = &helper;
    t_pThreadCodePage = &cp;
}

CWebHelpHelper::CThreadCodePage::~CThreadCodePage()
{
    t_pCodePageHelper = m_pOuterHelper;
    t_pThreadCodePage = m_pOuterCodePage;
}

const CCodePage& CWebHelpHelper::GetSiteCodePage()
{
    const int32_t nCharset = Settings().nCharset;
    if (t_pCodePageHelper == this && t_pThreadCodePage->GetRow() == nCharset)
        return *t_pThreadCodePage;
    if (!m_pSiteCodePage || m_pSiteCodePage->GetRow() != nCharset)
        m_pSiteCodePage = std::make_unique<CCodePage>(nCharset);
    return *m_pSiteCodePage;
}
