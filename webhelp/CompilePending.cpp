// Placeholders until the background compile and the wizard land.
#include "CWebHelpHelper.h"

void CWebHelpHelper::Compile(tagCompileThreadPar*) {}
unsigned CWebHelpHelper::CompileThread(void*)
{
    return 0;
}
void CWebHelpHelper::CHM2WebHelpWizard() {}
