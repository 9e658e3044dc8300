// The menu entries that reach the module, on the current link.
#pragma once
#include "app/shell_state.h"

int EditPortsOnline(ShellState& state);
int SendMemoryToModule(ShellState& state);
int FetchMemoryFromModule(ShellState& state);
int EmulateOnline(ShellState& state);
int WriteSetupToModuleEeprom(ShellState& state);
