// Each entry hands the current link to its transfer screen; the screen
// reporter shows progress and failures the same way for all of them.
#include "app/online_actions.h"

#include "app/current_link.h"
#include "config/module_config.h"
#include "dialogs/eeprom_window.h"
#include "dialogs/screen_reporter.h"
#include "dialogs/transfer_dialogs.h"
#include "editors/port_editor.h"
#include "emulator_screen/emulator.h"
#include "forms/link_forms.h"
#include "transfer/module_writes.h"
#include "transfer/port_transfer.h"
#include "ui/busy_spinner.h"

namespace {

ScreenReporter& Reporter() {
    static ScreenReporter reporter;
    return reporter;
}

// The emulator's port, from the module into the working configuration
// without its poll queries; a failure is reported and emulation goes on.
void FetchPortToEmulate(int port) {
    FetchPort(CurrentLink(), Reporter(), WorkingConfig, port, port, false);
}

}  // namespace

void InstallModuleWrites() {
    static ModuleWrites writes(CurrentLink, Reporter());
    InstallOnlineWrites(&writes);
}

int EditPortsOnline() {
    EditPorts(1);
    return 1;
}

int SendMemoryToModule() { return SendDialog(CurrentLink()); }

int FetchMemoryFromModule() { return FetchDialog(CurrentLink()); }

int EmulateOnline() {
    Emulate(1, FetchPortToEmulate);
    return 1;
}

// No identification first, but a link: the form runs when there is none.
int WriteSetupToModuleEeprom() {
    if (!LinkReady()) return 0;
    SetLinkIdleCallback(CurrentLink(), BusySpinner, nullptr);
    return WriteSetupToEeprom(CurrentLink());
}
