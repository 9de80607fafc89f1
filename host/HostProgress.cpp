#include "HostProgress.h"

#include "CPath.h"
#include "CStrHelper.h"
#include "CWebHelpHelper.h"

#include <sys/ioctl.h>
#include <unistd.h>

namespace
{
/// "m:ss" of the time since start.
std::string ElapsedText(std::chrono::steady_clock::time_point start)
{
    const auto nSeconds =
        std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - start).count();
    char szText[32];
    std::snprintf(szText, sizeof(szText), "%lld:%02lld", static_cast<long long>(nSeconds / 60),
                  static_cast<long long>(nSeconds % 60));
    return szText;
}

/// str cut to nColumns characters, so that a redrawn line never wraps (which would break the
/// count of lines to move up); a character is a UTF-8 sequence.
std::string FitWidth(const std::string& str, int nColumns)
{
    int nChars = 0;
    for (size_t i = 0; i < str.size(); ++i)
    {
        if ((static_cast<unsigned char>(str[i]) & 0xC0) == 0x80)
            continue;
        if (++nChars > nColumns)
            return str.substr(0, i);
    }
    return str;
}
} // namespace

std::string Progress_StepName(int nStep)
{
    std::string strStep = CStrHelper::ML_GetStringEx(nStep);
    while (!strStep.empty() && (strStep.back() == ' ' || strStep.back() == '.'))
        strStep.pop_back();
    return strStep;
}

CProgressView::EMode CProgressView::ModeForOutput(bool bQuiet)
{
    if (bQuiet)
        return EMode::kQuiet;
    return isatty(STDOUT_FILENO) ? EMode::kLive : EMode::kPlain;
}

CProgressView::CProgressView(EMode nMode, std::vector<std::string> vecNames, std::FILE* pOut, std::FILE* pErr)
    : m_nMode(nMode), m_pOut(pOut), m_pErr(pErr), m_start(std::chrono::steady_clock::now())
{
    m_vecJobs.resize(vecNames.size());
    for (size_t i = 0; i < vecNames.size(); ++i)
        m_vecJobs[i].strName = std::move(vecNames[i]);
}

void CProgressView::Job_Begin(size_t nJob)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    SJob& job = m_vecJobs[nJob];
    job.bRunning = true;
    job.start = std::chrono::steady_clock::now();
    if (m_nMode == EMode::kLive)
    {
        EraseBlock();
        DrawBlock();
    }
}

void CProgressView::Job_Watch(size_t nJob, const CWebHelpHelper* pHelper)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    SJob& job = m_vecJobs[nJob];
    job.bConverted = job.bConverted || (job.pHelper != nullptr && pHelper == nullptr);
    job.pHelper = pHelper;
}

void CProgressView::Job_Text(size_t nJob, const std::string& strText)
{
    if (m_nMode != EMode::kPlain)
        return;
    const std::lock_guard<std::mutex> lock(m_mutex);
    SJob& job = m_vecJobs[nJob];
    // The converter ends its lines with "\r\n"; a terminal or a log wants "\n".
    const bool bLineEnd = strText == "\r\n";
    const std::string& strOut = bLineEnd ? std::string("\n") : strText;
    job.bLineOpen = !bLineEnd && !strText.empty();
    if (Batch())
        job.strOut += strOut;
    else
    {
        std::fputs(strOut.c_str(), m_pOut);
        std::fflush(m_pOut);
    }
}

void CProgressView::Job_Line(size_t nJob, const std::string& strLine)
{
    if (m_nMode == EMode::kQuiet)
        return;
    const std::lock_guard<std::mutex> lock(m_mutex);
    SJob& job = m_vecJobs[nJob];
    std::string strOut = job.bLineOpen ? "\n" : "";
    job.bLineOpen = false;
    strOut += strLine + "\n";
    if (m_nMode == EMode::kPlain && Batch())
    {
        job.strOut += strOut;
        return;
    }
    EraseBlock();
    std::fputs(strOut.c_str(), m_pOut);
    DrawBlock();
}

void CProgressView::Job_Error(size_t nJob, const std::string& strLine)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    SJob& job = m_vecJobs[nJob];
    if (m_nMode == EMode::kPlain && Batch())
    {
        job.vecErrors.push_back(strLine);
        return;
    }
    EraseBlock();
    if (job.bLineOpen)
    {
        std::fputc('\n', m_pOut);
        job.bLineOpen = false;
    }
    std::fflush(m_pOut);
    std::fprintf(m_pErr, "%s\n", strLine.c_str());
    std::fflush(m_pErr);
    DrawBlock();
}

void CProgressView::Job_End(size_t nJob, bool bSucceeded)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    SJob& job = m_vecJobs[nJob];
    job.bRunning = false;
    job.bEnded = true;
    job.bSucceeded = bSucceeded;
    job.pHelper = nullptr;
    if (m_nMode == EMode::kPlain && Batch())
    {
        // Held back, and written in the order of the command line, so that the lines of conversions
        // running side by side never mix and a log reads the same whatever the number of jobs.
        for (; m_nWritten < m_vecJobs.size() && m_vecJobs[m_nWritten].bEnded; ++m_nWritten)
        {
            SJob& done = m_vecJobs[m_nWritten];
            std::fprintf(m_pOut, "Converting '%s'\n%s", done.strName.c_str(), done.strOut.c_str());
            if (done.bLineOpen)
                std::fputc('\n', m_pOut);
            std::fflush(m_pOut);
            for (const std::string& strError : done.vecErrors)
                std::fprintf(m_pErr, "%s\n", strError.c_str());
            std::fflush(m_pErr);
            done.strOut.clear();
            done.vecErrors.clear();
        }
        return;
    }
    if (m_nMode == EMode::kPlain && job.bLineOpen)
    {
        std::fputc('\n', m_pOut);
        std::fflush(m_pOut);
    }
    job.bLineOpen = false;
    EraseBlock();
    DrawBlock();
}

void CProgressView::Redraw(bool bDone)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    EraseBlock();
    m_bFinished = bDone;
    DrawBlock();
}

void CProgressView::Summary()
{
    if (m_nMode == EMode::kQuiet || !Batch())
        return;
    const std::lock_guard<std::mutex> lock(m_mutex);
    size_t nSucceeded = 0;
    for (const SJob& job : m_vecJobs)
        nSucceeded += job.bSucceeded ? 1 : 0;
    std::string strLine =
        std::to_string(nSucceeded) + " of " + std::to_string(m_vecJobs.size()) + " converted";
    if (nSucceeded < m_vecJobs.size())
        strLine += ", " + std::to_string(m_vecJobs.size() - nSucceeded) + " failed";
    std::fprintf(m_pOut, "%s\n", strLine.c_str());
    std::fflush(m_pOut);
}

void CProgressView::EraseBlock()
{
    if (m_nMode != EMode::kLive || m_nDrawn == 0)
        return;
    std::fprintf(m_pOut, "\r\x1b[%dA\x1b[J", m_nDrawn);
    m_nDrawn = 0;
}

void CProgressView::DrawBlock()
{
    if (m_nMode != EMode::kLive)
        return;
    if (!m_bFinished)
    {
        struct winsize size = {};
        const int nColumns =
            ioctl(fileno(m_pOut), TIOCGWINSZ, &size) == 0 && size.ws_col > 1 ? size.ws_col - 1 : 79;
        std::vector<std::string> vecLines;
        for (const SJob& job : m_vecJobs)
        {
            if (job.bRunning)
                vecLines.push_back(LiveLine(job));
        }
        if (Batch())
            vecLines.push_back(TotalLine());
        for (const std::string& strLine : vecLines)
            std::fprintf(m_pOut, "%s\n", FitWidth(strLine, nColumns).c_str());
        m_nDrawn = static_cast<int>(vecLines.size());
    }
    std::fflush(m_pOut);
}

std::string CProgressView::LiveLine(const SJob& job) const
{
    // Between the end of the conversion and the end of the job, the helper is gone already.
    std::string strStep = job.bConverted ? "Finishing" : "Starting";
    std::string strCount;
    if (job.pHelper != nullptr)
    {
        const tagConvertProgress progress = job.pHelper->GetProgress();
        if (progress.nStep != 0)
            strStep = Progress_StepName(progress.nStep);
        // The harvest runs beside the first steps; once the unpacking has begun, its count is the news.
        if (progress.nUnpackTotal > 0)
            strCount = std::to_string(progress.nUnpacked) + "/" + std::to_string(progress.nUnpackTotal) +
                       " files unpacked";
        else if (progress.nHarvestTotal > 0)
            strCount =
                std::to_string(progress.nHarvested) + "/" + std::to_string(progress.nHarvestTotal) + " pages";
    }
    // Time before the step, so that a narrow terminal cuts the count rather than the time.
    std::string strLine = CPath(job.strName).GetFileName() + "  " + ElapsedText(job.start) + "  " + strStep;
    if (!strCount.empty())
        strLine += "  " + strCount;
    return strLine;
}

std::string CProgressView::TotalLine() const
{
    size_t nEnded = 0, nFailed = 0, nRunning = 0;
    for (const SJob& job : m_vecJobs)
    {
        nEnded += job.bEnded ? 1 : 0;
        nFailed += job.bEnded && !job.bSucceeded ? 1 : 0;
        nRunning += job.bRunning ? 1 : 0;
    }
    std::string strLine = "All  " + ElapsedText(m_start) + "  " + std::to_string(nEnded) + " of " +
                          std::to_string(m_vecJobs.size()) + " done";
    if (nFailed > 0)
        strLine += " (" + std::to_string(nFailed) + " failed)";
    strLine += ", " + std::to_string(nRunning) + " running, " +
               std::to_string(m_vecJobs.size() - nEnded - nRunning) + " waiting";
    return strLine;
}
