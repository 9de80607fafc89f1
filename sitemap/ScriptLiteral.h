#pragma once

#include <string>
#include <string_view>

class CCodePage;

/// The inside of a double-quoted script string for a title: every '"' becomes "'", and
/// backslashes and line breaks are escaped. Bytes that are part of a character of cp (a trail
/// byte 0x5C, the bytes of a stateful code page's shifted run) are kept as they are.
std::string ScriptTitleLiteral(std::string_view sv, const CCodePage& cp);

/// The same for an address, whose '"' is escaped rather than replaced, so it still leads to the
/// same page.
std::string ScriptAddressLiteral(std::string_view sv, const CCodePage& cp);

/// The same for a file name that becomes an address: '"' is written "%22", the same address.
std::string ScriptFileLiteral(std::string_view sv, const CCodePage& cp);
