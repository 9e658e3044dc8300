// The serial terminal: the port and settings of the terminal setup, received
// bytes shown with control characters made visible (or all in hexadecimal),
// typed keys sent, a line of hexadecimal codes sent, and a capture file.
#pragma once
#include "link/link.h"
#include "setup/setup_in_force.h"

// Runs until Ctrl-End (or a port that cannot be opened again after F9).
// Borrows the link's port when they share it and connects the link again at
// the end, in the handle it was given.
void TerminalEmulator(SetupInForce& settings, LinkHandle& link);
