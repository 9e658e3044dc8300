// Showing what the module does with a completed message on the emulator
// screen: the capitalize line, each path's result, the masked text, the path
// parameters, the register grid and the signal register.
#pragma once
#include "config/module_config.h"
#include "emulator/register_image.h"

// port is 1-4 of config; text is the non-empty accepted text. Writes the
// emulator registers given.
void ProcessMessage(EmulatorRegisters& registers, const ModuleConfig& config, int port,
                    const char* text);
