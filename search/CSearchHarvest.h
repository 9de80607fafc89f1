#pragma once

#include "CCHMFileRW.h"
#include "CCodePage.h"
#include "CSeenStrings.h"
#include "SearchKeywords.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class CHTMLDocument;
struct SWorkCount;
class CWebHelpHelper;
class CXML;

/// The pages a harvest of a whole compiled file reads, numbered as its walk of the storage tree
/// numbers them, so that whoever reads the archive may hand them over in the archive's own order.
struct SHarvestPlan
{
    std::vector<std::string> vecPaths;   ///< each page's archive path, in walk order
    std::vector<int64_t> vecEntryOf;     ///< each page's entry number in the reader, -1 for none
    std::vector<int32_t> vecPageOfEntry; ///< for each entry, the first page that reads it, or -1
};

/// A page read for a harvest: what Harvest_AddRead records of it.
struct SHarvestRead
{
    std::string strTitle;
    bool bHasBody = false;
    std::string strBody; ///< lower-cased
    /// The references, one after another, each ending where vecReferenceEnds says: a page goes
    /// from one thread to another with two buffers, not one a reference.
    std::string strReferences;
    std::vector<uint32_t> vecReferenceEnds;
};

/// Reads pages as a harvest in charset row nCharset reads them, with a code page and a document of
/// its own, so that a thread with time to spare can take that part of the harvest's work.
class CHarvestPageReader
{
public:
    explicit CHarvestPageReader(int nCharset);
    ~CHarvestPageReader();
    CHarvestPageReader(const CHarvestPageReader&) = delete;
    CHarvestPageReader& operator=(const CHarvestPageReader&) = delete;

    /// Reads the bytes (taken) of the page at archive path strEntry into read.
    void Harvest_ReadPage(const std::string& strEntry, std::string& strBytes, SHarvestRead& read);

private:
    CCodePage m_cp;
    std::unique_ptr<CHTMLDocument> m_pDoc;
    std::vector<std::string> m_vecReferences;
};

/// One gathering of page text into search data. It owns everything it works with (a reader, a code
/// page, the keyword map, the file and title lists), so it runs on a thread of its own beside the
/// helper, which takes the results once it has ended. One thread at a time uses it.
class CSearchHarvest
{
public:
    /// Pages are read into the code page of charset row nCharset.
    explicit CSearchHarvest(int nCharset);
    ~CSearchHarvest();
    CSearchHarvest(const CSearchHarvest&) = delete;
    CSearchHarvest& operator=(const CSearchHarvest&) = delete;

    /// Starts anew with pages on disk in list order; empty paths are skipped.
    void ReadSearchDataFromFiles(const std::vector<std::string>& vecFiles);
    /// Starts anew with every file entry of pStorageRoot's tree (none when it is null), read
    /// through chm, which is borrowed for the call.
    void CHM2Web_ReadSearchDataFromCHMFile(CCHMFileRW& chm, CXML* pStorageRoot);
    /// Starts anew with every file of the compiled file at strPath, read through the harvest's own
    /// reader; no pages when it cannot be opened or listed.
    void Harvest_ReadCHMFile(const std::string& strPath);

    /// The pages a harvest of pStorageRoot's tree (read through chm) would read, in its order.
    static SHarvestPlan Harvest_Plan(const CCHMFileRW& chm, CXML* pStorageRoot);
    /// Starts anew with the pages of plan, which must outlive Harvest_EndPlanned; they are taken
    /// in any order by Harvest_AddPlanned, each at most once, and numbered as the walk numbers them.
    void Harvest_BeginPlanned(const SHarvestPlan& plan);
    /// Page nPage of the plan, its bytes (taken) and whether they were read whole; chm is asked
    /// only to look names up.
    void Harvest_AddPlanned(const CCHMFileRW& chm, size_t nPage, std::string& strBytes, bool bRead);
    /// Page nPage of the plan as a CHarvestPageReader in the same charset read it.
    void Harvest_AddRead(const CCHMFileRW& chm, size_t nPage, SHarvestRead& read);
    /// Numbers the pages taken as a walk would have: those never handed over, unreadable or empty
    /// get no number, as in the walk.
    void Harvest_EndPlanned();

    /// Adds the pages of pNode's tree, read through chm, after those already gathered.
    void CHM2Web_ReadSearchDataFromCHMNode(CCHMFileRW& chm, CXML* pNode);
    /// Adds one archive page (an archive path, "/" or "\" separators); nothing when it is missing or empty.
    void CHM2Web_ReadSearchDataFromFile(CCHMFileRW& chm, const std::string& strPath);
    /// Adds one page on disk; a page that cannot be read counts as an empty one.
    void ReadSearchDataFromFile(const std::string& strPath);

    /// Gathers only the references of the pages and style sheets of chm (borrowed for the call) that
    /// name one of its files in another letter case (see Harvest_TakeCaseLinks); no search data.
    void Harvest_ReadReferencesOfCHMFile(CCHMFileRW& chm);
    /// The references gathered since the last call that name an archive file only when case is
    /// ignored: (the path as the page spells it, the archive's own name), both below the folder the
    /// archive is unpacked into, UTF-8, sorted. A reference with an exact match is never among them.
    std::vector<std::pair<std::string, std::string>> Harvest_TakeCaseLinks();

    /// Takes over the helper's search data, so that the pages added next follow them.
    void Harvest_ResumeFrom(CWebHelpHelper& helper);
    /// Moves the search data into the helper, replacing its own; the harvest holds none afterwards.
    void Harvest_MoveResultsTo(CWebHelpHelper& helper);

    /// A harvest of a storage tree adds its file entries to pCount's total and counts each one read;
    /// null counts nothing. pCount must outlive the harvests.
    void Harvest_SetCount(SWorkCount* pCount) { m_pCount = pCount; }

    /// Raised by another thread, it ends a walk of a storage tree before its next entry.
    std::atomic<bool>& Harvest_StopFlag() { return m_bStop; }
    const CCodePage& GetCodePage() const { return m_cp; }

private:
    void Harvest_Clear();
    /// Records a loaded page under nNumber (the next number when negative): its entry, its title
    /// (strFileTitle when the document has none) and the keywords of its body.
    void Harvest_TakePage(CHTMLDocument& doc, std::string strEntry, std::string strFileTitle,
                          int32_t nNumber = -1);
    /// Records a page's title (strFileTitle when strTitle is empty) and the keywords of its
    /// lower-cased body (unless null) under nNumber (the next number when negative).
    void Harvest_TakeText(std::string strEntry, std::string strFileTitle, std::string strTitle,
                          std::string* pLowerBody, int32_t nNumber);
    /// Reads a page's bytes (strText, taken) read from strEntry and records it under nNumber
    /// (the next number when negative).
    void Harvest_ReadPage(const CCHMFileRW& chm, const std::string& strEntry, std::string& strText,
                          int32_t nNumber);
    /// The harvest's document, holding the page's title and text until the next call; its
    /// references go to pReferences unless null.
    CHTMLDocument& WriteHTMLStringToDoc(const std::string& strText,
                                        std::vector<std::string>* pReferences = nullptr);
    /// Keeps those of the references, made in the page at strEntry, that chm has only in another case.
    void Harvest_NoteReferences(const CCHMFileRW& chm, const std::string& strEntry,
                                const std::vector<std::string>& vecReferences);
    void Harvest_NoteReferences(const CCHMFileRW& chm, const std::string& strEntry, const SHarvestRead& read);
    /// Makes the folder of the page at strEntry the start of m_strSeen; its length.
    size_t Harvest_BeginReferences(const std::string& strEntry);
    void Harvest_NoteReference(const CCHMFileRW& chm, const std::string& strEntry, size_t nFolder,
                               std::string_view svReference);

    CCodePage m_cp;
    CCHMFileRW m_CHMFile;
    CSearchKeywordMap m_mapKeywords;
    std::vector<std::string> m_vecFiles;
    std::vector<std::string> m_vecTitles;
    std::vector<bool> m_vecTitleIsName;
    int32_t m_nFileCount = 0;
    /// The plan of a harvest in any order, and which of its pages were recorded; null otherwise.
    const SHarvestPlan* m_pPlan = nullptr;
    std::vector<bool> m_vecPlannedTaken;
    size_t m_nPlannedHanded = 0;
    /// Over m_mapKeywords while pages are added; reset whenever the map is replaced.
    std::optional<CSearchKeywordIndex> m_index;
    std::atomic<bool> m_bStop{false};
    SWorkCount* m_pCount = nullptr;
    std::unique_ptr<CHTMLDocument> m_pDoc;
    /// References of the page now read, kept from page to page with their strings.
    std::vector<std::string> m_vecReferences;
    /// The folder of the page now read, then a reference of it: the key of m_setSeenReferences.
    std::string m_strSeen;
    std::string m_strReferencePath;
    std::set<std::pair<std::string, std::string>> m_setCaseLinks;
    /// Page folder + reference of every reference looked up since the last Harvest_Clear.
    CSeenStrings m_setSeenReferences;
};
