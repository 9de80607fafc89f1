#pragma once

#include <string>
#include <utility>
#include <vector>

/// The host's string table: the host registers its texts at start-up, the module asks by number.
class CStrHelper
{
public:
    /// UTF-8 text of nID; empty when the host has none.
    static std::string ML_GetStringEx(int nID);
    /// Replaces the table. Call before any conversion runs: the table is read without a lock.
    static void SetStringTable(std::vector<std::pair<int, std::string>> vecTexts);
};
