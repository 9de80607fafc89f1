#include "CHMUnpackQueue.h"

void CUnpackQueue::Add(SUnpackPiece piece)
{
    m_nPending += piece.strBytes.size();
    m_vecPending.push_back(std::move(piece));
    if (m_nPending >= kBatch || m_vecPending.size() >= kBatchPieces)
        Flush();
}

void CUnpackQueue::Flush(bool bFinish)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_cvRoom.wait(lock, [&] { return m_nBytes < kMaxQueued; });
    if (!m_vecPending.empty())
    {
        m_nBytes += m_nPending;
        m_deqBatches.push_back({std::move(m_vecPending), m_nPending});
        m_vecPending.clear();
        m_nPending = 0;
    }
    m_bFinished = m_bFinished || bFinish;
    m_cvItems.notify_one();
}

bool CUnpackQueue::Take(std::vector<SUnpackPiece>& vecBatch)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_cvItems.wait(lock, [&] { return !m_deqBatches.empty() || m_bFinished; });
    if (m_deqBatches.empty())
        return false;
    vecBatch = std::move(m_deqBatches.front().first);
    m_nBytes -= m_deqBatches.front().second;
    m_deqBatches.pop_front();
    m_cvRoom.notify_one();
    return true;
}

bool CQueueSink::Write(const unsigned char* pData, size_t nSize)
{
    m_strBytes.append(reinterpret_cast<const char*>(pData), nSize);
    if (m_strBytes.size() >= kPiece)
        Send(false, false);
    return true;
}

void CQueueSink::Send(bool bEnd, bool bRead)
{
    SUnpackPiece piece;
    piece.nJob = m_nJob;
    piece.strBytes = std::move(m_strBytes);
    piece.bEnd = bEnd;
    piece.bRead = bRead;
    m_strBytes.clear();
    m_queue.Add(std::move(piece));
}
