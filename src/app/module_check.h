// The step before every menu entry that needs the module: a link (the link
// form when there is none) and the module's identification as "KOVA".
#pragma once
#include "app/shell_state.h"

// True when the entry may go on.
bool ModuleReachable(ShellState& state);
