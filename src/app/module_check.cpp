// Reaching the module for the entries that need it.
#include "app/module_check.h"

#include "app/current_link.h"
#include "dialogs/identify_module.h"
#include "forms/link_forms.h"
#include "ui/busy_spinner.h"

bool ModuleReachable() {
    if (!LinkReady()) return false;
    // Every transfer that follows waits with the spinner, and Esc ends the wait.
    SetLinkIdleCallback(CurrentLink(), BusySpinner, nullptr);
    return IdentifyModule(CurrentLink(), "KOVA") != 0;
}
