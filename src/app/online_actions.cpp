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
    ModuleSession& module = CurrentModule(state);
    SessionReports reports(module, reporter);
    ModuleWrites writes(module, state.settings.CurrentSetup);
    EditPorts(state.documents, writes, state.editorPort);
    return 1;
}

int SendMemoryToModule(ShellState& state) {
    return SendDialog(CurrentModule(state), state.documents, state.settings.CurrentSetup);
}

int FetchMemoryFromModule(ShellState& state) {
    return FetchDialog(CurrentModule(state), state.documents);
}

// The emulator's port comes from the module without its poll queries; a
// failure is reported and emulation goes on.
int EmulateOnline(ShellState& state) {
    ScreenReporter reporter;
    ModuleSession& module = CurrentModule(state);
    SessionReports reports(module, reporter);
    Emulate(state.emulator, state.documents, 1, [&module](ModuleConfig& into, int port) {
        FetchPort(module, into, port, port, false);
    });
    return 1;
}

// No identification first, but a link: the form runs when there is none.
int WriteSetupToModuleEeprom(ShellState& state) {
    if (!LinkReady(state)) return 0;
    SetLinkIdleCallback(state.link.get(), BusySpinner, nullptr);
    return WriteSetupToEeprom(CurrentModule(state));
}
