#pragma once

#include "CWebHelpHelper.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class CCodePage;

/// The converter's steps that the targets drive, reached from outside.
struct CFuzzHelper : CWebHelpHelper
{
    using CWebHelpHelper::CHM2Web_CreateContentsScriptFile;
    using CWebHelpHelper::CHM2Web_CreateIndexScriptFile;
    using CWebHelpHelper::CHM2Web_SplitHHCInfo;
    using CWebHelpHelper::CHM2Web_SplitHHKInfo;
    using CWebHelpHelper::GetSiteCodePage;
};

/// Reports an input that broke a promise of the code under test. Unless a handler is set, prints
/// strWhy and aborts, which the fuzzer records as a finding.
void Fuzz_Fail(const std::string& strWhy);
/// Makes Fuzz_Fail call fnHandler instead (null: abort again), so a test can collect the reports.
void Fuzz_SetFailHandler(void (*fnHandler)(const std::string& strWhy));

/// A folder of this process under the system's temp folder, made on first use, removed at exit.
const std::string& Fuzz_TempDir();
/// The whole file; empty when it cannot be read.
std::string Fuzz_ReadFile(const std::string& strPath);
/// Writes the bytes to strPath, replacing it; false when it cannot.
bool Fuzz_WriteFile(const std::string& strPath, const uint8_t* pData, size_t nSize);

/// A charset row chosen by b among rows of different kinds: UTF-8, single-byte, double-byte,
/// EUC, and (unless bAsciiOnly, which keeps to code pages where bytes below 0x80 are ASCII) stateful.
int Fuzz_CharsetRow(uint8_t b, bool bAsciiOnly = false);

/// Text in cp as a browser splits it into characters: a double-byte code page's lead byte with the
/// byte after it (0x40 and up) is one character, each told by its bytes; one without is U+FFFD; a
/// byte below 0x80 is ASCII. Other code pages are decoded (U+FFFD for a byte that is no character).
std::u32string Fuzz_BrowserText(std::string_view sv, const CCodePage& cp);

/// The string literals of a data script (the text as a browser decodes it), their escapes
/// resolved, in order. False with the reason when the script is not of the shape the writers
/// give: only names, numbers, the punctuation "[],;=" between literals and white space; a line
/// break or an unknown escape inside a literal, a literal left open or a bracket left unbalanced.
bool JS_ReadDataScript(std::u32string_view svScript, std::vector<std::u32string>& vecLiterals,
                       std::string& strWhy);

/// The fuzz targets: each takes any bytes and reports broken promises through Fuzz_Fail.
/// The archive reader: opens the bytes as a compiled file, lists, reads and unpacks every entry.
int Fuzz_Reader(const uint8_t* pData, size_t nSize);
/// A contents or index sitemap read and converted into its data script.
int Fuzz_Sitemap(const uint8_t* pData, size_t nSize);
/// A page harvested for search: text, title and keywords, written into the search data script.
int Fuzz_Harvest(const uint8_t* pData, size_t nSize);
/// The byte-order-mark reader.
int Fuzz_BOMReader(const uint8_t* pData, size_t nSize);
/// A title and an address written by every data script writer and read back as a browser would.
int Fuzz_ScriptLiterals(const uint8_t* pData, size_t nSize);
