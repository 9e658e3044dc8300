// A port given by its path in the setup forms, as the tools take it
// (/dev/serial/by-id/..., /dev/serial/by-path/..., /dev/ttyUSB0): "/" in a
// form opens a line as wide as the screen for it, below the form, the "/"
// already typed. A port field picks from the list by name, which a user who
// knows the adapter's stable name need not look through. The link's port may
// also be a serial device server's, typed as tcp:HOST:PORT.
#pragma once
#include <cstdint>
#include <string>

#include "link/network_port_name.h"
#include "setup/serial_port_list.h"

// The key that opens the line, in a form's ending keys.
constexpr char kPortPathKey = '/';

// The path typed must lead to a port of ports: port becomes its place. One
// that leads nowhere is named in the error window and port stays. Esc leaves
// port as it was.
void TypePortPath(int16_t& port, const SerialPortList& ports);

// The same for the link's port, which may also be a device server's: then
// the result says so and holds the server typed, and port is left alone.
// shownFirst is the line the entry starts with ("/" or the server in use).
struct TypedLinkPort {
    bool network = false;
    NetworkPortName where;
};
TypedLinkPort TypeLinkPortPath(int16_t& port, const SerialPortList& ports,
                               const std::string& shownFirst);
