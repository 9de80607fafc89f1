#pragma once

#include "WebHelpSettings.h"

#include <cstdint>
#include <string>

/// The settings every conversion starts from: the default template set, every tab and button shown,
/// gb2312 with Chinese captions, topics in "source", Home on the site's own start page.
tagWebHelpSettings WebHelp_DefaultSettings();

/// Fills what a compiled file says of itself into settings: the charset row of its language (the code
/// page its own texts are in), captions and tips in that language, its title (the #SYSTEM record's,
/// in UTF-8, else the file's name), the compiled file, and the folder "<name>_WebHelp" beside it; the
/// other fields keep their values. *pnLCID (when given) gets the file's language, 0 when it names
/// none. False, with settings unchanged, when the file cannot be opened as a compiled help file.
bool WebHelp_SettingsFromCHMFile(const std::string& strCHMFile, tagWebHelpSettings& settings,
                                 uint32_t* pnLCID = nullptr);

/// The folder a site of strCHMFile goes to when the user names none: "<name>_WebHelp" beside it.
std::string WebHelp_DefaultOutputDir(const std::string& strCHMFile);
