// Whether a configuration may go to a module as it stands: every field with a
// list holds an index of its list and every number lies in its range. A file
// or a module can hold anything; what is refused here is never sent, so a
// damaged value can not cut a module off its port or its rack.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "config/module_config.h"

// Each returns the first value out of range, named by port (1-4), path (1-4)
// and field ("Port 1, Path 2: Editing Mode 9 out of range 0-7"), or nothing.
std::optional<std::string> CommsOutOfRange(const PortConfig& port, int portNumber);
std::optional<std::string> PathOutOfRange(const DataPath& path, int portNumber, int pathNumber);
std::optional<std::string> PollIntervalOutOfRange(const PortConfig& port, int portNumber);
std::optional<std::string> TerminateCountOutOfRange(const EditPlus& plus, int portNumber);
std::optional<std::string> TerminateTimeoutOutOfRange(const EditPlus& plus, int portNumber);
std::optional<std::string> TriggerInhibitOutOfRange(const EditPlus& plus, int portNumber);
std::optional<std::string> RackBaseOutOfRange(const EditPlus& plus);
std::optional<std::string> PrintProgBaudOutOfRange(int16_t printProgBaud);

// Everything a send of memory port portNumber writes: its communication
// parameters, paths and poll interval, and its PLUS values.
std::optional<std::string> PortOutOfRange(const ModuleConfig& config, int portNumber);
// A whole-module send: the four ports, the rack base and the Print/Prog baud.
std::optional<std::string> ModuleOutOfRange(const ModuleConfig& config, int16_t printProgBaud);
// Every value of a whole-module send out of its range, in the order the
// fields are sent, ports in turn.
std::vector<std::string> EveryValueOutOfRange(const ModuleConfig& config, int16_t printProgBaud);
// A single-port send: that port, the rack base and the Print/Prog baud.
std::optional<std::string> PortSendOutOfRange(const ModuleConfig& config, int portNumber,
                                              int16_t printProgBaud);
