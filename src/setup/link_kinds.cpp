// The link kinds and how each is opened from the settings.
#include "setup/link_kinds.h"

namespace {

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

constexpr LinkKindRow kLinkKinds[] = {
    {LinkTypeSyMax, "symax", "Sy/Max COM:", "Via Sy/Max to %s", true, false, true, OpenSyMax},
    {LinkTypeNetToNet, "netnet", "Net-to-Net COM:", "Via Sy/Max to %s", true, false, true,
     OpenSyMax},
    {LinkTypeGateway, "gateway", "Gateway COM:", "Via Gateway to %s", true, false, false,
     OpenGateway},
    {LinkTypeModbusRtu, "rtu", "Modbus RTU", "Via Modbus RTU to %s", true, true, true, OpenRtu},
    {LinkTypeModbusAscii, "ascii", "Modbus ASCII", "Via Modbus ASCII to %s", true, true, false,
     OpenAscii},
    {LinkTypeModbusTcp, "tcp", "Modbus TCP", "Via Modbus TCP to %s", false, true, false, OpenTcp},
};

}  // namespace

std::span<const LinkKindRow> LinkKinds() { return kLinkKinds; }

const LinkKindRow* LinkKindOf(int setupCode) {
    for (const LinkKindRow& row : kLinkKinds)
        if (row.setupCode == setupCode) return &row;
    return nullptr;
}

const LinkKindRow* LinkKindNamed(const std::string& toolName) {
    for (const LinkKindRow& row : kLinkKinds)
        if (toolName == row.toolName) return &row;
    return nullptr;
}
