#include "HostCommands.h"

#include <malloc.h>

#include <cstdio>
#include <exception>
#include <new>

namespace
{
constexpr int kMmapThreshold = 256 * 1024;
} // namespace

int main(int argc, char** argv)
{
    // A fixed threshold keeps the allocator from raising it as large blocks are freed: the
    // sitemaps' and the harvest's large buffers then go back to the system when freed, where
    // otherwise they would stay in the heap of whichever thread freed them.
    mallopt(M_MMAP_THRESHOLD, kMmapThreshold);
    try
    {
        return RunHost(argc, argv);
    }
    catch (const std::bad_alloc&)
    {
        std::fputs("webhelp: out of memory\n", stderr);
        return 1;
    }
    catch (...)
    {
        std::fputs("webhelp: unexpected error\n", stderr);
        return 1;
    }
}
