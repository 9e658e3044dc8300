// The link and the register operations every online function uses. A link
// is one open connection to a controller or module; its protocol is chosen
// by its kind, its transport (serial port, TCP socket) is opened once. What
// a link holds is the link layer's own (link_state.h): the rest of the
// program knows it by these functions only.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "link/link_errors.h"

enum LinkKind : uint32_t {
    LinkSyMax = 1,
    LinkGateway = 2,
    LinkModbusRtu = 5,
    LinkModbusAscii = 6,
    LinkModbusTcp = 8,
};

constexpr int kDefaultReplyTimeout = 500;

using LinkIdleCallback = int (*)(void* argument);

struct LinkRoute {
    uint16_t count = 0;
    uint16_t entries[8] = {};
};

struct Link;

// The owner of an open link: the link is closed when its handle ends or is
// given another link, and nowhere else. Code that only uses a link is given
// the Link*; code that may replace the link is given the handle.
struct LinkCloser {
    void operator()(Link* link) const;
};
using LinkHandle = std::unique_ptr<Link, LinkCloser>;

// Register operations: on success the number of registers read or written
// (a Sy/Max read may carry fewer than asked, never more), whatever the link
// kind; 0 on failure with the reason in the link's error text and its
// failure code. Registers are 1-based.
int RegisterRead(Link* link, int reg, int count, uint16_t* values);
int RegisterWrite(Link* link, int reg, int count, const uint16_t* values);
int InputRegisterRead(Link* link, int reg, int count, uint16_t* values);
int InputRegisterWrite(Link* link, int reg, int count, const uint16_t* values);

int SetLinkIdleCallback(Link* link, LinkIdleCallback callback, void* argument);
int SetSyMaxOptions(Link* link, int crc, int priority);
// Stores the reply timeout, and on a serial link sets the line; 0 with the
// reason in the error text when the line cannot be set.
int SetSerialParameters(Link* link, int baud, int parity, int stopBits, int replyTimeout,
                        int dataBits);

// False for no link (null), which every function here refuses ("Handle not
// valid"). A link is open for as long as its handle holds it.
bool LinkIsValid(const Link* link);
// A serial link whose device went away (a USB adapter unplugged): each
// request first opens it again by its name (ReopenSerialPort) and fails at
// once, without a reply timeout, while it is still missing. False for Modbus TCP and an invalid
// link.
bool LinkPortLost(Link* link);
// Opens the device of a lost serial link again by the same name, with the
// line settings, modem lines and protocol it had, and the link goes on as
// before (same handle). True when the port is open; false with "Lost port
// NAME: it is not there now (unplugged?)" when it is still missing. True
// for a link without a serial port.
bool ReopenSerialPort(Link* link);
// The device name of a serial link ("ttyUSB0"); "" for Modbus TCP.
std::string LinkPortName(Link* link);
// A serial link whose line is behind a serial device server (tcp:HOST:PORT):
// its line settings are the server's, none of this computer's.
bool LinkOverNetwork(Link* link);
// The kind the link was opened as.
LinkKind KindOfLink(const Link* link);

// Serial links; the route is the link settings' count and first 8 entries.
// The caller owns the link it gets: its handle closes it. On failure they
// return an empty handle and, when reason is given, say why in words a user
// can act on.
LinkHandle OpenSyMaxLink(const char* portName, int netToNet, const LinkRoute& route,
                         std::string* reason = nullptr);
LinkHandle OpenModbusRtuLink(const char* portName, int drop, std::string* reason = nullptr);
LinkHandle OpenModbusAsciiLink(const char* portName, int drop, std::string* reason = nullptr);
LinkHandle OpenGatewayLink(const char* portName, const LinkRoute& route,
                           std::string* reason = nullptr);
// Host: a dotted quad as it stands, else a name to resolve (IPv6 too).
LinkHandle OpenModbusTcpLink(const char* host, int tcpPort, int drop,
                             std::string* reason = nullptr);
