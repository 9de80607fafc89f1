#include "CHTMLHelper.h"

#include "CArchivePath.h"
#include "CCodePage.h"
#include "CText.h"

const CHTMLHelper& CHTMLHelper::Instance()
{
    static const CHTMLHelper s_helper;
    return s_helper;
}

std::string CHTMLHelper::HTMLDecodeParamName(std::string_view svValue, const CCodePage& cp) const
{
    std::string strOut;
    strOut.reserve(svValue.size());
    size_t i = 0;
    while (i < svValue.size())
    {
        size_t nAmp = svValue.find('&', i);
        if (nAmp == std::string_view::npos)
        {
            strOut.append(svValue.substr(i));
            break;
        }
        strOut.append(svValue.substr(i, nAmp - i));
        char32_t c1 = 0, c2 = 0;
        const size_t nLen = ReadCharReference(svValue.substr(nAmp), ERefPlace::kAttribute, c1, c2);
        // A number that names no character stays as written.
        if (nLen == 0 || c1 == 0)
        {
            strOut += '&';
            i = nAmp + 1;
            continue;
        }
        std::string strChar;
        if (cp.EncodeChar(c1, strChar) && (c2 == 0 || cp.EncodeChar(c2, strChar)))
            strOut += strChar;
        else
            strOut.append(svValue.substr(nAmp, nLen));
        i = nAmp + nLen;
    }
    return strOut;
}

std::string CHTMLHelper::HTMLDecodeParamLocal(std::string_view svValue, const CCodePage& cp) const
{
    std::string strOut = HTMLDecodeParamName(svValue, cp);
    return std::string(ArchivePath_WithoutCHMPrefix(strOut));
}
