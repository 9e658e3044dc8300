// The hexadecimal editor behind F9 in a string field: the field's bytes as a
// grid of hex codes beside their characters, any code 00-7F typed as two hex
// digits, the cursor moving over the grid.
#pragma once
#include <cstdint>

#include "ui/key_loop.h"

struct HexGrid {
    int width;  // bytes per line
    int lines;
    int maxLen;  // bytes of the field that are shown
};
HexGrid HexGridFor(int maxLen);

struct HexCursor {
    int line, column;
    bool operator==(const HexCursor&) const = default;
};
// The cursor after an arrow key; other keys leave it where it is.
HexCursor MoveHexCursor(const HexGrid& grid, HexCursor at, int key);
// A byte after one more hex digit typed into it (the top bit never survives).
uint8_t ShiftInHexDigit(uint8_t byte, int digit);

// Edits buffer (maxLen + 1 bytes) from byte startPos until Enter or Esc, both
// of which keep the changes. On leaving it queues the keys that bring a text
// field's cursor back to the byte the grid cursor stood on.
void RunHexEditor(char* buffer, int maxLen, int startPos);

// The grid as a screen of the key loop: a hex digit shifts into the byte
// under the cursor (Changed; the second one moves on), an arrow moves
// (Redraw), Enter and Esc leave, anything else is Ignored.
class HexGridScreen final : public KeyScreen {
  public:
    HexGridScreen(const HexGrid& grid, char* buffer, HexCursor at)
        : grid_(grid), buffer_(buffer), at_(at) {}
    int NextKey() override;
    KeyResult OnKey(int key) override;
    // The grid, the cursor's cell marked.
    void Show() override;
    HexCursor Cursor() const { return at_; }

  private:
    HexGrid grid_;
    char* buffer_;
    HexCursor at_;
    int digitsInCell_ = 0;
};
