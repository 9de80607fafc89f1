#pragma once

#include <atomic>

/// How far a piece of work has gone: counted by the thread doing it, read by any other while it runs.
/// Relaxed counts: a reader sees a recent figure, never a torn one, and the worker pays one add.
struct SWorkCount
{
    std::atomic<int> nDone{0};
    std::atomic<int> nTotal{0};

    void Reset()
    {
        nDone.store(0, std::memory_order_relaxed);
        nTotal.store(0, std::memory_order_relaxed);
    }
};
