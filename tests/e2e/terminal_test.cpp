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
#include <iterator>
#include <regex>
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
    explicit TerminalScenario(int rows = 25) : t(80, rows) {}
    void SetUp() override {
        fs::create_directories(t.DeviceRoot() + "/sys/class/tty/ttyS1/device");
        PlugPeer();
    }
    // A new far end behind ttyS1, as a USB adapter plugged in again gets a
    // new device behind the same name.
    void PlugPeer() {
        master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        ASSERT_GE(master, 0);
        ASSERT_EQ(grantpt(master) | unlockpt(master), 0);
        slave = ptsname(master);
        fs::remove(t.DeviceRoot() + "/dev/ttyS1");
        fs::create_symlink(slave, t.DeviceRoot() + "/dev/ttyS1");
    }
    void UnplugPeer() {
        close(master);
        master = -1;
    }
    std::string CaptureFile(const std::string& name) {
        std::ifstream in(t.Dir() + "/" + name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
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
    EXPECT_EQ(t.Row(6), "Type F6 to toggle timestamps.  Type shift-F7 to capture the raw bytes.");
    EXPECT_EQ(t.Row(7),
              "Or type ctrl-T then Q to exit, R raw capture, T timestamps, ? the other keys.");

    PeerWrite("AB\r\n\x1b[A\r");
    ASSERT_TRUE(t.WaitForRow(9, "<1B>[A<0D>")) << t.ScreenText();
    EXPECT_EQ(t.Row(8), "AB<0D><0A>");

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
    EXPECT_EQ(t.Row(1), "line 7<0D><0A>");  // the help lines and the typed lines scrolled away

    close(master);
    master = -1;
    ASSERT_TRUE(t.WaitFor("Lost port: \"ttyS1\". Type contrl-End or ctrl-T Q to exit terminal."))
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

// On the Linux text console Ctrl-End arrives as plain End and Shift-F7 as
// F17, in the console's own sequences: the bytes are sent exactly as the
// console sends them. End does not leave (it cannot be told from Ctrl-End);
// Shift-F7 starts a raw capture and Ctrl-T Q leaves.
TEST_F(TerminalScenario, LeavesAndCapturesWithTheLinuxConsolesKeys) {
    WriteSetup(0, 1);
    t.SetTerm("linux");
    t.Start({"UT"});
    ASSERT_TRUE(t.WaitFor("NOTE: The terminal emulator is using ttyS1")) << t.ScreenText();
    ASSERT_TRUE(t.WaitFor("Or type ctrl-T then Q to exit")) << t.ScreenText();
    auto consoleBytes = [&](std::vector<std::string> hex) {
        hex.insert(hex.begin(), {"send-keys", "-t", "kova", "-H"});
        t.Tmux(hex);
    };
    consoleBytes({"1b", "5b", "34", "7e"});  // Ctrl-End (and End): ESC [ 4 ~
    t.Type("e");
    EXPECT_EQ(PeerRead(1), "e");                   // still in the terminal
    consoleBytes({"1b", "5b", "33", "31", "7e"});  // Shift-F7: ESC [ 3 1 ~
    ASSERT_TRUE(t.WaitFor("Raw capture to file?")) << t.ScreenText();
    t.Type("raw.bin");
    t.SendKeys("Enter");
    ASSERT_TRUE(t.WaitFor("Copying received bytes to: \"raw.bin\".")) << t.ScreenText();
    PeerWrite("\r\n\x01");
    ASSERT_TRUE(t.WaitFor("<01>")) << t.ScreenText();
    consoleBytes({"14", "71"});  // Ctrl-T q
    ASSERT_TRUE(t.WaitFor("CONFIGURATION AND EMULATION SOFTWARE")) << t.ScreenText();
    EXPECT_EQ(CaptureFile("raw.bin"), "\r\n\x01");
}

// Every byte typed reaches the device as it is: Ctrl-Z although the Linux
// console's description calls it the suspend key, a NUL (Ctrl-Space), alpha
// as its code page 437 byte; a sequence nobody sends is not sent at all.
TEST_F(TerminalScenario, SendsEveryByteTypedUnderTheLinuxConsole) {
    WriteSetup(0, 1);
    t.SetTerm("linux");
    t.Start({"UT"});
    ASSERT_TRUE(t.WaitFor("Or type ctrl-T then Q to exit")) << t.ScreenText();
    t.Tmux({"send-keys", "-t", "kova", "-H", "1a", "00", "ce", "b1", "1b", "5b", "39", "39", "7e",
            "7a"});
    EXPECT_EQ(PeerRead(4), std::string("\x1a\0\xe0z", 4));
    t.Tmux({"send-keys", "-t", "kova", "-H", "14", "71"});  // Ctrl-T q
    ASSERT_TRUE(t.WaitFor("CONFIGURATION AND EMULATION SOFTWARE")) << t.ScreenText();
}

// The serial terminal on a 24-line VT or the Linux console: keys reach the
// far end, what it sends scrolls on the last line, and Ctrl-T Q leaves.
// The terminal has its 24 lines before the program starts: a resize that
// came while the program was setting up its screen could go unseen.
class TerminalOn : public TerminalScenario, public testing::WithParamInterface<const char*> {
  protected:
    TerminalOn() : TerminalScenario(24) {}
};

TEST_P(TerminalOn, TwentyFourLinesScrollAndCtrlTLeaves) {
    WriteSetup(0, 1);
    t.SetTerm(GetParam());
    t.Start({"UT"});
    ASSERT_TRUE(t.WaitFor("Or type ctrl-T then Q to exit")) << t.ScreenText();
    t.Type("k");
    EXPECT_EQ(PeerRead(1), "k");
    std::string lines;
    for (int i = 1; i <= 30; ++i) lines += "line " + std::to_string(i) + "\r\n";
    PeerWrite(lines);
    // "line 30" shows on the last row before its line end scrolls it up one.
    EXPECT_TRUE(t.WaitForRow(23, "line 30")) << t.ScreenText();
    EXPECT_EQ(t.Screen().size(), 24u);
    t.Tmux({"send-keys", "-t", "kova", "-H", "14", "71"});  // Ctrl-T q
    ASSERT_TRUE(t.WaitFor("CONFIGURATION AND EMULATION SOFTWARE")) << t.ScreenText();
}

INSTANTIATE_TEST_SUITE_P(Terms, TerminalOn, testing::Values("linux", "vt100", "vt220"));

// The port vanishes and a device comes back under its name: the terminal
// opens it again by itself, keys still reach the far end, and the capture
// that was open holds what came before and after.
TEST_F(TerminalScenario, OpensAReturningPortAgainAndKeepsItsCapture) {
    WriteSetup(0, 1);
    t.Start({"UT"});
    ASSERT_TRUE(t.WaitFor("NOTE: The terminal emulator is using ttyS1")) << t.ScreenText();
    t.SendKeys("F7");
    ASSERT_TRUE(t.WaitFor("Capture to file?"));
    t.Type("cap.txt");
    t.SendKeys("Enter");
    ASSERT_TRUE(t.WaitFor("Type F8 to end capture.")) << t.ScreenText();
    PeerWrite("before");
    ASSERT_TRUE(t.WaitFor("before")) << t.ScreenText();

    UnplugPeer();
    ASSERT_TRUE(t.WaitFor("Lost port: \"ttyS1\".")) << t.ScreenText();
    PlugPeer();
    ASSERT_TRUE(t.WaitFor("Port \"ttyS1\" is back.")) << t.ScreenText();
    PeerWrite("after");
    ASSERT_TRUE(t.WaitFor("after")) << t.ScreenText();
    t.Type("k");
    EXPECT_EQ(PeerRead(1), "k");
    t.SendKeys("F8");
    ASSERT_TRUE(t.WaitFor("Capture file: \"cap.txt\" closed.")) << t.ScreenText();
    std::string capture = CaptureFile("cap.txt");
    EXPECT_NE(capture.find("before"), std::string::npos) << capture;
    EXPECT_NE(capture.find("after"), std::string::npos) << capture;
}

// F6 puts the time of day on every received line, on the screen and in the
// capture; F6 again takes it away.
TEST_F(TerminalScenario, TimestampsReceivedLinesOnScreenAndInTheCapture) {
    WriteSetup(0, 1);
    t.Start({"UT"});
    ASSERT_TRUE(t.WaitFor("NOTE: The terminal emulator is using ttyS1")) << t.ScreenText();
    t.SendKeys("F7");
    ASSERT_TRUE(t.WaitFor("Capture to file?"));
    t.Type("stamped.txt");
    t.SendKeys("Enter");
    t.SendKeys("F6");
    ASSERT_TRUE(t.WaitFor("TIMESTAMPS ON")) << t.ScreenText();
    PeerWrite("w=12\r\nw=13\r\n");
    ASSERT_TRUE(t.WaitFor("] w=13<0D><0A>")) << t.ScreenText();
    t.SendKeys("F6");
    ASSERT_TRUE(t.WaitFor("TIMESTAMPS OFF")) << t.ScreenText();
    PeerWrite("plain\r\n");
    ASSERT_TRUE(t.WaitFor("plain<0D><0A>")) << t.ScreenText();
    t.SendKeys("F8");
    ASSERT_TRUE(t.WaitFor("closed.")) << t.ScreenText();

    const std::regex stamped(R"(\[\d\d:\d\d:\d\d\.\d\d\d\] w=1[23]<0D><0A>)");
    std::string screen = t.ScreenText(), capture = CaptureFile("stamped.txt");
    for (const std::string& text : {screen, capture}) {
        auto lines = std::distance(std::sregex_iterator(text.begin(), text.end(), stamped),
                                   std::sregex_iterator());
        EXPECT_EQ(lines, 2) << text;
        EXPECT_NE(text.find("\nplain<0D><0A>"), std::string::npos) << text;
    }
}

// Shift-F7 captures what came exactly as it came: every byte value, none
// added (the screen shows them as codes and breaks lines).
TEST_F(TerminalScenario, RawCaptureKeepsEveryByteAsItCame) {
    WriteSetup(0, 1);
    t.SetTerm("tmux-256color");  // a terminal that reports Shift-F7
    t.Start({"UT"});
    ASSERT_TRUE(t.WaitFor("NOTE: The terminal emulator is using ttyS1")) << t.ScreenText();
    t.SendKeys("S-F7");
    ASSERT_TRUE(t.WaitFor("Raw capture to file?")) << t.ScreenText();
    t.Type("raw.bin");
    t.SendKeys("Enter");
    ASSERT_TRUE(t.WaitFor("Copying received bytes to: \"raw.bin\"")) << t.ScreenText();
    std::string all;
    for (int b = 0; b < 256; ++b) all += char(b);
    PeerWrite(all + all);
    ASSERT_TRUE(t.WaitFor("<FF>")) << t.ScreenText();
    t.SendKeys("F8");
    ASSERT_TRUE(t.WaitFor("Capture file: \"raw.bin\" closed.")) << t.ScreenText();
    EXPECT_EQ(CaptureFile("raw.bin"), all + all);
}

}  // namespace
