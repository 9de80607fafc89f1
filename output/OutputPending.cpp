// Placeholders until the web output lands.
#include "CWebHelpHelper.h"

void CWebHelpHelper::CHM2Web_WriteContentsHeaderPage(std::string) {}
void CWebHelpHelper::CHM2Web_WriteIndexHeaderPage(std::string) {}
void CWebHelpHelper::CHM2Web_WriteSearchHeaderPage(std::string) {}
void CWebHelpHelper::CHM2Web_WriteContentsNavPage(std::string) {}
void CWebHelpHelper::CHM2Web_WriteIndexNavPage(std::string) {}
void CWebHelpHelper::CHM2Web_WriteSearchNavPage(std::string) {}
void CWebHelpHelper::CHM2Web_WriteContentsNavBarPage(std::string) {}
void CWebHelpHelper::CHM2Web_WriteIndexNavBarPage(std::string) {}
void CWebHelpHelper::CHM2Web_WriteSearchNavBarPage(std::string) {}
void CWebHelpHelper::CHM2Web_WriteContentsMainPage(std::string) {}
void CWebHelpHelper::CHM2Web_WriteIndexMainPage(std::string) {}
void CWebHelpHelper::CHM2Web_WriteSearchMainPage(std::string) {}
void CWebHelpHelper::CHM2Web_WriteIndexPage(std::string) {}
void CWebHelpHelper::CHM2Web_WriteHeaderJSFile(std::string) {}
void CWebHelpHelper::CHM2Web_WriteWHFiles(std::string) {}
void CWebHelpHelper::CHM2Web_CreateContentsImages(std::string) {}
void CWebHelpHelper::CHM2Web_CopyWHTemplatesImages(std::string) {}
const void* CWebHelpHelper::GetDLLModuleHandle() const
{
    return nullptr;
}
