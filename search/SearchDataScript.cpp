#include "CWebHelpHelper.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <memory>
#include <string_view>

namespace
{
struct CFileCloser
{
    void operator()(std::FILE* p) const { std::fclose(p); }
};

void Write(std::FILE* pFile, std::string_view sv)
{
    if (!sv.empty())
        std::fwrite(sv.data(), 1, sv.size(), pFile);
}

/// Text made safe inside a double-quoted script string: a double quote becomes an apostrophe (a "%22"
/// in an address, which keeps it the same address), and a backslash and line breaks are escaped. A
/// double-byte character is copied whole, so the "\" that may be its second byte is left alone.
std::string ScriptString(std::string_view sv, const CCodePage& cp, bool bAddress)
{
    std::string strOut;
    strOut.reserve(sv.size() + 8);
    const auto* pBegin = reinterpret_cast<const unsigned char*>(sv.data());
    const auto* pEnd = pBegin + sv.size();
    for (const auto* p = pBegin; p < pEnd;)
    {
        size_t nLen = cp.CharLength(p, pEnd);
        if (nLen > 1)
        {
            // U+2028 and U+2029 end a line in older script engines.
            if (cp.IsUTF8() && nLen == 3 && p[0] == 0xE2 && p[1] == 0x80 && (p[2] == 0xA8 || p[2] == 0xA9))
                strOut += p[2] == 0xA8 ? "\\u2028" : "\\u2029";
            else
                strOut.append(reinterpret_cast<const char*>(p), nLen);
            p += nLen;
            continue;
        }
        switch (*p)
        {
        case '"':
            strOut += bAddress ? "%22" : "'";
            break;
        case '\\':
            strOut += "\\\\";
            break;
        case '\r':
            strOut += "\\r";
            break;
        case '\n':
            strOut += "\\n";
            break;
        default:
            strOut += static_cast<char>(*p);
        }
        ++p;
    }
    return strOut;
}

void AppendNumber(std::string& str, uint32_t n)
{
    char aBuf[16];
    auto res = std::to_chars(aBuf, aBuf + sizeof(aBuf), n);
    str.append(aBuf, res.ptr);
}
} // namespace

void CWebHelpHelper::WriteSearchDataToFile(std::string strPath)
{
    std::unique_ptr<std::FILE, CFileCloser> pFile(std::fopen(strPath.c_str(), "wb"));
    if (!pFile)
        return;
    std::setvbuf(pFile.get(), nullptr, _IOFBF, 1 << 20);
    WriteSearchFilesToFile(pFile.get());
    WriteSearchTitlesToFile(pFile.get());
    WriteSearchKeywordsToFile(pFile.get());
}

void CWebHelpHelper::WriteSearchFilesToFile(std::FILE* pFile)
{
    const CCodePage& cp = GetSiteCodePage();
    Write(pFile, "var SearchFiles = [\r\n");
    std::string strDir = ScriptString(m_strSourceDir, cp, true);
    for (size_t i = 0; i < m_arrSearchFiles.size(); ++i)
    {
        std::string strEntry = "\"" + strDir + "/" + ScriptString(m_arrSearchFiles[i], cp, true) + "\"";
        if (i + 1 < m_arrSearchFiles.size())
            strEntry += ",\r\n";
        Write(pFile, strEntry);
    }
    Write(pFile, "];\r\n\r\n");
}

void CWebHelpHelper::WriteSearchTitlesToFile(std::FILE* pFile)
{
    const CCodePage& cp = GetSiteCodePage();
    Write(pFile, "var SearchTitles = [\r\n");
    for (size_t i = 0; i < m_arrSearchTitles.size(); ++i)
    {
        std::string strEntry = "\"" + ScriptString(m_arrSearchTitles[i], cp, false) + "\"";
        if (i + 1 < m_arrSearchTitles.size())
            strEntry += ",\r\n";
        Write(pFile, strEntry);
    }
    Write(pFile, "];\r\n\r\n");
}

void CWebHelpHelper::WriteSearchKeywordsToFile(std::FILE* pFile)
{
    const CCodePage& cp = GetSiteCodePage();
    Write(pFile, "var SearchIndexes = [\r\n");
    // Any order serves the search; sorted, the same help file always gives the same file.
    std::vector<const CSearchKeywordMap::value_type*> vecEntries;
    vecEntries.reserve(m_mapSearchKeywords.size());
    for (const auto& entry : m_mapSearchKeywords)
        vecEntries.push_back(&entry);
    std::sort(vecEntries.begin(), vecEntries.end(),
              [](const auto* a, const auto* b) { return a->first < b->first; });
    std::string strLine;
    for (size_t i = 0; i < vecEntries.size(); ++i)
    {
        strLine = "[\"";
        strLine += ScriptString(vecEntries[i]->first, cp, false);
        strLine += "\",[";
        const std::vector<uint32_t>& vecFiles = vecEntries[i]->second;
        for (size_t j = 0; j < vecFiles.size(); ++j)
        {
            if (j > 0)
                strLine += ',';
            AppendNumber(strLine, vecFiles[j]);
        }
        strLine += i + 1 < vecEntries.size() ? "]],\r\n" : "]]\r\n";
        Write(pFile, strLine);
    }
    Write(pFile, "];\r\n");
}

void CWebHelpHelper::ClearSearchFilesArray()
{
    m_arrSearchFiles.clear();
    m_arrSearchFiles.shrink_to_fit();
}

void CWebHelpHelper::ClearSearchTitlesArray()
{
    m_arrSearchTitles.clear();
    m_arrSearchTitles.shrink_to_fit();
}

void CWebHelpHelper::ClearSearchKeywordsMap()
{
    m_mapSearchKeywords.clear();
}
