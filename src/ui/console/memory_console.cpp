#include "ui/console/memory_console.h"

#include <algorithm>

namespace con {

MemoryConsole::MemoryConsole() : chars(kRows * kCols, ' '), colours(kRows * kCols, kNormalColour) {}

void MemoryConsole::SetColour(uint8_t c) {
    colour = c;
    calls.push_back({ConsoleCall::Colour, 0, 0, {}, c});
}

void MemoryConsole::SetCursorPosition(int row, int col) {
    cursorRow = row;
    cursorCol = col;
    calls.push_back({ConsoleCall::Cursor, row, col, {}, colour});
}

void MemoryConsole::WriteCells(int row, int col, const uint8_t* text, int count) {
    calls.push_back({ConsoleCall::Write, row, col, std::string(text, text + count), colour});
    int at = row * kCols + col;
    for (int i = 0; i < count && at + i < kRows * kCols; ++i) {
        if (at + i < 0) continue;
        chars[at + i] = text[i];
        colours[at + i] = colour;
    }
}

void MemoryConsole::FillCells(int row, int col, int count, uint8_t ch, uint8_t c) {
    calls.push_back({ConsoleCall::Fill, row, col, std::string(std::max(count, 0), char(ch)), c});
    int at = row * kCols + col;
    for (int i = 0; i < count && at + i < kRows * kCols; ++i) {
        if (at + i < 0) continue;
        chars[at + i] = ch;
        colours[at + i] = c;
    }
}

int MemoryConsole::ReadKeyByte(int timeoutMs) {
    if (keys.empty()) {
        if (timeoutMs < 0) throw OutOfKeys();
        return -1;
    }
    int k = keys.front();
    keys.pop_front();
    return k;
}

void MemoryConsole::Type(const std::string& bytes) {
    for (unsigned char b : bytes) keys.push_back(b);
}

void MemoryConsole::TypeExtended(uint8_t scanCode) {
    keys.push_back(0);
    keys.push_back(scanCode);
}

std::string MemoryConsole::Row(int row) const {
    return std::string(chars.begin() + row * kCols, chars.begin() + (row + 1) * kCols);
}

std::vector<ConsoleCall> MemoryConsole::WritesOnly() const {
    std::vector<ConsoleCall> out;
    for (const auto& c : calls)
        if (c.kind == ConsoleCall::Write) out.push_back(c);
    return out;
}

}  // namespace con
