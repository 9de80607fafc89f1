#pragma once

#include <cstdint>
#include <string>

/// What the wizard or the host gathers and the pipeline and page writers read.
/// Texts are UTF-8; writers convert them to the site's code page.
struct tagWebHelpSettings
{
    std::string strCHMFile;
    std::string strWebHelpDir;
    int32_t nTemplate = 0;
    int32_t bShowIndex = 0;
    int32_t bShowSearch = 0;
    int32_t bShowHome = 0;
    int32_t bShowPrev = 0;
    int32_t bShowNext = 0;
    int32_t bShowPrint = 0;
    int32_t nCharset = 0;
    std::string strSourceDir;
    std::string strTxtContents;
    std::string strTxtIndex;
    std::string strTxtSearch;
    std::string strTipHome;
    std::string strTipPrev;
    std::string strTipNext;
    std::string strTipPrint;
    std::string strTitle;
    std::string strHomePage;
};

/// One record per process, shared by every converter; empty until InitWebHelpSettings.
extern tagWebHelpSettings g_WebHelpSettings;
