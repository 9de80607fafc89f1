#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

/// A folder name made from strTitle (UTF-8) that is safe on any disk and in an address: ASCII
/// letters, digits, "-", "_" and "." and every other well-formed non-ASCII character are kept, any
/// other byte becomes "_", a leading "." becomes "_", and an empty title gives "help".
std::string Batch_SafeFolderName(const std::string& strTitle);

/// The site folder of each input, in order. One input: strOutputDir itself, else the folder beside
/// it. Several: strOutputDir + "/" + the safe name of each file's title, else the folder beside each.
/// Two inputs never share a folder: a later one whose folder matches an earlier one's (ignoring
/// ASCII case) gets "-2", "-3", ... appended.
std::vector<std::string> Batch_OutputDirs(const std::vector<std::string>& vecInputs,
                                          const std::optional<std::string>& strOutputDir);

/// Conversions run side by side when no number is given: the number of processors.
int Batch_DefaultJobs();

/// Runs job(0) .. job(nCount - 1) on up to nJobs threads, each taking the next job when it is free,
/// and calls wait(bDone) on this thread meanwhile: with false at least every 200 ms while any runs,
/// then once with true. Jobs run on this thread when no thread can be started.
void Batch_Run(size_t nCount, int nJobs, const std::function<void(size_t)>& job,
               const std::function<void(bool bDone)>& wait);
