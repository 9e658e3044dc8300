// The registers a whole-module send leaves in a module, worked out from the
// section table without a link: what the simulated module starts with when
// given a configuration file, and what the tests compare a module against.
#pragma once
#include <cstdint>
#include <vector>

#include "config/module_config.h"

struct RegisterBlock {
    int first;  // 1-based
    std::vector<uint16_t> values;
};

// In the order a send of all ports writes them: the rack base, each port's
// sections with its poll queries, its PLUS values when plus, and last the
// Print/Prog baud rate.
std::vector<RegisterBlock> FullSendImage(const ModuleConfig& config, int16_t printProgBaud,
                                         bool plus);
