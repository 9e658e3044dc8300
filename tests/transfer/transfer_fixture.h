// What the transfer tests share: a configuration with a different value in
// every byte, the fields a transfer does not carry, and the registers a send
// must leave in the module.
#pragma once
#include <cstdint>
#include <map>
#include <vector>

#include "config/module_config.h"

// Every byte non-zero and different from its neighbours; seed varies it.
ModuleConfig DistinctConfig(int seed);
// The bytes that never travel, set as a fetch into an empty memory leaves
// them: each text's 65th byte (a pattern or mask goes as 64 characters and a
// zero register, a poll query as 64 bytes) and each port's two reserved bytes.
void ClearUntransferred(ModuleConfig& config);
bool SameConfig(const ModuleConfig& a, const ModuleConfig& b);
// Register number to value for the blocks of a full send.
std::map<int, uint16_t> ExpectedRegisters(const ModuleConfig& config, int16_t printProgBaud,
                                          bool plus);
