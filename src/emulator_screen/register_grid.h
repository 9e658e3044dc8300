// The emulator's register grid (rows 12-24: 72 registers from the grid
// origin, six per row) and the signal register line on row 3.
#pragma once
#include <vector>

#include "emulator/register_image.h"

// A block of registers shown in reverse: first register and count.
struct GridBlock {
    int start, count;
};

void DrawGridHeader();
// Redraws the row numbers and all 72 cells from the image; cells of the
// given blocks in reverse, the others plain.
void DrawRegisterGrid(const EmulatorRegisters& registers, int rackBase,
                      const std::vector<GridBlock>& reversed = {});
void DrawSignalLine(const EmulatorRegisters& registers, int rackBase);
