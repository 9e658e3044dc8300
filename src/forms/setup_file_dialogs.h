// The setup file: loading the startup file at start, and loading another one
// chosen by the user. Both may end in the link form; the forms' offer to save
// is save_setup_prompt.h's, so the forms never call back into this file.
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
