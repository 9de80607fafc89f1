#pragma once

#include "CDlgWizard.h"

#include <map>
#include <string>

struct tagWebHelpSettings;

/// Second page of the conversion wizard (dialog 25003): which tabs and buttons the site's header
/// shows, the tab captions, the button tips and the Home address. Stores them on Finish.
class CDlgWebHelpButtonsPage : public CDlgWizardPage
{
public:
    /// pSettings must outlive the page.
    CDlgWebHelpButtonsPage(tagWebHelpSettings* pSettings, CDlgBase* pParent);

    bool OnInitDialog() override;
    /// Shows the record's captions and tips, which the first page may have changed, in every box
    /// the user has not changed here.
    void OnSetActive() override;
    bool OnWizardFinish() override;
    void OnCommand(int nID) override;

    void OnClickHome();
    void OnClickIndex();
    void OnClickSearch();
    void OnClickNext();
    void OnClickPrev();
    void OnClickPrint();

    tagWebHelpSettings* m_pSettings;

protected:
    /// Enables the boxes that belong to check box nCheckID as it is now.
    void EnableForCheck(int nCheckID, int nBoxID, int nSecondBoxID = 0);

    /// The record's caption or tip that each box showed last.
    std::map<int, std::string> m_mapShown;
};
