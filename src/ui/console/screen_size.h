// The terminal's size against the 80 x 25 picture: which rows of the picture
// a 24-line terminal (every VT100 and VT220, a serial console nobody told its
// size) shows, and the way out of a terminal too small to show it at all.
#pragma once
#include <string>

namespace con {

constexpr int kMinRows = 24;  // the last picture row then shares the terminal's last line

// Which picture rows a terminal of termRows lines shows: rows top .. top + 22
// on its first 23 lines and row lastLine on its 24th. The status and hint
// line (the picture's row 25) takes the place of row 24 while it has
// something to say, unless the cursor is on row 24; a visible cursor on row
// 25 (a prompt there, a teletype screen at its bottom line) moves the whole
// picture up by one row. A terminal of 25 lines or more shows rows 0 .. 24.
struct RowPlan {
    int top = 0;
    int lastLine = 23;
};
RowPlan PlanRows(int termRows, bool statusLineHasText, bool cursorVisible, int cursorRow);

// The keys that leave the program while the terminal is too small: q, Esc,
// Ctrl-C and Ctrl-\ (raw mode takes away their signals).
bool LeavesTooSmallTerminal(int keyByte);

// The lines shown while the terminal is too small, each at most cols wide as
// far as its pieces allow (a piece wider than that is cut by the caller).
std::string TooSmallText(int cols, int rows);
// Said on standard error when the user leaves from there.
std::string TooSmallLeaveText(int cols, int rows);

}  // namespace con
