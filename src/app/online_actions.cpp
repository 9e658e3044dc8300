// Each entry hands the current link to its transfer screen; the screen
// reporter shows progress and failures the same way for all of them.
#include "app/online_actions.h"

#include "app/current_link.h"
#include "dialogs/eeprom_window.h"
#include "dialogs/screen_reporter.h"
#include "dialogs/transfer_dialogs.h"
#include "editors/port_editor.h"
#include "emulator_screen/emulator.h"
#include "forms/link_forms.h"
#include "setup/link_setup.h"
#include "transfer/module_writes.h"
#include "transfer/port_transfer.h"
#include "ui/busy_spinner.h"

int EditPortsOnline(ShellState& state) {
    ScreenReporter reporter;
    ModuleWrites writes(ModuleSession{state.link.get(), reporter, state.moduleModel},
                        state.settings.CurrentSetup);
    EditPorts(state.documents, writes, state.editorPort);
    state.moduleModel = writes.Model();
    return 1;
}

int SendMemoryToModule(ShellState& state) {
    return SendDialog(state.link.get(), state.documents, state.moduleModel,
                      state.settings.CurrentSetup);
}

int FetchMemoryFromModule(ShellState& state) {
    return FetchDialog(state.link.get(), state.documents, state.moduleModel);
}

// The emulator's port comes from the module without its poll queries; a
// failure is reported and emulation goes on.
int EmulateOnline(ShellState& state) {
    ScreenReporter reporter;
    ModuleSession session{state.link.get(), reporter, state.moduleModel};
    Emulate(state.documents, 1, [&session](ModuleConfig& into, int port) {
        FetchPort(session, into, port, port, false);
    });
    state.moduleModel = session.model;
    return 1;
}

// No identification first, but a link: the form runs when there is none.
int WriteSetupToModuleEeprom(ShellState& state) {
    if (!LinkReady(state)) return 0;
    SetLinkIdleCallback(state.link.get(), BusySpinner, nullptr);
    return WriteSetupToEeprom(state.link.get());
}
