// The settings still naming the ports they named when the port list is read
// again: an adapter plugged in after start can be chosen, and one plugged
// back (perhaps at another place in the list) is found again.
#pragma once
#include <string>

#include "setup/link_setup.h"
#include "setup/serial_port_list.h"

// The link's and the terminal's port indexes, which pointed into before,
// move to the places of their names in now; an index whose name is gone
// stays as it is (the forms show what is there now). Returns the link port's
// name when it was in before and is not in now, else "".
std::string RefreshSerialPorts(const SerialPortList& before, const SerialPortList& now,
                               LinkSetup& setup);
