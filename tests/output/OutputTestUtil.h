#pragma once

#include "CWebHelpHelper.h"
#include "TestUtil.h"

#include <gtest/gtest.h>

/// Reaches the protected page writers.
struct COutputTestHelper : CWebHelpHelper
{
    using CWebHelpHelper::CHM2Web_CopyWHTemplatesImages;
    using CWebHelpHelper::CHM2Web_CreateContentsImages;
    using CWebHelpHelper::CHM2Web_WriteContentsHeaderPage;
    using CWebHelpHelper::CHM2Web_WriteContentsMainPage;
    using CWebHelpHelper::CHM2Web_WriteContentsNavBarPage;
    using CWebHelpHelper::CHM2Web_WriteContentsNavPage;
    using CWebHelpHelper::CHM2Web_WriteHeaderJSFile;
    using CWebHelpHelper::CHM2Web_WriteIndexHeaderPage;
    using CWebHelpHelper::CHM2Web_WriteIndexMainPage;
    using CWebHelpHelper::CHM2Web_WriteIndexNavBarPage;
    using CWebHelpHelper::CHM2Web_WriteIndexNavPage;
    using CWebHelpHelper::CHM2Web_WriteIndexPage;
    using CWebHelpHelper::CHM2Web_WriteSearchHeaderPage;
    using CWebHelpHelper::CHM2Web_WriteSearchMainPage;
    using CWebHelpHelper::CHM2Web_WriteSearchNavBarPage;
    using CWebHelpHelper::CHM2Web_WriteSearchNavPage;
    using CWebHelpHelper::CHM2Web_WriteWHFiles;
    using CWebHelpHelper::GetDLLModuleHandle;
};

/// A host folder of our own with template sets written by the test, an output folder with
/// "whfiles", and settings with every switch on and plain ASCII texts.
class COutputTest : public ::testing::Test
{
protected:
    COutputTest()
    {
        m_strApp = m_tmp / "app/";
        m_strOut = m_tmp / "out";
        WriteFileBytes(m_strOut + "/whfiles/.keep", "");
        m_helper.m_strAppRunPath = m_strApp;
        g_WebHelpSettings = tagWebHelpSettings();
        tagWebHelpSettings& s = g_WebHelpSettings;
        s.nTemplate = 1;
        s.nCharset = 34; // windows-1252
        s.bShowIndex = s.bShowSearch = s.bShowHome = s.bShowPrev = s.bShowNext = s.bShowPrint = 1;
        s.strTitle = "Help";
        s.strTxtContents = "Contents";
        s.strTxtIndex = "Index";
        s.strTxtSearch = "Search";
        s.strTipHome = "Home";
        s.strTipPrev = "Prev";
        s.strTipNext = "Next";
        s.strTipPrint = "Print";
        s.strHomePage = "index.html";
    }

    /// Writes a template file of set strSet (default: the set of the settings).
    void Template(const std::string& strName, const std::string& strBytes,
                  const std::string& strSet = "default")
    {
        ASSERT_TRUE(WriteFileBytes(m_strApp + "whtemplates/" + strSet + "/" + strName, strBytes));
    }
    std::string Out(const std::string& strName) const { return ReadFileBytes(m_strOut + "/" + strName); }
    bool OutExists(const std::string& strName) const { return FileExists(m_strOut + "/" + strName); }

    CTempDir m_tmp;
    std::string m_strApp;
    std::string m_strOut;
    COutputTestHelper m_helper;
};
