#include "CWebHelpHelper.h"

#include "CArchivePath.h"
#include "CText.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string_view>

namespace
{
void Write(std::FILE* pFile, std::string_view sv)
{
    if (!sv.empty())
        std::fwrite(sv.data(), 1, sv.size(), pFile);
}

/// Gathers the script's text and hands it to the file in large pieces: a call a record costs more
/// than the record's bytes.
class CScriptWriter
{
public:
    explicit CScriptWriter(std::FILE* pFile) : m_pFile(pFile), m_pBuffer(new char[kSize]) {}
    ~CScriptWriter() { Flush(); }
    CScriptWriter(const CScriptWriter&) = delete;
    CScriptWriter& operator=(const CScriptWriter&) = delete;

    void Add(std::string_view sv)
    {
        if (sv.size() > kSize - m_nUsed)
        {
            Flush();
            if (sv.size() > kSize)
            {
                Write(m_pFile, sv);
                return;
            }
        }
        std::memcpy(m_pBuffer.get() + m_nUsed, sv.data(), sv.size());
        m_nUsed += sv.size();
    }
    void Add(char c)
    {
        if (m_nUsed == kSize)
            Flush();
        m_pBuffer[m_nUsed++] = c;
    }
    void AddNumber(uint32_t n)
    {
        if (kSize - m_nUsed < kNumberSize)
            Flush();
        char* p = m_pBuffer.get();
        m_nUsed = static_cast<size_t>(std::to_chars(p + m_nUsed, p + kSize, n).ptr - p);
    }
    void Flush()
    {
        Write(m_pFile, std::string_view(m_pBuffer.get(), m_nUsed));
        m_nUsed = 0;
    }

private:
    static constexpr size_t kSize = 1 << 16;
    static constexpr size_t kNumberSize = 10;
    std::FILE* m_pFile;
    std::unique_ptr<char[]> m_pBuffer;
    size_t m_nUsed = 0;
};

/// The first eight bytes of sv as a number that orders as the bytes do (shorter texts padded
/// with zeros): two keywords whose numbers differ compare as these numbers.
uint64_t SortPrefix(std::string_view sv)
{
    uint64_t nPrefix = 0;
    for (size_t i = 0; i < sizeof(nPrefix); ++i)
        nPrefix = (nPrefix << 8) | (i < sv.size() ? static_cast<unsigned char>(sv[i]) : 0u);
    return nPrefix;
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
    CScriptWriter out(pFile);
    out.Add("var SearchFiles = [\r\n");
    const std::string strDir = ScriptFileLiteral(m_strSourceDir, cp);
    for (size_t i = 0; i < m_arrSearchFiles.size(); ++i)
    {
        out.Add('"');
        out.Add(strDir);
        out.Add('/');
        out.Add(ArchivePath_NameForSite(m_arrSearchFiles[i], cp, true));
        out.Add(i + 1 < m_arrSearchFiles.size() ? "\",\r\n" : "\"");
    }
    out.Add("];\r\n\r\n");
}

void CWebHelpHelper::WriteSearchTitlesToFile(std::FILE* pFile)
{
    const CCodePage& cp = GetSiteCodePage();
    CScriptWriter out(pFile);
    out.Add("var SearchTitles = [\r\n");
    for (size_t i = 0; i < m_arrSearchTitles.size(); ++i)
    {
        const bool bName = i < m_arrSearchTitleIsName.size() && m_arrSearchTitleIsName[i];
        out.Add('"');
        out.Add(bName ? ArchivePath_NameForSite(m_arrSearchTitles[i], cp, false)
                      : ScriptTitleLiteral(m_arrSearchTitles[i], cp));
        out.Add(i + 1 < m_arrSearchTitles.size() ? "\",\r\n" : "\"");
    }
    out.Add("];\r\n\r\n");
}

void CWebHelpHelper::WriteSearchKeywordsToFile(std::FILE* pFile)
{
    const CCodePage& cp = GetSiteCodePage();
    CScriptWriter out(pFile);
    out.Add("var SearchIndexes = [\r\n");
    // Any order serves the search; sorted, the same help file always gives the same file. The
    // keywords' first bytes, kept beside them, decide most comparisons without reading the keywords.
    struct SEntry
    {
        uint64_t nPrefix;
        const CSearchKeywordMap::value_type* pEntry;
    };
    std::vector<SEntry> vecEntries;
    vecEntries.reserve(m_mapSearchKeywords.size());
    for (const auto& entry : m_mapSearchKeywords)
        vecEntries.push_back({SortPrefix(entry.first), &entry});
    std::sort(vecEntries.begin(), vecEntries.end(),
              [](const SEntry& a, const SEntry& b)
              {
                  if (a.nPrefix != b.nPrefix)
                      return a.nPrefix < b.nPrefix;
                  return a.pEntry->first < b.pEntry->first;
              });
    for (size_t i = 0; i < vecEntries.size(); ++i)
    {
        out.Add("[\"");
        out.Add(ScriptTitleLiteral(vecEntries[i].pEntry->first, cp));
        out.Add("\",[");
        const std::vector<uint32_t>& vecFiles = vecEntries[i].pEntry->second;
        for (size_t j = 0; j < vecFiles.size(); ++j)
        {
            if (j > 0)
                out.Add(',');
            out.AddNumber(vecFiles[j]);
        }
        out.Add(i + 1 < vecEntries.size() ? "]],\r\n" : "]]\r\n");
    }
    out.Add("];\r\n");
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
