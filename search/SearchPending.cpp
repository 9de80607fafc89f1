// Placeholders until the full-text search lands.
#include "CWebHelpHelper.h"

#include "CHTMLDocument.h"

void CWebHelpHelper::SplitTextToSearchKeywords(std::string, int) {}
void CWebHelpHelper::SplitTextToSearchKeywords2(std::string, int) {}
void CWebHelpHelper::FixTextForSearchKeywords(std::string&) {}
void CWebHelpHelper::AddSearchKeywordToMap(std::string, int) {}
void CWebHelpHelper::CHM2Web_ReadSearchDataFromCHMFile(CXML*) {}
void CWebHelpHelper::CHM2Web_ReadSearchDataFromCHMNode(CXML*) {}
void CWebHelpHelper::CHM2Web_ReadSearchDataFromFile(std::string) {}
void CWebHelpHelper::ReadSearchDataFromFiles(const std::vector<std::string>*) {}
void CWebHelpHelper::ReadSearchDataFromFile(std::string) {}
int CWebHelpHelper::WriteHTMLStringToDoc(std::string, std::unique_ptr<CHTMLDocument>*)
{
    return 0;
}
void CWebHelpHelper::WriteSearchDataToFile(std::string) {}
void CWebHelpHelper::WriteSearchKeywordsToFile(std::FILE*) {}
void CWebHelpHelper::WriteSearchFilesToFile(std::FILE*) {}
void CWebHelpHelper::WriteSearchTitlesToFile(std::FILE*) {}
void CWebHelpHelper::ClearSearchFilesArray()
{
    m_arrSearchFiles.clear();
}
void CWebHelpHelper::ClearSearchTitlesArray()
{
    m_arrSearchTitles.clear();
}
void CWebHelpHelper::ClearSearchKeywordsMap()
{
    m_mapSearchKeywords.clear();
}
