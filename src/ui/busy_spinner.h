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

// 2 after Esc, an arrow key, PgUp or PgDn during a wait; 1 after any other
// key. Read and cleared by the screens that poll the link in a loop.
extern int KeyInterrupt;

// The spinner's state and the clock it turns by (a test gives its own).
class Spinner {
  public:
    using TimePoint = std::chrono::steady_clock::time_point;
    using Clock = std::function<TimePoint()>;
    explicit Spinner(Clock now = std::chrono::steady_clock::now) : now_(std::move(now)) {}
    // One call of a wait: 0 to abort it (Esc), 1 to go on waiting.
    int Idle();

  private:
    Clock now_;
    int step_ = 0;
    TimePoint lastTurn_{};
};

// A link's idle callback: spinner is the Spinner to turn, or null for the
// program's own. 0 to abort the wait (Esc), 1 to go on waiting.
int BusySpinner(void* spinner);
