#pragma once

#include "CDlgWizard.h"

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
    /// Selects the charset row that suits the language of compiled file strPath, if it has one.
    void SuggestCharset(const std::string& strPath);
};
