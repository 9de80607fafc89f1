// Placeholders until the contents and index conversion lands.
#include "CWebHelpHelper.h"

int CWebHelpHelper::CHM2Web_SplitHHCInfo(CXML*, CXML*)
{
    return 1;
}
int CWebHelpHelper::CHM2Web_SplitMergeHHCInfo(CXML*, CXML*, int, std::string)
{
    return 1;
}
int CWebHelpHelper::HHC_SplitSitePropertiesInfo(CXML*, CXML*)
{
    return 1;
}
int CWebHelpHelper::HHC_SplitSiteMapInfo(CXML*, CXML*, int, std::string)
{
    return 1;
}
int CWebHelpHelper::HHC_SplitULInfo(CXML*, CXML*, int, std::string)
{
    return 1;
}
int CWebHelpHelper::HHC_SplitLIInfo(CXML*, CXML*, int, std::string)
{
    return 0;
}
CXML* CWebHelpHelper::HHC_SplitObjectInfo(CXML*, CXML*, int, std::string)
{
    return nullptr;
}
int CWebHelpHelper::CHM2Web_SplitHHKInfo(CXML*, CXML*)
{
    return 1;
}
int CWebHelpHelper::HHK_SplitSitePropertiesInfo(CXML*, CXML*)
{
    return 1;
}
int CWebHelpHelper::HHK_SplitSiteMapInfo(CXML*, CXML*, int)
{
    return 1;
}
int CWebHelpHelper::HHK_SplitLIInfo(CXML*, CXML*, int)
{
    return 0;
}
void CWebHelpHelper::CHM2Web_CreateContentsScriptFile(CXML*, std::string) {}
void CWebHelpHelper::AddSpace_Tab(int, std::string&) {}
void CWebHelpHelper::CHM2Web_CreateIndexScriptFile(CXML*, std::string) {}
void CWebHelpHelper::AddSpace_Space(int, std::string&) {}
void CWebHelpHelper::CHM2Web_DecompileMergeCHMFiles(std::string) {}
void CWebHelpHelper::ClearMergeCHMFilesMap()
{
    m_mapMergeCHMFiles.clear();
}
