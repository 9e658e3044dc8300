#include "ui/console/screen_size.h"

#include <string>

namespace con {

RowPlan PlanRows(int termRows, const RowsInUse& r) {
    if (termRows > kMinRows) return {0, 24};
    const bool cursorOn = r.cursorVisible;
    if (cursorOn && r.cursorRow == 24) return {1, 24};
    if (!r.statusText) return {0, 23};
    const bool row24Busy = r.row24Text || (cursorOn && r.cursorRow == 23);
    if (!row24Busy || (cursorOn && r.cursorRow == 0)) return {0, 24};
    return {1, 24};
}

bool LeavesTooSmallTerminal(int keyByte) {
    return keyByte == 'q' || keyByte == 'Q' || keyByte == 27 || keyByte == 3 || keyByte == 0x1C;
}

// Pieces that stay whole, as many on a line as fit.
std::string TooSmallText(int cols, int rows) {
    const std::string pieces[] = {
        "KOVASW needs",
        "a terminal",
        "of at least 80 x 24",
        "(this one is " + std::to_string(cols) + " x " + std::to_string(rows) + ").",
        "Make it larger,",
        "or type q to leave."};
    std::string text, line;
    for (const std::string& piece : pieces) {
        if (!line.empty() && int(line.size() + 1 + piece.size()) > cols) {
            text += line + "\n";
            line.clear();
        }
        line += (line.empty() ? "" : " ") + piece;
    }
    return text + line + "\n";
}

// Lines short enough for the smallest terminal that still shows them whole.
std::string TooSmallLeaveText(int cols, int rows) {
    return "kovasw: this terminal is " + std::to_string(cols) + " x " + std::to_string(rows) +
           "; KOVASW needs 80 x 24.\n"
           "Where the screen has more lines than the terminal\n"
           "was told (a serial console), start it with\n"
           "LINES=25 kovasw, or set the size first with\n"
           "stty rows 25 cols 80\n";
}

}  // namespace con
