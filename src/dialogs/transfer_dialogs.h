// The two whole-configuration dialogs of the offline menu: "OFFLINE TO KOVA"
// sends a memory port (or all four) to the module, "KOVA TO OFFLINE" fetches
// a module port (or all four) into the working configuration.
#pragma once
#include <cstdint>

#include "config/config_documents.h"
#include "link/link.h"
#include "setup/link_setup.h"

// Both move the working configuration and the Print/Prog baud rate, and
// leave in model what the module said it is (as it was when it said
// nothing). setup: the settings a Print/Prog baud change may move. Both
// return 1; what was moved before a failure stays moved.
int SendDialog(Link* link, ConfigDocuments& documents, int16_t& model, LinkSetup& setup);
int FetchDialog(Link* link, ConfigDocuments& documents, int16_t& model);
