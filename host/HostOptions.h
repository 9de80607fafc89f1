#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

/// Walks the words of a command line. A word that does not begin with "-", "-" itself and every word
/// after "--" are operands; any other word is an option, whose value is either joined to a long
/// option ("--name=VALUE") or the next word ("--name VALUE").
class CArgWalker
{
public:
    explicit CArgWalker(std::vector<std::string> vecArgs) : m_vecArgs(std::move(vecArgs)) {}

    /// The next operand, or option name without any joined value; false at the end.
    bool Next(std::string& strWord, bool& bOperand);
    /// True when the option Next gave came with "=VALUE": it is no switch then.
    bool HasJoinedValue() const { return m_strJoined.has_value(); }
    /// The value of the option Next gave; false with a message when there is none.
    bool Value(std::string& strValue, std::string& strError);
    /// The option's word as it was typed, for messages.
    const std::string& Word() const { return m_vecArgs[m_nWord]; }

private:
    std::vector<std::string> m_vecArgs;
    size_t m_nNext = 0;
    size_t m_nWord = 0;
    bool m_bOptionsEnded = false;
    std::string m_strName;
    std::optional<std::string> m_strJoined;
};

/// What `webhelp convert` was told; unset fields take the compiled file's own defaults.
struct SConvertOptions
{
    std::vector<std::string> vecInputs;
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
    int nJobs = 0; ///< conversions side by side; 0 when not given
};

/// False with a message for an unknown option, a missing value or a bad name or number.
bool ParseConvertOptions(const std::vector<std::string>& vecArgs, SConvertOptions& opt,
                         std::string& strError);

/// ParseCharsetRow for an option's value: false with a message when it names no charset.
bool ParseCharsetOption(const std::string& strValue, int& nRow, std::string& strError);
/// Row of a charset given by name (the first row of that name, any case) or by number 0-43; -1 if neither.
int ParseCharsetRow(const std::string& strValue);
/// Row of a template set given by folder name, display name (any case) or number 0-4; -1 if neither.
int ParseTemplateRow(const std::string& strValue);
