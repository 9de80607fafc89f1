#include "HostOptions.h"

#include "CCharsets.h"
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
    for (int i = 0; i < kCharsetCount; ++i)
    {
        if (strcasecmp(strValue.c_str(), Charset_Row(i).pszBrowserName) == 0)
            return i;
    }
    return ParseRow(strValue, kCharsetCount);
}

bool ParseCharsetOption(const std::string& strValue, int& nRow, std::string& strError)
{
    nRow = ParseCharsetRow(strValue);
    if (nRow >= 0)
        return true;
    strError = "unknown charset '" + strValue + "' (a name such as utf-8 or gb2312, or a row 0-43)";
    return false;
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

bool CArgWalker::Next(std::string& strWord, bool& bOperand)
{
    m_strJoined.reset();
    while (m_nNext < m_vecArgs.size())
    {
        m_nWord = m_nNext++;
        const std::string& strArg = m_vecArgs[m_nWord];
        if (!m_bOptionsEnded && strArg == "--")
        {
            m_bOptionsEnded = true;
            continue;
        }
        bOperand = m_bOptionsEnded || strArg.empty() || strArg[0] != '-' || strArg == "-";
        strWord = strArg;
        const size_t nEq = strArg.find('=');
        if (!bOperand && nEq != std::string::npos && strArg.compare(0, 2, "--") == 0)
        {
            strWord = strArg.substr(0, nEq);
            m_strJoined = strArg.substr(nEq + 1);
        }
        m_strName = strWord;
        return true;
    }
    return false;
}

bool CArgWalker::Value(std::string& strValue, std::string& strError)
{
    if (m_strJoined)
    {
        strValue = *m_strJoined;
        return true;
    }
    if (m_nNext >= m_vecArgs.size())
    {
        strError = "option " + m_strName + " needs a value";
        return false;
    }
    strValue = m_vecArgs[m_nNext++];
    return true;
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

    CArgWalker args(vecArgs);
    std::string strWord;
    bool bOperand = false;
    while (args.Next(strWord, bOperand))
    {
        if (bOperand)
        {
            opt.vecInputs.push_back(strWord);
            continue;
        }
        const bool bSwitch = !args.HasJoinedValue();
        if (bSwitch && (strWord == "-q" || strWord == "--quiet"))
        {
            opt.bQuiet = true;
            continue;
        }
        bool bFound = false;
        for (const SSwitch& sw : aSwitch)
        {
            if (bSwitch && strWord == sw.pszName)
            {
                opt.*(sw.pField) = 0;
                bFound = true;
            }
        }
        if (bFound)
            continue;

        std::string strValue;
        if (strWord == "--charset")
        {
            if (!args.Value(strValue, strError) || !ParseCharsetOption(strValue, opt.nCharset, strError))
                return false;
            continue;
        }
        if (strWord == "-j" || strWord == "--jobs")
        {
            if (!args.Value(strValue, strError))
                return false;
            opt.nJobs = ParseRow(strValue, 1000);
            if (opt.nJobs < 1)
            {
                strError = "option " + strWord + " needs a number of conversions from 1 to 999, not '" +
                           strValue + "'";
                return false;
            }
            continue;
        }
        if (strWord == "--template")
        {
            if (!args.Value(strValue, strError))
                return false;
            opt.nTemplate = ParseTemplateRow(strValue);
            if (opt.nTemplate < 0)
            {
                strError = "unknown template set '" + strValue +
                           "' (general, default, xpblue, xpgreen, xpsilver, or 0-4)";
                return false;
            }
            continue;
        }
        for (const STextOption& to : aText)
        {
            if (strWord == to.pszName)
            {
                if (!args.Value(strValue, strError))
                    return false;
                opt.*(to.pField) = strValue;
                bFound = true;
                break;
            }
        }
        if (!bFound)
        {
            strError = "unknown option '" + args.Word() + "'";
            return false;
        }
    }
    if (opt.vecInputs.empty())
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
