// The CTS monitor: the CTS lines of the module's ports, live, as the module
// reports them in its CTS register.
#pragma once
#include "link/link.h"

// Bit p - 1 is the CTS line of port p (1 = on).
constexpr int kCtsRegister = 8187;

// Shows ports 1 to ports (below 1 or above 4: 4) until a key is pressed; the
// key is consumed.
void CtsMonitor(Link* link, int ports);
