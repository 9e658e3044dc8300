// The editors work on the working configuration with ports 0-3; the module
// is addressed with ports 1-4, and the editor's memory port is the module
// port of the same number.
#include "transfer/module_writes.h"

#include "config/module_config.h"
#include "setup/link_setup.h"
#include "transfer/module_registers.h"
#include "transfer/print_prog_baud.h"
#include "transfer/port_transfer.h"
#include "transfer/register_map.h"
#include "transfer/section_transfer.h"

namespace {

PortConfig& PortOf(int port) { return WorkingConfig.Ports[port]; }

}  // namespace

bool ModuleWrites::FetchForEditor(int port) {
    Link* link = link_();
    return FetchPrintProgBaud(link, reporter_, PrintProgBaud) &&
           FetchRackBase(link, reporter_, WorkingConfig.Plus) &&
           FetchPort(link, reporter_, WorkingConfig, port + 1, port + 1, false);
}

bool ModuleWrites::WriteCommParameters(int port) {
    return SendComms(link_(), reporter_, PortOf(port), port + 1);
}

bool ModuleWrites::WriteAcceptSet(int port) {
    return SendCharSet(link_(), reporter_, PortOf(port), port + 1, CharSetKind::Accept);
}

bool ModuleWrites::WriteTerminateSet(int port) {
    return SendCharSet(link_(), reporter_, PortOf(port), port + 1, CharSetKind::Terminate);
}

bool ModuleWrites::WritePath(int port, int path) {
    return SendPath(link_(), reporter_, PortOf(port), port + 1, path + 1);
}

// A rack base move adds the distance to the Trigger/Inhibit register too, so
// on a PLUS module it is read with the paths: the working configuration holds
// the module's value only for the port the editor last fetched, and moving a
// stale value would write it over the module's own.
bool ModuleWrites::FetchPaths(int port) {
    Link* link = link_();
    for (int path = 1; path <= 4; ++path)
        if (!FetchPath(link, reporter_, PortOf(port), port + 1, path)) return false;
    if (ModuleModel != 1) return true;
    uint16_t trigger = 0;
    if (!ReadModuleRegisters(link, reporter_, TriggerInhibitRegister(port + 1), 1, &trigger))
        return false;
    WorkingConfig.Plus.TriggerInhibit[port] = int16_t(trigger);
    return true;
}

bool ModuleWrites::WriteTerminateCount(int port) {
    return SendTerminateCount(link_(), reporter_, WorkingConfig.Plus, port + 1, port + 1);
}

bool ModuleWrites::WriteTerminateTimeout(int port) {
    return SendTerminateTimeout(link_(), reporter_, WorkingConfig.Plus, port + 1, port + 1);
}

bool ModuleWrites::WriteTriggerInhibit(int port) {
    return SendTriggerInhibit(link_(), reporter_, WorkingConfig.Plus, port + 1, port + 1);
}

bool ModuleWrites::ChangePrintProgBaud() {
    return SendPrintProgBaud(link_(), reporter_, PrintProgBaud, CurrentSetup);
}

bool ModuleWrites::WriteRackBase() { return SendRackBase(link_(), reporter_, WorkingConfig.Plus); }

// Query 0 travels with the poll interval, in both directions.
bool ModuleWrites::FetchPollQuery(int port, int query) {
    return FetchPoll(link_(), reporter_, PortOf(port), port + 1, query + 1, query == 0);
}

bool ModuleWrites::SendPollInterval(int port) {
    return SendPoll(link_(), reporter_, PortOf(port), port + 1, 1, true);
}

bool ModuleWrites::SendPollQuery(int port, int query) {
    return SendPoll(link_(), reporter_, PortOf(port), port + 1, query + 1, false);
}
