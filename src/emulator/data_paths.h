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

// Where a path's register block and signal toggle go: the emulator's image
// of the controller, or the simulated module's holding registers.
class ControllerRegisters {
  public:
    virtual ~ControllerRegisters() = default;
    // Registers outside what the destination holds are skipped.
    virtual void WriteBlock(int start, const std::vector<int16_t>& registers) = 0;
    virtual void ToggleSignal(uint16_t bit) = 0;
};

// The emulator's image of the controller's registers from rackBase up, with
// the signal register.
class EmulatorImage : public ControllerRegisters {
  public:
    EmulatorImage(EmulatorRegisters& state, int rackBase) : state_(state), rackBase_(rackBase) {}
    void WriteBlock(int start, const std::vector<int16_t>& registers) override;
    void ToggleSignal(uint16_t bit) override { state_.signal ^= bit; }

  private:
    EmulatorRegisters& state_;
    int rackBase_;
};

// a-z to A-Z; every other character unchanged.
std::string CapitalizeText(std::string text);

// Runs the path loop on the (already capitalized) text for port (1-4): one
// outcome per path tried, stopping after a match whose Continue is 0.
std::vector<PathOutcome> RunDataPaths(const PortConfig& port, int portNumber,
                                      const std::string& text, ControllerRegisters& out);
// The same into the emulator's register image from rackBase up.
std::vector<PathOutcome> RunDataPaths(const PortConfig& port, int portNumber, int rackBase,
                                      const std::string& text, EmulatorRegisters& state);
