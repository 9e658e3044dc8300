// The whole program in a terminal: banner, menus, command-line keystrokes,
// quitting, a terminal that is too small, and the terminal given back.
#include <gtest/gtest.h>
#include <signal.h>

#include <filesystem>

#include "link/uucp_lock.h"
#include "tmux_session.h"

namespace {

std::string Trimmed(std::string s) {
    while (!s.empty() && s.back() == ' ') s.pop_back();
    return s;
}

TEST(Shell, DrawsTheBannerAndTheMenuBar) {
    TmuxSession t;
    t.Start();
    ASSERT_TRUE(t.WaitFor("Use F10"));
    auto s = t.Screen();
    EXPECT_EQ(Trimmed(s[0]), std::string(21, ' ') + "K O V A    A S C I I    M O D U L E");
    EXPECT_EQ(Trimmed(s[1]), "Vornakel R&D" + std::string(57, ' ') + "08May2008");
    EXPECT_EQ(Trimmed(s[2]), std::string(21, ' ') + "CONFIGURATION AND EMULATION SOFTWARE");
    EXPECT_EQ(Trimmed(s[3]),
              "oNline        oFfline        Emulate        Utility        Setup        Quit");
    EXPECT_EQ(s[15], "Use arrows or initial capital letter to make menu selections");
    EXPECT_EQ(s[16], "Use Esc to abort functions");
    EXPECT_EQ(s[17], "Use F1 at any time to print the screen");
    EXPECT_EQ(s[18], "Use F10 to clear error window (lower right screen corner)");
    // The control-key ways for terminals without those keys, within 80 columns.
    EXPECT_EQ(s[19],
              "Keys a terminal lacks: Ctrl-T then 1-9, 0 for F1-F10, I Insert, U PgUp, N PgDn,");
    EXPECT_EQ(Trimmed(s[20]),
              "H Home, E End (Home/End also Ctrl-A/Ctrl-G); Ctrl-T twice sends Ctrl-T");
}

// Colours as the terminal shows them: light grey on blue is normal, the bar's
// other titles blue on grey, capitals in yellow.
TEST(Shell, ShowsTheAttributeColours) {
    TmuxSession t;
    t.Start();
    ASSERT_TRUE(t.WaitFor("Use F10"));
    t.Settle();
    auto bar = t.RowCells(4);
    ASSERT_GE(bar.size(), 20u);
    struct Case {
        int col;  // 1-based
        const char* ch;
        int fg, bg;
    } cases[] = {
        {1, "o", 7, 4},    // the selected title: normal
        {2, "N", 11, 4},   // its capital: highlight
        {15, "o", 4, 7},   // another title: reverse
        {16, "F", 11, 7},  // its capital: reverse + highlight
    };
    for (const auto& c : cases) {
        const auto& cell = bar[c.col - 1];
        EXPECT_EQ(cell.ch, c.ch) << c.col;
        EXPECT_EQ(cell.fg, c.fg) << c.col;
        EXPECT_EQ(cell.bg, c.bg) << c.col;
    }
}

// Without colours the same distinctions stay: reverse, bold for highlight.
TEST(Shell, ShowsAttributesOnATerminalWithoutColour) {
    TmuxSession t;
    t.SetTerm("vt100");
    t.Start();
    ASSERT_TRUE(t.WaitFor("Use F10"));
    t.Settle();
    auto bar = t.RowCells(4);
    ASSERT_GE(bar.size(), 20u);
    EXPECT_FALSE(bar[0].reverse);
    EXPECT_TRUE(bar[1].bold);
    EXPECT_TRUE(bar[14].reverse);
    EXPECT_FALSE(bar[14].bold);
    EXPECT_TRUE(bar[15].reverse && bar[15].bold);
}

TEST(Shell, WalksThePullDownsWithTheSideStep) {
    TmuxSession t;
    t.Start();
    ASSERT_TRUE(t.WaitFor("Use F10"));
    t.Type("E");
    ASSERT_TRUE(t.WaitFor("from oFfline memory"));
    t.SendKeys("Right");
    ASSERT_TRUE(t.WaitFor("View registers"));
    EXPECT_EQ(t.ScreenText().find("from oFfline memory"), std::string::npos);
    t.SendKeys("Left");
    ASSERT_TRUE(t.WaitFor("from oFfline memory"));
    t.SendKeys("Left");  // oFfline
    ASSERT_TRUE(t.WaitFor("Delete configuration file"));
    t.SendKeys("Left");  // oNline has no pull-down: the bar stays there
    ASSERT_TRUE(t.WaitForGone("Delete configuration file"));
    EXPECT_EQ(t.Row(5), "");
    t.SendKeys("Escape");  // leaves the bar: it comes back on its first title
    t.Type("S");
    ASSERT_TRUE(t.WaitFor("Load from file"));
    t.SendKeys("Escape");
    ASSERT_TRUE(t.WaitForGone("Load from file"));
    EXPECT_EQ(t.Row(16), "Use arrows or initial capital letter to make menu selections");
}

TEST(Shell, QuitsWithoutAQuestionWhenNothingChanged) {
    TmuxSession t;
    t.Start();
    ASSERT_TRUE(t.WaitFor("Use F10"));
    t.Type("Q");
    ASSERT_TRUE(t.WaitForExit());
    EXPECT_EQ(t.ExitStatus(), 0);
    EXPECT_EQ(t.Tmux({"display-message", "-p", "-t", "kova", "#{alternate_on}"}), "0\n");
}

// Outside a UTF-8 locale frames are drawn in the terminal's line-drawing set,
// whose letters the pane's capture shows (l corner, q bar).
TEST(Shell, DrawsFramesWithLineDrawingOutsideAUtf8Locale) {
    struct Case {
        const char* locale;
        const char* frameTop;
    } cases[] = {{"C.UTF-8", "\u2554\u2550\u2550"}, {"C", "lqq"}};
    for (const auto& c : cases) {
        TmuxSession t;
        t.SetLocale(c.locale);
        t.Start({"F"});
        ASSERT_TRUE(t.WaitFor("Read from disk to memory")) << c.locale;
        EXPECT_EQ(t.Row(5).find(c.frameTop), 13u) << c.locale << ": " << t.Row(5);
    }
}

TEST(Shell, TypesCommandLineArgumentsIntoTheMenus) {
    TmuxSession t;
    // Utility, then Enter on the entry the pull-down offers (the second, after
    // the initial selection 102): the terminal emulator, which Ctrl-End leaves.
    t.Start({"U", "/R"});
    ASSERT_TRUE(t.WaitFor("Type contrl-End to exit terminal."));
    t.SendKeys("C-End");
    ASSERT_TRUE(t.WaitFor("Use F10"));
    t.Settle();
    EXPECT_EQ(t.ScreenText().find("View registers"), std::string::npos);
    t.Type("U");
    ASSERT_TRUE(t.WaitFor("View registers"));
}

// Three full-length arguments of keys the menu bar refuses, then the keys
// that quit: every keystroke must arrive for the last ones to.
TEST(Shell, TypesEveryKeystrokeOfLongArguments) {
    TmuxSession t;
    const std::string refused(131, '#');
    t.Start({refused, refused, refused, "E/Eq"});
    ASSERT_TRUE(t.WaitForExit());
    EXPECT_EQ(t.ExitStatus(), 0);
}

TEST(Shell, QuitsFromTheCommandLine) {
    TmuxSession t;
    t.Start({"E/Eq"});  // Emulate, Esc back to the bar, q quits
    ASSERT_TRUE(t.WaitForExit());
    EXPECT_EQ(t.ExitStatus(), 0);
}

// In a narrow terminal the message is wrapped, not cut.
TEST(Shell, TheTooSmallMessageFitsANarrowTerminal) {
    TmuxSession t(24, 10);
    t.Start();
    ASSERT_TRUE(t.WaitFor("(this one is 24 x 10)."));
    EXPECT_EQ(t.Row(1).find("KOVASW needs a terminal"), 0u) << t.ScreenText();
    EXPECT_EQ(t.Row(2).find("of at least 80 x 24"), 0u) << t.ScreenText();
    EXPECT_EQ(t.Row(3).find("(this one is 24 x 10)."), 0u) << t.ScreenText();
}

// Start-up ignores SIGPIPE, so a pipe whose reader went away is a write error.
TEST(Shell, IgnoresSigpipe) {
    TmuxSession t;
    t.Start();
    ASSERT_TRUE(t.WaitFor("Use F10"));
    std::string status = RunCommand({"cat", "/proc/" + std::to_string(t.ProgramPid()) + "/status"});
    auto at = status.find("SigIgn:");
    ASSERT_NE(at, std::string::npos) << status;
    unsigned long long ignored = std::stoull(status.substr(at + 7), nullptr, 16);
    EXPECT_TRUE(ignored & (1ull << (SIGPIPE - 1))) << status.substr(at, 30);
}

TEST(Shell, WaitsForALargeEnoughTerminal) {
    TmuxSession t(60, 20);
    t.Start();
    ASSERT_TRUE(t.WaitFor("at least 80 x 24"));
    EXPECT_EQ(t.ScreenText().find("Use F10"), std::string::npos);
    t.Resize(80, 24);
    ASSERT_TRUE(t.WaitFor("Use F10"));
    t.Type("F");
    ASSERT_TRUE(t.WaitFor("Quit offline functions"));
}

// The script records the terminal modes before and after the program.
constexpr char kModesScript[] =
    "echo before-run; stty -g > before; $KOVASW; stty -g > after; echo after-run";

class ShellGivesTheTerminalBack : public testing::TestWithParam<int> {};

TEST_P(ShellGivesTheTerminalBack, OnSignal) {
    TmuxSession t;
    t.StartScript(kModesScript);
    ASSERT_TRUE(t.WaitFor("Use F10"));
    EXPECT_EQ(t.Tmux({"display-message", "-p", "-t", "kova", "#{alternate_on}"}), "1\n");
    int pid = t.ProgramPid();
    ASSERT_EQ(kill(pid, GetParam()), 0);
    ASSERT_TRUE(t.WaitFor("after-run"));
    EXPECT_EQ(t.Tmux({"display-message", "-p", "-t", "kova", "#{alternate_on}"}), "0\n");
    EXPECT_EQ(RunCommand({"cat", t.Dir() + "/before"}), RunCommand({"cat", t.Dir() + "/after"}));
}

// The serial port's lock file goes with the program, however it ends.
TEST_P(ShellGivesTheTerminalBack, AndLeavesNoLockFile) {
    TmuxSession t;
    t.Start();
    ASSERT_TRUE(t.WaitFor("Use F10"));
    const std::string lock = UucpLockPath(t.DeviceRoot() + "/dev/ttyS0");
    ASSERT_TRUE(std::filesystem::exists(lock)) << lock;
    ASSERT_EQ(kill(t.ProgramPid(), GetParam()), 0);
    ASSERT_TRUE(t.WaitForExit());
    EXPECT_FALSE(std::filesystem::exists(lock));
}

INSTANTIATE_TEST_SUITE_P(Signals, ShellGivesTheTerminalBack,
                         testing::Values(SIGTERM, SIGHUP, SIGINT, SIGQUIT, SIGABRT));

TEST(Shell, GivesTheTerminalBackOnQuit) {
    TmuxSession t;
    t.StartScript(kModesScript);
    ASSERT_TRUE(t.WaitFor("Use F10"));
    t.Type("Q");
    ASSERT_TRUE(t.WaitFor("after-run"));
    EXPECT_EQ(RunCommand({"cat", t.Dir() + "/before"}), RunCommand({"cat", t.Dir() + "/after"}));
}

TEST(Shell, RefusesATerminalItCannotUse) {
    // Unknown, and known but unable to move the cursor.
    for (const char* term : {"no-such-terminal", "dumb"}) {
        TmuxSession t;
        t.SetTerm(term);
        t.Start();
        ASSERT_TRUE(t.WaitForExit()) << term;
        EXPECT_EQ(t.ExitStatus(), 1) << term;
        EXPECT_TRUE(t.WaitFor("cannot use the terminal type \"" + std::string(term) + "\""))
            << t.ScreenText();
    }
    int status = -1;
    RunCommand({"sh", "-c", BuildDir() + "/kovasw < /dev/null > /dev/null 2>&1"}, &status);
    EXPECT_EQ(status, 1);
}

TEST(Shell, HelpAndVersionPrintWithoutTakingTheScreen) {
    int status = -1;
    std::string help = RunCommand({BuildDir() + "/kovasw", "--help"}, &status);
    EXPECT_EQ(status, 0);
    EXPECT_NE(help.find("Alt+1"), std::string::npos);
    EXPECT_EQ(help.find("\033"), std::string::npos);
    std::string version = RunCommand({BuildDir() + "/kovasw", "--version"}, &status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(version.rfind("kovasw ", 0), 0u);
}

}  // namespace
