#pragma once

#include "CCHMFileRW.h"
#include "CCodePage.h"
#include "COutputFolder.h"
#include "CWorkCount.h"
#include "WebHelpSettings.h"

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <thread>
#include <unordered_map>
#include <utility>
#include <vector>

class CXML;
class CSitemapElements;
class CHHKSink;
class CNotifyWnd;

/// Hash that lets the keyword map be probed with a string_view, so no key is built per word.
struct CKeywordHash
{
    using is_transparent = void;
    size_t operator()(std::string_view sv) const noexcept { return std::hash<std::string_view>{}(sv); }
};

using CSearchKeywordMap =
    std::unordered_map<std::string, std::vector<uint32_t>, CKeywordHash, std::equal_to<>>;

/// Receives one progress text; called on the thread that runs the conversion.
using PFNCOMPILEOUTPUT = void (*)(const std::string& strText);

/// Receives one log line of the wizard (message 3036) on the user-interface thread. The text
/// begins with "\r\n", as the host's output window expects.
using PFNHOSTLOG = void (*)(const std::string& strLine);

/// Messages of the background compile and the wizard's log lines.
enum : unsigned
{
    WM_WEBHELP_COMPILE_START = 3031,
    WM_WEBHELP_COMPILE_END = 3114,
    WM_WEBHELP_LOG = 3036,
};

/// Converts a compiled help file into a WebHelp site. One object runs one job at a time.
/// Steps that only the object calls are protected, so tests can reach them from a subclass.
class CWebHelpHelper
{
public:
    struct tagCompileThreadPar
    {
        CWebHelpHelper* pHelper = nullptr;
        PFNCOMPILEOUTPUT pfnOutput = nullptr;
        CNotifyWnd* pNotifyWnd = nullptr; ///< May be null: then no message is sent.
    };

    CWebHelpHelper();
    virtual ~CWebHelpHelper();
    CWebHelpHelper(const CWebHelpHelper&) = delete;
    CWebHelpHelper& operator=(const CWebHelpHelper&) = delete;

    static const std::string m_strWHTemplates[5];
    static const std::string m_strWHTemplateDir[5];
    static const std::string m_strCharset[44][2];
    static const std::string m_strCopyTemplatesImages[17];

    /// Writes the defaults into g_WebHelpSettings; strCHMFile and strWebHelpDir keep their values.
    void InitWebHelpSettings();
    /// Charset name of row nIndex; "windows-1252" outside the table.
    std::string GetCharsetStr(int32_t nIndex) const;

    /// Stores the path only; nothing is opened.
    void SetCHMFile(std::string strCHMFile);
    /// Converts m_strCHMFile into strWebHelpDir, topics in strWebHelpDir/strSourceDir.
    /// Reports only through m_CompileThreadPar.pfnOutput (nothing when it is null).
    void CHM2WebHelp(std::string strWebHelpDir, std::string strSourceDir);

    /// Converts settings.strCHMFile into settings.strWebHelpDir, topics in settings.strSourceDir, with
    /// these settings alone: g_WebHelpSettings is neither read nor written, so two objects may convert
    /// at once. Progress texts go to fnOutput (none when it is empty), on this thread.
    tagConvertResult Convert(const tagWebHelpSettings& settings,
                             std::function<void(const std::string&)> fnOutput);
    /// How the last conversion of this object ended (CHM2WebHelp, Compile or Convert).
    const tagConvertResult& GetLastResult() const { return m_LastResult; }
    /// How far the running conversion of this object has gone; may be asked from any thread while it
    /// runs, and costs the conversion nothing.
    tagConvertProgress GetProgress() const;

    /// Runs the conversion of g_WebHelpSettings on a worker thread and returns without waiting
    /// for it: message 3031 is sent to pPar->pNotifyWnd before the worker starts, 3114 posted as
    /// its last act. An earlier compile of this object that still runs is waited for first.
    /// Null pPar starts nothing.
    void Compile(tagCompileThreadPar* pPar);

    /// The interactive conversion; returns when the user closed the last window. Starts the
    /// window toolkit itself when the host has not. Without a wizard build or a display it shows
    /// nothing and returns (CanShowWizard tells beforehand).
    void CHM2WebHelpWizard();
    /// Starts the window toolkit if needed; false with a reason for the user when the wizard
    /// cannot be shown (no display, or a build without wizard windows).
    static bool CanShowWizard(std::string& strWhy);
    /// Where the wizard's two log lines go (the host's output window); null for nowhere.
    static void SetHostLog(PFNHOSTLOG pfnLog);

    /// Harvests pages on disk in list order; empty paths are skipped.
    void ReadSearchDataFromFiles(const std::vector<std::string>* pFiles);
    /// Harvests every file entry of the open archive's storage tree.
    void CHM2Web_ReadSearchDataFromCHMFile(CXML* pStorageRoot);
    /// Writes searchdata.js; writes nothing if the file cannot be created.
    void WriteSearchDataToFile(std::string strPath);
    /// The files that this object writes from now on below strRoot are written without following
    /// any link inside it (a conversion opens its own output folder this way). False, with errno
    /// telling why, when strRoot cannot be made or opened.
    bool OpenOutputFolder(const std::string& strRoot);

    int32_t m_nCharsetCount = 0;
    tagCompileThreadPar m_CompileThreadPar;
    /// Folder of the sitemap being split (UTF-8, as CCHMFileRW gives it): its addresses are relative to it.
    std::string m_strSitemapFolder;
    std::set<std::string> m_mapMergeCHMFiles; ///< Lower-cased paths of merged files; the keys only.
    CSearchKeywordMap m_mapSearchKeywords;
    std::set<uint16_t> m_mapContentsImages;    ///< Icon numbers in use, before the +1 of the data.
    std::vector<std::string> m_arrSearchFiles; ///< Names of the archive or of this machine: UTF-8.
    std::vector<std::string> m_arrSearchTitles;
    /// References of the harvested pages to archive files in another case: (path as the pages
    /// spell it, archive name), below the topic folder.
    std::vector<std::pair<std::string, std::string>> m_vecCaseLinks;
    /// Which titles are file titles (UTF-8) rather than page titles (text in the site's code page).
    std::vector<bool> m_arrSearchTitleIsName;
    CCHMFileRW m_CHMFile;
    std::string m_strAppRunPath;
    std::string m_strCHMFile;
    std::string m_strWebHelpDir;
    std::string m_strSourceDir;
    int32_t m_nSearchFileCount = 0;
    std::unique_ptr<std::thread> m_pCompileThread;

    /// The settings the steps read: those of the last Convert, else (after CHM2WebHelp, or before any
    /// conversion) g_WebHelpSettings.
    const tagWebHelpSettings& Settings() const
    {
        return m_pSettings != nullptr ? *m_pSettings : g_WebHelpSettings;
    }
    /// Writes a file of the site as raw bytes; a failure is kept for the step that wrote it
    /// (NoteWriteFailure).
    bool WriteSiteFile(const std::string& strPath, std::string_view svBytes);

protected:
    /// Remembers strPath as the first file of this conversion that could not be written, with errno's
    /// reason; the step that wrote it then fails. Later failures of the same conversion are not kept.
    void NoteWriteFailure(const std::string& strPath);
    /// Unpacks every user file of reader into strDir; a file that cannot be written is noted as above.
    void UnpackInto(CCHMFileRW& reader, const std::string& strDir);
    /// Notes the write failure that reader's last unpacking kept, if any, as above.
    void NoteUnpackFailure(const CCHMFileRW& reader);

    std::string GetAppRunPath() const;
    /// Handle of this module's own resources (never null: the module is loaded while it runs).
    const void* GetDLLModuleHandle() const;
    /// Code page of Settings().nCharset, made anew when the row changed. For the thread that
    /// runs the conversion: a harvest on a second thread has a code page of its own.
    const CCodePage& GetSiteCodePage();

    // Letter case.
    /// strLocal (an address below the topic folder, as the sitemaps give it) with its path in the
    /// archive's own spelling when only a match without regard to case exists, in the main file or,
    /// below "merge/<title>/", in that merged file; query and fragment kept. Else strLocal itself.
    std::string CHM2Web_ArchiveSpelling(const std::string& strLocal);
    /// Gives each (spelling, archive name) of vecLinks a file under strDir named as spelled: a hard
    /// link to the unpacked file, else a copy. An existing file is never replaced; a link or copy that
    /// fails is noted as a write failure. Returns how many names were added.
    int CHM2Web_AddCaseLinks(const std::string& strDir,
                             const std::vector<std::pair<std::string, std::string>>& vecLinks);

    // Merged compiled files.
    void CHM2Web_DecompileMergeCHMFiles(std::string strTopicDir);
    void ClearMergeCHMFilesMap();

    static unsigned CompileThread(void* pParam);

    /// A sitemap's decoded Local as the site addresses it: "merge/TITLE/PATH" for a page of a merged
    /// file (which is noted for unpacking; bMerged is then true), else the address below the
    /// sitemap's folder.
    std::string CHM2Web_SitemapLocal(const std::string& strDecoded, const CCodePage& cp, bool& bMerged);

    // Contents sitemap.
    int CHM2Web_SplitHHCInfo(CXML* pRaw, CXML* pRoot);
    int CHM2Web_SplitMergeHHCInfo(CXML* pRaw, CXML* pSiteMap, int nDepth, std::string strPrefix);
    int HHC_SplitSitePropertiesInfo(CXML* pObject, CXML* pProperties);
    int HHC_SplitSiteMapInfo(CXML* pNode, CXML* pSiteMap, int nDepth, std::string strPrefix);
    int HHC_SplitULInfo(CXML* pUL, CXML* pSiteMap, int nDepth, std::string strPrefix);
    int HHC_SplitLIInfo(CXML* pLI, CXML* pSiteMap, int nDepth, std::string strPrefix);
    /// The Topic of an item's own entry (its first child, an object); false when it has none.
    bool HHC_SplitItemEntry(CXML* pLI, CXML* pSiteMap, int nDepth, const std::string& strPrefix);
    /// The lists below pStart (a list, or an item past its entry) without recursion.
    void HHC_SplitLists(CXML* pStart, bool bItem, CXML* pSiteMap, int nDepth, const std::string& strPrefix);
    CXML* HHC_SplitObjectInfo(CXML* pObject, CXML* pSiteMap, int nDepth, std::string strPrefix);

    // Index sitemap.
    int CHM2Web_SplitHHKInfo(CXML* pRaw, CXML* pRoot);
    /// The same from a sitemap's elements, without their CXML tree.
    int CHM2Web_SplitHHKElements(const CSitemapElements& elements, CXML* pRoot);
    int HHK_SplitSitePropertiesInfo(CXML* pObject, CXML* pProperties);
    int HHK_SplitSiteMapInfo(CXML* pNode, CXML* pSiteMap, int nLevel);
    int HHK_SplitLIInfo(CXML* pLI, CXML* pSiteMap, int nLevel);
    struct SHHKXmlTree;
    struct SHHKElementTree;
    template <class TTree> int HHK_SplitTree(const TTree& tree, typename TTree::TNode raw, CXML* pRoot);
    /// The node that holds the items of the tree under raw, where they start and the level there;
    /// false without HTML.
    template <class TTree>
    bool HHK_FindStart(const TTree& tree, typename TTree::TNode raw, typename TTree::TNode& container,
                       typename TTree::TNode& start, int& nLevel);
    template <class TTree>
    int HHK_SplitNodes(const TTree& tree, typename TTree::TNode node, CHHKSink& sink, int nLevel);
    template <class TTree>
    int HHK_SplitItem(const TTree& tree, typename TTree::TNode li, CHHKSink& sink, int nLevel);
    /// The items of a sitemap's elements, split as CHM2Web_SplitHHKElements splits them, into sink.
    void HHK_SplitElementsTo(const CSitemapElements& elements, CHHKSink& sink);

    // Data scripts.
    void CHM2Web_CreateContentsScriptFile(CXML* pRoot, std::string strPath);
    void AddSpace_Tab(int nCount, std::string& str);
    void CHM2Web_CreateIndexScriptFile(CXML* pRoot, std::string strPath);
    /// The same script, split from the elements as it is written, without the split's tree.
    void CHM2Web_CreateIndexScriptFromElements(const CSitemapElements& elements, std::string strPath);
    /// The index script of a split's SiteMap, or of the elements, whichever is not null.
    void HHK_WriteScript(const std::string& strPath, CXML* pSiteMap, const CSitemapElements* pElements);
    void AddSpace_Space(int nCount, std::string& str);

    // Pages from the template set; each takes the output folder without a trailing separator.
    void CHM2Web_WriteContentsHeaderPage(std::string strDir);
    void CHM2Web_WriteIndexHeaderPage(std::string strDir);
    void CHM2Web_WriteSearchHeaderPage(std::string strDir);
    void CHM2Web_WriteContentsNavPage(std::string strDir);
    void CHM2Web_WriteIndexNavPage(std::string strDir);
    void CHM2Web_WriteSearchNavPage(std::string strDir);
    void CHM2Web_WriteContentsNavBarPage(std::string strDir);
    void CHM2Web_WriteIndexNavBarPage(std::string strDir);
    void CHM2Web_WriteSearchNavBarPage(std::string strDir);
    void CHM2Web_WriteContentsMainPage(std::string strDir);
    void CHM2Web_WriteIndexMainPage(std::string strDir);
    void CHM2Web_WriteSearchMainPage(std::string strDir);
    void CHM2Web_WriteIndexPage(std::string strDir);
    void CHM2Web_WriteHeaderJSFile(std::string strDir);

    // Runtime files and images; each takes the whfiles folder.
    void CHM2Web_WriteWHFiles(std::string strFilesDir);
    void CHM2Web_CreateContentsImages(std::string strFilesDir);
    void CHM2Web_CopyWHTemplatesImages(std::string strFilesDir);

    // Keywords.
    /// Another name of SplitTextToSearchKeywords2: the two split alike.
    void SplitTextToSearchKeywords(std::string strText, int nFile);
    void SplitTextToSearchKeywords2(std::string strText, int nFile);
    void FixTextForSearchKeywords(std::string& strText);
    void AddSearchKeywordToMap(std::string strKeyword, int nFile);

    // Page text harvest, one step at a time: each adds its pages after the search data held.
    void CHM2Web_ReadSearchDataFromCHMNode(CXML* pNode);
    void CHM2Web_ReadSearchDataFromFile(std::string strPath);
    void ReadSearchDataFromFile(std::string strPath);

    // Search data script.
    void WriteSearchKeywordsToFile(std::FILE* pFile);
    void WriteSearchFilesToFile(std::FILE* pFile);
    void WriteSearchTitlesToFile(std::FILE* pFile);
    void ClearSearchFilesArray();
    void ClearSearchTitlesArray();
    void ClearSearchKeywordsMap();

private:
    /// The pipeline of CHM2WebHelp and Convert; its result is also kept in m_LastResult.
    const tagConvertResult& RunConversion(const std::string& strWebHelpDir, const std::string& strSourceDir,
                                          const std::function<void(const std::string&)>& fnOutput);

    /// The settings of the running Convert; null for the shared record.
    const tagWebHelpSettings* m_pSettings = nullptr;
    tagWebHelpSettings m_OwnSettings;
    tagConvertResult m_LastResult;
    std::atomic<int32_t> m_nRunningStep{0};
    SWorkCount m_HarvestCount;
    SWorkCount m_UnpackCount;
    /// Raised to end the unpacking early, when a conversion fails beside it.
    std::atomic<bool> m_bStopUnpack{false};
    /// The first write of the running conversion that failed: path and errno.
    std::string m_strWriteFailure;
    int m_nWriteErrno = 0;
    /// Where every file of the site is written.
    COutputFolder m_OutputFolder;

    std::unique_ptr<CCodePage> m_pSiteCodePage;
    /// Readers of merged files opened to spell addresses into them, by site folder title.
    std::unordered_map<std::string, std::unique_ptr<CCHMFileRW>> m_mapMergeReaders;
    /// Merge map keys of the files whose contents are being converted, outermost first: a merge
    /// entry that names one of them again would never end.
    std::vector<std::string> m_vecMergeChain;
};
