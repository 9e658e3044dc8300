// "Write setup to EEPROM": the module stores its current set-up.
#pragma once
#include "link/link.h"

// Always 1; failures and the module's answer are reported on screen.
int WriteSetupToEeprom(Link* link);
