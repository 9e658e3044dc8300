// Keeping the setup's port indexes on their names across a new port list.
#include "setup/port_refresh.h"

namespace {

// False when the index named a port of before that now does not list.
bool FollowName(const SerialPortList& before, const SerialPortList& now, int16_t& index) {
    const char* name = before.At(index);
    if (!name) return true;
    const int place = now.IndexOf(name);
    if (place < 0) return false;
    index = int16_t(place);
    return true;
}

}  // namespace

std::string RefreshSerialPorts(const SerialPortList& before, const SerialPortList& now,
                               LinkSetup& setup) {
    const char* link = before.At(setup.LinkPort);
    FollowName(before, now, setup.TerminalPort);
    if (FollowName(before, now, setup.LinkPort)) return "";
    return link;  // listed before, or it would have followed
}
