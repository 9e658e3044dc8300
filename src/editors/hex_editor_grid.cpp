// The hex editor grid: drawing, cursor moves and digit entry.
#include "editors/hex_editor_grid.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "ui/console/keys.h"
#include "ui/screen.h"
#include "ui/text_flags.h"

namespace {

constexpr char kEdgeMark = char(249);
constexpr int kTop = 4, kLeft = 22, kRight = 58;
constexpr int kGridRow = 6, kHexCol = 24, kCharCol = 49;

int Position(const HexGrid& grid, HexCursor at) { return grid.width * at.line + at.column; }

int HexDigitValue(int k) {
    if (k >= '0' && k <= '9') return k - '0';
    if (k >= 'A' && k <= 'F') return k - 'A' + 10;
    if (k >= 'a' && k <= 'f') return k - 'a' + 10;
    return -1;
}

void DrawCell(const HexGrid& grid, const char* buffer, int i, bool cursor) {
    const int row = kGridRow + i / grid.width, column = i % grid.width;
    const int length = int(strnlen(buffer, size_t(grid.maxLen)));
    const uint32_t cursorAttr = cursor ? tf::Reverse : 0;
    if (i <= length) {
        char hex[3];
        std::snprintf(hex, sizeof hex, "%02X", unsigned(uint8_t(buffer[i])));
        PutText(hex, row, kHexCol + 3 * column, 2, ' ', cursor ? cursorAttr : tf::Highlight);
        const char shown[2] = {buffer[i] ? buffer[i] : ' ', 0};
        PutText(shown, row, kCharCol + column, 1, ' ', tf::Highlight);
    } else {
        const char marks[3] = {kEdgeMark, kEdgeMark, 0};
        PutText(marks, row, kHexCol + 3 * column, 2, ' ', cursorAttr);
        PutText("", row, kCharCol + column, 1, ' ', 0);
    }
}

void DrawGrid(const HexGrid& grid, const char* buffer) {
    for (int i = 0; i < grid.maxLen; ++i) DrawCell(grid, buffer, i, false);
}

// Queues Home and one Right per byte so that the text field resumes there.
void QueueResumeKeys(int position) {
    std::string keys(1, char(key::Home));
    keys.append(size_t(position), char(key::Right));
    StuffKeys(keys);
}

}  // namespace

HexGrid HexGridFor(int maxLen) {
    const int width = std::min(maxLen, 8);
    return {width, width > 0 ? (maxLen + width - 1) / width : 0, maxLen};
}

HexCursor MoveHexCursor(const HexGrid& grid, HexCursor at, int k) {
    HexCursor to = at;
    const int last = grid.width - 1;
    switch (k) {
        case key::Right:
            if (to.column < last)
                ++to.column;
            else {
                to.column = 0;
                if (to.line < grid.lines - 1) ++to.line;
            }
            break;
        case key::Left:
            if (to.column > 0)
                --to.column;
            else if (to.line > 0) {
                to.column = last;
                --to.line;
            }
            break;
        case key::Down:
            if (to.line < grid.lines - 1) ++to.line;
            break;
        case key::Up:
            if (to.line > 0) --to.line;
            break;
        default:
            break;
    }
    // A last line shorter than the others has no cells past the field.
    return Position(grid, to) < grid.maxLen ? to : at;
}

uint8_t ShiftInHexDigit(uint8_t byte, int digit) { return uint8_t((byte * 16 + digit) & 0x7F); }

void RunHexEditor(char* buffer, int maxLen, int startPos) {
    const HexGrid grid = HexGridFor(maxLen);
    if (grid.width == 0) return;
    const int bottom = grid.lines + 8;
    WindowHandle window = OpenWindow(kTop, kLeft, bottom, kRight, "HEX EDITOR");
    PutText("HEX CODE", 5, 27, 0, ' ', 0);
    PutText("CHARACTER", 5, 49, 0, ' ', 0);
    PutText("0..9, A..F to change hex code.", grid.lines + 6, 23, 0, ' ', 0);
    PutText("Arrows to move, ENTER to exit.", grid.lines + 7, 23, 0, ' ', 0);

    startPos = std::clamp(startPos, 0, maxLen - 1);
    HexGridScreen screen(grid, buffer, {startPos / grid.width, startPos % grid.width});
    screen.Show();
    RunKeyLoop(screen);
    CloseWindow(window);
    QueueResumeKeys(Position(grid, screen.Cursor()));
}

int HexGridScreen::NextKey() { return GetKey(); }

void HexGridScreen::Show() {
    DrawGrid(grid_, buffer_);
    DrawCell(grid_, buffer_, Position(grid_, at_), true);
}

KeyResult HexGridScreen::OnKey(int k) {
    const int i = Position(grid_, at_);
    if (k == key::Enter || k == key::Esc) {
        DrawCell(grid_, buffer_, i, false);
        return KeyResult::Leave;
    }
    const int digit = HexDigitValue(k);
    if (digit >= 0) {
        buffer_[i] = char(ShiftInHexDigit(uint8_t(buffer_[i]), digit));
        // Two digits make a byte: the cursor goes on as if moved by hand.
        if (++digitsInCell_ % 2 == 0) StuffKeys(std::string(1, char(key::Right)));
        return KeyResult::Changed;
    }
    if (k == key::Right || k == key::Left || k == key::Up || k == key::Down) {
        DrawCell(grid_, buffer_, i, false);
        at_ = MoveHexCursor(grid_, at_, k);
        digitsInCell_ = 0;
        return KeyResult::Redraw;
    }
    return KeyResult::Ignored;
}
