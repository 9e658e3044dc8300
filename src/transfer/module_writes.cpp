// The editors work on the working configuration with ports 0-3; the module
// is addressed with ports 1-4, and the editor's memory port is the module
// port of the same number.
#include "transfer/module_writes.h"

#include <cstdio>

#include "transfer/module_registers.h"
#include "transfer/port_transfer.h"
#include "transfer/print_prog_baud.h"
#include "transfer/register_map.h"
#include "transfer/section_transfer.h"

namespace {

bool ValidPort(int port) { return port >= 0 && port < 4; }

}  // namespace

// Every fetch for the editor starts afresh: what was read before it may have
// changed in the module meanwhile, and only this port is on the screen.
bool ModuleWrites::FetchForEditor(int port, ConfigDocuments& into) {
    for (ReadSections& r : read_) r = ReadSections{};
    moduleValuesRead_ = false;
    if (!ValidPort(port)) return false;
    moduleValuesRead_ = FetchPrintProgBaud(session_, into.PrintProgBaud) &&
                        FetchRackBase(session_, into.WorkingConfig.Plus);
    modulePrintProgBaud_ = into.PrintProgBaud;
    const bool ok =
        moduleValuesRead_ && FetchPort(session_, into.WorkingConfig, port + 1, port + 1, false);
    read_[port].port = read_[port].paths = ok;
    return ok;
}

bool ModuleWrites::PortRead(int port) const { return ValidPort(port) && read_[port].port; }

bool ModuleWrites::Written(bool ok) {
    if (!ok) {
        for (ReadSections& r : read_) r = ReadSections{};
        moduleValuesRead_ = false;
    }
    return ok;
}

bool ModuleWrites::Refused(int port, bool read) {
    if (read) return false;
    char text[64];
    std::snprintf(text, sizeof text, "Port %d was not read from KOVA: nothing written", port + 1);
    session_.Reports().Error(text);
    return true;
}

bool ModuleWrites::WriteCommParameters(int port, const PortConfig& values) {
    if (Refused(port, PortRead(port))) return false;
    return Written(SendComms(session_, values, port + 1));
}

bool ModuleWrites::WriteAcceptSet(int port, const PortConfig& values) {
    if (Refused(port, PortRead(port))) return false;
    return Written(SendCharSet(session_, values, port + 1, CharSetKind::Accept));
}

bool ModuleWrites::WriteTerminateSet(int port, const PortConfig& values) {
    if (Refused(port, PortRead(port))) return false;
    return Written(SendCharSet(session_, values, port + 1, CharSetKind::Terminate));
}

bool ModuleWrites::WritePath(int port, int path, const PortConfig& values) {
    if (Refused(port, ValidPort(port) && read_[port].paths)) return false;
    return Written(SendPath(session_, values, port + 1, path + 1));
}

// A rack base move adds the distance to the Trigger/Inhibit register too, so
// on a PLUS module it is read with the paths: the working configuration holds
// the module's value only for the port the editor last fetched, and moving a
// stale value would write it over the module's own.
bool ModuleWrites::FetchPaths(int port, ModuleConfig& into) {
    if (!ValidPort(port)) return false;
    read_[port].paths = false;
    for (int path = 1; path <= 4; ++path)
        if (!FetchPath(session_, into.Ports[port], port + 1, path)) return false;
    if (session_.model != kModelPlus) return true;
    uint16_t trigger = 0;
    if (!ReadModuleRegisters(session_.link, session_.Reports(), TriggerInhibitRegister(port + 1), 1,
                             &trigger))
        return false;
    into.Plus.TriggerInhibit[port] = int16_t(trigger);
    read_[port].paths = true;
    return true;
}

bool ModuleWrites::WriteTerminateCount(int port, const EditPlus& values) {
    if (Refused(port, PortRead(port))) return false;
    return Written(SendTerminateCount(session_, values, port + 1, port + 1));
}

bool ModuleWrites::WriteTerminateTimeout(int port, const EditPlus& values) {
    if (Refused(port, PortRead(port))) return false;
    return Written(SendTerminateTimeout(session_, values, port + 1, port + 1));
}

bool ModuleWrites::WriteTriggerInhibit(int port, const EditPlus& values) {
    if (Refused(port, ValidPort(port) && (read_[port].port || read_[port].paths))) return false;
    return Written(SendTriggerInhibit(session_, values, port + 1, port + 1));
}

bool ModuleWrites::ChangePrintProgBaud(int16_t& printProgBaud) {
    if (!moduleValuesRead_)
        return session_.Reports().Error("KOVA was not read: nothing written"), false;
    if (!ConfirmPrintProgBaudChange(session_, printProgBaud, setup_)) {
        printProgBaud = modulePrintProgBaud_;
        return true;
    }
    if (!Written(SendPrintProgBaud(session_, printProgBaud, setup_))) return false;
    modulePrintProgBaud_ = printProgBaud;
    return true;
}

bool ModuleWrites::WriteRackBase(const EditPlus& values) {
    if (!moduleValuesRead_)
        return session_.Reports().Error("KOVA was not read: nothing written"), false;
    return Written(SendRackBase(session_, values));
}

// Query 0 travels with the poll interval, in both directions.
bool ModuleWrites::FetchPollQuery(int port, int query, PortConfig& into) {
    if (!ValidPort(port) || query < 0 || query > 15) return false;
    const uint32_t bits = (1u << query) | (query == 0 ? kIntervalBit : 0);
    read_[port].polls &= ~bits;
    if (!FetchPoll(session_, into, port + 1, query + 1, query == 0)) return false;
    read_[port].polls |= bits;
    return true;
}

bool ModuleWrites::SendPollInterval(int port, PortConfig& values) {
    if (Refused(port, ValidPort(port) && (read_[port].polls & kIntervalBit))) return false;
    return Written(SendPoll(session_, values, port + 1, 1, true));
}

bool ModuleWrites::SendPollQuery(int port, int query, PortConfig& values) {
    const bool read =
        ValidPort(port) && query >= 0 && query < 16 && (read_[port].polls >> query & 1);
    if (Refused(port, read)) return false;
    return Written(SendPoll(session_, values, port + 1, query + 1, false));
}
