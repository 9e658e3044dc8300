// Reaching the module for the entries that need it.
#include "app/module_check.h"

#include "app/current_link.h"
#include "dialogs/identify_module.h"
#include "forms/link_forms.h"
#include "ui/busy_spinner.h"

bool ModuleReachable(ShellState& state) {
    if (!LinkReady(state)) return false;
    // Every transfer that follows waits with the spinner, and Esc ends the wait.
    SetLinkIdleCallback(state.link.get(), BusySpinner, nullptr);
    return IdentifyModule(CurrentModule(state), "KOVA") != 0;
}
