// The terminal emulator in the whole program, on a pty offered as a serial
// port: what the far end sends on the real screen (scrolling at the bottom),
// typed keys at the far end byte for byte, a vanished far end, and the link
// that lent its port connected again afterwards.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include "common/wait_until.h"
#include "setup/link_setup.h"
#include "tmux_session.h"

namespace fs = std::filesystem;

namespace {

// A second port, ttyS1, whose far end the test plays.
class TerminalScenario : public testing::Test {
  protected:
    void SetUp() override {
        master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        ASSERT_GE(master, 0);
        ASSERT_EQ(grantpt(master) | unlockpt(master), 0);
        slave = ptsname(master);
        fs::create_directories(t.DeviceRoot() + "/sys/class/tty/ttyS1/device");
        fs::create_symlink(slave, t.DeviceRoot() + "/dev/ttyS1");
    }
    void TearDown() override {
        if (master >= 0) close(master);
    }
    void WriteSetup(int16_t linkPort, int16_t terminalPort) {
        LinkSetup s = DefaultSetupFor("KOVASW.STP");
        s.LinkPort = linkPort;
        s.TerminalPort = terminalPort;
        auto bytes = EncodeSetup(s);
        std::ofstream(t.Dir() + "/KOVASW.STP", std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    }
    void PeerWrite(const std::string& bytes) {
        ASSERT_EQ(write(master, bytes.data(), bytes.size()), ssize_t(bytes.size()));
    }
    // What the far end receives until count bytes came or 10 s passed.
    std::string PeerRead(size_t count) {
        std::string got;
        while (got.size() < count) {
            pollfd p{master, POLLIN, 0};
            if (poll(&p, 1, 10000) <= 0) break;
            char buffer[256];
            ssize_t n = read(master, buffer, sizeof buffer);
            if (n <= 0) break;
            got.append(buffer, size_t(n));
        }
        return got;
    }
    bool HoldsPort() {
        std::string dir = "/proc/" + std::to_string(t.ProgramPid()) + "/fd";
        for (const auto& e : fs::directory_iterator(dir)) {
            std::error_code error;
            if (fs::read_symlink(e.path(), error) == slave) return true;
        }
        return false;
    }
    bool AwaitHolds(bool holds) {
        return WaitUntil([&] { return HoldsPort() == holds; });
    }

    TmuxSession t;
    int master = -1;
    std::string slave;
};

TEST_F(TerminalScenario, ShowsScrollsSendsAndSurvivesTheFarEndGoing) {
    WriteSetup(0, 1);
    t.Start({"UT"});
    ASSERT_TRUE(t.WaitFor("NOTE: The terminal emulator is using ttyS1")) << t.ScreenText();
    EXPECT_EQ(t.Row(2), "Type contrl-End to exit terminal.  Type F7 to begin capture to a file.");
    EXPECT_EQ(t.Row(5), "To send hex sequence, type INSERT key, enter hex codes, type ENTER.");

    PeerWrite("AB\r\n\x1b[A\r");
    ASSERT_TRUE(t.WaitForRow(7, "<1B>[A<0D>")) << t.ScreenText();
    EXPECT_EQ(t.Row(6), "AB<0D><0A>");

    t.SendKeys("F1");
    t.SendKeys(std::vector<std::string>{"Up", "Down"});
    t.Type("hi");
    t.SendKeys("IC");
    t.Type("1B 5B 41");
    t.SendKeys("Enter");
    EXPECT_EQ(PeerRead(8), "\x1BOPhi\x1B[A");
    ASSERT_TRUE(t.WaitFor("Enter hex codes to send: 1B 5B 41")) << t.ScreenText();

    // Thirty more lines: the screen scrolls and the last one sits above the cursor row.
    std::string lines;
    for (int i = 1; i <= 30; ++i) lines += "line " + std::to_string(i) + "\r\n";
    PeerWrite(lines);
    ASSERT_TRUE(t.WaitForRow(24, "line 30<0D><0A>")) << t.ScreenText();
    EXPECT_EQ(t.Row(23), "line 29<0D><0A>");
    EXPECT_EQ(t.Row(1), "line 7<0D><0A>");

    close(master);
    master = -1;
    ASSERT_TRUE(t.WaitFor("Lost port: \"ttyS1\". Type contrl-End to exit terminal."))
        << t.ScreenText();
    t.Type("x");
    t.SendKeys("C-End");
    ASSERT_TRUE(t.WaitFor("CONFIGURATION AND EMULATION SOFTWARE")) << t.ScreenText();
    EXPECT_EQ(t.ScreenText().find("Lost port"), std::string::npos);
}

TEST_F(TerminalScenario, TheLinkLendsItsPortAndGetsItBack) {
    WriteSetup(1, 1);
    t.Start();
    ASSERT_TRUE(t.WaitFor("CONFIGURATION AND EMULATION SOFTWARE"));
    ASSERT_TRUE(AwaitHolds(true));  // the link has the port
    t.Type("UT");
    ASSERT_TRUE(t.WaitFor("Type contrl-End to exit terminal.")) << t.ScreenText();
    EXPECT_EQ(t.ScreenText().find("NOTE"), std::string::npos);
    PeerWrite("shared");
    ASSERT_TRUE(t.WaitFor("shared")) << t.ScreenText();
    t.SendKeys("C-End");
    ASSERT_TRUE(t.WaitFor("CONFIGURATION AND EMULATION SOFTWARE")) << t.ScreenText();
    t.Settle();
    EXPECT_TRUE(HoldsPort());  // connected again
    EXPECT_EQ(t.ScreenText().find("Unable to establish link."), std::string::npos);
}

}  // namespace
