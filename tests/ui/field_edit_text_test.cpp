// EditText: typing, editing keys, insert and overwrite, flags and exits.
#include <cstring>

#include "field_screen_fixture.h"
#include "ui/console/keys.h"
#include "ui/edit_text.h"

namespace {

using namespace keys;
const char kExits[] = "\r";

struct Case {
    const char* name;
    const char* initial;
    int width;
    const char* accepted;
    uint32_t flags;
    std::string typed;
    const char* result;
    int key;
    int beeps;
};

const Case kCases[] = {
    {"typing fills the field", "", 5, " -~", 0, "abc" + Enter, "abc", key::Enter, 0},
    {"sixth character beeps", "", 5, " -~", 0, "abcdef" + Enter, "abcde", key::Enter, 1},
    {"silent full field", "", 5, " -~", tf::Silent, "abcdef" + Enter, "abcde", key::Enter, 0},
    {"insert into full text beeps even when silent", "abcde", 5, " -~",
     tf::StartWithText | tf::Silent, Home + "x" + Enter, "abcde", key::Enter, 1},
    {"insert inside the text", "abde", 5, " -~", tf::StartWithText, Left + Left + "c" + Enter,
     "abcde", key::Enter, 0},
    {"overwrite replaces under the cursor", "abcde", 5, " -~", tf::StartWithText | tf::Overwrite,
     Home + "XY" + Enter, "XYcde", key::Enter, 0},
    {"Insert key toggles to overwrite", "abcde", 5, " -~", tf::StartWithText,
     Home + Insert + "X" + Insert + Enter, "Xbcde", key::Enter, 0},
    {"refused character beeps", "", 5, "0-9", 0, "1a2" + Enter, "12", key::Enter, 1},
    {"start without text ignores buffer", "old", 5, " -~", 0, "n" + Enter, "n", key::Enter, 0},
    {"first character replaces old text", "old", 5, " -~", tf::StartWithText | tf::ReplaceOld,
     "n" + Enter, "n", key::Enter, 0},
    {"End then typing appends", "old", 5, " -~", tf::StartWithText | tf::ReplaceOld,
     End + "n" + Enter, "oldn", key::Enter, 0},
    // A refused key is not an edit: the first accepted character still clears.
    {"refused key before the first character", "1002", 5, "0-9", tf::StartWithText | tf::ReplaceOld,
     "x100" + Enter, "100", key::Enter, 1},
    {"refused function key before the first character", "LPT1:", 12,
     "A-Z0-9$.\\_~:", tf::StartWithText | tf::ReplaceOld | tf::Upper, F1 + "scr1.txt" + Enter,
     "SCR1.TXT", key::Enter, 1},
    {"refused punctuation before the first character", "SYS$PRINT", 12, "A-Z0-9$.\\_~:",
     tf::StartWithText | tf::ReplaceOld | tf::Upper, "-abc" + Enter, "ABC", key::Enter, 1},
    {"Right past the end leaves a gap of spaces", "ab", 6, " -~", tf::StartWithText,
     Right + Right + "c" + Enter, "ab  c", key::Enter, 0},
    {"Right past the end needs an accepted space", "ab", 6, "a-z", tf::StartWithText,
     Right + "c" + Enter, "abc", key::Enter, 0},
    {"Esc not an exit key empties", "abc", 5, " -~", tf::StartWithText, Esc, "", key::Esc, 0},
    {"Ctrl-Y clears", "abc", 5, " -~", tf::StartWithText, CtrlY + "z" + Enter, "z", key::Enter, 0},
    {"Ctrl-D clears to end", "abcde", 5, " -~", tf::StartWithText, Left + Left + CtrlD + Enter,
     "abc", key::Enter, 0},
    {"Ctrl-U clears to start", "abcde", 5, " -~", tf::StartWithText,
     Left + Left + CtrlU + "x" + Enter, "xde", key::Enter, 0},
    {"Del deletes under the cursor", "abcde", 5, " -~", tf::StartWithText, Home + Del + Enter,
     "bcde", key::Enter, 0},
    {"Del at the end does nothing", "abc", 5, " -~", tf::StartWithText, Del + Enter, "abc",
     key::Enter, 0},
    {"Backspace deletes before the cursor", "abcde", 5, " -~", tf::StartWithText,
     Left + Backspace + Enter, "abce", key::Enter, 0},
    {"Home and End", "bc", 5, " -~", tf::StartWithText, Home + "a" + End + "d" + Enter, "abcd",
     key::Enter, 0},
    {"Ctrl-R word left", "abc def", 9, " -~", tf::StartWithText, CtrlR + "X" + Enter, "abcX def",
     key::Enter, 0},
    {"Ctrl-R twice to the start", "abc def", 9, " -~", tf::StartWithText,
     CtrlR + CtrlR + "X" + Enter, "Xabc def", key::Enter, 0},
    {"Ctrl-F word right", "abc  def", 9, " -~", tf::StartWithText, Home + CtrlF + "X" + Enter,
     "abc  Xdef", key::Enter, 0},
    {"upper-casing", "", 5, "A-Z", tf::Upper, "abc" + Enter, "ABC", key::Enter, 0},
    {"ends when full", "", 3, "0-9", tf::EndWhenFull, "123", "123", key::Enter, 0},
    {"pad to width", "ab", 5, " -~", tf::StartWithText | tf::Pad, Enter, "ab   ", key::Enter, 0},
    {"pad centred", "ab", 6, " -~", tf::StartWithText | tf::Pad | tf::Centre, Enter, "  ab  ",
     key::Enter, 0},
    {"pad right-aligned", "ab", 5, " -~", tf::StartWithText | tf::Pad | tf::RightAlign, Enter,
     "   ab", key::Enter, 0},
    {"unknown key beeps", "ab", 5, "a-z", tf::StartWithText, "\t" + Enter, "ab", key::Enter, 1},
    {"F-key not an exit beeps", "ab", 5, "a-z", tf::StartWithText, F10 + Enter, "ab", key::Enter,
     1},
};

struct EditTextTest : FieldScreen {};

TEST_F(EditTextTest, Cases) {
    for (const Case& k : kCases) {
        SCOPED_TRACE(k.name);
        SetInsertMode(true);
        char buffer[84];
        std::memset(buffer, 'Z', sizeof buffer);
        std::strcpy(buffer, k.initial);
        console.beeps = 0;
        Type(k.typed);
        int result = EditText(buffer, 5, 10, k.width, '.', k.accepted, kExits, k.flags);
        EXPECT_EQ(k.key, result);
        EXPECT_STREQ(k.result, buffer);
        EXPECT_EQ(k.beeps, console.beeps);
        EXPECT_TRUE(console.keys.empty());
        if (!(k.flags & tf::Pad)) {
            for (int i = int(std::strlen(buffer)); i <= k.width; ++i) {
                ASSERT_EQ(0, buffer[i]) << "byte " << i << " after the text";
            }
        }
        EXPECT_EQ('Z', buffer[k.width + 1]) << "wrote past width + 1";
    }
}

TEST_F(EditTextTest, FieldShowsFillWhileEditingAndSpacesAfter) {
    char buffer[8] = "ab";
    Type("c");
    // The field is inspected while the editor waits: a hot key runs then.
    static FieldScreen* self;
    static std::string seen;
    self = this;
    AddHotKey(key::F2, [](int, int) {
        seen = self->Image(3, 4, 6);
        return 0;
    });
    Type(std::string("\0\x3C", 2) + Enter);
    EXPECT_EQ(key::Enter, EditText(buffer, 3, 4, 6, '_', " -~", kExits, tf::StartWithText));
    EXPECT_EQ("abc___", seen);
    EXPECT_EQ("abc   ", Image(3, 4, 6));
    EXPECT_STREQ("abc", buffer);
    RemoveHotKey(key::F2);
}

TEST_F(EditTextTest, HiddenEntryShowsFill) {
    char buffer[8] = "";
    Type("pw" + Enter);
    EditText(buffer, 2, 1, 5, '*', " -~", kExits, tf::Hidden);
    EXPECT_STREQ("pw", buffer);
    EXPECT_EQ(std::string::npos, Image(2, 1, 5).find('p'));
}

TEST_F(EditTextTest, ForcedOverwriteRestoresInsertButToggleCarriesOver) {
    char buffer[8] = "";
    SetInsertMode(true);
    Type("a" + Enter);
    EditText(buffer, 2, 1, 5, '.', " -~", kExits, tf::Overwrite);
    EXPECT_TRUE(InsertMode());
    Type(Insert + Enter);
    EditText(buffer, 2, 1, 5, '.', " -~", kExits, 0);
    EXPECT_FALSE(InsertMode());
    SetInsertMode(true);
}

TEST_F(EditTextTest, ExitKeysEndTheEdit) {
    const char exits[] = {'\r', '\x1b', char(key::Down), char(key::Up), 0};
    struct Case {
        std::string typed;
        int key;
        const char* result;
    } kExitCases[] = {{"ab" + Down, key::Down, "ab"},
                      {"ab" + Up, key::Up, "ab"},
                      {"ab" + Esc, key::Esc, "ab"},
                      {"ab" + Enter, key::Enter, "ab"}};
    for (const auto& k : kExitCases) {
        char buffer[8] = "";
        Type(k.typed);
        EXPECT_EQ(k.key, EditText(buffer, 2, 1, 5, '.', "a-z", exits, 0));
        EXPECT_STREQ(k.result, buffer);
    }
}

}  // namespace
