#include "HostCommands.h"

int RunSearchData(const std::vector<std::string>&)
{
    return UsageError("searchdata is not available yet");
}
