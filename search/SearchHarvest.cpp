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

#include <algorithm>
#include <optional>
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
    m_pPlan = nullptr;
    m_vecPlannedTaken.clear();
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

void CSearchHarvest::Harvest_TakePage(CHTMLDocument& doc, std::string strEntry, std::string strFileTitle,
                                      int32_t nNumber)
{
    std::string* pBody = nullptr;
    if (doc.HasBody())
    {
        pBody = &doc.GetBodyText();
        m_cp.MakeLower(*pBody);
    }
    Harvest_TakeText(std::move(strEntry), std::move(strFileTitle), doc.GetTitle(), pBody, nNumber);
}

void CSearchHarvest::Harvest_TakeText(std::string strEntry, std::string strFileTitle, std::string strTitle,
                                      std::string* pLowerBody, int32_t nNumber)
{
    const bool bName = strTitle.empty();
    if (bName)
        strTitle = std::move(strFileTitle);
    MakeValidText(strTitle, m_cp);
    if (nNumber < 0)
    {
        nNumber = m_nFileCount++;
        m_vecFiles.push_back(std::move(strEntry));
        m_vecTitles.push_back(std::move(strTitle));
        m_vecTitleIsName.push_back(bName);
    }
    else
    {
        const auto nSlot = static_cast<size_t>(nNumber);
        m_vecFiles[nSlot] = std::move(strEntry);
        m_vecTitles[nSlot] = std::move(strTitle);
        m_vecTitleIsName[nSlot] = bName;
        m_vecPlannedTaken[nSlot] = true;
    }
    if (pLowerBody != nullptr)
    {
        if (!m_index)
            m_index.emplace(m_mapKeywords);
        SearchKeywords_AddText(*m_index, m_cp, *pLowerBody, nNumber);
        SearchKeywords_AddPairs(*m_index, m_cp, *pLowerBody, nNumber);
    }
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
    Harvest_ReadPage(chm, strEntry, strText, -1);
}

void CSearchHarvest::Harvest_ReadPage(const CCHMFileRW& chm, const std::string& strEntry,
                                      std::string& strText, int32_t nNumber)
{
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
    Harvest_TakePage(doc, strEntry, ArchivePath_FileTitle(strEntry), nNumber);
}

void CSearchHarvest::Harvest_NoteReferences(const CCHMFileRW& chm, const std::string& strEntry,
                                            const std::vector<std::string>& vecReferences)
{
    const size_t nFolder = Harvest_BeginReferences(strEntry);
    for (const std::string& strReference : vecReferences)
        Harvest_NoteReference(chm, strEntry, nFolder, strReference);
}

void CSearchHarvest::Harvest_NoteReferences(const CCHMFileRW& chm, const std::string& strEntry,
                                            const SHarvestRead& read)
{
    const size_t nFolder = Harvest_BeginReferences(strEntry);
    const std::string_view svAll = read.strReferences;
    uint32_t nStart = 0;
    for (const uint32_t nEnd : read.vecReferenceEnds)
    {
        Harvest_NoteReference(chm, strEntry, nFolder, svAll.substr(nStart, nEnd - nStart));
        nStart = nEnd;
    }
}

size_t CSearchHarvest::Harvest_BeginReferences(const std::string& strEntry)
{
    // npos + 1 is 0: a page at the root has no folder.
    const size_t nFolder = strEntry.rfind('/') + 1;
    m_strSeen.assign(strEntry, 0, nFolder);
    return nFolder;
}

void CSearchHarvest::Harvest_NoteReference(const CCHMFileRW& chm, const std::string& strEntry, size_t nFolder,
                                           std::string_view svReference)
{
    // Pages of a folder mostly refer to the same few files: each is looked up once.
    m_strSeen.resize(nFolder);
    m_strSeen += svReference;
    if (!m_setSeenReferences.Seen_Insert(m_strSeen))
        return;
    if (!ArchivePath_ResolveReference(strEntry, svReference, m_cp, m_strReferencePath))
        return;
    std::string strName = chm.CHM_FindEntryName(m_strReferencePath);
    if (!strName.empty() && strName != m_strReferencePath)
        m_setCaseLinks.emplace(m_strReferencePath, std::move(strName));
}

SHarvestPlan CSearchHarvest::Harvest_Plan(const CCHMFileRW& chm, CXML* pStorageRoot)
{
    SHarvestPlan plan;
    if (pStorageRoot == nullptr)
        return plan;
    // The walk of CHM2Web_ReadSearchDataFromCHMNode: depth first, into folders only.
    std::vector<std::pair<CXML*, int>> vecStack;
    for (int i = pStorageRoot->GetChildCount() - 1; i >= 0; --i)
        vecStack.emplace_back(pStorageRoot->GetChildAt(i), -1);
    while (!vecStack.empty())
    {
        CXML* pCur = vecStack.back().first;
        vecStack.pop_back();
        if (pCur == nullptr)
            continue;
        const int nType = pCur->GetAttrInt("Type");
        if (nType == 3)
        {
            std::string strEntry = ArchivePath_Entry(pCur->GetAttr("Local"));
            const std::optional<size_t> nEntry = chm.CHM_FindEntry(strEntry);
            const auto nPage = static_cast<int32_t>(plan.vecPaths.size());
            plan.vecPaths.push_back(std::move(strEntry));
            plan.vecEntryOf.push_back(nEntry ? static_cast<int64_t>(*nEntry) : -1);
            if (nEntry)
            {
                if (plan.vecPageOfEntry.size() <= *nEntry)
                    plan.vecPageOfEntry.resize(*nEntry + 1, -1);
                if (plan.vecPageOfEntry[*nEntry] < 0)
                    plan.vecPageOfEntry[*nEntry] = nPage;
            }
        }
        else if (nType == 0)
        {
            for (int i = pCur->GetChildCount() - 1; i >= 0; --i)
                vecStack.emplace_back(pCur->GetChildAt(i), -1);
        }
    }
    return plan;
}

void CSearchHarvest::Harvest_BeginPlanned(const SHarvestPlan& plan)
{
    Harvest_Clear();
    m_pPlan = &plan;
    const size_t nPages = plan.vecPaths.size();
    m_vecFiles.resize(nPages);
    m_vecTitles.resize(nPages);
    m_vecTitleIsName.resize(nPages);
    m_vecPlannedTaken.assign(nPages, false);
    m_nPlannedHanded = 0;
    if (m_pCount != nullptr)
        m_pCount->nTotal.fetch_add(static_cast<int>(nPages), std::memory_order_relaxed);
}

void CSearchHarvest::Harvest_AddPlanned(const CCHMFileRW& chm, size_t nPage, std::string& strBytes,
                                        bool bRead)
{
    if (m_pPlan == nullptr || nPage >= m_pPlan->vecPaths.size() || m_vecPlannedTaken[nPage])
        return;
    ++m_nPlannedHanded;
    if (bRead && !strBytes.empty())
        Harvest_ReadPage(chm, m_pPlan->vecPaths[nPage], strBytes, static_cast<int32_t>(nPage));
    if (m_pCount != nullptr)
        m_pCount->nDone.fetch_add(1, std::memory_order_relaxed);
}

void CSearchHarvest::Harvest_AddRead(const CCHMFileRW& chm, size_t nPage, SHarvestRead& read)
{
    if (m_pPlan == nullptr || nPage >= m_pPlan->vecPaths.size() || m_vecPlannedTaken[nPage])
        return;
    ++m_nPlannedHanded;
    const std::string& strEntry = m_pPlan->vecPaths[nPage];
    Harvest_NoteReferences(chm, strEntry, read);
    Harvest_TakeText(strEntry, ArchivePath_FileTitle(strEntry), std::move(read.strTitle),
                     read.bHasBody ? &read.strBody : nullptr, static_cast<int32_t>(nPage));
    if (m_pCount != nullptr)
        m_pCount->nDone.fetch_add(1, std::memory_order_relaxed);
}

CHarvestPageReader::CHarvestPageReader(int nCharset) : m_cp(nCharset) {}

CHarvestPageReader::~CHarvestPageReader() = default;

void CHarvestPageReader::Harvest_ReadPage(const std::string& strEntry, std::string& strBytes,
                                          SHarvestRead& read)
{
    // The steps of CSearchHarvest::Harvest_ReadPage, up to what needs the harvest's own state.
    {
        CBOMTextReader reader(m_cp);
        strBytes = reader.LoadBytes(std::move(strBytes));
    }
    const EReferenceKind nKind = ReferenceKindOf(strEntry);
    if (nKind == EReferenceKind::kStyleSheet)
    {
        m_vecReferences.clear();
        CSS_AppendURLs(strBytes, m_vecReferences);
    }
    if (!m_pDoc)
        m_pDoc = std::make_unique<CHTMLDocument>(m_cp);
    m_pDoc->SetReferenceList(nKind == EReferenceKind::kPage ? &m_vecReferences : nullptr);
    m_pDoc->Write(strBytes);
    m_pDoc->Close();
    m_pDoc->SetReferenceList(nullptr);
    read.strReferences.clear();
    read.vecReferenceEnds.clear();
    if (nKind != EReferenceKind::kNone)
    {
        size_t nBytes = 0;
        for (const std::string& strReference : m_vecReferences)
            nBytes += strReference.size();
        read.strReferences.reserve(nBytes);
        read.vecReferenceEnds.reserve(m_vecReferences.size());
        for (const std::string& strReference : m_vecReferences)
        {
            read.strReferences += strReference;
            read.vecReferenceEnds.push_back(static_cast<uint32_t>(read.strReferences.size()));
        }
    }
    read.strTitle = m_pDoc->GetTitle();
    read.bHasBody = m_pDoc->HasBody();
    read.strBody.clear();
    if (read.bHasBody)
    {
        // A swap: the document keeps a buffer with room for the next page.
        std::swap(read.strBody, m_pDoc->GetBodyText());
        m_cp.MakeLower(read.strBody);
    }
}

void CSearchHarvest::Harvest_EndPlanned()
{
    if (m_pPlan == nullptr)
        return;
    m_index.reset();
    // Pages that were not recorded take no number: the numbers after them close up.
    std::vector<uint32_t> vecNumber(m_vecPlannedTaken.size());
    uint32_t nNext = 0;
    for (size_t i = 0; i < m_vecPlannedTaken.size(); ++i)
    {
        vecNumber[i] = nNext;
        if (!m_vecPlannedTaken[i])
            continue;
        if (nNext != i)
        {
            m_vecFiles[nNext] = std::move(m_vecFiles[i]);
            m_vecTitles[nNext] = std::move(m_vecTitles[i]);
            m_vecTitleIsName[nNext] = m_vecTitleIsName[i];
        }
        ++nNext;
    }
    const bool bRenumber = nNext != m_vecPlannedTaken.size();
    m_vecFiles.resize(nNext);
    m_vecTitles.resize(nNext);
    m_vecTitleIsName.resize(nNext);
    m_nFileCount = static_cast<int32_t>(nNext);
    // Pages came in the archive's order: each list is put in the walk's.
    for (auto& [strKeyword, vecFiles] : m_mapKeywords)
    {
        if (bRenumber)
        {
            for (uint32_t& nFile : vecFiles)
                nFile = vecNumber[nFile];
        }
        if (!std::is_sorted(vecFiles.begin(), vecFiles.end()))
            std::sort(vecFiles.begin(), vecFiles.end());
    }
    // Pages never handed over are done as well.
    if (m_pCount != nullptr)
        m_pCount->nDone.fetch_add(static_cast<int>(m_vecPlannedTaken.size() - m_nPlannedHanded),
                                  std::memory_order_relaxed);
    m_pPlan = nullptr;
    m_vecPlannedTaken.clear();
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
