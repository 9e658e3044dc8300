// Every kind of link in one table: its code in the settings record
// (ConnectionType), the names it goes by on the link form, in the connect
// window and on the tools' command lines, what it needs (a serial port or a
// TCP host, one drop or a route, eight data bits), the settings its form
// shows, what a module over it allows (status registers, following the
// Print/Prog port's rate), the kind of link it opens and the routine that
// opens it. The settings, the forms, the viewer, the transfers and the tools
// ask here rather than each keeping its own rule; a new kind is a new row.
#pragma once
#include <cstdint>
#include <span>
#include <string>

#include "link/link.h"
#include "setup/link_setup.h"

// The settings a link kind takes, each a field of the link form; the form
// knows where and how each is drawn, the row which ones and in what order.
enum class LinkSetting {
    Port,
    Host,
    Baud,
    TcpPort,
    DataBits,
    FixedDataBits,  // shown as 8, not edited
    StopBits,
    Parity,
    ErrorCheck,
    GatewayRoute,
    Timeout,
    TrapErrors,
    Route,
    Drop,
    Index
};

// What one request may ask of a link kind, so that a tool refuses a
// register, count or drop the link could not carry before the link is
// opened. The counts are those the link layer takes.
struct RequestLimits {
    const char* linkName;  // "a Sy/Max link", for the messages
    int lastHolding;       // holding registers are 1 to this
    int lastInput;         // input registers are 1 to this
    // The most registers one request carries; 0: the kind has no such request.
    int read, write, inputRead, inputWrite;
    bool modbusDrop;  // --drop is a Modbus slave address: 1-247
};

struct LinkKindRow {
    int16_t setupCode;        // LinkType
    const char* toolName;     // the tools' --type
    const char* formText;     // "Connection type" on the link form
    const char* connectLine;  // the connect window, with the port or host
    bool serial;              // a port of the list; else a TCP host
    bool singleDrop;          // Modbus: one slave address or unit, not a route
    bool forceEightBits;      // the protocol needs 8 data bits whatever the form says
    // The tools' --drop is the route when none is given (a Gateway goes only
    // where its route says).
    bool dropAsRoute;
    std::span<const LinkSetting> settings;  // the link form's fields, in order
    // The viewer may read the status registers (a Sy/Max feature that the
    // Modbus serial framings have no request for).
    bool statusRegisters;
    // The link is this computer's own line into the module's Print/Prog
    // port: a change of that port's rate is followed by the line's.
    bool followsPrintProgBaud;
    const RequestLimits& requests;  // what one request of the tools may ask
    LinkKind opens;                 // the link's own kind (Sy/Max and Net-to-Net share one)
    LinkHandle (*open)(const LinkSetup& setup, const char* target, std::string* reason);
};

std::span<const LinkKindRow> LinkKinds();
// The row of a ConnectionType, null for NONE and for values of no kind (a
// damaged file).
const LinkKindRow* LinkKindOf(int setupCode);
// The row a tool's --type names, null for none.
const LinkKindRow* LinkKindNamed(const std::string& toolName);
// The row of the kind an open link runs (the first of the rows that open
// that kind), null without a valid link.
const LinkKindRow* LinkKindRunBy(const Link* link);
// The kind the link form's type field steps to from setupCode: the next
// (step > 0) or previous code of the table, round from the last to the first.
// From a code of no kind the first step lands on the first or the last.
const LinkKindRow& SteppedLinkKind(int setupCode, int step);

// The tools' names of the kinds, as their --type takes them, joined by "|" in
// the table's order.
enum class KindsNamed { All, Serial, NotSerial };
std::string LinkKindNames(KindsNamed which = KindsNamed::All);
// LinkKindNames() kept for the program's run: for option tables.
const char* LinkKindNameList();
