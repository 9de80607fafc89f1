#include "CWebHelpHelper.h"

#include "WHOutputFiles.h"

namespace
{
enum class EFill
{
    None,    ///< navigation page: a plain copy
    Charset, ///< navigation-bar page
    Main,    ///< main page: charset, then title
};

void WriteTabPage(CWebHelpHelper& helper, const std::string& strDir, const CCodePage& cp,
                  const char* pszTemplate, const char* pszOutput, EFill eFill)
{
    const tagWebHelpSettings& s = helper.Settings();
    std::string strPage;
    if (!WH_ReadFileBytes(WH_TemplatePath(helper.m_strAppRunPath, s.nTemplate, pszTemplate), strPage))
        return;
    if (eFill != EFill::None)
        WH_ReplaceAll(strPage, "#charserreplace#", helper.GetCharsetStr(s.nCharset));
    if (eFill == EFill::Main)
        WH_ReplaceAll(strPage, "#titlereplace#", WH_PageText(s.strTitle, cp));
    helper.WriteSiteFile(strDir + "/" + pszOutput, strPage);
}
} // namespace

void CWebHelpHelper::CHM2Web_WriteContentsNavPage(std::string strDir)
{
    WriteTabPage(*this, strDir, GetSiteCodePage(), "whnavc.tmpl", "whnavc.html", EFill::None);
}

void CWebHelpHelper::CHM2Web_WriteIndexNavPage(std::string strDir)
{
    WriteTabPage(*this, strDir, GetSiteCodePage(), "whnavi.tmpl", "whnavi.html", EFill::None);
}

void CWebHelpHelper::CHM2Web_WriteSearchNavPage(std::string strDir)
{
    WriteTabPage(*this, strDir, GetSiteCodePage(), "whnavs.tmpl", "whnavs.html", EFill::None);
}

void CWebHelpHelper::CHM2Web_WriteContentsNavBarPage(std::string strDir)
{
    WriteTabPage(*this, strDir, GetSiteCodePage(), "whnavcbars.tmpl", "whnavcbars.html", EFill::Charset);
}

void CWebHelpHelper::CHM2Web_WriteIndexNavBarPage(std::string strDir)
{
    WriteTabPage(*this, strDir, GetSiteCodePage(), "whnavibars.tmpl", "whnavibars.html", EFill::Charset);
}

void CWebHelpHelper::CHM2Web_WriteSearchNavBarPage(std::string strDir)
{
    WriteTabPage(*this, strDir, GetSiteCodePage(), "whnavsbars.tmpl", "whnavsbars.html", EFill::Charset);
}

void CWebHelpHelper::CHM2Web_WriteContentsMainPage(std::string strDir)
{
    WriteTabPage(*this, strDir, GetSiteCodePage(), "whcontents.tmpl", "whcontents.html", EFill::Main);
}

void CWebHelpHelper::CHM2Web_WriteIndexMainPage(std::string strDir)
{
    WriteTabPage(*this, strDir, GetSiteCodePage(), "whindex.tmpl", "whindex.html", EFill::Main);
}

void CWebHelpHelper::CHM2Web_WriteSearchMainPage(std::string strDir)
{
    WriteTabPage(*this, strDir, GetSiteCodePage(), "whsearch.tmpl", "whsearch.html", EFill::Main);
}
