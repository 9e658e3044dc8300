// Pausing between poll passes on the keyboard.
#include "ui/poll_pacing.h"

#include "ui/screen.h"

std::chrono::milliseconds PollPacer::TimeToNextPass() const {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(lastStart_ + pause_ - now_());
    return left.count() > 0 ? left : std::chrono::milliseconds(0);
}

bool PollPacer::PauseUntilKeyOrDue() { return WaitForKey(int(TimeToNextPass().count())); }
