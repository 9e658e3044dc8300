// The two whole-configuration dialogs of the offline menu: "OFFLINE TO KOVA"
// sends a memory port (or all four) to the module, "KOVA TO OFFLINE" fetches
// a module port (or all four) into the working configuration.
#pragma once
#include "link/link.h"

// Both return 1; what was moved before a failure stays moved.
int SendDialog(Link* link);
int FetchDialog(Link* link);
