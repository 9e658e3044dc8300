// "Write setup to EEPROM": the module stores its current set-up.
#pragma once
#include "transfer/module_session.h"

// Always 1; failures and the module's answer are reported on screen.
int WriteSetupToEeprom(const ModuleSession& module);
