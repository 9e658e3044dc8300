// The root under which /dev and /sys are read.
#include "setup/device_root.h"

#include "link/network_port_name.h"

std::string DeviceRootOf(const std::string& root) {
    std::string r = root;
    while (r.size() > 1 && r.back() == '/') r.pop_back();
    return r;
}

std::string DeviceDirectory(const std::string& root) { return DeviceRootOf(root) + "/dev"; }
std::string SysDirectory(const std::string& root) { return DeviceRootOf(root) + "/sys"; }

std::string DevicePathOf(const std::string& root, const std::string& portName) {
    if (IsNetworkPortName(portName)) return portName;  // a device server's line, not a device
    if (portName.find('/') == std::string::npos) return DeviceDirectory(root) + "/" + portName;
    const std::string r = DeviceRootOf(root);
    if (!r.empty() && portName.compare(0, 5, "/dev/") == 0) return r + portName;
    return portName;
}
