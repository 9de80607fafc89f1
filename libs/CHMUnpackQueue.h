#pragma once

#include "CHMArchive.h"

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

/// One piece of an unpacked entry, passed from the thread that decompresses to the one that writes.
struct SUnpackPiece
{
    size_t nJob = 0;
    std::string strBytes;
    bool bEnd = false;  ///< the entry's last piece
    bool bRead = false; ///< with bEnd: the whole entry was read
};

/// Pieces in order, handed over in batches of about kBatch bytes (most entries are small, and a
/// hand-over costs a wake-up), holding at most about kMaxQueued bytes so that a large entry never
/// sits in memory whole.
class CUnpackQueue
{
public:
    void Add(SUnpackPiece piece);
    /// Hands over what Add gathered and, once bFinish is given, says that nothing follows.
    void Flush(bool bFinish = false);
    /// The next batch; false once the queue is finished and empty.
    bool Take(std::vector<SUnpackPiece>& vecBatch);

private:
    static constexpr size_t kBatch = size_t(1) << 20;
    static constexpr size_t kBatchPieces = 256;
    static constexpr size_t kMaxQueued = size_t(8) << 20;
    std::vector<SUnpackPiece> m_vecPending; ///< the decompressing thread's own
    size_t m_nPending = 0;
    std::mutex m_mutex;
    std::condition_variable m_cvItems;
    std::condition_variable m_cvRoom;
    std::deque<std::pair<std::vector<SUnpackPiece>, size_t>> m_deqBatches;
    size_t m_nBytes = 0;
    bool m_bFinished = false;
};

/// Gathers an entry's bytes into pieces of about kPiece bytes for the queue, which it borrows.
class CQueueSink : public CCHMSink
{
public:
    CQueueSink(CUnpackQueue& queue, size_t nJob) : m_queue(queue), m_nJob(nJob) {}
    bool Write(const unsigned char* pData, size_t nSize) override;
    void Send(bool bEnd, bool bRead);

private:
    static constexpr size_t kPiece = size_t(1) << 20;
    CUnpackQueue& m_queue;
    size_t m_nJob;
    std::string m_strBytes;
};

/// Decompresses entries IndexOf(0 .. nJobs-1) on a second thread while this one hands their bytes
/// to store(nJob, bytes, bEnd, bRead) in job order: the decompressor and the file system each keep
/// a core busy. Raising *pStop (unless null) ends it before the next entry. False, having done
/// nothing, when no thread can be started.
template <typename TIndexOf, typename TStore>
bool UnpackOverlapped(CCHMArchive& archive, size_t nJobs, TIndexOf IndexOf, TStore& store,
                      const std::atomic<bool>* pStop = nullptr)
{
    CUnpackQueue queue;
    std::thread reader;
    try
    {
        reader = std::thread(
            [&]
            {
                for (size_t nJob = 0; nJob < nJobs; ++nJob)
                {
                    if (pStop != nullptr && pStop->load(std::memory_order_relaxed))
                        break;
                    CQueueSink sink(queue, nJob);
                    const bool bRead = archive.Extract(IndexOf(nJob), sink);
                    sink.Send(true, bRead);
                }
                queue.Flush(true);
            });
    }
    catch (...)
    {
        return false;
    }
    std::vector<SUnpackPiece> vecBatch;
    while (queue.Take(vecBatch))
    {
        for (const SUnpackPiece& piece : vecBatch)
            store(piece.nJob, piece.strBytes, piece.bEnd, piece.bRead);
    }
    reader.join();
    return true;
}
