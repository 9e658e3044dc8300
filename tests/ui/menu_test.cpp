// The menu engine: bar layout, hot letters, pull-downs and the side step.
#include "ui/menu.h"

#include "toolkit_fixture.h"
#include "ui/console/keys.h"

namespace {

// clang-format off
const char* const kMenu[] = {
    "oNe", nullptr,
    "Two", "Alpha", "Beta", "Gamma", nullptr,
    "thRee", "Xray", "Yankee", nullptr,
    "Four", "A very long entry that reaches far past the edge", nullptr,
    "fiVe", nullptr,
    "Six", "Sierra", "Tango", nullptr,
    nullptr,
};
// clang-format on

class MenuTest : public ToolkitTest {
  protected:
    int Run(const std::string& keys, int initial = 0) {
        for (unsigned char k : keys) {
            // Arrow keys are written as <, >, ^, v in the key strings.
            switch (k) {
                case '<':
                    console.TypeExtended(key::scan::Left);
                    break;
                case '>':
                    console.TypeExtended(key::scan::Right);
                    break;
                case '^':
                    console.TypeExtended(key::scan::Up);
                    break;
                case 'v':
                    console.TypeExtended(key::scan::Down);
                    break;
                default:
                    console.keys.push_back(k);
            }
        }
        return RunMenu(kMenu, 4, initial);
    }
};

TEST_F(MenuTest, ReturnsChoiceCodes) {
    struct Case {
        std::string keys;
        int initial, code;
    } cases[] = {
        {"\r", 0, 100},   // a title without entries returns at once
        {"T\r", 0, 201},  // hot letter opens the pull-down on the initial entry
        {"Tg", 0, 203},   // hot letters in the pull-down, either case
        {">\rvv^\r", 0, 202},
        {"\r\r", 950, 602},   // clamped to the last title and its last entry
        {">\r\r", 201, 301},  // the initial entry is clamped to the pull-down
        {"\x1b", 301, 0},
        {"T\x1b\x1b", 0, 0},  // Esc in a pull-down goes back to the bar
        {"V", 0, 500},
        {"R<\r", 0, 201},  // Left in the pull-down of three opens title two's
        {"T<\r", 0, 100},  // Left onto a title without entries leaves the bar there
        {"R>\r", 0, 401},
        {"F>\r", 0, 500},  // Right onto a title without entries: the bar stays there
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.keys);
        EXPECT_EQ(Run(c.keys, c.initial), c.code);
        EXPECT_TRUE(console.keys.empty());
    }
}

TEST_F(MenuTest, LeftInTheFirstPullDownReopensIt) {
    const char* const table[] = {"Aa", "Bb", nullptr, "Cc", "Dd", nullptr, nullptr};
    console.Type("A");
    console.TypeExtended(key::scan::Left);
    console.Type("\r");
    EXPECT_EQ(RunMenu(table, 4, 0), 101);
}

TEST_F(MenuTest, LaysTheBarOutFromItsTitles) {
    console.Type("\x1b");
    RunMenu(kMenu, 4, 100);
    // (80 - 23 letters) / 5 gaps = 11 columns between titles
    EXPECT_EQ(console.Row(3).substr(0, 32), "oNe           Two           thRe");
    EXPECT_EQ(console.ColourAt(3, 0), 0x17);   // the selected title in normal colours...
    EXPECT_EQ(console.ColourAt(3, 1), 0x1E);   // ...its capital highlighted
    EXPECT_EQ(console.ColourAt(3, 14), 0x7E);  // other titles' capitals in reverse + highlight
    EXPECT_EQ(console.ColourAt(3, 15), 0x71);
    EXPECT_EQ(console.ColourAt(3, 79), 0x71);
}

TEST_F(MenuTest, UnknownKeysBeepAndChangeNothing) {
    EXPECT_EQ(Run("z\r"), 100);
    EXPECT_EQ(console.beeps, 1);
    EXPECT_EQ(Run("Tz\x1b\x1b"), 0);
    EXPECT_EQ(console.beeps, 2);
}

TEST_F(MenuTest, PullDownsOpenUnderTheirTitlesAndShiftLeftAtTheEdge) {
    static std::string rows[3];
    static con::MemoryConsole* active;
    active = &console;
    AddHotKey('!', [](int, int) {
        for (int r = 0; r < 3; ++r) rows[r] = active->Row(4 + r);
        return 0;
    });
    EXPECT_EQ(Run("T!\x1b\x1b"), 0);
    // pull-down gap (80 - 23) / 6 = 9: title two's opens at column 1 + 3 + 9 = 13
    EXPECT_EQ(rows[0].substr(12, 8), "\xC9\xCD\xCD\xCD\xCD\xCD\xCD\xBB");
    EXPECT_EQ(rows[1].substr(12, 8),
              "\xBA"
              "Alpha \xBA");
    EXPECT_EQ(Run("F!\x1b\x1b"), 0);
    // the long entry would cross column 80: its right frame sits at column 80
    EXPECT_EQ(rows[1].substr(29, 51),
              "\xBA"
              "A very long entry that reaches far past the edge \xBA");
}

TEST_F(MenuTest, AllWindowsAreClosedWhenTheMenuReturns) {
    std::string before = console.Row(6);
    Run("TvR>\r");
    EXPECT_EQ(console.Row(6), before);
    EXPECT_EQ(console.Row(5).substr(12, 10), std::string(10, ' '));
}

}  // namespace
