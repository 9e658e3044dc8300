// Screen image and output: every write is compared with the image so that
// only the cells that change reach the console.
#include "ui/screen.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "ui/screen_state.h"
#include "ui/text_flags.h"

namespace {
// The state of the screen in force, owned by whoever started it; null
// outside ScreenInit and ScreenDone. The toolkit's functions are free
// functions called from every screen, so they find their state here.
ScreenState* gInForce = nullptr;

// Gaps of up to this many unchanged cells are rewritten rather than skipped:
// one longer write is cheaper than a cursor move and a second write.
constexpr int kMaxRewrittenGap = 5;

void ClearImage(uint8_t* chars, uint8_t* attrs, int from, int to) {
    std::memset(chars + from, ' ', to - from);
    std::memset(attrs + from, 0, to - from);
}
}  // namespace

ScreenState& Screen() { return *gInForce; }
con::Console& ActiveConsole() { return *Screen().console; }

void SetConsoleColour(uint8_t colour) {
    Screen().colour = colour;
    Screen().console->SetColour(colour);
}

void ScreenInit(con::Console& console, ScreenState& state) {
    gInForce = &state;
    ScreenState& s = state;
    s.console = &console;
    s.cursorRow = s.cursorCol = 0;
    console.Start();
    SetConsoleColour(con::kNormalColour);
    HideCursor();
    console.SetCursorPosition(0, 0);
    console.FillCells(0, 0, con::kRows * con::kCols, ' ', con::kNormalColour);
    ClearImage(s.chars, s.attrs, 0, kImageRows * kImageCols);
    ClearImage(s.savedChars, s.savedAttrs, 0, kImageRows * kImageCols);
    s.dirty = false;
    s.windows.clear();
    s.hotKeys.clear();
    s.input.Clear();
    s.insertMode = true;
    s.spinner = {};
}

void ScreenDone() {
    if (!gInForce) return;
    ScreenState& s = *gInForce;
    gInForce = nullptr;
    if (!s.console) return;
    s.console->SetCursorVisible(true);
    s.console->Stop();
    s.windows.clear();
    s.hotKeys.clear();
    s.console = nullptr;
}

void SetCursor(int row, int col) {
    Screen().cursorRow = row;
    Screen().cursorCol = col;
    Screen().console->SetCursorPosition(row, col);
}

void WriteRun(const char* text, int count) {
    ScreenState& s = Screen();
    s.console->WriteCells(s.cursorRow, s.cursorCol, reinterpret_cast<const uint8_t*>(text), count);
    s.cursorCol += count;
    if (s.cursorCol >= con::kCols) {
        s.cursorCol = 0;
        ++s.cursorRow;
    }
}

namespace {

// Lays the text out in its width as PutText's flags ask; returns the width.
int LayOutText(const char* text, int width, char fill, uint32_t flags, char* out) {
    int length = int(std::strlen(text));
    if (length > kImageCols) length = kImageCols;
    char buffer[kImageCols + 1];
    std::memcpy(buffer, text, length);
    if (flags & tf::Upper)
        for (int i = 0; i < length; ++i)
            if (buffer[i] >= 'a' && buffer[i] <= 'z') buffer[i] = char(buffer[i] - 'a' + 'A');
    if (width == 0) width = length;
    if (width > kImageCols) width = kImageCols;
    if (length > width) length = width;
    int pad = 0;
    if (flags & (tf::Centre | tf::RightAlign)) {
        pad = width - length;
        if (flags & tf::Centre) pad /= 2;
    }
    std::memset(out, fill, width);
    std::memcpy(out + pad, buffer, length);
    return width;
}

}  // namespace

void PutText(const char* text, int row, int col, int width, char fill, uint32_t flags) {
    ScreenState& s = Screen();
    if (s.dirty) RepaintScreen();
    row = ClampRow(row);
    col = ClampCol(col);
    if (width < 0) width = 0;
    if (flags & tf::Bell) Beep();
    char cells[kImageCols];
    width = LayOutText(text, width, fill, flags, cells);
    if (col + width > kImageCols) width = kImageCols - col;

    const uint8_t attribute = uint8_t(flags & tf::AttributeMask);
    auto unchanged = [&](int i) {
        int at = Cell(row, col + i);
        return s.chars[at] == uint8_t(cells[i]) && s.attrs[at] == attribute;
    };
    bool colourSet = false;
    int i = 0;
    while (i < width) {
        int gapStart = i;
        while (i < width && unchanged(i)) ++i;
        if (i == width) break;
        int runStart = i - gapStart <= kMaxRewrittenGap ? gapStart : i;
        while (i < width && !unchanged(i)) {
            s.chars[Cell(row, col + i)] = uint8_t(cells[i]);
            s.attrs[Cell(row, col + i)] = attribute;
            ++i;
        }
        if (!colourSet) {
            SetConsoleColour(ConsoleColourOf(attribute));
            colourSet = true;
        }
        // Image columns past 80 are never visible: the console gets only the
        // part of the run that it shows.
        int visible = std::min(i, con::kCols - col) - runStart;
        if (visible > 0) {
            SetCursor(row, col + runStart);
            WriteRun(cells + runStart, visible);
        }
    }
    if (colourSet) SetConsoleColour(con::kNormalColour);
}

void PutTextF(const char* format, int row, int col, int width, char fill, uint32_t flags, ...) {
    char buffer[136];
    va_list args;
    va_start(args, flags);
    std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    PutText(buffer, row, col, width, fill, flags);
}

void ClearToEndOfLine(int row, int col) {
    ScreenState& s = Screen();
    row = ClampRow(row);
    col = ClampCol(col);
    SetCursor(row, col);
    if (col < con::kCols) s.console->FillCells(row, col, con::kCols - col, ' ', con::kNormalColour);
    ClearImage(s.chars, s.attrs, Cell(row, col), Cell(row, kImageCols));
}

void ClearToEndOfScreen(int row, int col) {
    ScreenState& s = Screen();
    row = ClampRow(row);
    col = ClampCol(col);
    SetCursor(row, col);
    s.console->FillCells(row, col, con::kRows * con::kCols, ' ', con::kNormalColour);
    ClearImage(s.chars, s.attrs, Cell(row, col), kImageRows * kImageCols);
}

void SaveScreen() {
    ScreenState& s = Screen();
    std::memcpy(s.savedChars, s.chars, sizeof s.chars);
    std::memcpy(s.savedAttrs, s.attrs, sizeof s.attrs);
}

namespace {

// Writes image cells [from, to) of one row, switching colour where the
// attribute changes, and leaves the colour normal.
void WriteImageCells(int row, int from, int to) {
    ScreenState& s = Screen();
    int pieceStart = from;
    uint8_t attribute = s.attrs[Cell(row, from)];
    SetConsoleColour(ConsoleColourOf(attribute));
    for (int c = from; c <= to; ++c) {
        if (c < to && s.attrs[Cell(row, c)] == attribute) continue;
        s.console->SetCursorPosition(row, pieceStart);
        s.cursorRow = row;
        s.cursorCol = pieceStart;
        WriteRun(reinterpret_cast<const char*>(s.chars + Cell(row, pieceStart)), c - pieceStart);
        SetConsoleColour(con::kNormalColour);
        if (c < to) {
            attribute = s.attrs[Cell(row, c)];
            pieceStart = c;
            SetConsoleColour(ConsoleColourOf(attribute));
        }
    }
}

bool BlankCell(int at) { return Screen().chars[at] == ' ' && Screen().attrs[at] == 0; }

}  // namespace

void RepaintScreen() {
    ScreenState& s = Screen();
    s.dirty = false;
    SetCursor(0, 0);
    s.console->FillCells(0, 0, con::kRows * con::kCols, ' ', con::kNormalColour);
    HideCursor();
    for (int row = 0; row < kImageRows; ++row) {
        int col = 0;
        while (col < con::kCols) {
            if (BlankCell(Cell(row, col))) {
                ++col;
                continue;
            }
            int end = col + 1;
            while (end < con::kCols && !BlankCell(Cell(row, end))) ++end;
            WriteImageCells(row, col, end);
            col = end;
        }
    }
}

void RestoreScreen() {
    ScreenState& s = Screen();
    if (s.dirty) {
        std::memcpy(s.chars, s.savedChars, sizeof s.chars);
        std::memcpy(s.attrs, s.savedAttrs, sizeof s.attrs);
        RepaintScreen();
        return;
    }
    for (int row = 0; row < kImageRows; ++row) {
        int col = 0;
        while (col < kImageCols) {
            int at = Cell(row, col);
            if (s.chars[at] == s.savedChars[at] && s.attrs[at] == s.savedAttrs[at]) {
                ++col;
                continue;
            }
            int end = col;
            while (end < kImageCols) {
                int e = Cell(row, end);
                if (s.chars[e] == s.savedChars[e] && s.attrs[e] == s.savedAttrs[e]) break;
                s.chars[e] = s.savedChars[e];
                s.attrs[e] = s.savedAttrs[e];
                ++end;
            }
            if (col < con::kCols) WriteImageCells(row, col, end < con::kCols ? end : con::kCols);
            col = end;
        }
    }
}

void MarkScreenDirty() { Screen().dirty = true; }

void Beep() { Screen().console->Beep(); }

void ShowCursor() {
    Screen().cursorVisible = true;
    Screen().console->SetCursorVisible(true);
}

void HideCursor() {
    Screen().cursorVisible = false;
    Screen().console->SetCursorVisible(false);
}

bool InsertMode() { return Screen().insertMode; }
void SetInsertMode(bool on) { Screen().insertMode = on; }

uint8_t ScreenChar(int row, int col) { return Screen().chars[Cell(row, col)]; }
uint8_t ScreenAttr(int row, int col) { return Screen().attrs[Cell(row, col)]; }
