// The emulator's message loop: reads key bytes (and queued hex codes) as the
// characters a port receives, ends messages by terminator, count or the F2
// timeout, and hands each completed message to the processing step.
#pragma once
#include "config/module_config.h"
#include "emulator/register_image.h"

// Runs until the user presses F10 (also in the hex-code window). port is 1-4
// of the configuration emulated; its messages write registers.
void RunMessageLoop(EmulatorRegisters& registers, const ModuleConfig& config, int port);
