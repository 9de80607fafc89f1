#include "CWebHelpHelper.h"

#include "CArchivePath.h"
#include "CText.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <memory>
#include <string_view>

namespace
{
void Write(std::FILE* pFile, std::string_view sv)
{
    if (!sv.empty())
        std::fwrite(sv.data(), 1, sv.size(), pFile);
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
    COutputFile file;
    std::FILE* pFile = m_OutputFolder.OpenFile(strPath, file) ? file.Stream() : nullptr;
    if (pFile == nullptr)
    {
        NoteWriteFailure(strPath);
        return;
    }
    std::setvbuf(pFile, nullptr, _IOFBF, 1 << 20);
    WriteSearchFilesToFile(pFile);
    WriteSearchTitlesToFile(pFile);
    WriteSearchKeywordsToFile(pFile);
    if (!file.Commit())
        NoteWriteFailure(strPath);
}

void CWebHelpHelper::WriteSearchFilesToFile(std::FILE* pFile)
{
    const CCodePage& cp = GetSiteCodePage();
    Write(pFile, "var SearchFiles = [\r\n");
    std::string strDir = ScriptFileLiteral(m_strSourceDir, cp);
    for (size_t i = 0; i < m_arrSearchFiles.size(); ++i)
    {
        std::string strEntry =
            "\"" + strDir + "/" + ArchivePath_NameForSite(m_arrSearchFiles[i], cp, true) + "\"";
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
        const bool bName = i < m_arrSearchTitleIsName.size() && m_arrSearchTitleIsName[i];
        std::string strEntry = "\"" +
                               (bName ? ArchivePath_NameForSite(m_arrSearchTitles[i], cp, false)
                                      : ScriptTitleLiteral(m_arrSearchTitles[i], cp)) +
                               "\"";
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
        strLine += ScriptTitleLiteral(vecEntries[i]->first, cp);
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
