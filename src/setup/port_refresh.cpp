// Keeping the setup's port indexes on their names across a new port list.
#include "setup/port_refresh.h"

namespace {

// False when the index named a port of before that now does not list. A
// port with an adapter name is followed by it: the adapter may come back
// under another kernel name.
bool FollowName(const SerialPortList& before, const SerialPortList& now, int16_t& index) {
    const char* name = before.At(index);
    if (!name) return true;
    const std::string adapter = before.AdapterAt(index);
    const int place = adapter.empty() ? now.IndexOf(name) : now.IndexOfDevice(adapter);
    if (place < 0) return false;
    index = int16_t(place);
    return true;
}

}  // namespace

std::string RefreshSerialPorts(const SerialPortList& before, const SerialPortList& now,
                               LinkSetup& setup) {
    const char* link = before.At(setup.LinkPort);
    const std::string adapter = before.AdapterAt(setup.LinkPort);
    FollowName(before, now, setup.TerminalPort);
    if (FollowName(before, now, setup.LinkPort)) return "";
    return adapter.empty() ? link : adapter;  // listed before, or it would have followed
}

namespace {

// False when the adapter is named and not listed.
bool FindAdapter(const SerialPortList& ports, const std::string& adapter, int16_t& index) {
    if (adapter.empty()) return true;
    index = int16_t(ports.IndexOfDevice(adapter));
    return index >= 0;
}

}  // namespace

std::string FindSetupAdapters(const SerialPortList& ports, const SetupAdapters& adapters,
                              LinkSetup& setup) {
    FindAdapter(ports, adapters.terminal, setup.TerminalPort);
    if (setup.LinkPort == kNetworkLinkPort) return "";  // a device server's line: no adapter here
    return FindAdapter(ports, adapters.link, setup.LinkPort) ? "" : adapters.link;
}

std::string AdapterMissingText(const std::string& adapter, bool nameOnly) {
    const size_t slash = adapter.rfind('/');
    const bool cut = nameOnly && slash != std::string::npos && slash + 1 < adapter.size();
    return "Not connected: " + (cut ? adapter.substr(slash + 1) : adapter);
}
