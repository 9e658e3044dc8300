// The setup file: loading the startup file at start, loading another one
// chosen by the user, and the offer to save the settings to the startup file.
#pragma once
#include <string>

#include "link/link.h"
#include "setup/setup_in_force.h"

// Reads the startup setup file (relative names from the current directory)
// into the settings and connects what it names; a missing or short file
// gives a default set and the link form. Binds F1 to print screen. Returns
// the link, empty when none opened.
LinkHandle LoadStartupSetup(SetupInForce& settings, const std::string& name);
// "LOAD SETUP FROM FILE": closes the link once a file is chosen, then loads
// and connects into it (on Esc the link stays as it was).
void LoadSetupFromFile(SetupInForce& settings, LinkHandle& link);
// "Write setup to startup file?" and the save of the settings in force.
void SaveSetupPrompt(const SetupInForce& settings);
