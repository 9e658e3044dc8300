// A port given by its path in the setup forms, as the tools take it
// (/dev/serial/by-id/..., /dev/serial/by-path/..., /dev/ttyUSB0): "/" in a
// form opens a line as wide as the screen for it, below the form, the "/"
// already typed. A port field picks from the list by name, which a user who
// knows the adapter's stable name need not look through.
#pragma once
#include <cstdint>

#include "setup/serial_port_list.h"

// The key that opens the line, in a form's ending keys.
constexpr char kPortPathKey = '/';

// The path typed must lead to a port of ports: port becomes its place. One
// that leads nowhere is named in the error window and port stays. Esc leaves
// port as it was.
void TypePortPath(int16_t& port, const SerialPortList& ports);
