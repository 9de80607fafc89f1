#include "CHMUnpackQueue.h"

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
    const size_t nBytes = piece.strBytes.size();
    m_queue.Add(std::move(piece), nBytes);
}
