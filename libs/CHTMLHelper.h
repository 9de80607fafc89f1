#pragma once

#include <string>
#include <string_view>

class CCodePage;

/// Decodes the values of sitemap params. Values are bytes in the help file's own code page;
/// only character references are touched, every other byte passes through unchanged.
class CHTMLHelper
{
public:
    /// The one helper; it holds no state, so any thread may use it.
    static const CHTMLHelper& Instance();

    /// Resolves named, decimal and hexadecimal character references into cp. A reference to a
    /// character cp lacks, or to no character at all, stays as written.
    std::string HTMLDecodeParamName(std::string_view svValue, const CCodePage& cp) const;
    /// As HTMLDecodeParamName, then drops a leading "ms-its:" or "mk:@MSITStore:" (any case), so a
    /// reference into another compiled file starts with the file's name.
    std::string HTMLDecodeParamLocal(std::string_view svValue, const CCodePage& cp) const;

private:
    CHTMLHelper() = default;
};
