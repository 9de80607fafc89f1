// Placeholder until the wizard lands.
#include "CWebHelpHelper.h"

void CWebHelpHelper::CHM2WebHelpWizard() {}
