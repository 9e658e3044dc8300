// The idle routine of a link's reply wait: a spinner in the top right corner,
// keys typed meanwhile kept for later, Esc ending the wait.
#pragma once
#include <chrono>
#include <functional>
#include <utility>

// The spinner turns one step at most this often, however often the wait
// calls it: a viewer polling ten times a second then sends the terminal only
// a few cells a second, and a slow link still shows that it is waited on.
constexpr std::chrono::milliseconds kSpinnerStepInterval{250};

// Why a screen polling a link should stop and read the keyboard: a key was
// typed during a wait (Screen: one that moves or leaves a screen, Esc, an
// arrow, PgUp or PgDn; Key: any other).
enum class WaitInterrupt { None, Key, Screen };

// One owner's spinner: the clock the wheel turns by (a test gives its own)
// and what interrupted the waits it served. A screen that polls a link in a
// loop installs its own as the link's idle argument and reads it between
// reads. The wait calls it on the thread that made the request, the screen's
// own, never on the link's reader thread, so it needs no lock.
class Spinner {
  public:
    using TimePoint = std::chrono::steady_clock::time_point;
    using Clock = std::function<TimePoint()>;
    explicit Spinner(Clock now = std::chrono::steady_clock::now) : now_(std::move(now)) {}
    // One call of a wait: 0 to abort it (Esc), 1 to go on waiting.
    int Idle();
    // The last key's reason since the owner cleared it; None when no key came.
    WaitInterrupt Interrupt() const { return interrupt_; }
    void ClearInterrupt() { interrupt_ = WaitInterrupt::None; }

  private:
    Clock now_;
    WaitInterrupt interrupt_ = WaitInterrupt::None;
};

// A link's idle callback: spinner is the Spinner to turn, or null when no
// one asks what interrupted the wait. 0 to abort the wait (Esc), 1 to go on
// waiting.
int BusySpinner(void* spinner);
