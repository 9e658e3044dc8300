// The screen image: text layout, clamping, and the runs that reach the console.
#include <cstring>

#include "toolkit_fixture.h"
#include "ui/text_flags.h"

namespace {

using ScreenTest = ToolkitTest;

struct LayoutCase {
    const char* text;
    int width;
    uint32_t flags;
    char fill;
    const char* expected;  // what the image holds from column 1
};
constexpr LayoutCase kLayoutCases[] = {
    {"", 10, 0, '.', ".........."},
    {"", 0, 0, '.', ""},
    {"ABC", 6, tf::Centre, '*', "*ABC**"},
    {"ABC", 6, tf::RightAlign, '*', "***ABC"},
    {"ABC", 6, 0, '*', "ABC***"},
    {"ABCDEFGH", 4, 0, ' ', "ABCD"},
    {"abc-xyz", 0, tf::Upper, ' ', "ABC-XYZ"},
};

TEST_F(ScreenTest, LaysTextOutInItsWidth) {
    for (const auto& c : kLayoutCases) {
        SCOPED_TRACE(c.expected);
        ClearToEndOfScreen(1, 1);
        PutText(c.text, 5, 1, c.width, c.fill, c.flags);
        size_t n = std::strlen(c.expected);
        EXPECT_EQ(ImageRow(4, int(n) + 2), std::string(c.expected) + "  ");
    }
}

TEST_F(ScreenTest, ClipsAtColumn132AndClampsRowsAndColumns) {
    PutText("0123456789", 1, 130, 0, ' ', 0);
    EXPECT_EQ(ScreenChar(0, 129), '0');
    EXPECT_EQ(ScreenChar(0, 131), '2');
    EXPECT_EQ(ScreenChar(1, 0), ' ');                 // nothing spilled onto the next row
    EXPECT_EQ(console.Row(1), std::string(80, ' '));  // nor onto the console's next row
    PutText("ABCDEFGH", 3, 77, 0, ' ', 0);            // only columns 77-80 are visible
    EXPECT_EQ(console.Row(2).substr(76), "ABCD");
    EXPECT_EQ(console.Row(3).substr(0, 4), "    ");
    EXPECT_EQ(ScreenChar(2, 83), 'H');
    PutText("A", 0, 0, 0, ' ', 0);
    PutText("B", 1, 2, 0, ' ', 0);
    EXPECT_EQ(ImageRow(0, 2), "AB");  // row 0 and row 1 are the same row
    PutText("Z", 30, 500, 0, ' ', 0);
    EXPECT_EQ(ScreenChar(24, 131), 'Z');
}

TEST_F(ScreenTest, WritingTheSameTextTwiceSendsNothing) {
    PutText("HELLO", 3, 3, 0, ' ', tf::Highlight);
    console.ClearCalls();
    PutText("HELLO", 3, 3, 0, ' ', tf::Highlight);
    EXPECT_TRUE(console.calls.empty());
    PutText("HELLO", 3, 3, 0, ' ', tf::Reverse);  // same text, other attribute
    EXPECT_EQ(console.WritesOnly().size(), 1u);
}

struct RunCase {
    const char* before;
    const char* after;
    std::vector<std::pair<int, std::string>> writes;  // column and text of each write
};

TEST_F(ScreenTest, WritesChangedRunsAndRewritesShortGaps) {
    const RunCase cases[] = {
        {"XAAAAAX", "YAAAAAY", {{0, "Y"}, {1, "AAAAAY"}}},  // gap of 5: rewritten
        {"XAAAAAAX", "YAAAAAAY", {{0, "Y"}, {7, "Y"}}},     // gap of 6: skipped
        {"AAAAAX", "AAAAAY", {{0, "AAAAAY"}}},              // a leading gap counts too
        {"AAAAAAX", "AAAAAAY", {{6, "Y"}}},
        {"XYZ", "XYQ", {{0, "XYQ"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.after);
        PutText(c.before, 10, 1, 0, ' ', 0);
        console.ClearCalls();
        PutText(c.after, 10, 1, 0, ' ', 0);
        auto writes = console.WritesOnly();
        ASSERT_EQ(writes.size(), c.writes.size());
        for (size_t i = 0; i < writes.size(); ++i) {
            EXPECT_EQ(writes[i].row, 9);
            EXPECT_EQ(writes[i].col, c.writes[i].first);
            EXPECT_EQ(writes[i].text, c.writes[i].second);
        }
    }
}

TEST_F(ScreenTest, SetsTheColourOnceAndResetsItAfterwards) {
    PutText("XAAAAAAX", 2, 1, 0, ' ', 0);
    PutText("YAAAAAAY", 2, 1, 0, ' ', tf::Alert);
    console.ClearCalls();
    PutText("ZAAAAAAZ", 2, 1, 0, ' ', tf::Alert);
    std::vector<uint8_t> colours;
    for (const auto& call : console.calls)
        if (call.kind == con::ConsoleCall::Colour) colours.push_back(call.colour);
    EXPECT_EQ(colours, (std::vector<uint8_t>{0x1C, 0x17}));
    for (const auto& w : console.WritesOnly()) EXPECT_EQ(w.colour, 0x1C);
    EXPECT_EQ(console.ColourAt(1, 0), 0x1C);
}

TEST_F(ScreenTest, AttributesMapToTheirConsoleColours) {
    const uint8_t expected[8] = {0x17, 0x71, 0x1E, 0x7E, 0x1C, 0x7C, 0x1C, 0x6C};
    for (uint32_t a = 1; a < 8; ++a) {
        PutText("#", 1, int(a), 0, ' ', a);
        EXPECT_EQ(console.ColourAt(0, int(a) - 1), expected[a]) << a;
        EXPECT_EQ(ScreenAttr(0, int(a) - 1), a);
    }
}

TEST_F(ScreenTest, RestoreScreenPutsBackOnlyTheDifferences) {
    PutText("MAIN SCREEN", 1, 1, 0, ' ', tf::Highlight);
    SaveScreen();
    PutText("OTHER", 1, 1, 0, ' ', 0);
    PutText("EXTRA", 20, 10, 0, ' ', tf::Reverse);
    console.ClearCalls();
    RestoreScreen();
    EXPECT_EQ(console.Row(0).substr(0, 11), "MAIN SCREEN");
    EXPECT_EQ(console.ColourAt(0, 0), 0x1E);
    EXPECT_EQ(console.Row(19).substr(9, 5), "     ");
    EXPECT_EQ(console.ColourAt(19, 9), 0x17);
    auto writes = console.WritesOnly();
    ASSERT_EQ(writes.size(), 2u);
    EXPECT_EQ(writes[0].text, "MAIN ");  // only the five cells of row 1 that differ
    EXPECT_EQ(writes[0].colour, 0x1E);
    EXPECT_EQ(ImageRow(0, 11), "MAIN SCREEN");
}

TEST_F(ScreenTest, ADirtyScreenIsRepaintedFromTheImageBeforeTheNextWrite) {
    PutText("KEEP", 3, 5, 0, ' ', tf::Reverse);
    console.FillCells(0, 0, 2000, '?', 0x07);  // someone wrote behind the toolkit's back
    MarkScreenDirty();
    PutText("NEW", 10, 1, 0, ' ', 0);
    EXPECT_EQ(console.Row(2).substr(0, 10), "    KEEP  ");
    EXPECT_EQ(console.ColourAt(2, 4), 0x71);
    EXPECT_EQ(console.CharAt(0, 0), ' ');
    EXPECT_EQ(console.Row(9).substr(0, 3), "NEW");
}

TEST_F(ScreenTest, ClearsToTheEndOfTheLineAndScreen) {
    PutText("ABCDEFGH", 5, 1, 0, ' ', tf::Reverse);
    PutText("ROW SIX", 6, 1, 0, ' ', 0);
    ClearToEndOfLine(5, 4);
    EXPECT_EQ(ImageRow(4, 8), "ABC     ");
    EXPECT_EQ(console.Row(4).substr(0, 8), "ABC     ");
    EXPECT_EQ(ScreenAttr(4, 3), 0);
    ClearToEndOfScreen(5, 2);
    EXPECT_EQ(ImageRow(4, 3), "A  ");
    EXPECT_EQ(ImageRow(5, 7), "       ");
    EXPECT_EQ(console.Row(5).substr(0, 7), "       ");
}

}  // namespace
