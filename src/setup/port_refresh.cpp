// Keeping the setup's port indexes on their names across a new port list.
#include "setup/port_refresh.h"

#include "setup/serial_port_list.h"

namespace {

std::string NameAt(int16_t index) {
    const char* name = SerialPortAt(index);
    return name ? name : "";
}

int IndexOf(const std::string& name) {
    for (int i = 0; const char* at = SerialPortAt(i); ++i)
        if (name == at) return i;
    return -1;
}

// False when the name was there and is no longer.
bool FollowName(const std::string& name, int16_t& index) {
    if (name.empty()) return true;
    const int now = IndexOf(name);
    if (now < 0) return false;
    index = int16_t(now);
    return true;
}

}  // namespace

std::string RefreshSerialPorts(LinkSetup& setup) {
    const std::string link = NameAt(setup.LinkPort);
    const std::string terminal = NameAt(setup.TerminalPort);
    EnumerateSerialPorts();
    FollowName(terminal, setup.TerminalPort);
    return FollowName(link, setup.LinkPort) ? "" : link;
}
