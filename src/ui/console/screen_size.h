// The terminal's size against the 80 x 25 picture: which rows of the picture
// a 24-line terminal (every VT100 and VT220, a serial console nobody told its
// size) shows, and the way out of a terminal too small to show it at all.
#pragma once
#include <string>

namespace con {

constexpr int kMinRows = 24;  // the last picture row then shares the terminal's last line

// Which picture rows a terminal of termRows lines shows: rows top .. top + 22
// on its first 23 lines and row lastLine on its 24th. The status and hint
// line (the picture's row 25) shows while it has something to say: over row
// 24 when that row is blank, else (row 24 holding text or the cursor) the
// whole picture moves up by one row and the banner row goes out of sight,
// unless the cursor works on that top row. A visible cursor on row 25 (a
// teletype screen at its bottom line) moves the picture up too. A terminal
// of 25 lines or more shows rows 0 .. 24.
struct RowPlan {
    int top = 0;
    int lastLine = 23;
};
struct RowsInUse {
    bool row24Text = false;   // the picture's row 24 (0-based 23)
    bool statusText = false;  // row 25 (0-based 24)
    bool cursorVisible = false;
    int cursorRow = 0;  // 0-based
};
RowPlan PlanRows(int termRows, const RowsInUse& rows);

// The keys that leave the program while the terminal is too small: q, Esc,
// Ctrl-C and Ctrl-\ (raw mode takes away their signals).
bool LeavesTooSmallTerminal(int keyByte);

// The lines shown while the terminal is too small, each at most cols wide as
// far as its pieces allow (a piece wider than that is cut by the caller).
std::string TooSmallText(int cols, int rows);
// Said on standard error when the user leaves from there.
std::string TooSmallLeaveText(int cols, int rows);

}  // namespace con
