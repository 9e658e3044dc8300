// Pausing between poll passes on the keyboard.
#include "ui/poll_pacing.h"

#include "ui/screen.h"

bool PollPacer::PauseUntilKeyOrDue() {
    auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(lastStart_ + pause_ - Clock::now());
    return WaitForKey(left.count() > 0 ? int(left.count()) : 0);
}
