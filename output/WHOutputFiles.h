#pragma once

#include <cstdint>
#include <string>
#include <string_view>

class CCodePage;

/// Path of a file of template set nTemplate below strAppRunPath (the host's folder, with or without
/// its trailing "/"). An index outside the table of sets names the default set.
std::string WH_TemplatePath(const std::string& strAppRunPath, int32_t nTemplate, const std::string& strName);

/// The whole file as raw bytes. False when it cannot be opened or read.
bool WH_ReadFileBytes(const std::string& strPath, std::string& strBytes);

/// Creates or empties the file and writes the bytes as they are. False, with errno telling why, when
/// the file cannot be created or written whole.
bool WH_WriteFileBytes(const std::string& strPath, std::string_view svBytes);

/// Replaces every occurrence of svFrom, left to right and without overlap; the inserted text is not
/// searched again. An empty svFrom changes nothing.
void WH_ReplaceAll(std::string& str, std::string_view svFrom, std::string_view svTo);

/// A settings text (UTF-8) as HTML text of a page in the site's code page cp: "&", "<" and ">"
/// show as themselves, and a character cp lacks becomes a character reference.
std::string WH_PageText(std::string_view svUTF8, const CCodePage& cp);

/// The same for a double-quoted attribute value, where '"' shows as itself too.
std::string WH_PageAttribute(std::string_view svUTF8, const CCodePage& cp);
