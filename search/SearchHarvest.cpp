#include "CWebHelpHelper.h"

#include "CArchivePath.h"
#include "CBOMTextReader.h"
#include "CHTMLDocument.h"
#include "CPath.h"
#include "CText.h"
#include "CXML.h"
#include "SearchKeywords.h"

#include <utility>

namespace
{
/// The keyword index of the harvest running on this thread, if any.
thread_local CSearchKeywordIndex* t_pHarvestIndex = nullptr;

/// Lets every page of one harvest record its keywords through one index over the map.
class CHarvestScope
{
public:
    explicit CHarvestScope(CSearchKeywordMap& mapKeywords) : m_index(mapKeywords), m_pOuter(t_pHarvestIndex)
    {
        t_pHarvestIndex = &m_index;
    }
    ~CHarvestScope() { t_pHarvestIndex = m_pOuter; }
    CHarvestScope(const CHarvestScope&) = delete;
    CHarvestScope& operator=(const CHarvestScope&) = delete;

private:
    CSearchKeywordIndex m_index;
    CSearchKeywordIndex* m_pOuter;
};

/// In a UTF-8 site, bytes of a page that are not UTF-8 would show as garbage: they become "?".
void MakeValidText(std::string& str, const CCodePage& cp)
{
    if (!cp.IsUTF8())
        return;
    const auto* pBegin = reinterpret_cast<const unsigned char*>(str.data());
    const auto* pEnd = pBegin + str.size();
    for (const auto* p = pBegin; p < pEnd;)
    {
        char32_t c = 0;
        size_t nLen = DecodeUTF8(p, pEnd, c);
        if (nLen == 0)
        {
            str[static_cast<size_t>(p - pBegin)] = '?';
            nLen = 1;
        }
        p += nLen;
    }
}

/// Records a loaded page under the next number: its entry, its title (the file title when the
/// document has none) and the keywords of its body.
void TakeSearchPage(CWebHelpHelper& helper, const CCodePage& cp, CHTMLDocument& doc, std::string strEntry,
                    std::string strFileTitle)
{
    helper.m_arrSearchFiles.push_back(std::move(strEntry));
    std::string strTitle = doc.GetTitle();
    if (strTitle.empty())
        strTitle = std::move(strFileTitle);
    MakeValidText(strTitle, cp);
    helper.m_arrSearchTitles.push_back(std::move(strTitle));
    if (doc.HasBody())
    {
        std::string& strBody = doc.GetBodyText();
        cp.MakeLower(strBody);
        if (t_pHarvestIndex != nullptr && &t_pHarvestIndex->GetMap() == &helper.m_mapSearchKeywords)
            SearchKeywords_AddText(*t_pHarvestIndex, cp, strBody, helper.m_nSearchFileCount);
        else
            SearchKeywords_AddText(helper.m_mapSearchKeywords, cp, strBody, helper.m_nSearchFileCount);
    }
    ++helper.m_nSearchFileCount;
}
} // namespace

void CWebHelpHelper::CHM2Web_ReadSearchDataFromCHMFile(CXML* pStorageRoot)
{
    ClearSearchFilesArray();
    ClearSearchTitlesArray();
    ClearSearchKeywordsMap();
    m_nSearchFileCount = 0;
    if (pStorageRoot == nullptr)
        return;
    CHarvestScope scope(m_mapSearchKeywords);
    for (int i = 0; i < pStorageRoot->GetChildCount(); ++i)
        CHM2Web_ReadSearchDataFromCHMNode(pStorageRoot->GetChildAt(i));
}

void CWebHelpHelper::CHM2Web_ReadSearchDataFromCHMNode(CXML* pNode)
{
    // Depth first with a stack of its own: an archive's folders may nest deeper than a thread's stack.
    std::vector<std::pair<CXML*, int>> vecStack;
    vecStack.emplace_back(pNode, -1);
    while (!vecStack.empty() && !m_bStopHarvest.load(std::memory_order_relaxed))
    {
        auto& [pCur, nChild] = vecStack.back();
        if (pCur == nullptr)
        {
            vecStack.pop_back();
            continue;
        }
        if (nChild < 0)
        {
            int nType = pCur->GetAttrInt("Type");
            if (nType == 3)
            {
                std::string strPath = pCur->GetAttr("Local");
                vecStack.pop_back();
                CHM2Web_ReadSearchDataFromFile(std::move(strPath));
                continue;
            }
            if (nType != 0)
            {
                vecStack.pop_back();
                continue;
            }
        }
        ++nChild;
        if (nChild >= pCur->GetChildCount())
        {
            vecStack.pop_back();
            continue;
        }
        CXML* pChild = pCur->GetChildAt(nChild);
        vecStack.emplace_back(pChild, -1);
    }
}

void CWebHelpHelper::CHM2Web_ReadSearchDataFromFile(std::string strPath)
{
    const CCodePage& cp = GetSiteCodePage();
    // Archive names are UTF-8 whatever the site's code page: every "\" in one is a separator.
    std::string strEntry = ArchivePath_Entry(strPath);
    std::string strText;
    CCHMFileRW& chm = m_pHarvestCHMFile != nullptr ? *m_pHarvestCHMFile : m_CHMFile;
    if (!chm.CHM_ReadStream(strEntry, strText) || strText.empty())
        return;
    {
        CBOMTextReader reader(cp);
        strText = reader.LoadBytes(std::move(strText));
    }
    std::unique_ptr<CHTMLDocument> pDoc;
    if (WriteHTMLStringToDoc(std::move(strText), &pDoc) == 0)
        return;
    std::string strTitle = ArchivePath_FileTitle(strEntry);
    // The sitemaps name the page in the site's code page; so must the search data.
    TakeSearchPage(*this, cp, *pDoc, ArchivePath_NameForSite(strEntry, cp, true), std::move(strTitle));
}

void CWebHelpHelper::HarvestCHMFileFrom(CCHMFileRW* pFile)
{
    auto pStorage = std::make_unique<CXML>();
    pStorage->SetTagName("CHMInfo");
    // A file this reader cannot list fails the conversion's own listing as well, before the
    // harvest's results are asked for.
    if (pFile == nullptr || pFile->CHM_ReadAllStorageInfoToXML(pStorage.get()) == 0)
    {
        CHM2Web_ReadSearchDataFromCHMFile(nullptr);
        return;
    }
    m_pHarvestCHMFile = pFile;
    CHM2Web_ReadSearchDataFromCHMFile(pStorage.get());
    m_pHarvestCHMFile = nullptr;
}

void CWebHelpHelper::ReadSearchDataFromFiles(const std::vector<std::string>* pFiles)
{
    ClearSearchFilesArray();
    ClearSearchTitlesArray();
    ClearSearchKeywordsMap();
    m_nSearchFileCount = 0;
    if (pFiles == nullptr)
        return;
    CHarvestScope scope(m_mapSearchKeywords);
    for (const std::string& strFile : *pFiles)
    {
        if (!strFile.empty())
            ReadSearchDataFromFile(strFile);
    }
}

void CWebHelpHelper::ReadSearchDataFromFile(std::string strPath)
{
    const CCodePage& cp = GetSiteCodePage();
    std::string strText;
    {
        CBOMTextReader reader(cp);
        strText = reader.LoadFile(strPath);
    }
    std::unique_ptr<CHTMLDocument> pDoc;
    if (WriteHTMLStringToDoc(std::move(strText), &pDoc) == 0)
        return;
    CPath path;
    path.SetPath(strPath, 0, 0);
    // The name holds no separator: a 0x5C in it after the conversion is half of a character.
    std::string strEntry = ArchivePath_NameForSite(path.GetFileName(), cp, true);
    TakeSearchPage(*this, cp, *pDoc, std::move(strEntry),
                   ArchivePath_NameForSite(path.GetFileTitle(), cp, false));
}

int CWebHelpHelper::WriteHTMLStringToDoc(std::string strText, std::unique_ptr<CHTMLDocument>* ppDoc)
{
    if (ppDoc == nullptr)
        return 0;
    auto pDoc = std::make_unique<CHTMLDocument>(GetSiteCodePage());
    pDoc->Write(strText);
    pDoc->Close();
    *ppDoc = std::move(pDoc);
    return 1;
}
