#include "WebHelpDefaults.h"

#include "CCHMFileRW.h"
#include "CCodePage.h"
#include "CPath.h"
#include "CText.h"
#include "WebHelpLanguage.h"

namespace
{
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
    s.strSourceDir = "source";
    WebHelp_SetLanguage(s, kLCIDSimplifiedChinese);
    // The converter has no maker's page to offer; the site's own start page is what Home means to a reader.
    s.strHomePage = "index.html";
    return s;
}

void WebHelp_SetCaptions(tagWebHelpSettings& settings, uint32_t nLCID)
{
    const SWebHelpTexts& texts = WebHelpTextsOfLCID(nLCID);
    settings.strTxtContents = texts.pszContents;
    settings.strTxtIndex = texts.pszIndex;
    settings.strTxtSearch = texts.pszSearch;
    settings.strTipHome = texts.pszHome;
    settings.strTipPrev = texts.pszPrev;
    settings.strTipNext = texts.pszNext;
    settings.strTipPrint = texts.pszPrint;
}

void WebHelp_SetLanguage(tagWebHelpSettings& settings, uint32_t nLCID)
{
    settings.nCharset = WebHelpCharsetRowOfLCID(nLCID);
    WebHelp_SetCaptions(settings, nLCID);
    settings.strTitle = WebHelpTextsOfLCID(nLCID).pszTitle;
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
    WebHelp_SettingsFromReader(reader, strCHMFile, settings, pnLCID);
    return true;
}

void WebHelp_SettingsFromReader(const CCHMFileRW& reader, const std::string& strCHMFile,
                                tagWebHelpSettings& settings, uint32_t* pnLCID)
{
    const CCHMSystemInfo& info = reader.CHM_GetSystemInfo();
    const int nRow = WebHelpCharsetRowOfLCID(info.nLCID);
    settings.nCharset = nRow;
    WebHelp_SetCaptions(settings, info.nLCID);
    settings.strTitle =
        info.strTitle.empty() ? CPath(strCHMFile).GetFileTitle() : ToUTF8(info.strTitle, nRow);
    settings.strCHMFile = strCHMFile;
    settings.strWebHelpDir = WebHelp_DefaultOutputDir(strCHMFile);
    if (pnLCID != nullptr)
        *pnLCID = info.nLCID;
}
