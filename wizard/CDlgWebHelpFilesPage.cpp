#include "CDlgWebHelpFilesPage.h"

#include "CPath.h"
#include "CStrHelper.h"
#include "CWebHelpHelper.h"
#include "WebHelpDefaults.h"
#include "WebHelpSettings.h"

#include <strings.h>

namespace
{
enum : int
{
    kIDCHMFile = 25000,
    kIDBrowseCHMFile = 25001,
    kIDOutputDir = 25002,
    kIDBrowseOutputDir = 25003,
    kIDCharset = 25008,
    kIDTemplate = 25010,
    kIDTitle = 25041,
};

bool EndsWithCHM(const std::string& str)
{
    return str.size() >= 4 && strcasecmp(str.c_str() + str.size() - 4, ".chm") == 0;
}
} // namespace

CDlgWebHelpFilesPage::CDlgWebHelpFilesPage(tagWebHelpSettings* pSettings, CDlgBase* pParent)
    : CDlgWizardPage(25000, pParent), m_pSettings(pSettings)
{
}

bool CDlgWebHelpFilesPage::OnInitDialog()
{
    CDlgWizardPage::OnInitDialog();
    SetTextFromTable(kIDBrowseCHMFile, 3);
    SetTextFromTable(kIDBrowseOutputDir, 3);
    SetTextFromTable(25006, 650);
    SetTextFromTable(25007, 651);
    SetTextFromTable(25009, 652);
    SetTextFromTable(25011, 653);
    SetTextFromTable(25042, 654);
    FillCharsetList();
    FillTemplateList();
    if (m_pSettings != nullptr)
    {
        CDlgWindow* pWnd = GetWnd();
        // A later run in the same process starts from the files of the run before.
        pWnd->SetControlText(kIDCHMFile, m_pSettings->strCHMFile);
        for (auto [nID, pstr] :
             {std::pair{kIDTitle, &m_pSettings->strTitle}, {kIDOutputDir, &m_pSettings->strWebHelpDir}})
        {
            pWnd->SetControlText(nID, *pstr);
            m_mapSuggested[nID] = *pstr;
        }
    }
    m_nSuggestedCharset = GetWnd()->GetListSel(kIDCharset);
    m_nCaptionsLCID = 0;
    return true;
}

void CDlgWebHelpFilesPage::FillCharsetList()
{
    if (m_pHelper == nullptr)
        return;
    CDlgWindow* pWnd = GetWnd();
    for (int32_t i = 0; i < m_pHelper->m_nCharsetCount; ++i)
        pWnd->AddListItem(kIDCharset,
                          CWebHelpHelper::m_strCharset[i][0] + " - " + CWebHelpHelper::m_strCharset[i][1]);
    if (m_pSettings != nullptr)
        pWnd->SetListSel(kIDCharset, m_pSettings->nCharset);
}

void CDlgWebHelpFilesPage::FillTemplateList()
{
    if (m_pHelper == nullptr)
        return;
    CDlgWindow* pWnd = GetWnd();
    for (const std::string& strName : CWebHelpHelper::m_strWHTemplates)
        pWnd->AddListItem(kIDTemplate, strName);
    if (m_pSettings != nullptr)
        pWnd->SetListSel(kIDTemplate, m_pSettings->nTemplate);
}

void CDlgWebHelpFilesPage::OnCommand(int nID)
{
    if (nID == kIDBrowseCHMFile)
        OnBrowseCHMFile();
    else if (nID == kIDBrowseOutputDir)
        OnBrowseOutputDir();
    else
        CDlgWizardPage::OnCommand(nID);
}

void CDlgWebHelpFilesPage::OnEditChange(int nID)
{
    if (nID != kIDCHMFile)
        return;
    // Every keystroke arrives here: a name that is still being typed names no file.
    const std::string strPath = CompletedCHMFile();
    if (CPath(strPath).ExistFile())
        TakeDefaultsOfFile(strPath);
}

void CDlgWebHelpFilesPage::OnBrowseCHMFile()
{
    CDlgWindow* pWnd = GetWnd();
    const std::string strPath = pWnd->ChooseOpenFile("CHM Files(*.CHM)", "*.chm");
    if (strPath.empty())
        return;
    pWnd->SetControlText(kIDCHMFile, strPath);
    TakeDefaultsOfFile(strPath);
}

void CDlgWebHelpFilesPage::SuggestText(int nID, const std::string& strText)
{
    auto it = m_mapSuggested.find(nID);
    if (it != m_mapSuggested.end() && GetWnd()->GetControlText(nID) != it->second)
        return;
    GetWnd()->SetControlText(nID, strText);
    m_mapSuggested[nID] = strText;
}

void CDlgWebHelpFilesPage::TakeDefaultsOfFile(const std::string& strPath)
{
    SuggestText(kIDOutputDir, WebHelp_DefaultOutputDir(strPath));
    if (m_pSettings == nullptr)
        return;
    // The site must declare the code page the file's own texts were written in, as the command
    // line does.
    tagWebHelpSettings fromFile = *m_pSettings;
    uint32_t nLCID = 0;
    if (!WebHelp_SettingsFromCHMFile(strPath, fromFile, &nLCID))
        return;
    SuggestText(kIDTitle, fromFile.strTitle);
    if (nLCID == 0)
        return;
    CDlgWindow* pWnd = GetWnd();
    if (pWnd->GetListSel(kIDCharset) == m_nSuggestedCharset)
    {
        pWnd->SetListSel(kIDCharset, fromFile.nCharset);
        m_nSuggestedCharset = pWnd->GetListSel(kIDCharset);
    }
    m_nCaptionsLCID = nLCID;
}

void CDlgWebHelpFilesPage::OnBrowseOutputDir()
{
    CDlgWindow* pWnd = GetWnd();
    m_pszBrowseDir = pWnd->GetControlText(kIDOutputDir);
    const std::string strFolder = pWnd->ChooseFolder("Please select your output folder:", *m_pszBrowseDir);
    if (!strFolder.empty())
        pWnd->SetControlText(kIDOutputDir, strFolder);
    m_pszBrowseDir.reset();
}

std::string CDlgWebHelpFilesPage::CompletedCHMFile() const
{
    std::string strFile = GetWnd()->GetControlText(kIDCHMFile);
    if (!EndsWithCHM(strFile))
        strFile += ".chm";
    return strFile;
}

bool CDlgWebHelpFilesPage::CheckInput()
{
    CDlgWindow* pWnd = GetWnd();
    const std::string strFile = pWnd->GetControlText(kIDCHMFile);
    const std::string strDir = pWnd->GetControlText(kIDOutputDir);
    std::string strMessage;
    if (strFile.empty())
        strMessage = CStrHelper::ML_GetStringEx(666);
    else if (strDir.empty())
        strMessage = CStrHelper::ML_GetStringEx(667);
    else if (!CPath(CompletedCHMFile()).ExistFile())
        strMessage = CompletedCHMFile() + CStrHelper::ML_GetStringEx(668);
    else if (!CPath::IsFileSystemPath(strDir))
        strMessage = "\"" + strDir + "\"" + CStrHelper::ML_GetStringEx(669);
    if (strMessage.empty())
        return true;
    pWnd->MessageBox(strMessage, CStrHelper::ML_GetStringEx(8));
    return false;
}

int CDlgWebHelpFilesPage::OnWizardNext()
{
    if (!CheckInput())
        return -1;
    if (m_pSettings == nullptr)
        return 0;
    CDlgWindow* pWnd = GetWnd();
    // The name that passed the check is the one the conversion must open: "guide" typed for
    // guide.chm would otherwise fail only later, in the progress window.
    m_pSettings->strCHMFile = CompletedCHMFile();
    m_pSettings->strWebHelpDir = pWnd->GetControlText(kIDOutputDir);
    while (m_pSettings->strWebHelpDir.size() > 1 && m_pSettings->strWebHelpDir.back() == '/')
        m_pSettings->strWebHelpDir.pop_back();
    m_pSettings->strTitle = pWnd->GetControlText(kIDTitle);
    // An empty list (no converter given) has no row to store; -1 would index past the tables.
    const int nCharset = pWnd->GetListSel(kIDCharset);
    if (nCharset >= 0)
        m_pSettings->nCharset = nCharset;
    const int nTemplate = pWnd->GetListSel(kIDTemplate);
    if (nTemplate >= 0)
        m_pSettings->nTemplate = nTemplate;
    // The next page shows them in every box the user has not changed there.
    if (m_nCaptionsLCID != 0)
        WebHelp_SetCaptions(*m_pSettings, m_nCaptionsLCID);
    return 0;
}
