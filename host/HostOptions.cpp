#include "HostOptions.h"

#include "CWebHelpHelper.h"

#include <charconv>
#include <strings.h>

namespace
{
/// A whole decimal number in [0, nCount), else -1.
int ParseRow(const std::string& strValue, int nCount)
{
    int nRow = -1;
    const char* pEnd = strValue.data() + strValue.size();
    auto res = std::from_chars(strValue.data(), pEnd, nRow);
    if (strValue.empty() || res.ec != std::errc() || res.ptr != pEnd || nRow < 0 || nRow >= nCount)
        return -1;
    return nRow;
}
} // namespace

int ParseCharsetRow(const std::string& strValue)
{
    for (int i = 0; i < 44; ++i)
    {
        if (strcasecmp(strValue.c_str(), CWebHelpHelper::m_strCharset[i][0].c_str()) == 0)
            return i;
    }
    return ParseRow(strValue, 44);
}

int ParseTemplateRow(const std::string& strValue)
{
    for (int i = 0; i < 5; ++i)
    {
        if (strcasecmp(strValue.c_str(), CWebHelpHelper::m_strWHTemplateDir[i].c_str()) == 0 ||
            strcasecmp(strValue.c_str(), CWebHelpHelper::m_strWHTemplates[i].c_str()) == 0)
            return i;
    }
    return ParseRow(strValue, 5);
}

bool ParseConvertOptions(const std::vector<std::string>& vecArgs, SConvertOptions& opt, std::string& strError)
{
    struct STextOption
    {
        const char* pszName;
        std::optional<std::string> SConvertOptions::*pField;
    };
    const STextOption aText[] = {
        {"--title", &SConvertOptions::strTitle},
        {"--source-dir", &SConvertOptions::strSourceDir},
        {"--home-url", &SConvertOptions::strHomePage},
        {"--caption-contents", &SConvertOptions::strTxtContents},
        {"--caption-index", &SConvertOptions::strTxtIndex},
        {"--caption-search", &SConvertOptions::strTxtSearch},
        {"--tip-home", &SConvertOptions::strTipHome},
        {"--tip-prev", &SConvertOptions::strTipPrev},
        {"--tip-next", &SConvertOptions::strTipNext},
        {"--tip-print", &SConvertOptions::strTipPrint},
        {"-o", &SConvertOptions::strOutputDir},
        {"--output", &SConvertOptions::strOutputDir},
    };
    struct SSwitch
    {
        const char* pszName;
        int SConvertOptions::*pField;
    };
    const SSwitch aSwitch[] = {
        {"--no-index", &SConvertOptions::bShowIndex}, {"--no-search", &SConvertOptions::bShowSearch},
        {"--no-home", &SConvertOptions::bShowHome},   {"--no-print", &SConvertOptions::bShowPrint},
        {"--no-prev", &SConvertOptions::bShowPrev},   {"--no-next", &SConvertOptions::bShowNext},
    };

    bool bOptionsEnded = false;
    for (size_t i = 0; i < vecArgs.size(); ++i)
    {
        const std::string& strArg = vecArgs[i];
        if (bOptionsEnded || strArg.empty() || strArg[0] != '-' || strArg == "-")
        {
            if (!opt.strInput.empty())
            {
                strError = "more than one input file ('" + opt.strInput + "', '" + strArg + "')";
                return false;
            }
            opt.strInput = strArg;
            continue;
        }
        if (strArg == "--")
        {
            bOptionsEnded = true;
            continue;
        }
        if (strArg == "-q" || strArg == "--quiet")
        {
            opt.bQuiet = true;
            continue;
        }
        bool bFound = false;
        for (const SSwitch& sw : aSwitch)
        {
            if (strArg == sw.pszName)
            {
                opt.*(sw.pField) = 0;
                bFound = true;
            }
        }
        if (bFound)
            continue;

        // Options with a value: "--name VALUE" or "--name=VALUE".
        std::string strName = strArg;
        std::optional<std::string> strValue;
        size_t nEq = strArg.find('=');
        if (nEq != std::string::npos && strArg.compare(0, 2, "--") == 0)
        {
            strName = strArg.substr(0, nEq);
            strValue = strArg.substr(nEq + 1);
        }
        auto TakeValue = [&]() -> bool
        {
            if (strValue)
                return true;
            if (i + 1 >= vecArgs.size())
            {
                strError = "option " + strName + " needs a value";
                return false;
            }
            strValue = vecArgs[++i];
            return true;
        };

        if (strName == "--charset")
        {
            if (!TakeValue())
                return false;
            opt.nCharset = ParseCharsetRow(*strValue);
            if (opt.nCharset < 0)
            {
                strError =
                    "unknown charset '" + *strValue + "' (a name such as gb2312 or utf-8, or a row 0-43)";
                return false;
            }
            continue;
        }
        if (strName == "--template")
        {
            if (!TakeValue())
                return false;
            opt.nTemplate = ParseTemplateRow(*strValue);
            if (opt.nTemplate < 0)
            {
                strError = "unknown template set '" + *strValue +
                           "' (general, default, xpblue, xpgreen, xpsilver, or 0-4)";
                return false;
            }
            continue;
        }
        for (const STextOption& to : aText)
        {
            if (strName == to.pszName)
            {
                if (!TakeValue())
                    return false;
                opt.*(to.pField) = *strValue;
                bFound = true;
                break;
            }
        }
        if (!bFound)
        {
            strError = "unknown option '" + strArg + "'";
            return false;
        }
    }
    if (opt.strInput.empty())
    {
        strError = "no input file given";
        return false;
    }
    if (opt.strOutputDir && opt.strOutputDir->empty())
    {
        strError = "the output folder is empty";
        return false;
    }
    if (opt.strSourceDir && (opt.strSourceDir->empty() || opt.strSourceDir->find('/') != std::string::npos ||
                             *opt.strSourceDir == "." || *opt.strSourceDir == ".."))
    {
        strError = "--source-dir must be a plain folder name";
        return false;
    }
    return true;
}
