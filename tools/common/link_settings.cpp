// The link option table and opening of the tools.
#include "common/link_settings.h"

#include "common/request_limits.h"
#include "setup/device_root.h"
#include "setup/link_opening.h"

namespace {

using tools::Choice;
using tools::ToInt;
using Option = tools::OptionRow<LinkSettings>;

bool ParseRoute(const char* text, LinkRoute* route) {
    route->count = 0;
    std::string list = text;
    size_t start = 0;
    while (start <= list.size()) {
        size_t comma = list.find(',', start);
        std::string item =
            list.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        if (route->count == 8 || !ToInt(item.c_str(), 0, 255, &route->entries[route->count]))
            return false;
        ++route->count;
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    return route->count > 0;
}

const Option kLinkOptions[] = {
    {"--type", LinkKindNameList(), "link kind",
     [](LinkSettings& o, const char* a) {
         const LinkKindRow* kind = LinkKindNamed(a);
         return kind && (o.kind = kind, o.typeGiven = true);
     }},
    {"--host", "HOST", "Modbus TCP: dotted address or host name",
     [](LinkSettings& o, const char* a) { return o.host = a, true; }},
    {"--tcp-port", "N", "Modbus TCP: port (default 502)",
     [](LinkSettings& o, const char* a) { return ToInt(a, 1, 65535, &o.tcpPort); }},
    {"--port", "DEVICE",
     "serial device (ttyUSB0, /dev/serial/by-id/..., a pty path) or a device server's "
     "tcp:HOST:PORT",
     [](LinkSettings& o, const char* a) { return o.port = a, true; }},
    {"--baud", "N", "line rate (default 9600)",
     [](LinkSettings& o, const char* a) { return ToInt(a, 50, 4000000, &o.baud); }},
    {"--parity", "none|even|odd", "parity (default even)",
     [](LinkSettings& o, const char* a) {
         return Choice(a, {"none", "even", "odd"}, &o.parity);
     }},
    {"--data-bits", "7|8", "data bits (default 8)",
     [](LinkSettings& o, const char* a) { return ToInt(a, 7, 8, &o.dataBits); }},
    {"--stop-bits", "1|2", "stop bits (default 1)",
     [](LinkSettings& o, const char* a) { return ToInt(a, 1, 2, &o.stopBits); }},
    {"--drop", "N", "Modbus slave address or unit (1-247), or a one-drop Sy/Max route (default 1)",
     [](LinkSettings& o, const char* a) { return ToInt(a, 0, 255, &o.drop); }},
    {"--route", "N,N,...", "Sy/Max or Gateway route, up to 8 drops",
     [](LinkSettings& o, const char* a) { return ParseRoute(a, &o.route); }},
    {"--crc", nullptr, "Sy/Max frames carry a CRC instead of a BCC",
     [](LinkSettings& o, const char*) { return o.crc = true; }},
    {"--priority", nullptr, "use the Sy/Max priority opcodes",
     [](LinkSettings& o, const char*) { return o.priority = true; }},
    {"--timeout", "TICKS", "reply timeout in ticks of 10 ms, 1-6000 (default 500)",
     [](LinkSettings& o, const char* a) { return ToInt(a, 1, 6000, &o.timeout); }},
};

// The settings record the options stand for, opened as the program opens the
// link of a setup file. Modbus takes its one drop or unit from --drop, Sy/Max
// its route from --route or else the drop; a Gateway goes where --route says.
LinkSetup SetupOf(const LinkSettings& o) {
    LinkSetup setup{};
    setup.ConnectionType = o.kind->setupCode;
    LinkRoute route = o.kind->singleDrop ? LinkRoute{} : o.route;
    if (route.count == 0 && o.kind->dropAsRoute) {
        route.count = 1;
        route.entries[0] = uint16_t(o.drop);
    }
    setup.RouteCount = route.count;
    for (int i = 0; i < kRouteEdited; ++i) setup.Route[i] = route.entries[i];
    setup.TcpPort = uint16_t(o.tcpPort);
    return setup;
}

}  // namespace

tools::OptionTable<LinkSettings> LinkOptionRows() { return kLinkOptions; }

bool LinkSettingsComplete(const LinkSettings& o, std::string* error) {
    if (!o.typeGiven) return *error = "no --type given", false;
    if (o.kind->serial ? o.port.empty() : o.host.empty())
        return *error = o.kind->serial ? "no --port given" : "no --host given", false;
    return DropFits(*o.kind, o.drop, error);
}

LinkHandle OpenToolLink(const LinkSettings& o, std::string* reason) {
    LinkHandle link = OpenLinkOn(
        SetupOf(o), o.kind->serial ? DevicePathOf(o.deviceRoot, o.port) : o.host, reason);
    if (!link) return nullptr;
    // Any rate the driver takes, not only the program's list: set directly.
    if (!SetSerialParameters(link.get(), o.baud, o.parity, o.stopBits, o.timeout, o.dataBits)) {
        *reason = LinkErrorText(link.get());
        return nullptr;
    }
    SetSyMaxOptions(link.get(), o.crc, o.priority);
    return link;
}
