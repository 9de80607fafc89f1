#pragma once

#include <string>
#include <vector>

/// Exit codes of the host program.
enum EHostExit
{
    kExitOk = 0,
    kExitFailed = 1, ///< the conversion or build reported a failure
    kExitUsage = 2,  ///< bad options, or an input that is missing or not a compiled help file
};

/// Registers the host's string table and resources; idempotent.
void InitHost();

/// The whole command line; returns the exit code.
int RunHost(int argc, char** argv);

int RunConvert(const std::vector<std::string>& vecArgs);
int RunSearchData(const std::vector<std::string>& vecArgs);
int RunWizard(const std::vector<std::string>& vecArgs);
/// Serves a site on 127.0.0.1 until Ctrl-C or SIGTERM (exit 0); 2 when the port cannot be had.
int RunServe(const std::vector<std::string>& vecArgs);

/// "webhelp: " + strMessage on standard error; returns kExitUsage.
int UsageError(const std::string& strMessage);
