#include "CDlgWarnLongFilename.h"

#include "CDlgWindow.h"

void CDlgWarnLongFilename::DoModal()
{
    CDlgToolkit* pToolkit = CDlgToolkit::Get();
    if (pToolkit == nullptr)
        return;
    pToolkit->ShowMessage("Some files of the site have paths longer than 260 characters.\n\n"
                          "The site works from this disk, but such paths break on many Windows "
                          "servers and disks: keep the output folder's path short if the site "
                          "is to be copied there.",
                          "Long file names");
}
