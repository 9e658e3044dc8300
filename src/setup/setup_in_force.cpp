// The port list kept beside the settings whose indexes use it.
#include "setup/setup_in_force.h"

#include "setup/port_refresh.h"

void ReadSetupPorts(SetupInForce& settings) {
    settings.ports = ReadSerialPortList(settings.ports.Root());
}

void ReadSetupPortsIfEmpty(SetupInForce& settings) {
    if (settings.ports.Count() == 0) ReadSetupPorts(settings);
}

std::string RefreshSetupPorts(SetupInForce& settings) {
    SerialPortList now = ReadSerialPortList(settings.ports.Root());
    const std::string gone = RefreshSerialPorts(settings.ports, now, settings.CurrentSetup);
    settings.ports = std::move(now);
    return gone;
}
