#pragma once

#include <string>

class CDlgToolkit;

/// The toolkit the module was built with, started on first use and kept for the process (a
/// toolkit cannot be started twice). Null with a reason for the user when there is no display
/// or the module was built without windows.
CDlgToolkit* StartBuiltInToolkit(std::string& strWhy);

/// The entry of the windows' own library, which the module loads only when the wizard opens, so
/// that a conversion from the command line starts without the toolkit's libraries.
extern "C" CDlgToolkit* WebHelp_StartWindowsToolkit(std::string& strWhy);
using FnStartWindowsToolkit = CDlgToolkit* (*)(std::string&);
