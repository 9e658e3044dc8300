// The emulator's stand-in for the controller: an image of the 2048 registers
// from RackBase up, the signal register and the register grid's origin. The
// shell holds them for the whole run, clears them once at start-up and hands
// them to the emulator each time it runs.
#pragma once
#include <cstdint>
#include <vector>

constexpr int kImageRegisters = 2048;
constexpr int kGridRegisters = 72;  // six per row on twelve rows
constexpr int kGridColumns = 6;
constexpr int kLastOriginOffset = 1975;  // origin + 71 stays inside the image

struct EmulatorRegisters {
    int16_t image[kImageRegisters];  // register r at index r - RackBase
    uint16_t signal;
    int origin;  // register number in the grid's first cell
};

// Start-up: zero the image and the signal register; origin 0.
void ClearEmulatorRegisters(EmulatorRegisters& s);
void ResetGridOrigin(EmulatorRegisters& s);

// Reads register number reg; false (value untouched) when outside the image.
bool ReadImageRegister(const EmulatorRegisters& s, int rackBase, int reg, int16_t& value);

// Writes a block from register start; registers that fall outside the image
// are skipped, the others written. Returns how many were written.
int WriteBlock(EmulatorRegisters& s, int rackBase, int start, const std::vector<int16_t>& regs);

// A match of path (1-4) on port (1-4) toggles bit 4 * (port - 1) + (path - 1).
uint16_t SignalBit(int port, int path);

// The origin when the emulator starts: kept if it shows registers of this rack.
int OriginAtStart(int origin, int rackBase);
// The origin after a block was written: moved so the block's first register
// opens the first row (rows stay aligned to RackBase + 1) when the block is
// not fully shown; the grid always stays inside the image.
int OriginAfterBlock(int origin, int rackBase, int start, int count);
