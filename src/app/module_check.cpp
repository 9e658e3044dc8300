// Reaching the module for the entries that need it.
#include "app/module_check.h"

#include "app/current_link.h"
#include "setup/link_forms.h"
#include "transfer/identify_module.h"

bool ModuleReachable() {
    if (!CurrentLink()) SetCurrentLink(ConfigureLink(nullptr));
    if (!CurrentLink()) return false;
    return IdentifyModule(CurrentLink(), "KOVA") != 0;
}
