// The main menu: one row per title and entry, its label beside what choosing
// it does. The shell moves the configuration between the offline memory and
// the working copy as the row says, so a function only ever works on the
// working configuration.
#pragma once
#include "app/shell_state.h"

enum class ConfigCopy {
    None,                // the function does not touch the configuration
    In,                  // offline memory to working before
    InAndBack,           // ... and working back to offline after
    InAndBackOnSuccess,  // ... back only when the function succeeded
    BackOnSuccess,       // working to offline after, when it succeeded
};

struct MenuAction {
    int code;
    ConfigCopy copy;
    bool setsDirty;           // OfflineDirty after the function ran
    bool replacesMemory;      // over unsaved edits the user is asked first
    bool needsModule;         // a link and the module check come first
    int (*run)(ShellState&);  // non-zero on success; null until the function exists
};

// The labels as RunMenu takes them.
const char* const* MainMenuTable();
// What a choice code does; null for a choice with no function of its own.
const MenuAction* FindMenuAction(int code);
