#include "BuiltInToolkit.h"

CDlgToolkit* StartBuiltInToolkit(std::string& strWhy)
{
    strWhy = "this build of webhelp has no wizard windows (it was built without wxWidgets)";
    return nullptr;
}
