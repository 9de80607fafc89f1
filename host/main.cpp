#include "HostCommands.h"

#include <cstdio>
#include <exception>
#include <new>

int main(int argc, char** argv)
{
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
