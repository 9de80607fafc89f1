#pragma once

#include <string>
#include <vector>

/// Small desktop services: the date and time for log lines, opening a file in the desktop.
class CQZHelper
{
public:
    /// The local date and time as "YYYY-MM-DD HH:MM:SS".
    static void GetDateTimeString3(std::string& strOut);
    /// Opens a file, folder or address with the desktop's opener (xdg-open) and returns without
    /// waiting for it. False when the opener cannot be started.
    static bool OpenDirectoryInWindowsExplorer(const std::string& strPath);
    /// Replaces the opener's command (the path is added as its last argument); empty restores
    /// xdg-open. For tests.
    static void SetOpener(std::vector<std::string> vecCommand);
};
