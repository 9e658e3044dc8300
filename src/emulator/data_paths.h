// What the module does with a completed message: capitalizing, then the four
// data paths in order, each that matches masking the text, converting it into
// a register block, writing the block and toggling its signal bit.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "config/module_config.h"
#include "emulator/register_image.h"

struct PathOutcome {
    int path = 0;  // 1-4
    bool matched = false;
    std::string masked;
    std::vector<int16_t> registers;  // the whole block, as converted
};

// a-z to A-Z; every other character unchanged.
std::string CapitalizeText(std::string text);

// Runs the path loop on the (already capitalized) text for port (1-4): one
// outcome per path tried, stopping after a match whose Continue is 0.
std::vector<PathOutcome> RunDataPaths(const PortConfig& port, int portNumber, int rackBase,
                                      const std::string& text, EmulatorRegisters& state);
