// Reaching the module for the entries that need it.
#include "app/module_check.h"

#include "app/current_link.h"
#include "setup/link_forms.h"

namespace {

// The identification of the module comes with the transfer functions; until
// they exist no module is known to be there, and entries that need it stop
// after the link step.
bool ModuleIdentified() { return false; }

}  // namespace

bool ModuleReachable() {
    if (!CurrentLink()) SetCurrentLink(ConfigureLink(nullptr));
    if (!CurrentLink()) return false;
    return ModuleIdentified();
}
