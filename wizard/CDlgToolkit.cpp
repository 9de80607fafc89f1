#include "CDlgWindow.h"

#include "BuiltInToolkit.h"

namespace
{
CDlgToolkit* g_pToolkit = nullptr;
} // namespace

CDlgToolkit* CDlgToolkit::Get()
{
    return g_pToolkit;
}

void CDlgToolkit::Set(CDlgToolkit* pToolkit)
{
    g_pToolkit = pToolkit;
}

CDlgToolkit* CDlgToolkit::Start(std::string& strWhy)
{
    if (g_pToolkit == nullptr)
        g_pToolkit = StartBuiltInToolkit(strWhy);
    return g_pToolkit;
}
