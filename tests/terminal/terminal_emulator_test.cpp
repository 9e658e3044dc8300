// The terminal on the in-memory console with pty ports: what the far end
// sends shows on screen and in the capture file, what is typed reaches the
// far end byte for byte, and the link, a busy port and a vanished far end.
#include "terminal/terminal_emulator.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <memory>

#include "common/file_contents.h"
#include "common/wait_until.h"
#include "forms/connect_link.h"
#include "forms/fresh_link.h"
#include "forms/pty_ports.h"
#include "link/link_state.h"
#include "link/serial_port.h"
#include "setup/link_setup.h"
#include "setup/setup_in_force.h"
#include "terminal/sio_port.h"
#include "ui/console/keys.h"
#include "ui/toolkit_fixture.h"

namespace fs = std::filesystem;

namespace {

using Step = std::function<bool()>;  // true when done; the next step follows

class Terminal : public ToolkitTest {
  protected:
    SetupInForce settings;  // the settings in force, as the shell holds them
    LinkSetup& CurrentSetup = settings.CurrentSetup;
    std::string& StartupSetupName = settings.StartupSetupName;
    void SetUp() override {
        ToolkitTest::SetUp();
        link0 = ports.Add("ttyS0");
        peer = ports.Add("ttyS1");
        ports.Use(settings);
        dir = ports.Root() + "/work";
        fs::create_directories(dir);
        StartupSetupName = dir + "/KOVASW.STP";
        CurrentSetup = DefaultSetupFor("KOVASW.STP");
        CurrentSetup.ConnectionType = LinkTypeSyMax;
        CurrentSetup.LinkPort = 0;
        CurrentSetup.TerminalPort = 1;
        previous = fs::current_path();
        fs::current_path(dir);
    }
    void TearDown() override {
        fs::current_path(previous);
        link.reset();
        ToolkitTest::TearDown();
    }

    // The keys are typed as the steps say, each once the one before is done;
    // the console runs the steps whenever the terminal waits with nothing to do.
    void Run(std::vector<Step> steps) {
        auto next = std::make_shared<size_t>(0);
        console.whenIdle = [steps, next] {
            while (*next < steps.size() && steps[*next]()) ++*next;
        };
        try {
            TerminalEmulator(settings, link);
        } catch (const con::OutOfKeys&) {
            ADD_FAILURE() << "stalled at step " << *next << " with the screen\n" << Screen();
        }
        console.whenIdle = nullptr;
        EXPECT_EQ(*next, steps.size()) << "the terminal ended before its script";
    }
    Step Peer(const std::string& bytes) {
        return [this, bytes] {
            EXPECT_EQ(write(peer, bytes.data(), bytes.size()), ssize_t(bytes.size()));
            return true;
        };
    }
    Step Keys(const std::string& keys) {
        return [this, keys] {
            console.Type(keys);
            return true;
        };
    }
    Step Key(uint8_t scan) {
        return [this, scan] {
            console.TypeExtended(scan);
            return true;
        };
    }
    Step Shows(const std::string& text) {
        return [this, text] { return Screen().find(text) != std::string::npos; };
    }
    Step PeerGets(const std::string& bytes) {
        return [this, bytes] {
            got += ReadPeer();
            return got.size() >= bytes.size();
        };
    }
    std::string ReadPeer() {
        std::string out;
        char buffer[256];
        for (;;) {
            pollfd p{peer, POLLIN, 0};
            if (poll(&p, 1, 0) <= 0) return out;
            ssize_t n = read(peer, buffer, sizeof buffer);
            if (n <= 0) return out;
            out.append(buffer, size_t(n));
        }
    }
    // The console's rows, each cut after its last non-blank, joined by newlines.
    std::string Screen() {
        std::string text;
        for (int r = 0; r < con::kRows; ++r) {
            std::string row = console.Row(r);
            row.erase(row.find_last_not_of(' ') + 1);
            text += row + "\n";
        }
        return text;
    }
    // Whether the console was ever given this text, by the toolkit or as teletype.
    bool Wrote(const std::string& text) {
        for (const auto& call : console.calls)
            if ((call.kind == con::ConsoleCall::Write || call.kind == con::ConsoleCall::Teletype) &&
                call.text.find(text) != std::string::npos)
                return true;
        return false;
    }

    PtyPorts ports;
    int link0 = -1, peer = -1;
    std::string dir;
    fs::path previous;
    LinkHandle link;
    std::string got;  // what the far end has received
};

constexpr uint8_t kCtrlEnd = key::scan::CtrlEnd;
constexpr uint8_t kF1 = 0x3B, kF5 = 0x3F, kF7 = 0x41, kF8 = 0x42, kInsert = key::scan::Insert;

TEST_F(Terminal, ShowsTheHelpAndWhatArrives) {
    Run({Peer("AB\r\n"), Shows("AB<0D><0A>"), Peer("\r"), Shows("<0D>\n"), Peer("\rX\x01"),
         Shows("<01>"), Key(kCtrlEnd)});
    EXPECT_EQ(Screen().substr(0, Screen().find("\n\n\n")),
              "NOTE: The terminal emulator is using ttyS1\n"
              "Type contrl-End to exit terminal.  Type F7 to begin capture to a file.\n"
              "Type F9 to change terminal communication setup.\n"
              "Type F5 to toggle hex-only output.\n"
              "To send hex sequence, type INSERT key, enter hex codes, type ENTER.\n"
              "Type F6 to toggle timestamps.  Type shift-F7 to capture the raw bytes.\n"
              "Or type ctrl-T then Q to exit, R raw capture, T timestamps, ? the other keys.\n"
              "AB<0D><0A>\n"
              "<0D>\n"
              "<0D>\n"
              "X<01>");
}

TEST_F(Terminal, SendsKeysAndHexSequencesByteForByte) {
    Run({Key(kF1), Key(key::scan::Up), Key(key::scan::Down), Keys("a\x03"), PeerGets("\x1BOPa\x03"),
         Key(kInsert), Keys("1B 5B 41\r"), Shows("Enter hex codes to send: 1B 5B 41\n"),
         Key(kInsert), Keys("41  42\r"), Key(kInsert), Keys("0g\r"),
         Shows("Invalid character in hex sequence: 67"), Key(kInsert), Keys("4x\b1\r"),
         Key(kCtrlEnd)});
    const std::string sent("\x1BOPa\x03\x1B\x5B\x41\x41\x00\x42\x41", 12);
    EXPECT_TRUE(WaitUntil(PeerGets(sent)));
    EXPECT_EQ(got, sent);
}

// Ctrl-T and a letter do what the function keys and Ctrl-End do, on terminals
// that do not send those; Ctrl-T twice sends one Ctrl-T, an unknown letter
// nothing, and the letter after the prefix is never sent.
TEST_F(Terminal, CtrlTAndALetterReachEveryAction) {
    const std::string prefix = "\x14";
    Run({Keys(prefix + "?"),
         Shows("Ctrl-T then: Q or X exit, C capture"),
         Keys(prefix + "h"),
         Shows("HEX ON"),
         Keys(prefix + "H"),
         Shows("HEX OFF"),
         Keys(prefix + "t"),
         Shows("TIMESTAMPS ON"),
         Keys(prefix + "T"),
         Shows("TIMESTAMPS OFF"),
         Keys(prefix + "rraw.bin\r"),
         Shows("Copying received bytes to: \"raw.bin\"."),
         Peer("\x01\x02"),
         [&] { return ReadFile("raw.bin") == "\x01\x02"; },
         Keys(prefix + "e"),
         Shows("Capture file: \"raw.bin\" closed."),
         Keys(prefix + "cshown.txt\r"),
         Shows("Copying output to: \"shown.txt\""),
         Keys(prefix + "E"),
         Shows("Capture file: \"shown.txt\" closed."),
         Keys(prefix + prefix + "a" + prefix + "zb"),
         Keys(prefix + "i41\r"),
         PeerGets(prefix + "abA"),
         Keys(prefix + "q")});
    EXPECT_EQ(got, prefix + "abA");
}

// Ctrl-T and a digit are that function key, for terminals without it; a NUL
// typed (the keyboard's NUL key) is sent as one.
TEST_F(Terminal, CtrlTAndADigitIsThatFunctionKeyAndANulIsSent) {
    const std::string prefix = "\x14";
    const std::string sent("\x1BOP\0z", 5);
    Run({Keys(prefix + "1"), Keys(prefix + "5"), Shows("HEX ON"), Key(key::scan::Nul), Keys("z"),
         PeerGets(sent), Keys(prefix + "q")});
    EXPECT_EQ(got, sent);
}

TEST_F(Terminal, CtrlTXLeavesAndTheSharedLinkComesBack) {
    CurrentSetup.TerminalPort = 0;
    link = ConnectFresh(settings);
    ASSERT_NE(link, nullptr);
    peer = link0;
    Run({Peer("hi"), Shows("hi"), Keys("\x14X")});
    ASSERT_NE(link, nullptr);
    EXPECT_EQ(fs::path(link->port->device.path).filename(), "ttyS0");
}

TEST_F(Terminal, HexOnlyFillsALineWithTwentySixCodes) {
    Run({Key(kF5), Shows("HEX ON"), Peer(std::string(27, 'A')), Shows(" 41\n 41"), Key(kF5),
         Shows("HEX OFF"), Key(kCtrlEnd)});
    std::string line;
    for (int i = 0; i < 26; ++i) line += " 41";
    EXPECT_NE(Screen().find("\n" + line + "\n 41\n"), std::string::npos) << Screen();
}

TEST_F(Terminal, CaptureHoldsWhatWasShownAndIsWrittenAtEveryPause) {
    const std::string shown = "AB<0D><0A>\r\n<01>x<0D>\r\n";
    // A prompt reads its line at once, so its keys come with the key that asks.
    Run({Key(kF7), Keys("cap.txt\r"),
         Shows("Capture to file? cap.txt\nCopying output to: \"cap.txt\". Type F8 to end capture."),
         Peer("AB\r\n\x01x\r"), Shows("<01>x<0D>\n"), [&] { return ReadFile("cap.txt") == shown; },
         Key(kF8), Shows("Capture file: \"cap.txt\" closed."), Key(kF8),
         Shows("Capture file not open. Type F7 to begin capture."), Key(kF7), Keys("\r"),
         Shows("Capture to file (CR=\"cap.txt\")?\nCopying"), Key(kF7),
         Shows("Capture file: \"cap.txt\" already open. Type F8 to close."), Key(kCtrlEnd)});
    EXPECT_EQ(ReadFile("cap.txt"), "");  // opened again, and nothing came since
}

TEST_F(Terminal, AnEmptyCaptureNameCannotBeOpened) {
    Run({Key(kF7), Keys("\r"), Shows("Unable to open file: \"\" for write."), Key(kF7),
         Keys("x\x1B"), Shows("Capture to file? x\n"), Key(kCtrlEnd)});
}

TEST_F(Terminal, SharingTheLinksPortClosesTheLinkAndConnectsItAgain) {
    CurrentSetup.TerminalPort = 0;
    link = ConnectFresh(settings);
    ASSERT_NE(link, nullptr);
    peer = link0;
    console.ClearCalls();
    Run({Peer("hi"), Shows("hi"), Key(kCtrlEnd)});
    EXPECT_TRUE(Wrote("Type contrl-End to exit terminal."));
    EXPECT_FALSE(Wrote("NOTE"));
    ASSERT_NE(link, nullptr);
    EXPECT_EQ(fs::path(link->port->device.path).filename(), "ttyS0");
    EXPECT_TRUE(Wrote("ATTEMPTING TO CONNECT"));
}

TEST_F(Terminal, ALinkOnAnotherPortStaysOpen) {
    link = ConnectFresh(settings);
    ASSERT_NE(link, nullptr);
    Link* before = link.get();
    Run({Key(kCtrlEnd)});
    EXPECT_EQ(link.get(), before);
}

TEST_F(Terminal, ABusyPortIsRefusedWithItsHolderNamed) {
    nt_sio::SioPort holder;
    ASSERT_EQ(nt_sio::SioOpen(ports.Root() + "/dev/ttyS1", 3, &holder), nt_sio::SioOk);
    console.TypeExtended(key::scan::F10);
    TerminalEmulator(settings, link);
    nt_sio::SioClose(&holder);
    EXPECT_TRUE(Wrote("Can't open port: \"ttyS1\".  Status = 147."));
    EXPECT_TRUE(Wrote("is busy"));
    if (access("/run/lock", W_OK) == 0) {
        EXPECT_TRUE(Wrote("held by process " + std::to_string(getpid())));
    }
    EXPECT_FALSE(Wrote("Type contrl-End"));  // the terminal never started
}

TEST_F(Terminal, AFarEndThatGoesAwayIsReportedOnce) {
    // A port of its own whose far end the test can close.
    int master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    ASSERT_GE(master, 0);
    ASSERT_EQ(grantpt(master) | unlockpt(master), 0);
    ports.AddName("ttyS2", ptsname(master));
    ports.Use(settings);
    CurrentSetup.TerminalPort = 2;
    peer = master;
    Run({Peer("up"), Shows("up"),
         [&] {
             close(master);
             return true;
         },
         Shows("Lost port: \"ttyS2\". Type contrl-End or ctrl-T Q to exit terminal."),
         Keys("more keys"), Key(kCtrlEnd)});
    std::string screen = Screen();
    EXPECT_EQ(screen.find("Lost port"), screen.rfind("Lost port"));
}

}  // namespace
