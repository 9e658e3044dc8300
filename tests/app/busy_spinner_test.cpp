// The idle routine of reply waits: the spinner, keys kept for later, the key
// interrupt flag, and Esc ending a real wait on a link with no answer.
#include "app/busy_spinner.h"

#include <gtest/gtest.h>

#include "setup/connect_link.h"
#include "setup/link_setup.h"
#include "setup/pty_ports.h"
#include "ui/keys.h"
#include "ui/toolkit_fixture.h"

namespace {

class Spinner : public ToolkitTest {
  protected:
    void SetUp() override {
        ToolkitTest::SetUp();
        KeyInterrupt = 0;
    }
    char SpinnerCell() { return char(ScreenChar(0, 79)); }
};

TEST_F(Spinner, TurnsOneStepPerCallAtTheTopRightCorner) {
    std::string seen;
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(1, BusySpinner(nullptr));
        seen += SpinnerCell();
    }
    // Four distinct steps in the order | \ - /, repeating.
    std::string cycle = seen.substr(0, 4);
    EXPECT_EQ(cycle, seen.substr(4, 4));
    EXPECT_EQ(std::string("|\\-/").find(cycle[0]) != std::string::npos, true);
    std::string twice = "|\\-/|\\-/";
    EXPECT_NE(std::string::npos, twice.find(cycle)) << seen;
    EXPECT_EQ(0, KeyInterrupt);
}

TEST_F(Spinner, KeysAreKeptAndSetTheInterruptFlag) {
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

TEST_F(Spinner, LeavesQueuedKeystrokesInTheirOrder) {
    StuffKeys("ab");
    console.Type("c");
    EXPECT_EQ(1, BusySpinner(nullptr));
    EXPECT_EQ(1, BusySpinner(nullptr));
    EXPECT_EQ('a', ReadKey(0));
    EXPECT_EQ('b', ReadKey(0));
    EXPECT_EQ('c', ReadKey(0));
}

// A Modbus RTU link on a pty whose far end never answers: Esc ends the wait.
TEST_F(Spinner, EscAbortsAReplyWaitOnASyMaxLink) {
    PtyPorts ports;
    ports.Add("ttyUSB0");
    ports.Use();
    CurrentSetup = DefaultSetupFor("KOVASW.STP");
    SetConnectIdleCallback(BusySpinner);
    Link* link = ConnectLink(nullptr);
    ASSERT_NE(nullptr, link);
    console.Type("\x1b");
    uint16_t value = 0;
    EXPECT_EQ(0, RegisterRead(link, 1, 1, &value));
    EXPECT_STREQ("Application idle abort", LinkErrorText(link));
    CloseLink(link);
    SetConnectIdleCallback(nullptr);
}

TEST_F(Spinner, EscAbortsAReplyWaitOnAConnectedLink) {
    PtyPorts ports;
    ports.Add("ttyUSB0");
    ports.Use();
    CurrentSetup = DefaultSetupFor("HOLV.STP");  // Modbus RTU, drop 255
    SetConnectIdleCallback(BusySpinner);
    Link* link = ConnectLink(nullptr);
    ASSERT_NE(nullptr, link);
    console.Type("\x1b");
    uint16_t value = 0;
    EXPECT_EQ(0, RegisterRead(link, 1, 1, &value));
    EXPECT_STREQ("Application idle abort", LinkErrorText(link));
    EXPECT_EQ(2, KeyInterrupt);
    EXPECT_EQ(key::Esc, ReadKey(0));
    CloseLink(link);
    SetConnectIdleCallback(nullptr);
}

}  // namespace
