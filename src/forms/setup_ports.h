// The serial port list that the settings' port indexes (the link's and the
// terminal's port in CurrentSetup) point into while the program runs: the
// list the screens read last. The start-up load reads it; each link or
// terminal form and each new connection reads it again and moves the indexes
// with their names; connecting and the terminal look their ports up in it.
// Only the screens' thread uses it: the tools read lists of their own.
#pragma once
#include <string>

#include "setup/link_setup.h"
#include "setup/serial_port_list.h"

// The list as read last; empty before the first read.
SerialPortList& SetupPorts();
// Reads the list now, leaving the indexes as they are.
void ReadSetupPorts();
// Reads the list when it holds no port (not read yet, or none was found).
void ReadSetupPortsIfEmpty();
// Reads the list now and moves the settings' indexes with their names.
// Returns the link port's name when it was listed and is gone now, else "".
std::string RefreshSetupPorts(LinkSetup& setup);
