#include "CWebHelpHelper.h"

#include "WHOutputFiles.h"

namespace
{
struct SBlockPlaceholder
{
    const char* pszPlaceholder;
    const std::string tagWebHelpSettings::*pValue;
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
     {{"#homepagereplace#", &S::strHomePage}, {"#hometipreplace#", &S::strTipHome}}},
    {nullptr,
     "#btncontentsstart#",
     "#btncontentsend#",
     "#btncontentsreplace#",
     {{"#txtcontentsreplace#", &S::strTxtContents}, {nullptr, nullptr}}},
    {&S::bShowIndex,
     "#btnindexstart#",
     "#btnindexend#",
     "#btnindexreplace#",
     {{"#txtindexreplace#", &S::strTxtIndex}, {nullptr, nullptr}}},
    {&S::bShowSearch,
     "#btnsearchstart#",
     "#btnsearchend#",
     "#btnsearchreplace#",
     {{"#txtsearchreplace#", &S::strTxtSearch}, {nullptr, nullptr}}},
    {&S::bShowPrint,
     "#btnprintstart#",
     "#btnprintend#",
     "#btnprintreplace#",
     {{"#printtipreplace#", &S::strTipPrint}, {nullptr, nullptr}}},
    {&S::bShowPrev,
     "#btnprevstart#",
     "#btnprevend#",
     "#btnprevreplace#",
     {{"#prevtipreplace#", &S::strTipPrev}, {nullptr, nullptr}}},
    {&S::bShowNext,
     "#btnnextstart#",
     "#btnnextend#",
     "#btnnextreplace#",
     {{"#nexttipreplace#", &S::strTipNext}, {nullptr, nullptr}}},
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
    WH_ReplaceAll(strPage, "#titlereplace#", cp.FromUTF8ForHTML(s.strTitle));

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
                    WH_ReplaceAll(strBlock, ph.pszPlaceholder, cp.FromUTF8ForHTML(s.*ph.pValue));
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
