#pragma once

#include <cstdint>

/// Charset row that suits a compiled file of language nLCID: the code page its texts were
/// written in. kCharsetWin1252 for a language without a better row, and for 0.
int WebHelpCharsetRowOfLCID(uint32_t nLCID);
