// Drawing the register grid and the signal register line from the emulator
// register image.
#include "emulator_screen/register_grid.h"

#include "emulator/bit_string.h"
#include "emulator/register_image.h"
#include "ui/screen.h"
#include "ui/text_flags.h"

namespace {

constexpr int kHeaderRow = 12;
constexpr int kFirstCellColumn = 9;
constexpr int kCellWidth = 12;

bool InBlocks(int reg, const std::vector<GridBlock>& blocks) {
    for (const auto& b : blocks)
        if (reg >= b.start && reg < b.start + b.count) return true;
    return false;
}

void DrawCell(const EmulatorRegisters& registers, int rackBase, int reg, int row, int col,
              uint32_t attribute) {
    int16_t value;
    if (ReadImageRegister(registers, rackBase, reg, value))
        PutTextF("%6d %04X", row, col, kCellWidth, ' ', attribute, value,
                 unsigned(uint16_t(value)));
    else
        PutText("", row, col, kCellWidth, ' ', attribute);
}

}  // namespace

void DrawGridHeader() {
    PutText("Register   Dec  Hex    Dec  Hex    Dec  Hex    Dec  Hex    Dec  Hex    Dec  Hex",
            kHeaderRow, 1, 0, ' ', tf::Normal);
}

void DrawRegisterGrid(const EmulatorRegisters& registers, int rackBase,
                      const std::vector<GridBlock>& reversed) {
    int origin = registers.origin;
    for (int line = 0; line < kGridRegisters / kGridColumns; ++line) {
        int row = kHeaderRow + 1 + line;
        int first = origin + line * kGridColumns;
        // Right-aligned to column 6; register numbers past 9999 (a rack base
        // near the top of its range) or below 0 (a damaged one) grow into
        // the blank columns to the left instead of losing their last digits.
        PutTextF("%d", row, 1, 6, ' ', tf::RightAlign, first);
        for (int c = 0; c < kGridColumns; ++c) {
            int reg = first + c;
            uint32_t attribute = InBlocks(reg, reversed) ? tf::Reverse : tf::Normal;
            DrawCell(registers, rackBase, reg, row, kFirstCellColumn + c * kCellWidth, attribute);
        }
    }
}

void DrawSignalLine(const EmulatorRegisters& registers, int rackBase) {
    PutTextF("Signal Register (%d) = %s", 3, 35, 0, ' ', tf::Normal, rackBase,
             FormatBitString(registers.signal).c_str());
}
