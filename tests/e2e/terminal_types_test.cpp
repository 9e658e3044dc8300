// The whole program on the terminals a plant has: a 24-line VT100 or VT220
// (a serial console nobody told its size), a terminal too small to use, the
// Linux console and PuTTY, fed the exact bytes each of them sends.
#include <gtest/gtest.h>

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
        {"F", "Quit offline functions"}, {"E", "from oFfline memory"},
        {"U", "Write setup to EEPROM"},  {"S", "Load from file"},
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

// The emulator's hint line (row 25) shows on the last line; leaving the
// emulator brings row 24 back.
TEST_P(TwentyFourLines, TheHintLineShowsOnTheLastLine) {
    t.Type("EF");
    ASSERT_TRUE(t.WaitFor("Offline port to emulate")) << t.ScreenText();
    t.SendKeys("Enter");
    ASSERT_TRUE(t.WaitForRow(24, "Type input on keyboard. INSERT for hex entry.")) << t.ScreenText();
    EXPECT_EQ(t.Screen().size(), 24u);
    SendBytes(t, GetParam().f10);
    ASSERT_TRUE(t.WaitForGone("INSERT for hex entry.")) << t.ScreenText();
    ASSERT_TRUE(t.WaitFor("Use F10")) << t.ScreenText();
}

INSTANTIATE_TEST_SUITE_P(Terms, TwentyFourLines,
                         testing::Values(Vt{"vt100", {"1b", "4f", "78"}},
                                         Vt{"vt220", {"1b", "5b", "32", "31", "7e"}}),
                         [](const auto& info) { return std::string(info.param.term); });

}  // namespace
