// The two whole-configuration dialogs of the offline menu: "OFFLINE TO KOVA"
// sends a memory port (or all four) to the module, "KOVA TO OFFLINE" fetches
// a module port (or all four) into the working configuration.
#pragma once
#include <cstdint>

#include "config/config_documents.h"
#include "setup/link_setup.h"
#include "transfer/module_session.h"

// Both move the working configuration and the Print/Prog baud rate over the
// module's session, which keeps what the module said it is. setup: the
// settings a Print/Prog baud change may move. Both return 1; what was moved
// before a failure stays moved.
int SendDialog(ModuleSession& module, ConfigDocuments& documents, LinkSetup& setup);
int FetchDialog(ModuleSession& module, ConfigDocuments& documents);
