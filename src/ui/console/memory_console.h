// An in-memory console for tests: an 80 x 25 grid of characters and colours,
// a record of every primitive call, and a queue of key bytes to be "typed".
#pragma once
#include <deque>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "ui/console/console.h"

namespace con {

struct ConsoleCall {
    enum Kind { Write, Fill, Colour, Cursor, Teletype } kind;
    int row = 0, col = 0;  // Teletype: where the cursor stood
    std::string text;      // Write, Teletype: the bytes; Fill: count copies of the fill
    uint8_t colour = 0;
};

// Thrown when a blocking key read finds the queue empty, so a test fails
// instead of hanging.
struct OutOfKeys : std::runtime_error {
    OutOfKeys() : std::runtime_error("test console: no more keys") {}
};

class MemoryConsole : public Console {
  public:
    MemoryConsole();
    void Start() override { started = true; }
    void Stop() override { started = false; }
    void SetColour(uint8_t colour) override;
    void SetCursorPosition(int row, int col) override;
    void SetCursorVisible(bool visible) override { cursorVisible = visible; }
    void WriteCells(int row, int col, const uint8_t* text, int count) override;
    void FillCells(int row, int col, int count, uint8_t ch, uint8_t colour) override;
    void Beep() override { ++beeps; }
    void Flush() override { ++flushes; }
    bool KeyPending() override { return !keys.empty(); }
    int ReadKeyByte(int timeoutMs) override;
    void WriteTeletype(const uint8_t* text, int count) override;
    // Reports a queued key at once; otherwise calls whenIdle (which may type
    // keys) and polls fd in short slices. A wait without limit that sees
    // nothing for 10 s throws OutOfKeys, so a test fails instead of hanging.
    int WaitForInput(int fd, int timeoutMs) override;

    // Test side.
    void Type(const std::string& bytes);
    void TypeExtended(uint8_t scanCode);
    std::string Row(int row) const;  // the 80 characters of a 0-based row
    uint8_t CharAt(int row, int col) const { return chars[row * kCols + col]; }
    uint8_t ColourAt(int row, int col) const { return colours[row * kCols + col]; }
    std::vector<ConsoleCall> WritesOnly() const;
    void ClearCalls() { calls.clear(); }

    std::vector<uint8_t> chars, colours;
    std::vector<ConsoleCall> calls;
    std::deque<int> keys;
    std::function<void()> whenIdle;
    uint8_t colour = kNormalColour;
    int cursorRow = 0, cursorCol = 0;
    bool cursorVisible = true, started = false;
    int beeps = 0, flushes = 0;
};

}  // namespace con
