// Whether a configuration read from a file may replace the one in memory. A
// damaged file can hold anything; validation repairs the data bits, the
// registers and the texts, but no repair can say which baud rate, parity or
// editing mode a value outside its list was meant to be.
#pragma once
#include <cstdint>
#include <optional>
#include <string>

#include "config/module_config.h"

// The first list value of a validated configuration that lies outside its
// list ("Port 1: Baud rate -1 out of range 0-15"), or nothing: the ports in
// order, each with its communication parameters and then its paths, then
// the Print/Prog baud rate.
std::optional<std::string> LoadRefusal(const ModuleConfig& config, int16_t printProgBaud);
