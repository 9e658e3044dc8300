// The ranges of the configuration fields, one table row each, and the checks
// a send makes before it writes anything.
#include "config/config_ranges.h"

#include <cstdio>

namespace {

// What the editors can store: the value lists' lengths and the entry fields'
// limits. The port baud list of the module has 16 rates, whatever this
// computer's own list holds.
struct Range {
    const char* name;
    long low, high;
};

constexpr Range kBaudRate{"Baud rate", 0, 15};
constexpr Range kDataBits{"Data bits", 0, 1};
constexpr Range kParity{"Parity", 0, 2};
constexpr Range kStopBits{"Stop bits", 0, 1};
constexpr Range kCapitalize{"Capitalize", 0, 1};
constexpr Range kStartRegister{"Start Register", 1, 8192};
constexpr Range kRegisterCount{"Register Count", 0, 64};
constexpr Range kEditingMode{"Editing Mode", 0, 7};
constexpr Range kContinue{"Continue", 0, 1};
// Six digits of seconds in the poll editor's interval field.
constexpr Range kPollInterval{"Poll interval", 0, 99999900};
constexpr Range kTerminateCount{"Terminate Count", 0, 80};
constexpr Range kTerminateTimeout{"Terminate Timeout", 0, 9999};
constexpr Range kTriggerInhibit{"Trigger/Inhibit register", 0, 8191 + 2047};
constexpr Range kRackBase{"Rack start address", 1, 8191};
constexpr Range kPrintProgBaud{"Print/Prog baud rate", 0, 3};

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

}  // namespace

Fault CommsOutOfRange(const PortConfig& port, int portNumber) {
    const Prefix p(portNumber);
    return First({Check(kBaudRate, port.BaudRate, p.text), Check(kDataBits, port.DataBits, p.text),
                  Check(kParity, port.Parity, p.text), Check(kStopBits, port.StopBits, p.text),
                  Check(kCapitalize, port.Capitalize, p.text)});
}

Fault PathOutOfRange(const DataPath& path, int portNumber, int pathNumber) {
    const Prefix p(portNumber, pathNumber);
    return First({Check(kStartRegister, path.StartRegister, p.text),
                  Check(kRegisterCount, path.RegisterCount, p.text),
                  Check(kEditingMode, path.EditingMode, p.text),
                  Check(kContinue, path.Continue, p.text)});
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
    const PortConfig& port = config.Ports[portNumber - 1];
    if (Fault f = CommsOutOfRange(port, portNumber)) return f;
    for (int path = 1; path <= 4; ++path)
        if (Fault f = PathOutOfRange(port.Paths[path - 1], portNumber, path)) return f;
    return First({PollIntervalOutOfRange(port, portNumber),
                  TerminateCountOutOfRange(config.Plus, portNumber),
                  TerminateTimeoutOutOfRange(config.Plus, portNumber),
                  TriggerInhibitOutOfRange(config.Plus, portNumber)});
}

Fault ModuleOutOfRange(const ModuleConfig& config, int16_t printProgBaud) {
    if (Fault f = RackBaseOutOfRange(config.Plus)) return f;
    for (int port = 1; port <= 4; ++port)
        if (Fault f = PortOutOfRange(config, port)) return f;
    return PrintProgBaudOutOfRange(printProgBaud);
}

Fault PortSendOutOfRange(const ModuleConfig& config, int portNumber, int16_t printProgBaud) {
    return First({PortOutOfRange(config, portNumber), PrintProgBaudOutOfRange(printProgBaud),
                  RackBaseOutOfRange(config.Plus)});
}
