// Where the register viewer stands: the first register shown, the cursor row
// and the selected column, and how the movement keys change them. Plain
// values in, plain values out, so every move is a one-line test.
#pragma once

constexpr int kFirstViewerRow = 5;  // screen row of the first register
constexpr int kMaxViewerRows = 20;
constexpr int kLastRegister = 65536;

enum ViewerColumn { ColumnRegister = 1, ColumnHex, ColumnUnsigned, ColumnSigned, ColumnBinary };

struct ViewerPosition {
    int start = 1;                    // first register shown, 1 to 65537 - size
    int cursorRow = kFirstViewerRow;  // 5 to size + 4
    int column = ColumnHex;
    int size = kMaxViewerRows;  // 1 to 20

    int LastRow() const { return size + kFirstViewerRow - 1; }
    int SelectedRegister() const { return start + cursorRow - kFirstViewerRow; }
};

// Start at least 1; the last register shown at most 65536, the cursor staying
// on its register (within the rows) when the start has to come back.
void KeepInRange(ViewerPosition& p);

// Applies a movement key (Up, Down, Left, Right, PgUp, PgDn, Home); false for
// any other key. homeStart is where Home goes.
bool MoveViewer(ViewerPosition& p, int key, int homeStart);

// The register typed in the register column is shown on the cursor row.
void ShowRegisterOnCursorRow(ViewerPosition& p, long typed);
