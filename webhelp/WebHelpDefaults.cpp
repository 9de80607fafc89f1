#include "WebHelpDefaults.h"

#include "CCHMFileRW.h"
#include "CCharsets.h"
#include "CCodePage.h"
#include "CPath.h"
#include "CText.h"
#include "CWebHelpHelper.h"
#include "WebHelpLanguage.h"

namespace
{
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

/// Captions follow the code page the language is written in, so the one language test decides both.
const SCaptions& CaptionsOfCharset(const std::string& strCharset)
{
    if (strCharset == "big5")
        return kTraditionalChinese;
    if (strCharset == "gb2312")
        return kSimplifiedChinese;
    return kEnglish;
}

void SetCaptions(tagWebHelpSettings& s, const SCaptions& cap)
{
    s.strTxtContents = cap.pszContents;
    s.strTxtIndex = cap.pszIndex;
    s.strTxtSearch = cap.pszSearch;
    s.strTipHome = cap.pszHome;
    s.strTipPrev = cap.pszPrev;
    s.strTipNext = cap.pszNext;
    s.strTipPrint = cap.pszPrint;
}

/// Bytes in the code page of charset row nRow to UTF-8.
std::string ToUTF8(const std::string& strBytes, int nRow)
{
    const CCodePage cpFrom(nRow);
    if (cpFrom.IsUTF8())
        return strBytes;
    std::string strOut;
    for (char32_t c : cpFrom.ToWide(strBytes))
        AppendUTF8(strOut, c);
    return strOut;
}
} // namespace

tagWebHelpSettings WebHelp_DefaultSettings()
{
    tagWebHelpSettings s;
    s.nTemplate = 1;
    s.bShowIndex = 1;
    s.bShowSearch = 1;
    s.bShowHome = 1;
    s.bShowPrev = 1;
    s.bShowNext = 1;
    s.bShowPrint = 1;
    s.nCharset = kCharsetGb2312;
    s.strSourceDir = "source";
    SetCaptions(s, kSimplifiedChinese);
    s.strTitle = "\u7F51\u7EDC\u5728\u7EBF\u5E2E\u52A9"; // online help on the web
    // The converter has no maker's page to offer; the site's own start page is what Home means to a reader.
    s.strHomePage = "index.html";
    return s;
}

std::string WebHelp_DefaultOutputDir(const std::string& strCHMFile)
{
    CPath path(strCHMFile);
    return path.GetLocation() + path.GetFileTitle() + "_WebHelp";
}

bool WebHelp_SettingsFromCHMFile(const std::string& strCHMFile, tagWebHelpSettings& settings,
                                 uint32_t* pnLCID)
{
    CCHMFileRW reader;
    if (!reader.CHM_SetCHMFile(strCHMFile))
        return false;
    const CCHMSystemInfo& info = reader.CHM_GetSystemInfo();
    const int nRow = WebHelpCharsetRowOfLCID(info.nLCID);
    settings.nCharset = nRow;
    SetCaptions(settings, CaptionsOfCharset(CWebHelpHelper::m_strCharset[nRow][0]));
    settings.strTitle =
        info.strTitle.empty() ? CPath(strCHMFile).GetFileTitle() : ToUTF8(info.strTitle, nRow);
    settings.strCHMFile = strCHMFile;
    settings.strWebHelpDir = WebHelp_DefaultOutputDir(strCHMFile);
    if (pnLCID != nullptr)
        *pnLCID = info.nLCID;
    return true;
}
