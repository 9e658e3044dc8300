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

const Range kBaudRate = RangeOf(FieldScope::Port, "baud_rate");
const Range kDataBits = RangeOf(FieldScope::Port, "data_bits");
const Range kParity = RangeOf(FieldScope::Port, "parity");
const Range kStopBits = RangeOf(FieldScope::Port, "stop_bits");
const Range kCapitalize = RangeOf(FieldScope::Port, "capitalize");
const Range kStartRegister = RangeOf(FieldScope::Path, "start_register");
const Range kRegisterCount = RangeOf(FieldScope::Path, "register_count");
const Range kEditingMode = RangeOf(FieldScope::Path, "editing_mode");
const Range kContinue = RangeOf(FieldScope::Path, "continue");
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

void CommsFaults(const PortConfig& port, int portNumber, Faults& out) {
    const Prefix p(portNumber);
    for (const Fault& f :
         {Check(kBaudRate, port.BaudRate, p.text), Check(kDataBits, port.DataBits, p.text),
          Check(kParity, port.Parity, p.text), Check(kStopBits, port.StopBits, p.text),
          Check(kCapitalize, port.Capitalize, p.text)})
        Add(out, f);
}

void PathFaults(const DataPath& path, int portNumber, int pathNumber, Faults& out) {
    const Prefix p(portNumber, pathNumber);
    for (const Fault& f :
         {Check(kStartRegister, path.StartRegister, p.text),
          Check(kRegisterCount, path.RegisterCount, p.text),
          Check(kEditingMode, path.EditingMode, p.text), Check(kContinue, path.Continue, p.text)})
        Add(out, f);
}

void PortFaults(const ModuleConfig& config, int portNumber, Faults& out) {
    const PortConfig& port = config.Ports[portNumber - 1];
    CommsFaults(port, portNumber, out);
    for (int path = 1; path <= 4; ++path) PathFaults(port.Paths[path - 1], portNumber, path, out);
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
    Faults faults;
    PathFaults(path, portNumber, pathNumber, faults);
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
