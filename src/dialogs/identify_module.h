// The check before every function that needs the module: the device's name
// block is read and its name shown centred on row 2.
#pragma once
#include "transfer/module_session.h"

// 1 to go on, 0 to stop. With an empty or null expected name a failed read is
// silent and any name passes; otherwise a failed read or a wrong name is
// reported and the user decides (F10 goes on, Esc stops).
int IdentifyModule(ModuleSession& module, const char* expected);
