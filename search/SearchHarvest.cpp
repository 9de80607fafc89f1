#include "CSearchHarvest.h"

#include "CArchivePath.h"
#include "CBOMTextReader.h"
#include "CHTMLDocument.h"
#include "CPath.h"
#include "CText.h"
#include "CWebHelpHelper.h"
#include "CWorkCount.h"
#include "CXML.h"
#include "SearchKeywords.h"

#include <utility>

namespace
{
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

enum class EReferenceKind
{
    kNone,
    kPage,
    kStyleSheet,
};

/// Which files' references a site must serve in their own letter case: pages and style sheets.
EReferenceKind ReferenceKindOf(std::string_view svEntry)
{
    const size_t nDot = svEntry.rfind('.');
    if (nDot == std::string_view::npos || svEntry.find('/', nDot) != std::string_view::npos)
        return EReferenceKind::kNone;
    const std::string_view svExt = svEntry.substr(nDot + 1);
    if (EqualsNoCaseASCII(svExt, "css"))
        return EReferenceKind::kStyleSheet;
    for (std::string_view svPage : {"htm", "html", "xhtml", "shtml"})
    {
        if (EqualsNoCaseASCII(svExt, svPage))
            return EReferenceKind::kPage;
    }
    return EReferenceKind::kNone;
}

/// File entries (type 3) of pNode's tree that the harvest's walk reaches: it enters folders (type 0) only.
int CountFileEntries(CXML* pNode)
{
    int nCount = 0;
    std::vector<CXML*> vecStack{pNode};
    while (!vecStack.empty())
    {
        CXML* pCur = vecStack.back();
        vecStack.pop_back();
        if (pCur == nullptr)
            continue;
        const int nType = pCur->GetAttrInt("Type");
        if (nType == 3)
            ++nCount;
        else if (nType == 0)
        {
            for (int i = 0; i < pCur->GetChildCount(); ++i)
                vecStack.push_back(pCur->GetChildAt(i));
        }
    }
    return nCount;
}

/// Runs read on a harvest in the site's code page that goes on from the helper's search data.
template <typename TRead> void ContinueHarvest(CWebHelpHelper& helper, TRead read)
{
    CSearchHarvest harvest(helper.Settings().nCharset);
    harvest.Harvest_ResumeFrom(helper);
    read(harvest);
    harvest.Harvest_MoveResultsTo(helper);
}
} // namespace

CSearchHarvest::CSearchHarvest(int nCharset) : m_cp(nCharset) {}

CSearchHarvest::~CSearchHarvest() = default;

void CSearchHarvest::Harvest_Clear()
{
    m_index.reset();
    m_mapKeywords.clear();
    m_vecFiles.clear();
    m_vecTitles.clear();
    m_vecTitleIsName.clear();
    m_nFileCount = 0;
    m_setCaseLinks.clear();
    m_setSeenReferences.Seen_Clear();
}

void CSearchHarvest::Harvest_ResumeFrom(CWebHelpHelper& helper)
{
    m_index.reset();
    m_mapKeywords = std::exchange(helper.m_mapSearchKeywords, CSearchKeywordMap());
    m_vecFiles = std::exchange(helper.m_arrSearchFiles, std::vector<std::string>());
    m_vecTitles = std::exchange(helper.m_arrSearchTitles, std::vector<std::string>());
    m_vecTitleIsName = std::exchange(helper.m_arrSearchTitleIsName, std::vector<bool>());
    m_nFileCount = std::exchange(helper.m_nSearchFileCount, 0);
    m_setCaseLinks.insert(helper.m_vecCaseLinks.begin(), helper.m_vecCaseLinks.end());
    helper.m_vecCaseLinks.clear();
}

void CSearchHarvest::Harvest_MoveResultsTo(CWebHelpHelper& helper)
{
    m_index.reset();
    helper.m_mapSearchKeywords = std::move(m_mapKeywords);
    helper.m_arrSearchFiles = std::move(m_vecFiles);
    helper.m_arrSearchTitles = std::move(m_vecTitles);
    helper.m_arrSearchTitleIsName = std::move(m_vecTitleIsName);
    helper.m_nSearchFileCount = m_nFileCount;
    helper.m_vecCaseLinks = Harvest_TakeCaseLinks();
    Harvest_Clear();
}

void CSearchHarvest::Harvest_TakePage(CHTMLDocument& doc, std::string strEntry, std::string strFileTitle)
{
    m_vecFiles.push_back(std::move(strEntry));
    std::string strTitle = doc.GetTitle();
    const bool bName = strTitle.empty();
    if (bName)
        strTitle = std::move(strFileTitle);
    MakeValidText(strTitle, m_cp);
    m_vecTitles.push_back(std::move(strTitle));
    m_vecTitleIsName.push_back(bName);
    if (doc.HasBody())
    {
        std::string& strBody = doc.GetBodyText();
        m_cp.MakeLower(strBody);
        if (!m_index)
            m_index.emplace(m_mapKeywords);
        SearchKeywords_AddText(*m_index, m_cp, strBody, m_nFileCount);
        SearchKeywords_AddPairs(*m_index, m_cp, strBody, m_nFileCount);
    }
    ++m_nFileCount;
}

CHTMLDocument& CSearchHarvest::WriteHTMLStringToDoc(const std::string& strText,
                                                    std::vector<std::string>* pReferences)
{
    // One document for every page: its text buffer keeps its size from page to page.
    if (!m_pDoc)
        m_pDoc = std::make_unique<CHTMLDocument>(m_cp);
    m_pDoc->SetReferenceList(pReferences);
    m_pDoc->Write(strText);
    m_pDoc->Close();
    m_pDoc->SetReferenceList(nullptr);
    return *m_pDoc;
}

void CSearchHarvest::CHM2Web_ReadSearchDataFromCHMFile(CCHMFileRW& chm, CXML* pStorageRoot)
{
    Harvest_Clear();
    if (pStorageRoot == nullptr)
        return;
    if (m_pCount != nullptr)
        m_pCount->nTotal.fetch_add(CountFileEntries(pStorageRoot), std::memory_order_relaxed);
    for (int i = 0; i < pStorageRoot->GetChildCount(); ++i)
        CHM2Web_ReadSearchDataFromCHMNode(chm, pStorageRoot->GetChildAt(i));
}

void CSearchHarvest::CHM2Web_ReadSearchDataFromCHMNode(CCHMFileRW& chm, CXML* pNode)
{
    // Depth first with a stack of its own: an archive's folders may nest deeper than a thread's stack.
    std::vector<std::pair<CXML*, int>> vecStack;
    vecStack.emplace_back(pNode, -1);
    while (!vecStack.empty() && !m_bStop.load(std::memory_order_relaxed))
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
                CHM2Web_ReadSearchDataFromFile(chm, strPath);
                if (m_pCount != nullptr)
                    m_pCount->nDone.fetch_add(1, std::memory_order_relaxed);
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

void CSearchHarvest::CHM2Web_ReadSearchDataFromFile(CCHMFileRW& chm, const std::string& strPath)
{
    // Archive names are UTF-8 whatever the site's code page: every "\" in one is a separator.
    std::string strEntry = ArchivePath_Entry(strPath);
    std::string strText;
    if (!chm.CHM_ReadStream(strEntry, strText) || strText.empty())
        return;
    {
        CBOMTextReader reader(m_cp);
        strText = reader.LoadBytes(std::move(strText));
    }
    // The page is read here anyway: its references cost little more than its words.
    const EReferenceKind nKind = ReferenceKindOf(strEntry);
    std::vector<std::string> vecStyleSheetReferences;
    if (nKind == EReferenceKind::kStyleSheet)
        CSS_AppendURLs(strText, vecStyleSheetReferences);
    CHTMLDocument& doc =
        WriteHTMLStringToDoc(strText, nKind == EReferenceKind::kPage ? &m_vecReferences : nullptr);
    if (nKind == EReferenceKind::kPage)
        Harvest_NoteReferences(chm, strEntry, m_vecReferences);
    else
        Harvest_NoteReferences(chm, strEntry, vecStyleSheetReferences);
    std::string strTitle = ArchivePath_FileTitle(strEntry);
    Harvest_TakePage(doc, std::move(strEntry), std::move(strTitle));
}

void CSearchHarvest::Harvest_NoteReferences(CCHMFileRW& chm, const std::string& strEntry,
                                            const std::vector<std::string>& vecReferences)
{
    std::string strPath;
    std::string strSeen = strEntry.substr(0, strEntry.rfind('/') + 1);
    const size_t nFolder = strSeen.size();
    for (const std::string& strReference : vecReferences)
    {
        // Pages of a folder mostly refer to the same few files: each is looked up once.
        strSeen.resize(nFolder);
        strSeen += strReference;
        if (!m_setSeenReferences.Seen_Insert(strSeen))
            continue;
        if (!ArchivePath_ResolveReference(strEntry, strReference, m_cp, strPath))
            continue;
        std::string strName = chm.CHM_FindEntryName(strPath);
        if (!strName.empty() && strName != strPath)
            m_setCaseLinks.emplace(strPath, std::move(strName));
    }
}

void CSearchHarvest::Harvest_ReadReferencesOfCHMFile(CCHMFileRW& chm)
{
    auto pStorage = std::make_unique<CXML>();
    pStorage->SetTagName("CHMInfo");
    if (chm.CHM_ReadAllStorageInfoToXML(pStorage.get()) == 0)
        return;
    std::vector<CXML*> vecStack{pStorage.get()};
    std::vector<std::string> vecReferences;
    std::string strText;
    while (!vecStack.empty())
    {
        CXML* pNode = vecStack.back();
        vecStack.pop_back();
        for (int i = 0; i < pNode->GetChildCount(); ++i)
            vecStack.push_back(pNode->GetChildAt(i));
        if (pNode->GetAttrInt("Type") != 3)
            continue;
        const std::string strEntry = ArchivePath_Entry(pNode->GetAttr("Local"));
        const EReferenceKind nKind = ReferenceKindOf(strEntry);
        if (nKind == EReferenceKind::kNone || !chm.CHM_ReadStream(strEntry, strText))
            continue;
        {
            CBOMTextReader reader(m_cp);
            strText = reader.LoadBytes(std::move(strText));
        }
        vecReferences.clear();
        if (nKind == EReferenceKind::kStyleSheet)
            CSS_AppendURLs(strText, vecReferences);
        else
            WriteHTMLStringToDoc(strText, &vecReferences);
        Harvest_NoteReferences(chm, strEntry, vecReferences);
    }
}

std::vector<std::pair<std::string, std::string>> CSearchHarvest::Harvest_TakeCaseLinks()
{
    std::vector<std::pair<std::string, std::string>> vecLinks(m_setCaseLinks.begin(), m_setCaseLinks.end());
    m_setCaseLinks.clear();
    return vecLinks;
}

void CSearchHarvest::Harvest_ReadCHMFile(const std::string& strPath)
{
    Harvest_Clear();
    auto pStorage = std::make_unique<CXML>();
    pStorage->SetTagName("CHMInfo");
    // A file this reader cannot list fails the conversion's own listing as well, before the
    // harvest's results are asked for.
    if (!m_CHMFile.CHM_SetCHMFile(strPath) || m_CHMFile.CHM_ReadAllStorageInfoToXML(pStorage.get()) == 0)
        return;
    CHM2Web_ReadSearchDataFromCHMFile(m_CHMFile, pStorage.get());
    m_CHMFile.CHM_CloseCHMFile();
}

void CSearchHarvest::ReadSearchDataFromFiles(const std::vector<std::string>& vecFiles)
{
    Harvest_Clear();
    for (const std::string& strFile : vecFiles)
    {
        if (!strFile.empty())
            ReadSearchDataFromFile(strFile);
    }
}

void CSearchHarvest::ReadSearchDataFromFile(const std::string& strPath)
{
    std::string strText;
    {
        CBOMTextReader reader(m_cp);
        strText = reader.LoadFile(strPath);
    }
    CHTMLDocument& doc = WriteHTMLStringToDoc(strText);
    CPath path;
    path.SetPath(strPath, 0, 0);
    Harvest_TakePage(doc, path.GetFileName(), path.GetFileTitle());
}

void CWebHelpHelper::CHM2Web_ReadSearchDataFromCHMFile(CXML* pStorageRoot)
{
    CSearchHarvest harvest(Settings().nCharset);
    harvest.CHM2Web_ReadSearchDataFromCHMFile(m_CHMFile, pStorageRoot);
    harvest.Harvest_MoveResultsTo(*this);
}

void CWebHelpHelper::ReadSearchDataFromFiles(const std::vector<std::string>* pFiles)
{
    CSearchHarvest harvest(Settings().nCharset);
    if (pFiles != nullptr)
        harvest.ReadSearchDataFromFiles(*pFiles);
    harvest.Harvest_MoveResultsTo(*this);
}

void CWebHelpHelper::CHM2Web_ReadSearchDataFromCHMNode(CXML* pNode)
{
    ContinueHarvest(*this, [&](CSearchHarvest& harvest)
                    { harvest.CHM2Web_ReadSearchDataFromCHMNode(m_CHMFile, pNode); });
}

void CWebHelpHelper::CHM2Web_ReadSearchDataFromFile(std::string strPath)
{
    ContinueHarvest(*this, [&](CSearchHarvest& harvest)
                    { harvest.CHM2Web_ReadSearchDataFromFile(m_CHMFile, strPath); });
}

void CWebHelpHelper::ReadSearchDataFromFile(std::string strPath)
{
    ContinueHarvest(*this, [&](CSearchHarvest& harvest) { harvest.ReadSearchDataFromFile(strPath); });
}
