#pragma once

#include <optional>
#include <string>
#include <vector>

/// What `webhelp convert` was told; unset fields take the compiled file's own defaults.
struct SConvertOptions
{
    std::string strInput;
    std::optional<std::string> strOutputDir;
    int nCharset = -1;  ///< row, -1 when not given
    int nTemplate = -1; ///< row, -1 when not given
    std::optional<std::string> strTitle;
    std::optional<std::string> strSourceDir;
    std::optional<std::string> strHomePage;
    std::optional<std::string> strTxtContents, strTxtIndex, strTxtSearch;
    std::optional<std::string> strTipHome, strTipPrev, strTipNext, strTipPrint;
    int bShowIndex = 1, bShowSearch = 1, bShowHome = 1, bShowPrint = 1, bShowPrev = 1, bShowNext = 1;
    bool bQuiet = false;
};

/// False with a message for an unknown option, a missing value or a bad name or number.
bool ParseConvertOptions(const std::vector<std::string>& vecArgs, SConvertOptions& opt,
                         std::string& strError);

/// Row of a charset given by name (the first row of that name, any case) or by number 0-43; -1 if neither.
int ParseCharsetRow(const std::string& strValue);
/// Row of a template set given by folder name, display name (any case) or number 0-4; -1 if neither.
int ParseTemplateRow(const std::string& strValue);
