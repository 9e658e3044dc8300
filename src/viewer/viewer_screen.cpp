// Drawing the register viewer.
#include "viewer/viewer_screen.h"

#include <string>

#include "emulator/bit_string.h"
#include "ui/screen.h"
#include "ui/text_flags.h"

namespace {

constexpr int kStatusRow = 25;
constexpr int kStatusCol = 40;
constexpr int kStatusWidth = 40;

uint32_t CellFlags(const ViewerPosition& p, int row, int column) {
    return row == p.cursorRow && p.column == column ? tf::Highlight : tf::Normal;
}

struct Label {
    int row, col;
    const char* text;
    uint32_t flags;
};

// clang-format off
constexpr Label kFrame[] = {
    {4,  1,  "REGSTR   HEX   UNSIGN  SIGNED         BINARY          STAT", tf::Reverse},
    {6,  60, "VR&D Sy/Max - Modbus",   tf::Normal},
    {7,  62, " Register Viewer",       tf::Normal},
    {9,  62, "Press F2 for Help",      tf::Normal},
    {10, 59, "F8 for Register Config", tf::Normal},
    {11, 60, "F9 for Serial Config",   tf::Normal},
    {9,  68, "F2",                     tf::Highlight},
    {10, 59, "F8",                     tf::Highlight},
    {11, 60, "F9",                     tf::Highlight},
};

constexpr Label kHelp[] = {
    {8,  40, "Up and Down arrows to select register,", 0},
    {9,  40, "Page Up and Page Down to change by 10,", 0},
    {10, 40, "Left and Right arrows to select radix,", 0},
    {11, 40, "0..9, A..F to enter new value,", 0},
    {12, 40, "ENTER to update without moving,", 0},
    {13, 40, "F10 to acknowledge error,", 0},
    // Rows 14 and 20: the same keys where a terminal (a VT100, a VT220)
    // has none.
    {14, 40, "  or Ctrl-T 0 on a terminal without F10,", 0},
    {15, 40, "When on the BINARY field, use left", 0},
    {16, 40, "and right arrows to select the desired", 0},
    {17, 40, "bit and enter '0' or '1'.", 0},
    {18, 40, "F9 to change link setup", 0},
    {19, 40, "ESC to exit Register Viewer.", 0},
    {20, 40, "No F9, PgUp, PgDn? Ctrl-T 9, U, N.", 0},
    {21, 40, "Press any key to close help window.", 0},
};
// clang-format on

template <size_t N>
void DrawLabels(const Label (&labels)[N]) {
    for (const Label& l : labels) PutText(l.text, l.row, l.col, 0, ' ', l.flags);
}

void DrawRegisterLabel(const ViewerPosition& p, int row, bool isInput) {
    const int reg = p.start + row - kFirstViewerRow;
    const bool onRegister = row == p.cursorRow && p.column == ColumnRegister;
    PutTextF("%cx%d", row, 1, 7, ' ', onRegister ? tf::Highlight : tf::RightAlign,
             isInput ? '3' : '4', reg);
}

}  // namespace

void DrawViewerFrame() {
    ClearToEndOfScreen(4, 1);
    DrawLabels(kFrame);
}

void DrawRegisterRow(const ViewerPosition& p, int row, bool isInput, uint16_t value) {
    DrawRegisterLabel(p, row, isInput);
    PutTextF(" %04X", row, 9, 6, ' ', CellFlags(p, row, ColumnHex), value);
    PutTextF(" %6u ", row, 15, 8, ' ', CellFlags(p, row, ColumnUnsigned), unsigned(value));
    PutTextF(" %6d", row, 23, 8, ' ', CellFlags(p, row, ColumnSigned), int(int16_t(value)));
    PutTextF(" %s", row, 31, 21, ' ', CellFlags(p, row, ColumnBinary),
             FormatBitString(value).c_str());
}

void DrawErrorRows(const ViewerPosition& p, bool isInput) {
    for (int row = kFirstViewerRow; row <= p.LastRow(); ++row) {
        // Each row names the register that failed: the table may have moved
        // (or never been read) since the last read that succeeded.
        DrawRegisterLabel(p, row, isInput);
        PutText("ERROR", row, 10, 20, ' ', row == p.cursorRow ? tf::Highlight : tf::Alert);
        PutText("", row, 31, 20, ' ', tf::Normal);
        PutText("", row, 55, 4, ' ', tf::Normal);  // no status of another register
    }
}

void DrawStatusValue(int row, uint16_t status) {
    PutTextF("%04X", row, 55, 4, ' ', tf::Normal, status);
}

void DrawStatusText(const ViewerPosition& p, int row, const char* text) {
    PutText(text, row, 55, 4, ' ', row == p.cursorRow ? tf::Highlight : tf::Normal);
}

void DrawViewerStatusLine(const char* text) {
    PutText(text, kStatusRow, kStatusCol, kStatusWidth, ' ', text[0] ? tf::Alert : tf::Normal);
}

void ShowViewerHelp() {
    WindowHandle help = OpenWindow(6, 38, 22, 79, "REGISTER VIEWER HELP");
    DrawLabels(kHelp);
    GetKey();
    CloseWindow(help);
}
