// The "HEX CODE ENTRY" window: byte values typed in hexadecimal that stand in
// for received characters.
#pragma once
#include "emulator/hex_codes.h"

// Queues the codes typed; false when the user pressed F10 to leave the
// emulator.
bool RunHexEntry(HexCodeQueue& queue);
