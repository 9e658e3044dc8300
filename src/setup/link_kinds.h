// Every kind of link in one table: its code in the settings record
// (ConnectionType), the names it goes by on the link form, in the connect
// window and on the tools' command lines, what it needs (a serial port or a
// TCP host, one drop or a route, eight data bits) and the routine that opens
// it. The settings, the forms, the terminal and the tools ask here rather
// than each keeping its own list.
#pragma once
#include <cstdint>
#include <span>
#include <string>

#include "link/link.h"
#include "setup/link_setup.h"

struct LinkKindRow {
    int16_t setupCode;        // LinkType
    const char* toolName;     // the tools' --type
    const char* formText;     // "Connection type" on the link form
    const char* connectLine;  // the connect window, with the port or host
    bool serial;              // a port of the list; else a TCP host
    bool singleDrop;          // Modbus: one slave address or unit, not a route
    bool forceEightBits;      // the protocol needs 8 data bits whatever the form says
    Link* (*open)(const LinkSetup& setup, const char* target, std::string* reason);
};

std::span<const LinkKindRow> LinkKinds();
// The row of a ConnectionType, null for NONE and for values of no kind (a
// damaged file).
const LinkKindRow* LinkKindOf(int setupCode);
// The row a tool's --type names, null for none.
const LinkKindRow* LinkKindNamed(const std::string& toolName);
