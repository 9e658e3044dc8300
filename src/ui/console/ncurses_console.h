// The terminal behind the console interface, through ncursesw. Cells are
// drawn into an 80 x 25 pad that keeps the picture while the terminal is too
// small to show it, so a resize back to 80 x 24 or more shows it again; a
// 24-line terminal shows the status line over row 24 (screen_size.h).
#pragma once
#include <memory>

#include "ui/console/console.h"

namespace con {

class NcursesConsole : public Console {
  public:
    NcursesConsole();
    ~NcursesConsole() override;
    void Start() override;
    void Stop() override;
    void SetColour(uint8_t colour) override { colour_ = colour; }
    void SetCursorPosition(int row, int col) override;
    void SetCursorVisible(bool visible) override;
    void WriteCells(int row, int col, const uint8_t* text, int count) override;
    void FillCells(int row, int col, int count, uint8_t ch, uint8_t colour) override;
    void Beep() override;
    void Flush() override;
    bool KeyPending() override;
    int ReadKeyByte(int timeoutMs) override;
    void WriteTeletype(const uint8_t* text, int count) override;
    int WaitForInput(int fd, int timeoutMs) override;

    // Runs from the signal handler when a signal ends the program, after the
    // terminal has been given back; it may only make async-signal-safe calls.
    static void SetFatalSignalHook(void (*hook)());

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
    uint8_t colour_ = kNormalColour;
};

}  // namespace con
