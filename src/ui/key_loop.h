// The one key loop: a screen reads its next key and answers it with one
// result; the loop beeps at a key the screen ignores, has the screen shown
// again after a change, and ends when the screen says leave. A screen can so
// be driven key by key in a test, its answers and its record read back.
#pragma once

// What a key did on a screen.
enum class KeyResult {
    Handled,  // answered; nothing on the screen to show again
    Ignored,  // no meaning here: the loop beeps
    Changed,  // a value changed (online: its write made or held)
    Redraw,   // nothing changed, but the screen is to be shown again
    Leave,    // the screen ends
    Failed,   // a transfer failed (already reported): shown again, goes on
};

class KeyScreen {
  public:
    virtual ~KeyScreen() = default;
    // The next key; a screen with a deadline (a held write) may return 0
    // when it passed without one.
    virtual int NextKey() = 0;
    virtual KeyResult OnKey(int key) = 0;
    // Shows the screen's values again after Changed, Redraw or Failed.
    virtual void Show() = 0;
};

// Runs the screen until it answers Leave.
void RunKeyLoop(KeyScreen& screen);
