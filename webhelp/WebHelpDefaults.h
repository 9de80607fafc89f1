#pragma once

#include "WebHelpSettings.h"

#include <cstdint>
#include <string>

class CCHMFileRW;

/// The settings every conversion starts from: the default template set, every tab and button shown,
/// gb2312 with Chinese captions, topics in "source", Home on the site's own start page.
tagWebHelpSettings WebHelp_DefaultSettings();

/// The language of the defaults every conversion starts from.
constexpr uint32_t kLCIDSimplifiedChinese = 0x0804;

/// Sets the tab captions and button tips to those of language nLCID (English for a language
/// without its own, and for 0); the other fields keep their values.
void WebHelp_SetCaptions(tagWebHelpSettings& settings, uint32_t nLCID);

/// Sets the charset row, the captions and tips, and the title to those a site of language nLCID
/// has before a compiled file gives its own; the other fields keep their values.
void WebHelp_SetLanguage(tagWebHelpSettings& settings, uint32_t nLCID);

/// Fills what a compiled file says of itself into settings: the charset row of its language (the code
/// page its own texts are in), captions and tips in that language, its title (the #SYSTEM record's,
/// in UTF-8, else the file's name), the compiled file, and the folder "<name>_WebHelp" beside it; the
/// other fields keep their values. *pnLCID (when given) gets the file's language, 0 when it names
/// none. False, with settings unchanged, when the file cannot be opened as a compiled help file.
bool WebHelp_SettingsFromCHMFile(const std::string& strCHMFile, tagWebHelpSettings& settings,
                                 uint32_t* pnLCID = nullptr);
/// The same from a reader already open on strCHMFile, for a caller that reads the file anyway.
void WebHelp_SettingsFromReader(const CCHMFileRW& reader, const std::string& strCHMFile,
                                tagWebHelpSettings& settings, uint32_t* pnLCID = nullptr);

/// The folder a site of strCHMFile goes to when the user names none: "<name>_WebHelp" beside it.
std::string WebHelp_DefaultOutputDir(const std::string& strCHMFile);
