// The string field with its hex editor: digits into bytes, the cursor rules
// of the grid, the resume position and what Esc returns.
#include "editors/hex_string_editor.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "editor_screen_fixture.h"
#include "editors/hex_editor_grid.h"

namespace {

TEST(HexGrid, CursorMovesOverTheGrid) {
    const HexGrid grid = HexGridFor(64);
    ASSERT_EQ(grid.width, 8);
    ASSERT_EQ(grid.lines, 8);
    struct Case {
        HexCursor from;
        int key;
        HexCursor to;
    } kCases[] = {
        {{0, 3}, key::Right, {0, 4}},
        {{2, 7}, key::Right, {3, 0}},  // past the last column: next
                                       // line
        {{7, 7}, key::Right, {7, 0}},  // last line: its own start
        {{2, 0}, key::Left, {1, 7}},
        {{0, 0}, key::Left, {0, 0}},  // not before the first line
        {{7, 3}, key::Down, {7, 3}},
        {{0, 3}, key::Up, {0, 3}},
        {{4, 3}, key::Up, {3, 3}},
        {{4, 3}, 'x', {4, 3}},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(testing::Message() << c.from.line << "," << c.from.column << " key " << c.key);
        EXPECT_EQ(MoveHexCursor(grid, c.from, c.key), c.to);
    }
}

TEST(HexGrid, ShortFieldsHaveNoCellsPastTheirEnd) {
    const HexGrid grid = HexGridFor(10);  // 8 + 2
    EXPECT_EQ(grid.lines, 2);
    EXPECT_EQ(MoveHexCursor(grid, {0, 5}, key::Down), (HexCursor{0, 5}));
    EXPECT_EQ(MoveHexCursor(grid, {1, 1}, key::Right), (HexCursor{1, 1}));
    EXPECT_EQ(MoveHexCursor(grid, {0, 1}, key::Down), (HexCursor{1, 1}));
}

struct HexString : EditorScreen {
    char field[65] = {};
    int Run(const char* initial, const std::string& typed) {
        std::memset(field, 0, sizeof field);
        std::strcpy(field, initial);
        Type(typed);
        return EditHexString(field, 8, 12, 64);
    }
};

TEST_F(HexString, DigitsTypedInTheGrid) {
    using namespace keys;
    struct Case {
        const char* name;
        const char* initial;
        std::string typed;
        std::string after;
    } kCases[] = {
        {"0 and D store a carriage return", "AB", F9 + "0D" + Enter + Enter, "\rB"},
        {"the top bit is cleared", "AB", F9 + "81" + Enter + Enter,
         "\x01"
         "B"},
        {"lower-case digits", "AB", F9 + "1b" + Enter + Enter,
         "\x1b"
         "B"},
        {"two digits then the next cell", "AB", F9 + "0D0A" + Enter + Enter, "\r\n"},
        {"00 ends the string", "ABCD", F9 + Right + "00" + Enter + Enter, "A"},
        {"arrows reset the digit count", "AB", F9 + "0" + Right + "0A" + Enter + Enter, "\x10\n"},
        {"a key that is no digit beeps only", "AB", F9 + "G" + Enter + Enter, "AB"},
        {"Esc leaves the grid keeping the change", "AB", F9 + "0D" + Esc + Enter, "\rB"},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Run(c.initial, c.typed), key::Enter);
        EXPECT_EQ(std::string(field), c.after);
        ExpectAllKeysRead();
    }
}

TEST_F(HexString, EntryFieldResumesAtTheGridCursor) {
    using namespace keys;
    // Ten Rights in the grid, back to the field, then a typed X lands at byte 10.
    EXPECT_EQ(Run("0123456789ABCDEF", F9 + Times(10, Right) + Enter + "X" + Enter), key::Enter);
    EXPECT_STREQ(field, "0123456789XABCDEF");
    // F9 with the field's cursor at byte 5 opens the grid there.
    EXPECT_EQ(Run("0123456789", End + Times(5, keys::Left) + F9 + "00" + Enter + Enter),
              key::Enter);
    EXPECT_STREQ(field, "01234");
}

TEST_F(HexString, FieldEndsWithItsKeys) {
    using namespace keys;
    struct Case {
        std::string typed;
        int key;
        std::string after;
    } kCases[] = {
        {"xy" + Enter, key::Enter, "xy"},
        {"xy" + Up, key::Up, "xy"},
        {"xy" + Down, key::Down, "xy"},
        // Esc keeps what was typed: undoing it is the caller's choice.
        {"xy" + Esc, key::Esc, "xy"},
        {F9 + "41" + Enter + Esc, key::Esc, "AB"},
    };
    for (const auto& c : kCases) {
        EXPECT_EQ(Run("CB", c.typed), c.key);
        EXPECT_EQ(std::string(field), c.after);
    }
}

TEST_F(HexString, GridShowsTheBytesAndTheStringEnd) {
    using namespace keys;
    // Typing past the string's end changes the field but not the string.
    Run("A\x0D",
        F9 + Times(4, Right) + "41" + F1 + Times(4, keys::Left) + "00" + F1 + Enter + Enter);
    ASSERT_EQ(Snapshots().size(), 2u);
    const ScreenSnapshot& s = Snapshots()[0];
    EXPECT_NE(s.chars[4].find("HEX EDITOR"), std::string::npos);
    EXPECT_EQ(s.At(5, 27, 8), "HEX CODE");
    EXPECT_EQ(s.At(5, 49, 9), "CHARACTER");
    EXPECT_EQ(s.At(6, 24, 23), "41 0D 00 \xF9\xF9 \xF9\xF9 \xF9\xF9 \xF9\xF9 \xF9\xF9");
    EXPECT_EQ(s.At(6, 49, 8), "A\x0D      ");
    EXPECT_EQ(s.AttrAt(6, 24), '2');  // inside the string: highlight
    EXPECT_EQ(s.AttrAt(6, 36), '0');  // byte 4, changed but past the end
    EXPECT_EQ(s.AttrAt(6, 39), '1');  // the cursor moved on to byte 5: reverse
    EXPECT_EQ(s.At(14, 23, 30), "0..9, A..F to change hex code.");
    EXPECT_EQ(s.At(15, 23, 30), "Arrows to move, ENTER to exit.");
    // 00 at byte 1 ends the string: every cell after it shows the empty marks.
    EXPECT_EQ(Snapshots()[1].At(6, 24, 11), "41 00 \xF9\xF9 \xF9\xF9");
    EXPECT_STREQ(field, "A");
}

TEST_F(HexString, HintLineAndHotKeyLastOnlyForTheEntry) {
    using namespace keys;
    Run("", F1 + Enter);
    EXPECT_EQ(Snapshots().at(0).At(25, 50, 31), "Press F9 to edit in hexadecimal");
    EXPECT_EQ(ImageNow().At(25, 50, 31), std::string(31, ' '));
    // F9 outside the field is an ordinary key again.
    Type(F9);
    EXPECT_EQ(GetKey(), key::F9);
}

// The grid driven key by key: each key's answer, the byte under the cursor
// and where the cursor stands. The second digit of a byte queues the Right
// that moves the cursor on, which the loop would read next.
TEST_F(HexString, EachGridKeyAnswersAndMovesTheCursor) {
    struct Step {
        int key;
        KeyResult result;
        HexCursor cursor;
        int byte;  // at field[index]
        int index;
    } kSteps[] = {
        {'4', KeyResult::Changed, {0, 0}, 0x14, 0},  // shifted in after 'A' (41)
        {'1', KeyResult::Changed, {0, 0}, 0x41, 0},
        {key::Right, KeyResult::Redraw, {0, 1}, 'B', 1},  // the queued Right
        {'G', KeyResult::Ignored, {0, 1}, 'B', 1},
        {key::Down, KeyResult::Redraw, {1, 1}, 0, 9},
        {'f', KeyResult::Changed, {1, 1}, 0x0F, 9},
        {key::Right, KeyResult::Redraw, {1, 2}, 0, 10},  // one digit: nothing queued
        {key::Esc, KeyResult::Leave, {1, 2}, 0, 10},
    };
    std::memset(field, 0, sizeof field);
    std::strcpy(field, "AB");
    HexGridScreen screen(HexGridFor(16), field, {0, 0});
    for (const Step& s : kSteps) {
        SCOPED_TRACE(s.key);
        EXPECT_EQ(screen.OnKey(s.key), s.result);
        EXPECT_EQ(screen.Cursor(), s.cursor);
        EXPECT_EQ(int(uint8_t(field[s.index])), s.byte);
    }
    EXPECT_EQ(GetKey(), key::Right);  // queued by the second digit only
    Type(keys::F10);
    EXPECT_EQ(GetKey(), key::F10);
}

}  // namespace
