// The terminal console on a real pseudo-terminal: what the keys a terminal
// sends become, as PC keyboard bytes.
#include "ui/console/ncurses_console.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr int kEndMarker = '~';

// A child process runs the console on the slave end of a pty and reports
// every key byte it reads through a pipe.
class ConsoleOnPty : public testing::Test {
  protected:
    virtual const char* Term() const { return "xterm"; }
    void SetUp() override {
        int report[2];
        ASSERT_EQ(pipe(report), 0);
        winsize size{25, 80, 0, 0};
        pid_ = forkpty(&master_, nullptr, nullptr, &size);
        ASSERT_GE(pid_, 0);
        if (pid_ == 0) {
            close(report[0]);
            setenv("TERM", Term(), 1);
            setenv("LC_ALL", "C.UTF-8", 1);
            con::NcursesConsole console;
            console.Start();
            console.Flush();
            for (;;) {
                int b = console.ReadKeyByte(3000);
                unsigned char byte = b < 0 ? 0xFF : uint8_t(b);
                if (write(report[1], &byte, 1) != 1 || b < 0 || b == kEndMarker) break;
            }
            console.Stop();
            _exit(0);
        }
        close(report[1]);
        report_ = report[0];
        WaitForOutput();  // the console has taken the terminal
    }
    void TearDown() override {
        if (pid_ > 0) {
            Send("~");
            Drain(200);
            int status;
            waitpid(pid_, &status, 0);
        }
        close(master_);
        close(report_);
    }
    void Send(const std::string& bytes) {
        ASSERT_EQ(write(master_, bytes.data(), bytes.size()), ssize_t(bytes.size()));
    }
    void WaitForOutput() {
        pollfd p{master_, POLLIN, 0};
        ASSERT_EQ(poll(&p, 1, 3000), 1);
        Drain(50);
    }
    void Drain(int ms) {
        char buffer[4096];
        pollfd p{master_, POLLIN, 0};
        while (poll(&p, 1, ms) == 1 && read(master_, buffer, sizeof buffer) > 0) {
        }
    }
    // Reads n reported bytes, with a deadline.
    std::vector<int> Keys(size_t n) {
        std::vector<int> keys;
        pollfd p{report_, POLLIN, 0};
        while (keys.size() < n && poll(&p, 1, 2000) == 1) {
            unsigned char b;
            if (read(report_, &b, 1) != 1) break;
            keys.push_back(b);
            Drain(0);
        }
        return keys;
    }
    pid_t pid_ = -1;
    int master_ = -1, report_ = -1;
};

TEST_F(ConsoleOnPty, TranslatesTerminalKeysToPcKeyboardBytes) {
    struct Case {
        const char* name;
        std::string sent;
        std::vector<int> bytes;
    } cases[] = {
        {"F1", "\x1bOP", {0, 0x3B}},
        {"F10", "\x1b[21~", {0, 0x44}},
        {"F12", "\x1b[24~", {0, 0x86}},
        {"Up", "\x1bOA", {0, 0x48}},
        {"PgDn", "\x1b[6~", {0, 0x51}},
        {"Insert", "\x1b[2~", {0, 0x52}},
        {"Delete", "\x1b[3~", {0, 0x53}},
        {"Ctrl-End", "\x1b[1;5F", {0, 0x75}},
        {"Shift-F7", "\x1b[18;2~", {0, 0x5A}},
        {"Shift-F1", "\x1b[1;2P", {0, 0x54}},
        {"Ctrl-T", "\x14", {0x14}},
        {"Backspace", "\x7f", {8}},
        {"Ctrl-C", "\x03", {3}},
        {"Ctrl-Z", "\x1a", {26}},
        {"Enter", "\r", {13}},
        {"Alt+1",
         "\x1b"
         "1",
         {0, 0x3B}},
        {"Alt+0",
         "\x1b"
         "0",
         {0, 0x44}},
        {"e acute", "\xc3\xa9", {0x82}},
        {"letter", "k", {'k'}},
    };
    for (const auto& c : cases) {
        Send(c.sent);
        EXPECT_EQ(Keys(c.bytes.size()), c.bytes) << c.name;
    }
}

// The Linux text console: its own sequences for the function keys, Shift-F1
// ... Shift-F10 as F11 ... F20, and Ctrl-End indistinguishable from End.
class LinuxConsoleOnPty : public ConsoleOnPty {
  protected:
    const char* Term() const override { return "linux"; }
};

// tmux and GNU screen under TERM=screen, whose description names no shifted
// keys: tmux sends xterm's.
class ScreenOnPty : public ConsoleOnPty {
  protected:
    const char* Term() const override { return "screen"; }
};

TEST_F(LinuxConsoleOnPty, TranslatesTheConsolesOwnKeyCodes) {
    struct Case {
        const char* name;
        std::string sent;
        std::vector<int> bytes;
    } cases[] = {
        {"F1", "\x1b[[A", {0, 0x3B}},
        {"F5", "\x1b[[E", {0, 0x3F}},
        {"F6", "\x1b[17~", {0, 0x40}},
        {"F11 (also Shift-F1)", "\x1b[23~", {0, 0x85}},
        {"Shift-F3", "\x1b[25~", {0, 0x56}},
        {"Shift-F7", "\x1b[31~", {0, 0x5A}},
        {"Shift-F10", "\x1b[34~", {0, 0x5D}},
        {"End, also what Ctrl-End sends", "\x1b[4~", {0, 0x4F}},
        {"Ctrl-T", "\x14", {0x14}},
        {"Esc then q",
         "\x1b"
         "q",
         {27, 'q'}},
    };
    for (const auto& c : cases) {
        Send(c.sent);
        EXPECT_EQ(Keys(c.bytes.size()), c.bytes) << c.name;
    }
}

TEST_F(ScreenOnPty, TakesXtermsShiftedFunctionKeys) {
    Send("\x1b[18;2~");
    EXPECT_EQ(Keys(2), (std::vector<int>{0, 0x5A}));
    Send("\x1bOP");
    EXPECT_EQ(Keys(2), (std::vector<int>{0, 0x3B}));
}

// A key's bytes and the PC keyboard bytes it must become.
struct SentKey {
    const char* name;
    std::string sent;
    std::vector<int> bytes;
};

// Sequences of other terminals than the one TERM names are keys all the
// same; one nobody knows is swallowed whole, never Esc and characters.
TEST_F(ConsoleOnPty, TakesTheSequencesOfEveryTerminalWhateverTermSays) {
    const SentKey cases[] = {
        {"PuTTY End", "\x1b[4~", {0, 0x4F}},
        {"PuTTY Home", "\x1b[1~", {0, 0x47}},
        {"xterm End, normal mode", "\x1b[F", {0, 0x4F}},
        {"xterm Home, normal mode", "\x1b[H", {0, 0x47}},
        {"rxvt End", "\x1b[8~", {0, 0x4F}},
        {"PuTTY F1", "\x1b[11~", {0, 0x3B}},
        {"Linux console F5", "\x1b[[E", {0, 0x3F}},
        {"VT220 Shift-F7", "\x1b[31~", {0, 0x5A}},
        {"VT100 keypad 5", "\x1bOu", {'5'}},
        {"unknown, swallowed", "\x1b[99~x", {'x'}},
        {"unknown with parameters, swallowed", "\x1b[1;7Hy", {'y'}},
        {"unknown SS3, swallowed", "\x1bOZz", {'z'}},
    };
    for (const auto& c : cases) {
        Send(c.sent);
        EXPECT_EQ(Keys(c.bytes.size()), c.bytes) << c.name;
    }
}

// A real VT: TERM=vt100 and vt220, with the keys each sends.
class VtOnPty : public ConsoleOnPty, public testing::WithParamInterface<const char*> {
  protected:
    const char* Term() const override { return GetParam(); }
};

TEST_P(VtOnPty, TakesTheKeysOfBothVts) {
    const SentKey cases[] = {
        {"PF1", "\x1bOP", {0, 0x3B}},
        {"PF4", "\x1bOS", {0, 0x3E}},
        {"Find as Home", "\x1b[1~", {0, 0x47}},
        {"Select as End", "\x1b[4~", {0, 0x4F}},
        {"Prev", "\x1b[5~", {0, 0x49}},
        {"Next", "\x1b[6~", {0, 0x51}},
        {"Insert Here", "\x1b[2~", {0, 0x52}},
        {"Remove", "\x1b[3~", {0, 0x53}},
        {"Up", "\x1bOA", {0, 0x48}},
        {"Left, normal mode", "\x1b[D", {0, 0x4B}},
        {"F10", "\x1b[21~", {0, 0x44}},
        {"a PC's PgDn under a VT", "\x1b[6~", {0, 0x51}},
    };
    for (const auto& c : cases) {
        Send(c.sent);
        EXPECT_EQ(Keys(c.bytes.size()), c.bytes) << GetParam() << ": " << c.name;
    }
}

// A VT sends its accented letters as single Latin-1 bytes, whatever the
// computer's locale says; a terminal under that name that sends UTF-8 is
// read as UTF-8. Either way the letter is its code page 437 byte, and no
// byte is lost.
TEST_P(VtOnPty, ALatin1ByteIsTheLetterItStandsFor) {
    Send("\xe9K");
    EXPECT_EQ(Keys(2), (std::vector<int>{0x82, 'K'})) << GetParam();
    Send("\xc3\xa9K");
    EXPECT_EQ(Keys(2), (std::vector<int>{0x82, 'K'})) << GetParam();
    Send("\xb5\xe9");
    EXPECT_EQ(Keys(2), (std::vector<int>{0xE6, 0x82})) << GetParam();
}

INSTANTIATE_TEST_SUITE_P(Vts, VtOnPty, testing::Values("vt100", "vt220"));

// Ctrl-Z is the Linux console's suspend key in its description: it must
// still arrive as the byte it is.
TEST_F(LinuxConsoleOnPty, CtrlZIsAByte) {
    Send("\x1a");
    EXPECT_EQ(Keys(1), std::vector<int>{26});
}

// A NUL typed is the PC's NUL key (0, 3), not a lead byte waiting for a scan
// code; alpha is its code page 437 byte 0xE0 and nothing more.
TEST_F(ConsoleOnPty, NulAndAlphaAreCharacters) {
    Send(std::string("\0", 1) + "K");
    EXPECT_EQ(Keys(3), (std::vector<int>{0, 0x03, 'K'}));
    Send("\xce\xb1K");
    EXPECT_EQ(Keys(2), (std::vector<int>{0xE0, 'K'}));
}

TEST_F(ConsoleOnPty, ALoneEscIsAKeyOfItsOwn) {
    Send("\x1b");
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Keys(1), std::vector<int>{27});
    // Generous bound: the point is that it does not wait for another key.
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1000));
    Send("x");
    EXPECT_EQ(Keys(1), std::vector<int>{'x'});
}

}  // namespace
