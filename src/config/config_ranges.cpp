// The ranges of the configuration fields, one table row each, and the checks
// a send makes before it writes anything.
#include "config/config_ranges.h"

#include <cstdio>
#include <vector>

#include "config/config_fields.h"

namespace {

// What the editors can store: the value lists' lengths and the entry fields'
// limits, as the field table gives them. The port baud list of the module has
// 16 rates, whatever this computer's own list holds.
struct Range {
    const char* name;
    long low, high;
};

Range RangeOf(FieldScope scope, const char* key) {
    const ConfigField* f = FindConfigField(scope, key);
    return {f->rangeName, f->low, f->high};
}

const Range kPollInterval = RangeOf(FieldScope::Port, "poll_interval");
const Range kTerminateCount = RangeOf(FieldScope::Port, "terminate_count");
const Range kTerminateTimeout = RangeOf(FieldScope::Port, "terminate_timeout");
const Range kTriggerInhibit = RangeOf(FieldScope::Port, "trigger_inhibit");
const Range kRackBase = RangeOf(FieldScope::Module, "rack_base");
const Range kPrintProgBaud = RangeOf(FieldScope::Module, "print_prog_baud");

using Fault = std::optional<std::string>;

// prefix: "Port 1: ", "Port 1, Path 2: " or "".
Fault Check(const Range& range, long value, const char* prefix) {
    if (value >= range.low && value <= range.high) return std::nullopt;
    char text[96];
    std::snprintf(text, sizeof text, "%s%s %ld out of range %ld-%ld", prefix, range.name, value,
                  range.low, range.high);
    return text;
}

struct Prefix {
    char text[24];
    Prefix(int port) { std::snprintf(text, sizeof text, "Port %d: ", port); }
    Prefix(int port, int path) {
        std::snprintf(text, sizeof text, "Port %d, Path %d: ", port, path);
    }
};

// The first fault of a list of checks.
Fault First(std::initializer_list<Fault> faults) {
    for (const Fault& f : faults)
        if (f) return f;
    return std::nullopt;
}

bool PortNumberValid(int portNumber) { return portNumber >= 1 && portNumber <= 4; }

// Every check of a group adds its fault, in field order.
using Faults = std::vector<std::string>;

void Add(Faults& faults, const Fault& fault) {
    if (fault) faults.push_back(*fault);
}

Fault FirstOf(const Faults& faults) {
    if (faults.empty()) return std::nullopt;
    return faults.front();
}

// The number and list fields of a register section, in the table's order.
void SectionFaults(const PortConfig& port, SectionKind section, int item, const char* prefix,
                   Faults& out) {
    for (const ConfigField* f = ConfigFieldsBegin(); f != ConfigFieldsEnd(); ++f)
        if (f->moduleRegister == 0 && f->section == section &&
            (f->kind == FieldKind::List || f->kind == FieldKind::Number))
            Add(out, Check({f->rangeName, f->low, f->high}, PortFieldValue(port, *f, item), prefix));
}

void CommsFaults(const PortConfig& port, int portNumber, Faults& out) {
    SectionFaults(port, SectionKind::Comms, 0, Prefix(portNumber).text, out);
}

void PathFaults(const PortConfig& port, int portNumber, int pathNumber, Faults& out) {
    SectionFaults(port, SectionKind::PathNumbers, pathNumber - 1,
                  Prefix(portNumber, pathNumber).text, out);
}

void PortFaults(const ModuleConfig& config, int portNumber, Faults& out) {
    const PortConfig& port = config.Ports[portNumber - 1];
    CommsFaults(port, portNumber, out);
    for (int path = 1; path <= 4; ++path) PathFaults(port, portNumber, path, out);
    for (const Fault& f : {PollIntervalOutOfRange(port, portNumber),
                           TerminateCountOutOfRange(config.Plus, portNumber),
                           TerminateTimeoutOutOfRange(config.Plus, portNumber),
                           TriggerInhibitOutOfRange(config.Plus, portNumber)})
        Add(out, f);
}

}  // namespace

Fault CommsOutOfRange(const PortConfig& port, int portNumber) {
    Faults faults;
    CommsFaults(port, portNumber, faults);
    return FirstOf(faults);
}

Fault PathOutOfRange(const DataPath& path, int portNumber, int pathNumber) {
    // The path's fields are placed within a port record: a record holding
    // this path as its first is checked.
    PortConfig port{};
    port.Paths[0] = path;
    Faults faults;
    SectionFaults(port, SectionKind::PathNumbers, 0, Prefix(portNumber, pathNumber).text, faults);
    return FirstOf(faults);
}

Fault PollIntervalOutOfRange(const PortConfig& port, int portNumber) {
    return Check(kPollInterval, long(port.PollInterval), Prefix(portNumber).text);
}

Fault TerminateCountOutOfRange(const EditPlus& plus, int portNumber) {
    if (!PortNumberValid(portNumber)) return std::nullopt;
    return Check(kTerminateCount, plus.TerminateCount[portNumber - 1], Prefix(portNumber).text);
}

Fault TerminateTimeoutOutOfRange(const EditPlus& plus, int portNumber) {
    if (!PortNumberValid(portNumber)) return std::nullopt;
    return Check(kTerminateTimeout, plus.TerminateTimeout[portNumber - 1], Prefix(portNumber).text);
}

Fault TriggerInhibitOutOfRange(const EditPlus& plus, int portNumber) {
    if (!PortNumberValid(portNumber)) return std::nullopt;
    return Check(kTriggerInhibit, plus.TriggerInhibit[portNumber - 1], Prefix(portNumber).text);
}

Fault RackBaseOutOfRange(const EditPlus& plus) { return Check(kRackBase, plus.RackBase, ""); }

Fault PrintProgBaudOutOfRange(int16_t printProgBaud) {
    return Check(kPrintProgBaud, printProgBaud, "");
}

Fault PortOutOfRange(const ModuleConfig& config, int portNumber) {
    if (!PortNumberValid(portNumber)) return std::nullopt;  // the transfer refuses the number
    Faults faults;
    PortFaults(config, portNumber, faults);
    return FirstOf(faults);
}

Fault ModuleOutOfRange(const ModuleConfig& config, int16_t printProgBaud) {
    return FirstOf(EveryValueOutOfRange(config, printProgBaud));
}

std::vector<std::string> EveryValueOutOfRange(const ModuleConfig& config, int16_t printProgBaud) {
    Faults faults;
    Add(faults, RackBaseOutOfRange(config.Plus));
    for (int port = 1; port <= 4; ++port) PortFaults(config, port, faults);
    Add(faults, PrintProgBaudOutOfRange(printProgBaud));
    return faults;
}

Fault PortSendOutOfRange(const ModuleConfig& config, int portNumber, int16_t printProgBaud) {
    return First({PortOutOfRange(config, portNumber), PrintProgBaudOutOfRange(printProgBaud),
                  RackBaseOutOfRange(config.Plus)});
}
