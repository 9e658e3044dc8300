// Opening the link of the settings by its kind's row: the window's line, the
// settings the kind forces before opening and its open routine.
#include "setup/link_opening.h"

#include <cstdio>
#include <cstring>

#include "link/network_port_name.h"
#include "setup/link_kinds.h"
#include "setup/port_refresh.h"

namespace {

constexpr const char* kNoType = "No connection type is chosen";

// Ticks of 10 ms. A damaged or hand-made file can hold anything; a request
// must end in a time the user can see, and 0 or less would end every one at
// once.
constexpr int kShortestTimeout = 1, kLongestTimeout = 6000, kDefaultTimeout = 500;

std::string BoundTimeout(LinkSetup& setup) {
    const int ticks = setup.LinkTimeout;
    if (ticks >= kShortestTimeout && ticks <= kLongestTimeout) return "";
    setup.LinkTimeout = kDefaultTimeout;
    char note[96];
    std::snprintf(note, sizeof note, "Reply timeout %d out of range %d-%d ticks: %d used", ticks,
                  kShortestTimeout, kLongestTimeout, kDefaultTimeout);
    return note;
}

}  // namespace

std::string ConnectLineOf(int connectionType, const char* target) {
    const LinkKindRow* row = LinkKindOf(connectionType);
    if (!row) return "";
    char line[128];
    std::snprintf(line, sizeof line, row->connectLine, target);
    return line;
}

bool ResolveLinkTarget(LinkSetup& setup, SerialPortList& ports, LinkTarget* target,
                       std::string* reason) {
    const LinkKindRow* row = LinkKindOf(setup.ConnectionType);
    if (!row) {
        *reason = kNoType;
        return false;
    }
    if (row->forceEightBits) setup.LinkDataBits = 1;
    if (row->singleDrop) setup.RouteCount = 1;
    target->note = BoundTimeout(setup);
    if (row->serial && ports.Count() == 0) ports = ReadSerialPortList(ports.Root());
    // The host field of a damaged file need not hold its terminator.
    const std::string host(setup.TcpHost, strnlen(setup.TcpHost, sizeof setup.TcpHost));
    if (row->serial && setup.LinkPort == kNetworkLinkPort) {
        if (host.empty()) {
            *reason = "No device server given: / on the Port field, then tcp:HOST:PORT";
            return false;
        }
        target->path = NetworkPortNameOf({host, setup.TcpPort});
        target->line = ConnectLineOf(setup.ConnectionType, target->path.c_str());
        return true;
    }
    const char* name = row->serial ? ports.At(setup.LinkPort) : host.c_str();
    if (!name) {
        *reason = "The link's serial port is not in the list of ports";
        return false;
    }
    target->line = ConnectLineOf(setup.ConnectionType, name);
    target->path = row->serial ? ports.PathOf(name) : host;
    return true;
}

LinkHandle OpenLinkOn(const LinkSetup& setup, const std::string& path, std::string* reason) {
    const LinkKindRow* row = LinkKindOf(setup.ConnectionType);
    if (!row) {
        *reason = kNoType;
        return nullptr;
    }
    return row->open(setup, path.c_str(), reason);
}

int ApplyLinkSettings(Link* link, const LinkSetup& setup) {
    // The block check a Sy/Max peer expects holds from the first request, not
    // only once the register viewer has set it (priority opcodes stay the
    // viewer's own choice).
    SetSyMaxOptions(link, setup.ErrorCheck == kErrorCheckCrc, 0);
    return SetSerialParameters(link, LinkBaudRate(setup), setup.LinkParity, setup.LinkStopBits + 1,
                               static_cast<uint16_t>(setup.LinkTimeout), setup.LinkDataBits + 7);
}

LinkHandle OpenLinkFromSetup(LinkSetup& setup, std::string* reason, std::string* note,
                              const SetupAdapters& adapters, const std::string& deviceRoot) {
    SerialPortList ports = SerialPortList::Under(deviceRoot);
    const LinkKindRow* row = LinkKindOf(setup.ConnectionType);
    if (row && row->serial && !(adapters == SetupAdapters{})) {
        ports = ReadSerialPortList(deviceRoot);
        const std::string missing = FindSetupAdapters(ports, adapters, setup);
        if (!missing.empty()) {
            *reason = AdapterMissingText(missing);
            return nullptr;
        }
    }
    LinkTarget target;
    if (!ResolveLinkTarget(setup, ports, &target, reason)) return nullptr;
    if (note) *note = target.note;
    LinkHandle link = OpenLinkOn(setup, target.path, reason);
    if (link && !ApplyLinkSettings(link.get(), setup)) {
        *reason = LinkErrorText(link.get());
        return nullptr;
    }
    return link;
}
