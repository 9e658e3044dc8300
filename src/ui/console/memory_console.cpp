#include "ui/console/memory_console.h"

#include <poll.h>

#include <algorithm>
#include <chrono>
#include <thread>

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

void MemoryConsole::WriteTeletype(const uint8_t* text, int count) {
    calls.push_back({ConsoleCall::Teletype, cursorRow, cursorCol,
                     std::string(text, text + std::max(count, 0)), colour});
    auto newLine = [this] {
        cursorCol = 0;
        if (cursorRow < kRows - 1) {
            ++cursorRow;
            return;
        }
        std::copy(chars.begin() + kCols, chars.end(), chars.begin());
        std::copy(colours.begin() + kCols, colours.end(), colours.begin());
        std::fill(chars.end() - kCols, chars.end(), ' ');
        std::fill(colours.end() - kCols, colours.end(), kNormalColour);
    };
    cursorRow = std::clamp(cursorRow, 0, kRows - 1);
    cursorCol = std::clamp(cursorCol, 0, kCols - 1);
    for (int i = 0; i < count; ++i) {
        uint8_t b = text[i];
        if (b == '\r') {
            cursorCol = 0;
        } else if (b == '\n') {
            newLine();
        } else if (b == '\b') {
            if (cursorCol > 0) --cursorCol;
        } else {
            chars[cursorRow * kCols + cursorCol] = b;
            colours[cursorRow * kCols + cursorCol] = colour;
            if (++cursorCol == kCols) newLine();
        }
    }
}

int MemoryConsole::WaitForInput(int fd, int timeoutMs) {
    using Clock = std::chrono::steady_clock;
    constexpr int kSliceMs = 5;
    constexpr auto kStall = std::chrono::seconds(10);
    auto start = Clock::now();
    for (;;) {
        int ready = 0;
        if (!keys.empty()) ready |= InputKey;
        pollfd p{fd, POLLIN, 0};
        if (fd >= 0 && poll(&p, 1, 0) > 0) ready |= InputDescriptor;
        if (ready) return ready;
        if (whenIdle) {
            whenIdle();
            if (!keys.empty()) continue;
        }
        auto waited = Clock::now() - start;
        if (timeoutMs >= 0 && waited >= std::chrono::milliseconds(timeoutMs)) return 0;
        if (timeoutMs < 0 && waited >= kStall) throw OutOfKeys();
        if (fd >= 0)
            poll(&p, 1, kSliceMs);
        else
            std::this_thread::sleep_for(std::chrono::milliseconds(kSliceMs));
    }
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
