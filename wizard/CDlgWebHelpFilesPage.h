#pragma once

#include "CDlgWizard.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>

class CWebHelpHelper;
struct tagWebHelpSettings;

/// First page of the conversion wizard (dialog 25000): the compiled file, the output folder,
/// the charset, the template set and the title. Checks and stores them on Next.
class CDlgWebHelpFilesPage : public CDlgWizardPage
{
public:
    /// pSettings must outlive the page.
    CDlgWebHelpFilesPage(tagWebHelpSettings* pSettings, CDlgBase* pParent);
    /// The converter whose tables fill the two lists; without it they stay empty.
    void SetHelper(CWebHelpHelper* pHelper) { m_pHelper = pHelper; }

    bool OnInitDialog() override;
    int OnWizardNext() override;
    void OnCommand(int nID) override;
    /// A typed or pasted compiled file takes effect once it names an existing file.
    void OnEditChange(int nID) override;

    void OnBrowseCHMFile();
    void OnBrowseOutputDir();
    /// Reports the first unusable entry in a message box; true when all are usable.
    bool CheckInput();

    tagWebHelpSettings* m_pSettings;
    /// The folder the folder browser opens on while it is open.
    std::optional<std::string> m_pszBrowseDir;
    CWebHelpHelper* m_pHelper = nullptr;

protected:
    void FillCharsetList();
    void FillTemplateList();
    /// The file box's text with ".chm" added when it lacks that ending.
    std::string CompletedCHMFile() const;
    /// Puts into every box the user has not changed on this run what compiled file strPath says
    /// of itself: the output folder beside it, its title, and the charset and captions of its
    /// language. A file that cannot be read changes only the folder; one that names no language
    /// keeps the charset and captions.
    void TakeDefaultsOfFile(const std::string& strPath);
    /// Sets box nID to strText unless the user changed it since the page last set it.
    void SuggestText(int nID, const std::string& strText);

    /// What the page last put in each box it fills in; a box that differs was changed by the user.
    std::map<int, std::string> m_mapSuggested;
    int m_nSuggestedCharset = -1;
    /// The language whose captions and tips Next stores; 0 keeps those of the record.
    uint32_t m_nCaptionsLCID = 0;
};
