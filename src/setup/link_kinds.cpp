// The link kinds and how each is opened from the settings.
#include "setup/link_kinds.h"

#include <algorithm>
#include <vector>

namespace {

LinkRoute RouteOf(const LinkSetup& setup) {
    LinkRoute route;
    route.count = setup.RouteCount > kRouteEdited ? kRouteEdited : setup.RouteCount;
    for (int i = 0; i < kRouteEdited; ++i) route.entries[i] = setup.Route[i];
    return route;
}

LinkHandle OpenSyMax(const LinkSetup& s, const char* port, std::string* reason) {
    return OpenSyMaxLink(port, s.ConnectionType == LinkTypeNetToNet, RouteOf(s), reason);
}
LinkHandle OpenGateway(const LinkSetup& s, const char* port, std::string* reason) {
    return OpenGatewayLink(port, RouteOf(s), reason);
}
LinkHandle OpenTcp(const LinkSetup& s, const char* host, std::string* reason) {
    return OpenModbusTcpLink(host, s.TcpPort, s.Route[0], reason);
}
LinkHandle OpenRtu(const LinkSetup& s, const char* port, std::string* reason) {
    return OpenModbusRtuLink(port, s.Route[0], reason);
}
LinkHandle OpenAscii(const LinkSetup& s, const char* port, std::string* reason) {
    return OpenModbusAsciiLink(port, s.Route[0], reason);
}

// One set of request limits a family of kinds: the Sy/Max kinds, the
// Gateway, and Modbus whichever way it travels. Sy/Max: holding registers
// 1-16384; its input registers travel as Modbus function 4 (125 a request)
// and it has no input-register write. Gateway: registers up to 8192, no input
// registers (the link says so itself). Modbus: any 16-bit address; function
// 16 carries 127 registers in its byte count, function 21 124.
constexpr RequestLimits kSyMaxRequests{"a Sy/Max link", 16384, 65536, 128, 128, 125, 0, false};
constexpr RequestLimits kGatewayRequests{"a Gateway link", 8192, 65536, 128, 128, 0, 0, false};
constexpr RequestLimits kModbusRequests{"a Modbus link", 65536, 65536, 125, 127, 125, 124, true};

using S = LinkSetting;
constexpr LinkSetting kSyMaxSettings[] = {S::Port,     S::Baud,       S::FixedDataBits,
                                          S::StopBits, S::Parity,     S::ErrorCheck,
                                          S::Timeout,  S::TrapErrors, S::Route};
constexpr LinkSetting kGatewaySettings[] = {S::Port,     S::Baud,   S::DataBits,
                                            S::StopBits, S::Parity, S::GatewayRoute};
constexpr LinkSetting kModbusSerialSettings[] = {S::Port,   S::Baud,    S::DataBits,   S::StopBits,
                                                 S::Parity, S::Timeout, S::TrapErrors, S::Drop};
constexpr LinkSetting kTcpSettings[] = {S::Host, S::TcpPort, S::Timeout, S::TrapErrors, S::Index};

// In the order the tools list the kinds; the form steps through them by code.
// clang-format off
constexpr LinkKindRow kLinkKinds[] = {
    {.setupCode = LinkTypeSyMax, .toolName = "symax", .formText = "Sy/Max COM:",
     .connectLine = "Via Sy/Max to %s",
     .serial = true, .singleDrop = false, .forceEightBits = true, .dropAsRoute = true,
     .settings = kSyMaxSettings, .statusRegisters = true, .followsPrintProgBaud = true,
     .requests = kSyMaxRequests, .opens = LinkSyMax, .open = OpenSyMax},
    {.setupCode = LinkTypeNetToNet, .toolName = "netnet", .formText = "Net-to-Net COM:",
     .connectLine = "Via Sy/Max to %s",
     .serial = true, .singleDrop = false, .forceEightBits = true, .dropAsRoute = true,
     .settings = kSyMaxSettings, .statusRegisters = true, .followsPrintProgBaud = true,
     .requests = kSyMaxRequests, .opens = LinkSyMax, .open = OpenSyMax},
    {.setupCode = LinkTypeModbusRtu, .toolName = "rtu", .formText = "Modbus RTU",
     .connectLine = "Via Modbus RTU to %s",
     .serial = true, .singleDrop = true, .forceEightBits = true, .dropAsRoute = true,
     .settings = kModbusSerialSettings, .statusRegisters = false, .followsPrintProgBaud = true,
     .requests = kModbusRequests, .opens = LinkModbusRtu, .open = OpenRtu},
    {.setupCode = LinkTypeModbusAscii, .toolName = "ascii", .formText = "Modbus ASCII",
     .connectLine = "Via Modbus ASCII to %s",
     .serial = true, .singleDrop = true, .forceEightBits = false, .dropAsRoute = true,
     .settings = kModbusSerialSettings, .statusRegisters = false, .followsPrintProgBaud = true,
     .requests = kModbusRequests, .opens = LinkModbusAscii, .open = OpenAscii},
    {.setupCode = LinkTypeGateway, .toolName = "gateway", .formText = "Gateway COM:",
     .connectLine = "Via Gateway to %s",
     .serial = true, .singleDrop = false, .forceEightBits = false, .dropAsRoute = false,
     .settings = kGatewaySettings, .statusRegisters = true, .followsPrintProgBaud = true,
     .requests = kGatewayRequests, .opens = LinkGateway, .open = OpenGateway},
    {.setupCode = LinkTypeModbusTcp, .toolName = "tcp", .formText = "Modbus TCP",
     .connectLine = "Via Modbus TCP to %s",
     .serial = false, .singleDrop = true, .forceEightBits = false, .dropAsRoute = true,
     .settings = kTcpSettings, .statusRegisters = true, .followsPrintProgBaud = false,
     .requests = kModbusRequests, .opens = LinkModbusTcp, .open = OpenTcp},
};
// clang-format on

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

const LinkKindRow* LinkKindRunBy(const Link* link) {
    if (!LinkIsValid(link)) return nullptr;
    for (const LinkKindRow& row : kLinkKinds)
        if (row.opens == KindOfLink(link)) return &row;
    return nullptr;
}

const LinkKindRow& SteppedLinkKind(int setupCode, int step) {
    std::vector<const LinkKindRow*> byCode;
    for (const LinkKindRow& row : kLinkKinds) byCode.push_back(&row);
    std::ranges::sort(byCode, {}, &LinkKindRow::setupCode);
    const auto at = std::ranges::find(byCode, setupCode, &LinkKindRow::setupCode);
    if (at == byCode.end()) return step > 0 ? *byCode.front() : *byCode.back();
    const size_t count = byCode.size();
    const size_t next = size_t(at - byCode.begin()) + (step > 0 ? 1 : count - 1);
    return *byCode[next % count];
}

std::string LinkKindNames(KindsNamed which) {
    std::string names;
    for (const LinkKindRow& row : kLinkKinds) {
        if ((which == KindsNamed::Serial && !row.serial) ||
            (which == KindsNamed::NotSerial && row.serial))
            continue;
        if (!names.empty()) names += '|';
        names += row.toolName;
    }
    return names;
}

const char* LinkKindNameList() {
    static const std::string names = LinkKindNames();
    return names.c_str();
}
