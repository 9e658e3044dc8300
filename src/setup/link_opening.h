// Opening the link that the settings name, without a screen: which device or
// host they lead to, the settings their connection type forces, the open
// routine of the type, and the line settings applied afterwards. The connect
// window (connect_link.h) and the command-line tools both open links so.
#pragma once
#include <string>

#include "link/link.h"
#include "setup/link_setup.h"
#include "setup/serial_port_list.h"
#include "setup/setup_file.h"

struct LinkTarget {
    std::string line;  // what the connect window shows: "Via Modbus TCP to 10.0.0.5"
    std::string path;  // the serial device to open, or the TCP host
    std::string note;  // a setting replaced on the way, to tell the user; "" when none
};

// The line the connect window shows for a type and target, or "" when the
// type opens nothing.
std::string ConnectLineOf(int connectionType, const char* target);

// Applies what the connection type forces (eight data bits for Sy/Max and
// Modbus RTU, a single drop for the Modbus kinds), replaces a reply timeout
// outside its range by the default (saying so in the target's note), and
// finds the target: the serial port at LinkPort of ports (the list LinkPort
// points into, read into ports when it is still empty) or the TCP host.
// False with a reason a user can act on when there is none.
bool ResolveLinkTarget(LinkSetup& setup, SerialPortList& ports, LinkTarget* target,
                       std::string* reason);

// Opens a link of the settings' connection type on a device path or host
// (route, drop and TCP port from the settings); null with a reason.
LinkHandle OpenLinkOn(const LinkSetup& setup, const std::string& path, std::string* reason);

// The baud rate, parity, stop bits, data bits, reply timeout and Sy/Max
// block check of the settings, applied to an open link. Non-zero on success.
int ApplyLinkSettings(Link* link, const LinkSetup& setup);

// All three: the link the settings name with their line settings applied,
// or null with a reason. A serial port is looked up in the list as it is
// now, by the adapter the setup was saved with where it names one (a missing
// adapter is the reason, never another port), under the device root given.
// A note of ResolveLinkTarget goes to note when given.
LinkHandle OpenLinkFromSetup(LinkSetup& setup, std::string* reason, std::string* note = nullptr,
                             const SetupAdapters& adapters = {}, const std::string& deviceRoot = "");
