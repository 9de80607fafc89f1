#include "HostCommands.h"

int RunWizard(const std::vector<std::string>&)
{
    return UsageError("the wizard is not available yet");
}
