#include "CWebHelpHelper.h"

#include "WHOutputFiles.h"

namespace
{
struct SBlockPlaceholder
{
    const char* pszPlaceholder;
    const std::string tagWebHelpSettings::*pValue;
    bool bAttribute; ///< it stands in an attribute value of the button template, else in text
};

struct SButton
{
    const int32_t tagWebHelpSettings::*pShow; ///< Null: always shown.
    const char* pszStart;
    const char* pszEnd;
    const char* pszPagePlaceholder;
    SBlockPlaceholder aInBlock[2];
};

using S = tagWebHelpSettings;

// In this order: a block holding the page placeholder of a later button has it replaced in turn.
const SButton g_aButtons[] = {
    {&S::bShowHome,
     "#btnhomestart#",
     "#btnhomeend#",
     "#btnhomereplace#",
     {{"#homepagereplace#", &S::strHomePage, true}, {"#hometipreplace#", &S::strTipHome, true}}},
    {nullptr,
     "#btncontentsstart#",
     "#btncontentsend#",
     "#btncontentsreplace#",
     {{"#txtcontentsreplace#", &S::strTxtContents, false}, {nullptr, nullptr, false}}},
    {&S::bShowIndex,
     "#btnindexstart#",
     "#btnindexend#",
     "#btnindexreplace#",
     {{"#txtindexreplace#", &S::strTxtIndex, false}, {nullptr, nullptr, false}}},
    {&S::bShowSearch,
     "#btnsearchstart#",
     "#btnsearchend#",
     "#btnsearchreplace#",
     {{"#txtsearchreplace#", &S::strTxtSearch, false}, {nullptr, nullptr, false}}},
    {&S::bShowPrint,
     "#btnprintstart#",
     "#btnprintend#",
     "#btnprintreplace#",
     {{"#printtipreplace#", &S::strTipPrint, true}, {nullptr, nullptr, false}}},
    {&S::bShowPrev,
     "#btnprevstart#",
     "#btnprevend#",
     "#btnprevreplace#",
     {{"#prevtipreplace#", &S::strTipPrev, true}, {nullptr, nullptr, false}}},
    {&S::bShowNext,
     "#btnnextstart#",
     "#btnnextend#",
     "#btnnextreplace#",
     {{"#nexttipreplace#", &S::strTipNext, true}, {nullptr, nullptr, false}}},
};

/// Text between the first start marker and the first end marker, both searched from the start of
/// the template; empty when either is missing or the end comes first.
std::string CutBlock(const std::string& strButtons, const std::string& strStart, const std::string& strEnd)
{
    size_t s = strButtons.find(strStart);
    size_t e = strButtons.find(strEnd);
    if (s == std::string::npos || e == std::string::npos || e <= s)
        return std::string();
    size_t nBegin = s + strStart.size();
    // An end marker that overlaps the start marker leaves nothing between them.
    if (e < nBegin)
        return std::string();
    return strButtons.substr(nBegin, e - nBegin);
}

// The three header pages differ only in their template and output names.
void WriteHeaderPage(CWebHelpHelper& helper, const std::string& strDir, const CCodePage& cp,
                     const char* pszTemplate, const char* pszOutput)
{
    const tagWebHelpSettings& s = helper.Settings();
    std::string strPage;
    if (!WH_ReadFileBytes(WH_TemplatePath(helper.m_strAppRunPath, s.nTemplate, pszTemplate), strPage))
        return;
    WH_ReplaceAll(strPage, "#charserreplace#", helper.GetCharsetStr(s.nCharset));
    WH_ReplaceAll(strPage, "#titlereplace#", WH_PageText(s.strTitle, cp));

    std::string strButtons;
    if (!WH_ReadFileBytes(WH_TemplatePath(helper.m_strAppRunPath, s.nTemplate, "whheaderbtn.tmpl"),
                          strButtons))
        return;

    for (const SButton& button : g_aButtons)
    {
        std::string strBlock;
        if (button.pShow == nullptr || s.*button.pShow != 0)
        {
            strBlock = CutBlock(strButtons, button.pszStart, button.pszEnd);
            for (const SBlockPlaceholder& ph : button.aInBlock)
            {
                if (ph.pszPlaceholder != nullptr)
                    WH_ReplaceAll(strBlock, ph.pszPlaceholder,
                                  ph.bAttribute ? WH_PageAttribute(s.*ph.pValue, cp)
                                                : WH_PageText(s.*ph.pValue, cp));
            }
        }
        WH_ReplaceAll(strPage, button.pszPagePlaceholder, strBlock);
    }
    helper.WriteSiteFile(strDir + "/" + pszOutput, strPage);
}
} // namespace

void CWebHelpHelper::CHM2Web_WriteContentsHeaderPage(std::string strDir)
{
    WriteHeaderPage(*this, strDir, GetSiteCodePage(), "whheaderc.tmpl", "whheaderc.html");
}

void CWebHelpHelper::CHM2Web_WriteIndexHeaderPage(std::string strDir)
{
    WriteHeaderPage(*this, strDir, GetSiteCodePage(), "whheaderi.tmpl", "whheaderi.html");
}

void CWebHelpHelper::CHM2Web_WriteSearchHeaderPage(std::string strDir)
{
    WriteHeaderPage(*this, strDir, GetSiteCodePage(), "whheaders.tmpl", "whheaders.html");
}
