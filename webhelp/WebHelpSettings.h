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

/// How one conversion ended. A conversion that failed names its step, and the file and the system's
/// reason when a file could not be read or written.
struct tagConvertResult
{
    bool bSucceeded = false;
    int32_t nFailedStep = 0; ///< Number of the failed step's progress text (677-684); 0 when none failed.
    std::string strFile;     ///< The file that could not be read or written; empty when none.
    std::string strReason;   ///< Why, in the system's words; empty when it succeeded.
    int32_t nCaseNames = 0;  ///< Names the site got in the letter case that its pages use.
};

/// How far a running conversion has gone; the counts are files of the archive (merged files too).
struct tagConvertProgress
{
    int32_t nStep = 0;         ///< Progress text of the step under way (677-684); 0 before the first.
    int32_t nHarvested = 0;    ///< Files read for the search data so far,
    int32_t nHarvestTotal = 0; ///< of so many; 0 until the harvest has listed the archive.
    int32_t nUnpacked = 0;     ///< Files unpacked so far,
    int32_t nUnpackTotal = 0;  ///< of so many; 0 until the unpacking has begun.
};
