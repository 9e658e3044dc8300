// The settings still naming the ports they named when the port list is read
// again: an adapter plugged in after start can be chosen, and one plugged
// back (perhaps at another place in the list) is found again.
#pragma once
#include <string>

#include "setup/link_setup.h"
#include "setup/serial_port_list.h"
#include "setup/setup_file.h"

// The link's and the terminal's port indexes, which pointed into before,
// move to the places of their names in now; an index whose name is gone
// stays as it is (the forms show what is there now). A port with an adapter
// follows the adapter. Returns the link port's name (its adapter's where it
// has one) when it was in before and is not in now, else "".
std::string RefreshSerialPorts(const SerialPortList& before, const SerialPortList& now,
                               LinkSetup& setup);

// The record's port indexes moved to where the adapters it was saved with
// are in ports now, whatever kernel names they have today. A port whose
// adapter is not there gets index -1, never another adapter's place. Returns
// the link adapter's name when it is missing, else "".
std::string FindSetupAdapters(const SerialPortList& ports, const SetupAdapters& adapters,
                              LinkSetup& setup);

// The reason a missing adapter gives: "Not connected: /dev/serial/by-id/...";
// with nameOnly the last part of the path alone, for the error window, which
// must stay within the screen's 80 columns.
std::string AdapterMissingText(const std::string& adapter, bool nameOnly = false);
