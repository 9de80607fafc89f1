#pragma once

#include "CCHMFileRW.h"
#include "CCodePage.h"
#include "CSeenStrings.h"
#include "SearchKeywords.h"

#include <atomic>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

class CHTMLDocument;
struct SWorkCount;
class CWebHelpHelper;
class CXML;

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
    /// Records a loaded page under the next number: its entry, its title (strFileTitle when the
    /// document has none) and the keywords of its body.
    void Harvest_TakePage(CHTMLDocument& doc, std::string strEntry, std::string strFileTitle);
    /// The harvest's document, holding the page's title and text until the next call; its
    /// references go to pReferences unless null.
    CHTMLDocument& WriteHTMLStringToDoc(const std::string& strText,
                                        std::vector<std::string>* pReferences = nullptr);
    /// Keeps those of vecReferences, made in the page at strEntry, that chm has only in another case.
    void Harvest_NoteReferences(CCHMFileRW& chm, const std::string& strEntry,
                                const std::vector<std::string>& vecReferences);

    CCodePage m_cp;
    CCHMFileRW m_CHMFile;
    CSearchKeywordMap m_mapKeywords;
    std::vector<std::string> m_vecFiles;
    std::vector<std::string> m_vecTitles;
    std::vector<bool> m_vecTitleIsName;
    int32_t m_nFileCount = 0;
    /// Over m_mapKeywords while pages are added; reset whenever the map is replaced.
    std::optional<CSearchKeywordIndex> m_index;
    std::atomic<bool> m_bStop{false};
    SWorkCount* m_pCount = nullptr;
    std::unique_ptr<CHTMLDocument> m_pDoc;
    /// References of the page now read, kept from page to page with their strings.
    std::vector<std::string> m_vecReferences;
    std::set<std::pair<std::string, std::string>> m_setCaseLinks;
    /// Page folder + reference of every reference looked up since the last Harvest_Clear.
    CSeenStrings m_setSeenReferences;
};
