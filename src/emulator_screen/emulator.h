// The emulator: a modal screen that shows, character by character, what one
// port of the module does with a message typed on the keyboard or entered in
// hexadecimal, down to the registers it writes.
#pragma once
#include <functional>

#include "config/config_documents.h"
#include "emulator/register_image.h"

// Fetches the chosen port's configuration (1-4) from the module into the
// configuration given (the online form); a failure is reported there and
// emulation goes on with what the configuration holds.
using PortFetcher = std::function<void(ModuleConfig& into, int port)>;

// Emulates a port of the working configuration on the registers given,
// which keep what it wrote for the next run. online 0: the port is copied
// into it from the offline memory; 1: fetched with fetch. Returns when the
// user leaves (Esc at the port prompt, F10).
void Emulate(EmulatorRegisters& registers, ConfigDocuments& documents, int online,
             const PortFetcher& fetch = nullptr);
