// The screens' one port list, kept beside the settings whose indexes use it.
#include "forms/setup_ports.h"

#include "setup/port_refresh.h"

namespace {
SerialPortList gSetupPorts;
}  // namespace

SerialPortList& SetupPorts() { return gSetupPorts; }

void ReadSetupPorts() { gSetupPorts = ReadSerialPortList(); }

void ReadSetupPortsIfEmpty() {
    if (gSetupPorts.Count() == 0) ReadSetupPorts();
}

std::string RefreshSetupPorts(LinkSetup& setup) {
    SerialPortList now = ReadSerialPortList();
    const std::string gone = RefreshSerialPorts(gSetupPorts, now, setup);
    gSetupPorts = std::move(now);
    return gone;
}
