// The pace of polling screens, by a clock the test moves.
#include "ui/poll_pacing.h"

#include <gtest/gtest.h>

namespace {

using std::chrono::milliseconds;

TEST(PollPacing, APassIsDueOneIntervalAfterTheLastOneStartedOrAfterAHold) {
    PollPacer::TimePoint now{std::chrono::hours(1)};
    PollPacer pacer(milliseconds(100), [&] { return now; });
    struct Step {
        const char* what;
        int advanceMs;
        enum { None, PassStarts, Hold1500 } action;
        int dueInMs;
    } kSteps[] = {
        {"a pass starts", 0, Step::PassStarts, 100},
        {"the pass took 30 ms", 30, Step::None, 70},
        {"the interval is over", 70, Step::None, 0},
        {"a slow pass is followed by none", 500, Step::None, 0},
        {"the next pass starts", 0, Step::PassStarts, 100},
        {"a failed read holds the next one", 40, Step::Hold1500, 1500},
        {"the hold counts from when it was made", 1000, Step::None, 500},
        {"a pass after the hold", 500, Step::PassStarts, 100},
    };
    for (const Step& s : kSteps) {
        SCOPED_TRACE(s.what);
        now += milliseconds(s.advanceMs);
        if (s.action == Step::PassStarts) pacer.PassStarts();
        if (s.action == Step::Hold1500) pacer.HoldFor(milliseconds(1500));
        EXPECT_EQ(pacer.TimeToNextPass(), milliseconds(s.dueInMs));
    }
}

}  // namespace
