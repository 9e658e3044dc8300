// The two configurations the program edits and what belongs with them. The
// shell owns the one set and hands it to the editors, dialogs and transfers;
// nothing below the shell keeps a configuration of its own.
#pragma once
#include <cstdint>

#include "config/module_config.h"

struct ConfigDocuments {
    // What files are read into and written from, and what the menu's
    // functions start from.
    ModuleConfig OfflineMemory{};
    // The copy a function works on; the shell copies it back to the offline
    // memory when the function's row says so.
    ModuleConfig WorkingConfig{};
    // One rate for both: a read or a fetch sets it, a write or a send uses it.
    int16_t PrintProgBaud = 3;
    // The word a loaded file kept after the PLUS values, written back by a save.
    int16_t ConfigReserved = 0;
    // Edited or fetched since the offline memory was last written or read.
    bool OfflineDirty = false;
};
