// The offer the link, terminal and viewer forms make after a change: write
// the settings in force to the startup setup file.
#pragma once
#include "setup/setup_in_force.h"

// "Write setup to startup file?" and the save of the settings in force.
void SaveSetupPrompt(const SetupInForce& settings);
