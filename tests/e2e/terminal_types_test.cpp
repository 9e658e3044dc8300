// The whole program on the terminals a plant has: a 24-line VT100 or VT220
// (a serial console nobody told its size), a terminal too small to use, the
// Linux console and PuTTY, fed the exact bytes each of them sends.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tmux_session.h"

namespace {

// Bytes as the terminal sends them, in hexadecimal ("1b 5b 34 7e").
void SendBytes(TmuxSession& t, const std::vector<std::string>& hex) {
    std::vector<std::string> command{"send-keys", "-t", "kova", "-H"};
    command.insert(command.end(), hex.begin(), hex.end());
    t.Tmux(command);
}

// Everything the program writes from now on, as the terminal receives it.
class OutputLog {
  public:
    explicit OutputLog(TmuxSession& t) : t_(t), path_(t.Dir() + "/.output-log") {
        t_.Tmux({"pipe-pane", "-t", "kova", "-o", "cat >> '" + path_ + "'"});
    }
    std::string Bytes() {
        t_.Settle();
        std::ifstream in(path_, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

  private:
    TmuxSession& t_;
    std::string path_;
};

size_t BytesAbove7F(const std::string& bytes) {
    size_t n = 0;
    for (char c : bytes) n += static_cast<unsigned char>(c) > 0x7F;
    return n;
}

// Whether text goes out in the line-drawing set: the last switch before it
// (smacs or rmacs, the terminal's own) is the one into the set. Colour
// sequences may stand between.
bool SentInLineDrawing(const std::string& bytes, const std::string& text, const std::string& smacs,
                       const std::string& rmacs) {
    const size_t at = bytes.find(text);
    if (at == std::string::npos) return false;
    const size_t in = bytes.rfind(smacs, at);
    const size_t out = bytes.rfind(rmacs, at);
    return in != std::string::npos && (out == std::string::npos || out < in);
}

struct LeaveKey {
    const char* name;
    std::vector<std::string> bytes;
};

class TooSmallTerminal : public testing::TestWithParam<LeaveKey> {};

// The size message is no trap: the key leaves at once and says how to go on.
TEST_P(TooSmallTerminal, TheKeyLeavesAndSaysHowToGoOn) {
    TmuxSession t(60, 20);
    t.Start();
    ASSERT_TRUE(t.WaitFor("at least 80 x 24")) << t.ScreenText();
    ASSERT_TRUE(t.WaitFor("type q to leave")) << t.ScreenText();
    SendBytes(t, GetParam().bytes);
    ASSERT_TRUE(t.WaitForExit()) << t.ScreenText();
    EXPECT_EQ(t.ExitStatus(), 1);
    ASSERT_TRUE(t.WaitFor("LINES=25 kovasw")) << t.ScreenText();
    EXPECT_NE(t.ScreenText().find("stty rows 25"), std::string::npos) << t.ScreenText();
}

INSTANTIATE_TEST_SUITE_P(Keys, TooSmallTerminal,
                         testing::Values(LeaveKey{"q", {"71"}}, LeaveKey{"Esc", {"1b"}},
                                         LeaveKey{"CtrlC", {"03"}}),
                         [](const auto& info) { return std::string(info.param.name); });

// Other keys wait for the terminal to grow, as before.
TEST(TooSmallTerminalWaits, OtherKeysAreDropped) {
    TmuxSession t(80, 23);
    t.Start();
    ASSERT_TRUE(t.WaitFor("(this one is 80 x 23)")) << t.ScreenText();
    t.Type("x");
    t.Resize(80, 24);
    ASSERT_TRUE(t.WaitFor("Use F10")) << t.ScreenText();
    EXPECT_EQ(t.ExitStatus(), -1);
}

// A VT and the bytes of its F10 key.
struct Vt {
    const char* term;
    std::vector<std::string> f10;
};

class TwentyFourLines : public testing::TestWithParam<Vt> {
  protected:
    void SetUp() override {
        t.SetTerm(GetParam().term);
        t.Start();
        ASSERT_TRUE(t.WaitFor("Use F10")) << t.ScreenText();
    }
    TmuxSession t{80, 24};
};

// Every title of the main menu opens its menu and Esc closes it again.
TEST_P(TwentyFourLines, EveryMainMenuFunctionOpensAndCloses) {
    struct Case {
        const char* letter;
        const char* item;
    } cases[] = {
        {"F", "Quit offline functions"},
        {"E", "from oFfline memory"},
        {"U", "Write setup to EEPROM"},
        {"S", "Load from file"},
    };
    for (const Case& c : cases) {
        t.Type(c.letter);
        ASSERT_TRUE(t.WaitFor(c.item)) << c.letter << "\n" << t.ScreenText();
        SendBytes(t, {"1b"});
        ASSERT_TRUE(t.WaitForGone(c.item)) << c.letter << "\n" << t.ScreenText();
    }
    t.Type("Q");
    ASSERT_TRUE(t.WaitForExit()) << t.ScreenText();
    EXPECT_EQ(t.ExitStatus(), 0);
}

// The emulator's hint line (row 25) shows on the last line, and its last
// register row above it: the banner row makes room.
TEST_P(TwentyFourLines, TheHintLineShowsOnTheLastLine) {
    t.Type("EF");
    ASSERT_TRUE(t.WaitFor("Offline port to emulate")) << t.ScreenText();
    t.SendKeys("Enter");
    ASSERT_TRUE(t.WaitForRow(24, "Type input on keyboard. INSERT for hex entry."))
        << t.ScreenText();
    EXPECT_EQ(t.Screen().size(), 24u);
    EXPECT_EQ(t.Row(23).substr(0, 6), "    68") << t.ScreenText();
    EXPECT_EQ(t.Row(1).find("Offline port to emulate"), 0u) << t.ScreenText();
    SendBytes(t, GetParam().f10);
    ASSERT_TRUE(t.WaitForGone("INSERT for hex entry.")) << t.ScreenText();
    ASSERT_TRUE(t.WaitFor("Use F10")) << t.ScreenText();
}

// The port editor's fields on row 24 stay in sight with its hint line.
TEST_P(TwentyFourLines, ThePortEditorShowsItsLastTwoRows) {
    t.Type("FE");
    ASSERT_TRUE(t.WaitFor("Press Esc to return to menu.")) << t.ScreenText();
    EXPECT_EQ(t.Row(23).find("X Print/Prog baud rate"), 0u) << t.ScreenText();
    EXPECT_EQ(t.Row(24).find("Press Esc to return to menu."), 0u) << t.ScreenText();
    SendBytes(t, {"1b"});
    ASSERT_TRUE(t.WaitFor("Use F10")) << t.ScreenText();
}

INSTANTIATE_TEST_SUITE_P(Terms, TwentyFourLines,
                         testing::Values(Vt{"vt100", {"1b", "4f", "78"}},
                                         Vt{"vt220", {"1b", "5b", "32", "31", "7e"}}),
                         [](const auto& info) { return std::string(info.param.term); });

// Frames go out in the terminal's line-drawing set when it cannot take UTF-8,
// whatever the locale; where it can they stay UTF-8.
struct FrameCase {
    const char* term;
    const char* locale;
    const char* smacs;  // the terminal's switch into its line-drawing set; none for UTF-8
    const char* rmacs;
};

class Frames : public testing::TestWithParam<FrameCase> {};

TEST_P(Frames, ReachTheTerminalAsItCanShowThem) {
    const FrameCase& c = GetParam();
    TmuxSession t(80, 24);
    t.SetTerm(c.term);
    t.SetLocale(c.locale);
    t.Start();
    ASSERT_TRUE(t.WaitFor("Use F10")) << t.ScreenText();
    OutputLog log(t);
    t.Type("F");
    ASSERT_TRUE(t.WaitFor("Quit offline functions")) << t.ScreenText();
    const std::string bytes = log.Bytes();
    if (*c.smacs) {
        EXPECT_TRUE(SentInLineDrawing(bytes, "lqqqq", c.smacs, c.rmacs)) << bytes;
        EXPECT_EQ(BytesAbove7F(bytes), 0u) << bytes;
    } else {
        EXPECT_NE(bytes.find("\u2554\u2550\u2550"), std::string::npos) << bytes;
    }
}

INSTANTIATE_TEST_SUITE_P(Terms, Frames,
                         testing::Values(FrameCase{"vt220", "C.UTF-8", "\x1b(0", "\x1b(B"},
                                         FrameCase{"vt100", "C.UTF-8", "\x0e", "\x0f"},
                                         FrameCase{"linux", "C", "\x0e", "\x0f"},
                                         FrameCase{"screen", "C.UTF-8", "", ""}),
                         [](const auto& info) {
                             return std::string(info.param.term) + "_" +
                                    (*info.param.locale == 'C' && info.param.locale[1] ? "utf8"
                                                                                       : "c");
                         });

// In the C locale an empty slot of the emulator is the terminal's bullet, a
// received control character its diamond: neither can be typed.
TEST(Markers, EmptySlotsAndControlCharactersAreNotTypedCharacters) {
    TmuxSession t(80, 25);
    t.SetTerm("linux");
    t.SetLocale("C");
    t.Start({"EF"});
    ASSERT_TRUE(t.WaitFor("Offline port to emulate")) << t.ScreenText();
    t.SendKeys("Enter");
    ASSERT_TRUE(t.WaitFor("INSERT for hex entry.")) << t.ScreenText();
    OutputLog log(t);
    t.Type("A.");
    SendBytes(t, {"0d"});
    ASSERT_TRUE(t.WaitFor("Ready for more data")) << t.ScreenText();
    const std::string bytes = log.Bytes();
    // A . typed stays a dot; the CR after it is a diamond, the free slots bullets.
    EXPECT_NE(bytes.find("A."), std::string::npos) << bytes;
    EXPECT_TRUE(SentInLineDrawing(bytes, "`", "\x0e", "\x0f")) << bytes;
    EXPECT_TRUE(SentInLineDrawing(bytes, "~~~~", "\x0e", "\x0f")) << bytes;
    EXPECT_EQ(BytesAbove7F(bytes), 0u);
}

// PuTTY's End and xterm's other End reach the picker as End under
// TERM=xterm-256color, whose description knows neither: the picker stays
// open and no menu opens behind it; Esc still closes it.
TEST(UnknownSequences, DoNotCloseTheFilePicker) {
    TmuxSession t;
    t.SetTerm("xterm-256color");
    t.Start({"F", "R"});
    ASSERT_TRUE(t.WaitFor("LOAD OFFLINE FROM DISK")) << t.ScreenText();
    SendBytes(t, {"1b", "5b", "34", "7e"});        // PuTTY End
    SendBytes(t, {"1b", "5b", "46"});              // ESC [ F
    SendBytes(t, {"1b", "5b", "39", "39", "7e"});  // nobody's
    t.Settle();
    EXPECT_NE(t.ScreenText().find("LOAD OFFLINE FROM DISK"), std::string::npos) << t.ScreenText();
    SendBytes(t, {"1b"});
    ASSERT_TRUE(t.WaitForGone("LOAD OFFLINE FROM DISK")) << t.ScreenText();
    EXPECT_EQ(t.ScreenText().find("Quit offline functions"), std::string::npos) << t.ScreenText();
}

// A terminal without an alternate screen keeps what was drawn last: after
// Quit it is cleared, not left showing the menus.
class QuitOn : public testing::TestWithParam<const char*> {};

TEST_P(QuitOn, LeavesAClearScreen) {
    TmuxSession t(80, 24);
    t.SetTerm(GetParam());
    t.Start();
    ASSERT_TRUE(t.WaitFor("Use F10")) << t.ScreenText();
    t.Type("Q");
    ASSERT_TRUE(t.WaitForExit()) << t.ScreenText();
    t.Settle();
    EXPECT_EQ(t.ScreenText().find("CONFIGURATION AND EMULATION"), std::string::npos)
        << t.ScreenText();
}

INSTANTIATE_TEST_SUITE_P(Terms, QuitOn, testing::Values("vt100", "vt220", "linux"));

}  // namespace
