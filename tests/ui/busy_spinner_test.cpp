// The idle routine of reply waits: the spinner, keys kept for later and what
// interrupted the wait.
#include "ui/busy_spinner.h"

#include <gtest/gtest.h>

#include "ui/console/keys.h"
#include "ui/toolkit_fixture.h"

namespace {

class SpinnerTest : public ToolkitTest {
  protected:
    char SpinnerCell() { return char(ScreenChar(0, 79)); }
};

TEST_F(SpinnerTest, TurnsOneStepPerIntervalAtTheTopRightCorner) {
    Spinner::TimePoint now{std::chrono::hours(1)};
    Spinner spinner([&] { return now; });
    std::string seen;
    for (int step = 0; step < 8; ++step) {
        now += kSpinnerStepInterval;
        // However often a wait calls it, one step per interval.
        EXPECT_EQ(1, BusySpinner(&spinner));
        const char turned = SpinnerCell();
        for (int call = 0; call < 20; ++call) {
            now += kSpinnerStepInterval / 25;
            EXPECT_EQ(1, BusySpinner(&spinner));
        }
        EXPECT_EQ(turned, SpinnerCell());
        seen += turned;
    }
    // Four steps in the order | \ - /, repeating, from the one after |.
    EXPECT_EQ(seen, "\\-/|\\-/|");
    EXPECT_EQ(WaitInterrupt::None, spinner.Interrupt());
}

// Every wait turns the same wheel, whichever spinner serves it: a screen
// with its own spinner goes on from the step the one before it left.
TEST_F(SpinnerTest, SpinnersShareOneWheel) {
    Spinner::TimePoint now{std::chrono::hours(1)};
    Spinner first([&] { return now; }), second([&] { return now; });
    std::string seen;
    for (Spinner* spinner : {&first, &second, &first, &second, &second}) {
        now += kSpinnerStepInterval;
        EXPECT_EQ(1, BusySpinner(spinner));
        seen += SpinnerCell();
    }
    EXPECT_EQ(seen, "\\-/|\\");
    // Within one interval of the last step nobody turns it.
    now += kSpinnerStepInterval / 2;
    EXPECT_EQ(1, BusySpinner(&first));
    EXPECT_EQ('\\', SpinnerCell());
}

TEST_F(SpinnerTest, KeysAreKeptAndRecordWhyTheWaitWasInterrupted) {
    constexpr auto kKey = WaitInterrupt::Key, kScreen = WaitInterrupt::Screen;
    struct Case {
        const char* name;
        bool extended;
        uint8_t byte;
        int keyCode;
        int result;
        WaitInterrupt reason;
    } cases[] = {
        {"letter", false, 'x', 'x', 1, kKey},
        {"Enter", false, 13, key::Enter, 1, kKey},
        {"Esc", false, 27, key::Esc, 0, kScreen},
        {"Up", true, key::scan::Up, key::Up, 1, kScreen},
        {"Down", true, key::scan::Down, key::Down, 1, kScreen},
        {"Left", true, key::scan::Left, key::Left, 1, kScreen},
        {"Right", true, key::scan::Right, key::Right, 1, kScreen},
        {"PgUp", true, key::scan::PgUp, key::PgUp, 1, kScreen},
        {"PgDn", true, key::scan::PgDn, key::PgDn, 1, kScreen},
        {"F2", true, key::scan::F2, key::F2, 1, kKey},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Spinner spinner;
        if (c.extended)
            console.TypeExtended(c.byte);
        else
            console.Type(std::string(1, char(c.byte)));
        EXPECT_EQ(c.result, BusySpinner(&spinner));
        EXPECT_EQ(c.reason, spinner.Interrupt());
        // The reason stays for its owner to read through later calls without a key.
        EXPECT_EQ(1, BusySpinner(&spinner));
        EXPECT_EQ(c.reason, spinner.Interrupt());
        spinner.ClearInterrupt();
        EXPECT_EQ(WaitInterrupt::None, spinner.Interrupt());
        EXPECT_EQ(c.keyCode, ReadKey(0));  // queued again, not lost
        EXPECT_EQ(0, ReadKey(0));
    }
}

TEST_F(SpinnerTest, TheLastKeyOfAWaitGivesItsReason) {
    Spinner spinner;
    console.TypeExtended(key::scan::Up);
    EXPECT_EQ(1, BusySpinner(&spinner));
    console.Type("x");
    EXPECT_EQ(1, BusySpinner(&spinner));
    EXPECT_EQ(WaitInterrupt::Key, spinner.Interrupt());
    EXPECT_EQ(key::Up, ReadKey(0));
    EXPECT_EQ('x', ReadKey(0));
}

TEST_F(SpinnerTest, AWaitNobodyWatchesStillKeepsTheKeyAndEndsOnEsc) {
    console.Type("\x1b");
    EXPECT_EQ(0, BusySpinner(nullptr));
    EXPECT_EQ(key::Esc, ReadKey(0));
    console.Type("y");
    EXPECT_EQ(1, BusySpinner(nullptr));
    EXPECT_EQ('y', ReadKey(0));
}

TEST_F(SpinnerTest, LeavesQueuedKeystrokesInTheirOrder) {
    StuffKeys("ab");
    console.Type("c");
    EXPECT_EQ(1, BusySpinner(nullptr));
    EXPECT_EQ(1, BusySpinner(nullptr));
    EXPECT_EQ('a', ReadKey(0));
    EXPECT_EQ('b', ReadKey(0));
    EXPECT_EQ('c', ReadKey(0));
}

}  // namespace
