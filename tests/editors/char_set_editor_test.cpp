// The character-set grid: cursor rules, names and parity, and the set as the
// keys leave it.
#include "editors/char_set_editor.h"

#include <gtest/gtest.h>

#include <cstring>

#include "editor_screen_fixture.h"

namespace {

TEST(CharSetCursor, AdvanceAndArrows) {
    struct Case {
        int from, key, to;
    } kCases[] = {
        {0, '+', 1},          {15, '+', 16},       {255, '+', 240},  // last row wraps to its start
        {240, '+', 241},      {0, key::Up, 0},     {0, key::Left, 0},
        {15, key::Right, 15}, {16, key::Left, 16}, {255, key::Down, 255},
        {17, key::Up, 1},     {17, key::Down, 33}, {17, key::Right, 18},
    };
    for (const auto& c : kCases) {
        const int to =
            c.key == '+' ? AdvanceCharSetCursor(c.from) : MoveCharSetCursor(c.from, c.key);
        EXPECT_EQ(to, c.to) << "from " << c.from << " key " << c.key;
    }
}

TEST(CharSetCursor, NameAndParityOfACode) {
    struct Case {
        int code;
        const char* name;
        const char* parity;
    } kCases[] = {
        {0x00, "NUL", "EVEN"}, {0x0D, "CR ", "ODD"},  {0x7F, "DEL", "ODD"},
        {0x41, "A", "EVEN"},   {0xC1, "A", "ODD"},    {0x8D, "CR ", "EVEN"},
        {0x80, "NUL", "ODD"},  {0xFF, "DEL", "EVEN"}, {0x20, " ", "ODD"},
    };
    for (const auto& c : kCases) {
        char buffer[4];
        EXPECT_STREQ(CharSetCodeName(c.code, buffer), c.name) << c.code;
        EXPECT_STREQ(CharSetCodeParity(c.code), c.parity) << c.code;
    }
}

struct CharSetEditor : EditorScreen {
    CharSet set = {};
};

TEST_F(CharSetEditor, KeysChangeTheSet) {
    using namespace keys;
    // + on 00 and 01, - on 02 (already clear), Space on 03, then down a row to
    // 13 and Space twice (no change); Esc and letters are ignored.
    CharSetPut(set, 0x02, true);
    Type("++-" + std::string(" ") + Down + "  " + Esc + "q" + Enter);
    EditCharSet(set, 0, "Accept", OfflineWrites());
    ExpectAllKeysRead();
    CharSet expected = {};
    CharSetPut(expected, 0x00, true);
    CharSetPut(expected, 0x01, true);
    CharSetPut(expected, 0x03, true);
    EXPECT_EQ(0, std::memcmp(set, expected, sizeof set));
    EXPECT_EQ(console.beeps, 0);
}

TEST_F(CharSetEditor, GridShowsMembersAndTheCursor) {
    using namespace keys;
    CharSetPut(set, 0x41, true);
    Type(Times(4, Down) + Right + F1 + Enter);
    EditCharSet(set, 0, "Terminate", OfflineWrites());
    const ScreenSnapshot& s = Snapshots().at(0);
    EXPECT_EQ(s.chars[6], std::string(79, '-') + " ");
    EXPECT_EQ(s.At(7, 1, 33), "Editing Terminate character set  ");
    EXPECT_EQ(s.At(8, 1, 10), " 00  01  0");
    EXPECT_EQ(s.At(23, 61, 4), " FF ");
    EXPECT_EQ(s.AttrAt(12, 6), '5');  // 41: a member under the cursor
    EXPECT_EQ(s.AttrAt(12, 2), '0');  // 40
    EXPECT_EQ(s.AttrAt(8, 2), '0');   // 00: the cursor has left it
    EXPECT_EQ(s.At(10, 70, 3), "A  ");
    EXPECT_EQ(s.At(13, 70, 4), "EVEN");
    EXPECT_EQ(s.At(24, 1, 52), "Use arrows to move, SPACE to change, RETURN to exit.");
    // Leaving puts the port editor screen back.
    const ScreenSnapshot after = ImageNow();
    EXPECT_NE(after.chars[7].find(" DATA PATH 1 "), std::string::npos);
    EXPECT_EQ(after.At(6, 30, 23), "8  Terminate characters");
}

}  // namespace

// The grid driven key by key: what each key answers, where the cursor is
// then and whether the code under it is in the set.
TEST_F(CharSetEditor, EachKeyAnswersAndMovesTheCursor) {
    struct Step {
        int key;
        KeyResult result;
        int cursor;
        bool member;  // of the code the key acted on
        int code;
    } kSteps[] = {
        {'+', KeyResult::Changed, 0x01, true, 0x00},
        {' ', KeyResult::Changed, 0x01, true, 0x01},
        {' ', KeyResult::Changed, 0x01, false, 0x01},
        {key::Down, KeyResult::Redraw, 0x11, false, 0x11},
        {key::Left, KeyResult::Redraw, 0x10, false, 0x10},
        {key::Left, KeyResult::Redraw, 0x10, false, 0x10},  // the grid's edge
        {'q', KeyResult::Redraw, 0x10, false, 0x10},
        {'-', KeyResult::Changed, 0x11, false, 0x10},
        {key::Enter, KeyResult::Leave, 0x11, false, 0x11},
    };
    CharSetScreen screen(set);
    for (const Step& s : kSteps) {
        SCOPED_TRACE(s.key);
        EXPECT_EQ(screen.OnKey(s.key), s.result);
        EXPECT_EQ(screen.Cursor(), s.cursor);
        EXPECT_EQ(CharSetHas(set, unsigned(s.code)), s.member);
    }
    EXPECT_EQ(console.beeps, 0);
}
