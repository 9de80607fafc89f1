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

/// Items in order, handed over in batches of about m_nBatch bytes (most entries are small, and a
/// hand-over costs a wake-up), holding at most about m_nMaxQueued bytes so that a large entry never
/// sits in memory whole. One thread adds, one takes.
template <typename TItem> class CBatchQueue
{
public:
    CBatchQueue() = default;
    /// Batches of about nBatch bytes, at most about nMaxQueued bytes held.
    CBatchQueue(size_t nBatch, size_t nMaxQueued) : m_nBatch(nBatch), m_nMaxQueued(nMaxQueued) {}

    /// Adds an item that holds about nBytes.
    void Add(TItem item, size_t nBytes)
    {
        m_nPending += nBytes;
        m_vecPending.push_back(std::move(item));
        if (m_nPending >= m_nBatch || m_vecPending.size() >= kBatchPieces)
            Flush();
    }
    /// Hands over what Add gathered and, once bFinish is given, says that nothing follows.
    void Flush(bool bFinish = false)
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_cvRoom.wait(lock, [&] { return m_nBytes < m_nMaxQueued || m_bAbandoned; });
        if (m_bAbandoned)
        {
            m_vecPending.clear();
            m_nPending = 0;
        }
        else if (!m_vecPending.empty())
        {
            m_nBytes += m_nPending;
            m_deqBatches.push_back({std::move(m_vecPending), m_nPending});
            m_vecPending.clear();
            m_nPending = 0;
        }
        m_bFinished = m_bFinished || bFinish;
        m_cvItems.notify_one();
    }
    /// The next batch; false once the queue is finished and empty.
    bool Take(std::vector<TItem>& vecBatch)
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
    /// Said by the taking side when it takes no more (it failed): from then on nothing waits for
    /// room and what is added is dropped.
    void Abandon()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_bAbandoned = true;
        m_deqBatches.clear();
        m_nBytes = 0;
        m_cvRoom.notify_all();
    }
    /// For the adding side: the bytes added and not yet taken.
    size_t Waiting()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_nBytes + m_nPending;
    }
    size_t MaxQueued() const { return m_nMaxQueued; }

private:
    static constexpr size_t kBatchPieces = 256;
    size_t m_nBatch = size_t(1) << 20;
    size_t m_nMaxQueued = size_t(8) << 20;
    std::vector<TItem> m_vecPending; ///< the adding thread's own
    size_t m_nPending = 0;
    std::mutex m_mutex;
    std::condition_variable m_cvItems;
    std::condition_variable m_cvRoom;
    std::deque<std::pair<std::vector<TItem>, size_t>> m_deqBatches;
    size_t m_nBytes = 0;
    bool m_bFinished = false;
    bool m_bAbandoned = false;
};

using CUnpackQueue = CBatchQueue<SUnpackPiece>;

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
