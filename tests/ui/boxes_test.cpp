// The confirm box and the error window.
#include "ui/boxes.h"

#include <vector>

#include "toolkit_fixture.h"
#include "ui/console/keys.h"
#include "ui/screen_hooks.h"

namespace {

class BoxesTest : public ToolkitTest {
  protected:
    void TearDown() override {
        SetScreenHooks({});
        ToolkitTest::TearDown();
    }
};

TEST_F(BoxesTest, ConfirmTakesEnterAsYesEscAsNoAndBeepsOtherwise) {
    struct Case {
        std::string keys;
        int answer, beeps;
    } cases[] = {{"y", 1, 0}, {"S", 1, 0},    {"\r", 1, 0},
                 {"n", 0, 0}, {"\x1b", 0, 0}, {"7x\r", 1, 2}};
    for (const auto& c : cases) {
        console.beeps = 0;
        console.Type(c.keys);
        EXPECT_EQ(ConfirmBox("Really?"), c.answer) << c.keys;
        EXPECT_EQ(console.beeps, c.beeps) << c.keys;
    }
}

TEST_F(BoxesTest, ConfirmShowsItsQuestionAtTheLowerLeftAndCleansUp) {
    console.Type("\x1b");
    PutText("under", 23, 1, 0, ' ', 0);
    std::string before = console.Row(22);
    // Read the box while it waits: a hot key sees the screen at that moment.
    static std::string seen[3];
    static con::MemoryConsole* active;
    active = &console;
    AddHotKey('z', [](int, int) {
        for (int r = 0; r < 3; ++r) seen[r] = active->Row(21 + r).substr(0, 14);
        return 0;
    });
    console.keys.push_front('z');
    ConfirmBox("Sure?");
    // From column 1 to the question's length + 5; the title starts right after the corner.
    EXPECT_EQ(seen[0],
              "\xC9"
              "CONFIRM\xCD\xBB    ");
    EXPECT_EQ(seen[1], "\xBA  Sure? \xBA    ");
    EXPECT_EQ(console.Row(22), before);
}

TEST_F(BoxesTest, ErrorWindowSitsAtTheLowerRightAndWaitsForF10OrEsc) {
    static std::string row;
    static int left;
    static con::MemoryConsole* active;
    active = &console;
    AddHotKey('z', [](int, int) {
        row = active->Row(22);
        left = int(active->Row(21).find('\xC9'));
        return 0;
    });
    console.Type("z");
    console.Type("ab");
    console.TypeExtended(key::scan::F10);
    EXPECT_EQ(ShowError("0123456789"), 1);
    EXPECT_EQ(left, 64);  // column 65
    EXPECT_EQ(row.substr(66, 10), "0123456789");
    EXPECT_EQ(console.beeps, 3);  // before each read: a, b, F10 (z is taken by its hot key)
    console.Type("\x1b");
    EXPECT_EQ(ShowError("x"), 0);
}

// The window of a failure that may end by itself asks at each pause and
// closes when it has ended; F10 and Esc answer as in the plain window.
TEST_F(BoxesTest, AnErrorWindowThatEndsByItselfClosesWhenTheFailureIsOver) {
    struct Case {
        std::vector<int> keys;  // -1: a pause
        int answer, asked;
    } kCases[] = {
        {{-1, -1, -1}, 2, 3},
        {{'a', -1, 0, key::scan::F10}, 1, 1},
        {{-1, 0x1b}, 0, 1},
    };
    for (const Case& c : kCases) {
        int asked = 0;
        console.keys.assign(c.keys.begin(), c.keys.end());
        PutText("under", 23, 70, 0, ' ', 0);
        const std::string before = console.Row(22);
        EXPECT_EQ(ShowErrorUntil("gone", 1000, [&] { return ++asked == 3; }), c.answer);
        EXPECT_EQ(asked, c.asked);
        EXPECT_EQ(console.Row(22), before);  // the window is closed
        EXPECT_TRUE(console.keys.empty());
    }
}

TEST_F(BoxesTest, ALongMessageClampsTheWindowToColumnOne) {
    console.Type("\x1b");
    std::string message(76, 'm');
    EXPECT_EQ(ShowError(message.c_str()), 0);
    console.Type("\n");
    EXPECT_EQ(ShowErrorBox("line feed ends the box"), 0);
}

TEST_F(BoxesTest, UntrappedErrorsGoToTheStatusLineWithoutWaiting) {
    SetScreenHooks({.trapErrors = [] { return 1; }});
    EXPECT_EQ(ShowErrorF("Port %d failed", 3), 1);
    EXPECT_EQ(console.Row(24).substr(39, 40), "Port 3 failed" + std::string(27, ' '));
    EXPECT_EQ(console.ColourAt(24, 39), 0x1C);
    // A screen put back behind it does not take the only word of the failure.
    ClearToEndOfScreen(25, 1);
    RedrawUntrappedError();
    EXPECT_EQ(console.Row(24).substr(39, 13), "Port 3 failed");
    ClearToEndOfScreen(25, 1);
    RedrawUntrappedError();  // once only
    EXPECT_EQ(console.Row(24).substr(39, 13), std::string(13, ' '));
}

}  // namespace
