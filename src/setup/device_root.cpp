// The root under which /dev and /sys are read.
#include "setup/device_root.h"

#include "link/network_port_name.h"

namespace {
std::string& Root() {
    static std::string root;
    return root;
}
}  // namespace

void SetDeviceRoot(const std::string& root) {
    Root() = root;
    while (Root().size() > 1 && Root().back() == '/') Root().pop_back();
}

std::string DeviceDirectory() { return Root() + "/dev"; }
std::string SysDirectory() { return Root() + "/sys"; }

std::string DevicePathOf(const std::string& portName) {
    if (IsNetworkPortName(portName)) return portName;  // a device server's line, not a device
    if (portName.find('/') == std::string::npos) return DeviceDirectory() + "/" + portName;
    if (!Root().empty() && portName.compare(0, 5, "/dev/") == 0) return Root() + portName;
    return portName;
}
