// The CTS monitor's window and its paced read loop.
#include "terminal/cts_monitor.h"

#include <cstdint>

#include "ui/busy_spinner.h"
#include "ui/key_loop.h"
#include "ui/poll_pacing.h"
#include "ui/screen.h"
#include "ui/text_flags.h"

namespace {

constexpr int kPortCount = 4;
constexpr int kStateCol = 50;

int PortRow(int port) { return 9 + port; }

void DrawStates(int ports, bool read, uint16_t bits) {
    for (int p = 1; p <= ports; ++p) {
        if (!read)
            PutText("ERR", PortRow(p), kStateCol, 3, ' ', tf::Alert);
        else if (bits >> (p - 1) & 1)
            PutText("ON ", PortRow(p), kStateCol, 3, ' ', tf::Highlight);
        else
            PutText("OFF", PortRow(p), kStateCol, 3, ' ', tf::Normal);
    }
}

// The monitor's own spinner on the link while it polls; the link gets the
// program's back when the monitor ends, as its other users expect.
class MonitorSpinner {
  public:
    explicit MonitorSpinner(Link* link) : link_(link) {
        SetLinkIdleCallback(link_, BusySpinner, &spinner_);
    }
    ~MonitorSpinner() { SetLinkIdleCallback(link_, BusySpinner, nullptr); }
    MonitorSpinner(const MonitorSpinner&) = delete;
    MonitorSpinner& operator=(const MonitorSpinner&) = delete;
    bool KeyTyped() const { return spinner_.Interrupt() != WaitInterrupt::None; }
    void Forget() { spinner_.ClearInterrupt(); }

  private:
    Link* link_;
    Spinner spinner_;
};

// The monitor as a screen of the key loop: the next key is whatever is typed
// between (or during) its reads.
class MonitorScreen final : public KeyScreen {
  public:
    MonitorScreen(Link* link, int ports) : link_(link), ports_(ports), spinner_(link) {}
    int NextKey() override {
        for (;;) {
            pacer_.PassStarts();
            uint16_t bits = 0;
            const bool read = RegisterRead(link_, kCtsRegister, 1, &bits) != 0;
            DrawStates(ports_, read, bits);
            if (spinner_.KeyTyped() || pacer_.PauseUntilKeyOrDue()) return ReadKey(0);
        }
    }
    // A hot key (F1 prints the screen) is handled as it is read and the
    // monitor goes on; any other key ends it.
    KeyResult OnKey(int k) override {
        if (k != 0) return KeyResult::Leave;
        spinner_.Forget();
        return KeyResult::Handled;
    }
    void Show() override {}

  private:
    Link* link_;
    int ports_;
    // The spinner notices a key typed while a read waits; the pause between
    // reads watches the keyboard itself, so a read that fails at once (a
    // vanished link) cannot hide a key either.
    MonitorSpinner spinner_;
    PollPacer pacer_;
};

}  // namespace

void CtsMonitor(Link* link, int ports) {
    if (ports < 1 || ports > kPortCount) ports = kPortCount;
    WindowHandle window = OpenWindow(8, 38, 15, 55, "CTS MONITOR");
    PutText("Any key to exit", 14, 40, 0, ' ', 0);
    for (int p = 1; p <= ports; ++p) PutTextF("Port %d CTS", PortRow(p), 39, 0, ' ', 0, p);
    MonitorScreen screen(link, ports);
    RunKeyLoop(screen);
    CloseWindow(window);
}
