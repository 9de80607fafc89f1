#include "CWebHelpHelper.h"

#include "WHOutputFiles.h"

void CWebHelpHelper::CHM2Web_WriteIndexPage(std::string strDir)
{
    const tagWebHelpSettings& s = Settings();
    const std::string strTitle = WH_PageText(s.strTitle, GetSiteCodePage());
    std::string strPage;
    auto Line = [&strPage](std::string_view svLine)
    {
        strPage.append(svLine);
        strPage.append("\r\n");
    };
    Line("<html>");
    Line("<head>");
    Line("<META http-equiv=\"Content-Type\" content=\"text/html; charset=" + GetCharsetStr(s.nCharset) +
         "\">");
    Line("<title>" + strTitle + "</title>");
    Line("<script type=\"text/JavaScript\" src=\"whfiles/contentsdata.js\"></script>");
    Line("<script type=\"text/JavaScript\" src=\"whfiles/whcontents.js\"></script>");
    Line("<script type=\"text/JavaScript\" src=\"whfiles/whhelper.js\"></script>");
    Line("<script type=\"text/javascript\" src=\"whfiles/index.js\"></script>");
    Line("</head>");
    Line("<script type=\"text/JavaScript\">");
    Line("document.write('<frameset rows=\"32,*\" frameborder=\"yes\" framespacing=\"1\" border=\"0\" "
         "bordercolor=\"#000000\">');");
    Line("document.write('<frame name=\"header\" src=\"whheaderc.html\" noresize scrolling=\"no\" "
         "id=\"whHeader\">');");
    Line("document.write('<frameset cols=\"250,*\" frameborder=\"yes\" border=\"4\" id=\"whPfset\">');");
    Line("document.write('<frame name=\"toc\" src=\"whnavc.html\" >');");
    Line("document.write('<frame name=\"content\" src=\"' + F + '\" >');");
    Line("document.write('</frameset>');");
    Line("document.write('</frameset>');");
    Line("</script>");
    Line("<noscript><p>To display this page you need a browser with JavaScript support.</p>"
         "<a href=\"whnavc.html\">Help Contents</a></noscript>");
    Line("</html>");
    WriteSiteFile(strDir + "/index.html", strPage);
}

void CWebHelpHelper::CHM2Web_WriteHeaderJSFile(std::string strDir)
{
    std::string strScript;
    if (!WH_ReadFileBytes(WH_TemplatePath(m_strAppRunPath, Settings().nTemplate, "whheader_js.tmpl"),
                          strScript))
        return;
    WriteSiteFile(strDir + "/whfiles/whheader.js", strScript);
}
