// The console layer: the few terminal primitives the screen toolkit needs.
// Positions are 0-based on an 80 x 25 cell buffer; writes and fills run on
// across row ends like a console buffer and are clipped at its last cell.
// Characters are code page 437 bytes; colours are PC console colour bytes
// (background in the high nibble, foreground in the low nibble).
#pragma once
#include <cstdint>

namespace con {

constexpr int kRows = 25;
constexpr int kCols = 80;
constexpr uint8_t kNormalColour = 0x17;

class Console {
  public:
    virtual ~Console() = default;

    // Take the terminal over; give it back exactly as it was found.
    virtual void Start() = 0;
    virtual void Stop() = 0;

    virtual void SetColour(uint8_t colour) = 0;
    virtual void SetCursorPosition(int row, int col) = 0;
    virtual void SetCursorVisible(bool visible) = 0;
    // Writes count characters from (row, col) in the current colour.
    virtual void WriteCells(int row, int col, const uint8_t* text, int count) = 0;
    // Fills count cells from (row, col) with one character and colour.
    virtual void FillCells(int row, int col, int count, uint8_t ch, uint8_t colour) = 0;
    virtual void Beep() = 0;
    // Sends what has been drawn to the terminal.
    virtual void Flush() = 0;

    // The keyboard as a PC delivers it: plain bytes for characters and control
    // keys, extended keys as a 0 byte followed by the scan code (F1 = 0 0x3B).
    virtual bool KeyPending() = 0;
    // Waits up to timeoutMs (forever when negative); -1 when no key came.
    virtual int ReadKeyByte(int timeoutMs) = 0;

    // Teletype output, for screens that scroll text like a serial terminal:
    // bytes go to the cursor in the current colour and move it on; CR returns
    // to column 0, LF starts the next line, BS steps back within the row, the
    // last column wraps, and a new line past the bottom row scrolls the whole
    // screen up by one. Every other byte is shown as its code page 437 glyph.
    virtual void WriteTeletype(const uint8_t* text, int count) = 0;
    // Waits up to timeoutMs (forever when negative) until a key is pending or
    // fd (ignored when negative) has something to say (data, hang-up, error).
    // Returns InputKey and InputDescriptor as they hold; 0 may also mean an
    // interruption (a resize), so callers check their own deadlines.
    virtual int WaitForInput(int fd, int timeoutMs) = 0;
};

constexpr int InputKey = 1;
constexpr int InputDescriptor = 2;

}  // namespace con
