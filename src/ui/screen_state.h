// The toolkit's state: the screen image, the saved screen, the console it
// draws on, the window and hot-key lists, type-ahead ring, the raw key bytes
// held back, the status-row report and the shell's hooks. Its owner (the
// shell's state, a test's fixture) puts it in force with ScreenInit; the rest
// of the program goes through screen.h.
#pragma once
#include <chrono>
#include <cstdint>
#include <deque>
#include <list>
#include <memory>
#include <string>

#include "ui/input_queue.h"
#include "ui/screen.h"
#include "ui/screen_hooks.h"

struct Window {
    int top, left, bottom, right;  // 0-based, inclusive
    std::unique_ptr<uint8_t[]> savedChars, savedAttrs;
};

struct HotKey {
    uint8_t code;
    HotKeyHandler handler;
    bool busy = false;
};

// The busy spinner's wheel: the step on show and when it last turned.
struct SpinnerWheel {
    int step = 0;
    std::chrono::steady_clock::time_point lastTurn{};
};

// A report on the status row while errors are not trapped.
struct StatusReport {
    std::string text;
    int col = 0, width = 0;
};

struct ScreenState {
    con::Console* console = nullptr;
    uint8_t chars[kImageRows * kImageCols];
    uint8_t attrs[kImageRows * kImageCols];
    uint8_t savedChars[kImageRows * kImageCols];
    uint8_t savedAttrs[kImageRows * kImageCols];
    bool dirty = false;
    int cursorRow = 0, cursorCol = 0;  // the logical cursor
    uint8_t colour = con::kNormalColour;
    bool cursorVisible = false;
    bool insertMode = true;
    std::list<std::unique_ptr<Window>> windows;  // oldest first
    std::list<HotKey> hotKeys;                   // in order of registration
    InputQueue input;                            // the keys waiting to be read
    SpinnerWheel spinner;                        // in the top right corner
    // Raw key bytes already taken from their source but not yet handed out:
    // the second byte of an extended key from the type-ahead, or a peeked key.
    std::deque<int> heldBytes;
    StatusReport untrapped;  // the last report while errors are not trapped
    ScreenHooks hooks;       // what the shell handed down
};

// The state in force between ScreenInit and ScreenDone.
ScreenState& Screen();

// The next key queued; false when none is.
inline bool TakeTypeAhead(uint8_t& code) { return Screen().input.Take(code); }

// Converts public 1-based coordinates to 0-based cells, clamped.
inline int ClampRow(int row) {
    if (row > kImageRows) row = kImageRows;
    return row - 1 < 0 ? 0 : row - 1;
}
inline int ClampCol(int col) {
    if (col > kImageCols) col = kImageCols;
    return col - 1 < 0 ? 0 : col - 1;
}
inline int Cell(int row, int col) { return row * kImageCols + col; }

void SetConsoleColour(uint8_t colour);
