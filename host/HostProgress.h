#pragma once

#include <chrono>
#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

class CWebHelpHelper;

/// The name of a conversion step from its progress text, without the trailing "... ".
std::string Progress_StepName(int nStep);

/// What the user sees of one or more conversions. Every call may come from any thread.
/// Plain (a pipe, a log): the progress texts of the converter as they come; in a batch each
/// conversion's lines are held back and written together after a line naming it, in the order of
/// the inputs.
/// Live (a terminal): one line per running conversion, redrawn in place with its step, count and
/// time, and in a batch a total line below them; finished conversions' lines are written above.
/// Quiet: nothing but errors.
class CProgressView
{
public:
    enum class EMode
    {
        kPlain,
        kLive,
        kQuiet,
    };
    /// The mode for this process's standard output: kLive on a terminal.
    static EMode ModeForOutput(bool bQuiet);

    /// One conversion per name, in order; writes to pOut and pErr, which must outlive this object.
    CProgressView(EMode nMode, std::vector<std::string> vecNames, std::FILE* pOut, std::FILE* pErr);
    CProgressView(const CProgressView&) = delete;
    CProgressView& operator=(const CProgressView&) = delete;

    void Job_Begin(size_t nJob);
    /// The live line of conversion nJob shows pHelper's step and counts; pHelper is borrowed until
    /// Job_Watch with null or Job_End.
    void Job_Watch(size_t nJob, const CWebHelpHelper* pHelper);
    /// A progress text of the converter ("\r\n" ends a line).
    void Job_Text(size_t nJob, const std::string& strText);
    /// A line for the user on standard output, and an error or warning line on standard error.
    void Job_Line(size_t nJob, const std::string& strLine);
    void Job_Error(size_t nJob, const std::string& strLine);
    void Job_End(size_t nJob, bool bSucceeded);

    /// Redraws the live lines (nothing in other modes); bDone erases them for good.
    void Redraw(bool bDone);
    /// "N of M converted" with the failures, for a batch; nothing when quiet.
    void Summary();

private:
    struct SJob
    {
        std::string strName;
        bool bRunning = false;
        bool bEnded = false;
        bool bSucceeded = false;
        const CWebHelpHelper* pHelper = nullptr;
        bool bConverted = false; ///< the helper has been watched and let go
        std::chrono::steady_clock::time_point start;
        std::string strOut; ///< plain batch: the lines held back
        std::vector<std::string> vecErrors;
        bool bLineOpen = false;
    };
    bool Batch() const { return m_vecJobs.size() > 1; }
    /// Live mode: the lines of the live block are erased, so that lines may be written above it.
    void EraseBlock();
    void DrawBlock();
    std::string LiveLine(const SJob& job) const;
    std::string TotalLine() const;

    EMode m_nMode;
    std::FILE* m_pOut;
    std::FILE* m_pErr;
    std::mutex m_mutex;
    std::vector<SJob> m_vecJobs;
    std::chrono::steady_clock::time_point m_start;
    int m_nDrawn = 0;      ///< lines of the live block on the screen
    size_t m_nWritten = 0; ///< plain batch: the jobs before this one have been written
    bool m_bFinished = false;
};
