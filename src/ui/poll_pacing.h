// The pace of the screens that poll a link in a loop (the register viewer,
// the CTS monitor): a pass starts no sooner than one interval after the one
// before it started, and the pause in between waits on the keyboard, so a
// key is answered at once and an idle view costs next to nothing. A pass
// slower than the interval (a slow serial line) is followed by no pause.
#pragma once
#include <chrono>
#include <functional>
#include <utility>

// Ten passes a second: the refresh users of register tables expect, and a
// load any controller carries.
constexpr std::chrono::milliseconds kPollInterval{100};

class PollPacer {
  public:
    using TimePoint = std::chrono::steady_clock::time_point;
    using Clock = std::function<TimePoint()>;
    explicit PollPacer(std::chrono::milliseconds interval = kPollInterval,
                       Clock now = std::chrono::steady_clock::now)
        : interval_(interval), now_(std::move(now)), lastStart_(now_()) {}
    // Marks the start of a pass.
    void PassStarts() {
        lastStart_ = now_();
        pause_ = interval_;
    }
    // The next pass waits this long from now, whatever the interval: after a
    // failed read, so that the user has time to answer before the next
    // failure takes the screen again.
    void HoldFor(std::chrono::milliseconds pause) {
        lastStart_ = now_();
        pause_ = pause;
    }
    // How long until the next pass is due; zero when it is.
    std::chrono::milliseconds TimeToNextPass() const;
    // Waits until the next pass is due or a key is there; true for a key.
    bool PauseUntilKeyOrDue();

  private:
    std::chrono::milliseconds interval_;
    std::chrono::milliseconds pause_ = interval_;
    Clock now_;
    TimePoint lastStart_;
};
