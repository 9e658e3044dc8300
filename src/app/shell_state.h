// What the program holds from start to end: the shell owns the one instance
// and hands it to each menu function.
#pragma once
#include <cstdint>

#include "config/config_documents.h"
#include "config/module_config.h"
#include "emulator/register_image.h"
#include "link/link.h"
#include "setup/setup_in_force.h"
#include "transfer/module_session.h"
#include "ui/screen_state.h"

struct ShellState {
    // The toolkit's screen image, windows, hot keys and type-ahead, in force
    // while the shell runs.
    ScreenState screen;
    ConfigDocuments documents;
    // The settings in force, the startup setup file and the port list.
    SetupInForce settings;
    // The one conversation with the module, kept for the whole run: what the
    // last module asked said it is stays in its model (the mark on the main
    // screen and the editors' PLUS labels follow it, offline too). Reach it
    // through CurrentModule, which points it at the link in force.
    ModuleSession module;
    // The port the configuration editor shows, kept from one editing to the
    // next.
    int editorPort = 0;
    // The emulator's registers, signal register and grid origin: what one
    // emulation wrote is still there in the next.
    EmulatorRegisters emulator{};
    // The one link open at a time, owned here; connecting, the link forms,
    // the terminal, the viewer and loading a setup replace it in place.
    LinkHandle link;
    // The serial link was lost and could not be opened again yet: the
    // functions that need a link try its settings again rather than asking
    // for new ones.
    bool linkLostPending = false;
};
