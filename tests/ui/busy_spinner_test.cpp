// The idle routine of reply waits: the spinner, keys kept for later and the key
// interrupt flag.
#include "ui/busy_spinner.h"

#include <gtest/gtest.h>

#include "ui/keys.h"
#include "ui/toolkit_fixture.h"

namespace {

class SpinnerTest : public ToolkitTest {
  protected:
    void SetUp() override {
        ToolkitTest::SetUp();
        KeyInterrupt = 0;
    }
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
    EXPECT_EQ(0, KeyInterrupt);
}

TEST_F(SpinnerTest, KeysAreKeptAndSetTheInterruptFlag) {
    struct Case {
        const char* name;
        bool extended;
        uint8_t byte;
        int keyCode;
        int result;
        int flag;
    } cases[] = {
        {"letter", false, 'x', 'x', 1, 1},
        {"Enter", false, 13, key::Enter, 1, 1},
        {"Esc", false, 27, key::Esc, 0, 2},
        {"Up", true, key::scan::Up, key::Up, 1, 2},
        {"Down", true, key::scan::Down, key::Down, 1, 2},
        {"Left", true, key::scan::Left, key::Left, 1, 2},
        {"Right", true, key::scan::Right, key::Right, 1, 2},
        {"PgUp", true, key::scan::PgUp, key::PgUp, 1, 2},
        {"PgDn", true, key::scan::PgDn, key::PgDn, 1, 2},
        {"F2", true, key::scan::F2, key::F2, 1, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        KeyInterrupt = 0;
        if (c.extended)
            console.TypeExtended(c.byte);
        else
            console.Type(std::string(1, char(c.byte)));
        EXPECT_EQ(c.result, BusySpinner(nullptr));
        EXPECT_EQ(c.flag, KeyInterrupt);
        EXPECT_EQ(c.keyCode, ReadKey(0));  // queued again, not lost
        EXPECT_EQ(0, ReadKey(0));
    }
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
