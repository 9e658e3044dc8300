// Connecting: one row per connection type names the window's line, the
// settings the type forces before opening and the open routine.
#include "setup/connect_link.h"

#include <cstdio>

#include "setup/link_setup.h"
#include "setup/serial_port_list.h"
#include "ui/boxes.h"
#include "ui/screen.h"
#include "ui/text_flags.h"

namespace {

LinkIdleCallback gIdleCallback = nullptr;
bool gReasonOnStatusLine = false;

using OpenRoutine = Link* (*)(const LinkSetup& setup, const char* target, std::string* reason);

LinkRoute RouteOf(const LinkSetup& setup) {
    LinkRoute route;
    route.count = setup.RouteCount > kRouteEdited ? kRouteEdited : setup.RouteCount;
    for (int i = 0; i < kRouteEdited; ++i) route.entries[i] = setup.Route[i];
    return route;
}

Link* OpenSyMax(const LinkSetup& s, const char* port, std::string* reason) {
    return OpenSyMaxLink(port, s.ConnectionType == LinkTypeNetToNet, RouteOf(s), reason);
}
Link* OpenGateway(const LinkSetup& s, const char* port, std::string* reason) {
    return OpenGatewayLink(port, RouteOf(s), reason);
}
Link* OpenTcp(const LinkSetup& s, const char* host, std::string* reason) {
    return OpenModbusTcpLink(host, s.TcpPort, s.Route[0], reason);
}
Link* OpenRtu(const LinkSetup& s, const char* port, std::string* reason) {
    return OpenModbusRtuLink(port, s.Route[0], reason);
}
Link* OpenAscii(const LinkSetup& s, const char* port, std::string* reason) {
    return OpenModbusAsciiLink(port, s.Route[0], reason);
}

struct ConnectRow {
    int16_t type;
    const char* line;
    bool forceEightBits;
    bool singleDrop;  // the route is one drop (or unit) number
    bool serial;      // target is a port of the list, else the TCP host
    OpenRoutine open;
};

constexpr ConnectRow kConnectRows[] = {
    {LinkTypeSyMax, "Via Sy/Max to %s", true, false, true, OpenSyMax},
    {LinkTypeNetToNet, "Via Sy/Max to %s", true, false, true, OpenSyMax},
    {LinkTypeGateway, "Via Gateway to %s", false, false, true, OpenGateway},
    {LinkTypeModbusRtu, "Via Modbus RTU to %s", true, true, true, OpenRtu},
    {LinkTypeModbusAscii, "Via Modbus ASCII to %s", false, true, true, OpenAscii},
    {LinkTypeModbusTcp, "Via Modbus TCP to %s", false, true, false, OpenTcp},
};

const ConnectRow* RowOf(int type) {
    for (const auto& row : kConnectRows)
        if (row.type == type) return &row;
    return nullptr;
}

// The error window keeps its fixed message; the system's reason goes to the
// status line. With errors not trapped ShowError writes the link's text
// there, which says nothing when no link exists, so the reason goes last.
void ReportConnectFailure(const std::string& reason) {
    PutText(reason.c_str(), 25, 1, 80, ' ', tf::Alert);
    ShowError("Unable to establish link.");
    PutText(reason.c_str(), 25, 1, 80, ' ', tf::Alert);
    gReasonOnStatusLine = true;
}

Link* OpenFromSetup(LinkSetup& setup, std::string* reason) {
    const ConnectRow* row = RowOf(setup.ConnectionType);
    if (!row) {
        *reason = "No connection type is chosen";
        return nullptr;
    }
    const char* target = row->serial ? SerialPortAt(setup.LinkPort) : setup.TcpHost;
    if (row->forceEightBits) setup.LinkDataBits = 1;
    if (row->singleDrop) setup.RouteCount = 1;
    if (!target) {
        *reason = "The link's serial port is not in the list of ports";
        return nullptr;
    }
    // Cut to the window: a long host name must not spill over its frame.
    PutTextF(row->line, 5, 3, 37, ' ', 0, target);
    std::string path = row->serial ? SerialPortPath(target) : target;
    return row->open(setup, path.c_str(), reason);
}

}  // namespace

void SetConnectIdleCallback(LinkIdleCallback callback) { gIdleCallback = callback; }

std::string ConnectLineOf(int connectionType, const char* target) {
    const ConnectRow* row = RowOf(connectionType);
    if (!row) return "";
    char line[128];
    std::snprintf(line, sizeof line, row->line, target);
    return line;
}

Link* ConnectLink(Link* current) {
    WindowHandle window = OpenWindow(4, 1, 6, 40, "ATTEMPTING TO CONNECT");
    if (SerialPortCount() == 0) EnumerateSerialPorts();
    LinkSetup& s = CurrentSetup;
    if (!current) {
        std::string reason;
        current = OpenFromSetup(s, &reason);
        if (!current) {
            ReportConnectFailure(reason);
            CloseWindow(window);
            return nullptr;
        }
        SetLinkIdleCallback(current, gIdleCallback, nullptr);
        if (gReasonOnStatusLine) ClearToEndOfLine(25, 1);
        gReasonOnStatusLine = false;
    }
    if (!SetSerialParameters(current, LinkBaudRate(s), s.LinkParity, s.LinkStopBits + 1,
                             static_cast<uint16_t>(s.LinkTimeout), s.LinkDataBits + 7))
        ShowError(LinkErrorText(current));
    CloseWindow(window);
    return current;
}
