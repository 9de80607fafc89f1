#pragma once

#include "CDlgWizard.h"

struct tagWebHelpSettings;

/// Second page of the conversion wizard (dialog 25003): which tabs and buttons the site's header
/// shows, the tab captions, the button tips and the Home address. Stores them on Finish.
class CDlgWebHelpButtonsPage : public CDlgWizardPage
{
public:
    /// pSettings must outlive the page.
    CDlgWebHelpButtonsPage(tagWebHelpSettings* pSettings, CDlgBase* pParent);

    bool OnInitDialog() override;
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
};
