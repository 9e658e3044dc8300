// The file picker over real directories: listing, paging, typed names and
// entering directories.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "field_screen_fixture.h"
#include "ui/console/keys.h"
#include "ui/file_picker.h"

namespace {

using namespace keys;

struct PickerTest : FieldScreenInTempDir {
    void Touch(const std::string& name) { std::ofstream(name) << "x"; }
    void Files(int count) {
        for (int i = 0; i < count; ++i) {
            char name[16];
            std::snprintf(name, sizeof name, "F%03d.KOV", i);
            Touch(name);
        }
    }
    std::string Pick(const std::string& typed, bool dirs = false, int* result = nullptr) {
        Type(typed);
        std::string name = "?";
        int r = PickFile(12, 22, 8, "*.KOV", &name, dirs);
        if (result) *result = r;
        EXPECT_TRUE(console.keys.empty());
        return r ? name : "<esc>";
    }
    std::string Cwd() {
        char cwd[4096];
        return ::getcwd(cwd, sizeof cwd);
    }
};

TEST_F(PickerTest, ListsMatchingFilesAsNamedWithoutExtension) {
    Touch("config.kov");
    Touch("other.txt");
    Touch("B.KOV");
    ASSERT_EQ(0, ::mkdir("old.dir", 0755));
    auto items = ListPickItems("*.KOV", false);
    ASSERT_EQ(2u, items.size());
    EXPECT_EQ("B", items[0].name);
    EXPECT_EQ("config", items[1].name);
    EXPECT_EQ("config.kov", items[1].real);
    items = ListPickItems("*.KOV", true);
    std::vector<std::string> names;
    for (auto& i : items) names.push_back(i.name + (i.kind ? "/" : ""));
    EXPECT_EQ((std::vector<std::string>{"../", "B", "config", "old.dir/"}), names);
}

// The screen rows 14 to 16 as the picker shows them, taken while it waits.
struct PickerScreenTest : PickerTest {
    static inline PickerScreenTest* self;
    std::vector<std::string> rows;
    void ShowAndLeave() {
        self = this;
        AddHotKey(key::F2, [](int, int) {
            for (int r = 13; r < 16; ++r) self->rows.push_back(self->console.Row(r));
            return 0;
        });
        Type(std::string("\0\x3C", 2) + Esc);
        std::string name;
        EXPECT_EQ(0, PickFile(12, 22, 8, "*.KOV", &name, true));
        RemoveHotKey(key::F2);
        EXPECT_EQ(std::string(80, ' '), console.Row(13)) << "list area cleared on return";
    }
};

TEST_F(PickerScreenTest, ShowsItemsAndBrackets) {
    Touch("config.kov");
    ASSERT_EQ(0, ::mkdir("old.dir", 0755));
    ShowAndLeave();
    ASSERT_EQ(3u, rows.size());
    EXPECT_EQ("[ parent ]", rows[0].substr(0, 10));
    EXPECT_EQ(" config  ", rows[1].substr(0, 9));
    EXPECT_EQ("[old.dir ]", rows[2].substr(0, 10));
}

// A long name is shown whole: every item takes its width and fewer columns
// stand on a page.
TEST_F(PickerScreenTest, ShowsALongNameWhole) {
    Touch("line3-north-scale.KOV");
    Touch("A.KOV");
    ShowAndLeave();
    ASSERT_EQ(3u, rows.size());
    EXPECT_EQ(" A                    ", rows[1].substr(0, 22));
    EXPECT_EQ(" line3-north-scale ", rows[2].substr(0, 19));
}

TEST(PickLayout, WidthOfTheLongestNameAndTheColumnsThatFit) {
    struct Case {
        size_t longest;
        PickLayout layout;
    } kCases[] = {{1, {8, 8}},   {8, {8, 8}},   {9, {9, 7}},   {17, {17, 4}},
                  {38, {38, 2}}, {39, {39, 1}}, {78, {78, 1}}, {200, {78, 1}}};
    for (const auto& c : kCases) {
        std::vector<PickItem> items = {{"x", "x.KOV", 0}, {std::string(c.longest, 'n'), "n", 0}};
        PickLayout got = PickLayoutOf(items);
        EXPECT_EQ(c.layout.width, got.width) << c.longest;
        EXPECT_EQ(c.layout.columns, got.columns) << c.longest;
        // The last column's closing bracket stays within 80 columns.
        EXPECT_LE(2 + (got.width + 2) * (got.columns - 1) + got.width, 80) << c.longest;
    }
}

// Names that do not fit the field, or differ only by case, are still listed
// one item each, and each item gives back the entry it stands for; files
// whose names differ only in the extension's case are shown with it.
TEST_F(PickerTest, EveryListedFileGivesBackItsOwnEntry) {
    Touch("long name with spaces.KOV");
    Touch("ABCDEFGHIJ.KOV");
    Touch("DUP.KOV");
    Touch("dup.kov");
    Touch("caf\xC3\xA9.kov");
    Touch("latin\xE9.kov");        // Latin-1, no UTF-8
    Touch("zz\xE6\x97\xA5.kov");   // no character of the code page
    Touch("SHORT.KOV");
    Touch("PLANT.KOV");
    Touch("PLANT.kov");
    std::vector<std::string> shown;
    for (const auto& item : ListPickItems("*.KOV", false)) shown.push_back(item.name);
    EXPECT_EQ(
        (std::vector<std::string>{"ABCDEFGHIJ", "caf\x82", "DUP", "dup", "latin?",
                                  "long name with spaces", "PLANT.KOV", "PLANT.kov", "SHORT", "zz?"}),
        shown);
    struct Case {
        std::string typed;
        const char* name;   // what the picker gave back
        const char* entry;  // the entry to open ("" for a typed name)
    } kCases[] = {
        {Enter, "ABCDEFGHIJ", "ABCDEFGHIJ.KOV"},
        {Down + Enter, "caf\x82", "caf\xC3\xA9.kov"},
        {Down + Down + Enter, "DUP", "DUP.KOV"},
        {Down + Down + Down + Enter, "dup", "dup.kov"},
        {Down + Down + Down + Down + Enter, "latin?", "latin\xE9.kov"},
        {Down + Down + Down + Down + Down + Enter, "long name with spaces", "long name with spaces.KOV"},
        {Down + Down + Down + Down + Down + Down + Down + Enter, "PLANT.kov", "PLANT.kov"},
        {End + Enter, "zz?", "zz\xE6\x97\xA5.kov"},
        {"abcdefgh" + Enter, "abcdefgh", ""},
        {Down + Down + "dup" + Enter, "dup", ""},         // typed: another file's name
        {Down + Down + "DUP" + Enter, "DUP", "DUP.KOV"},  // the highlighted one's own name
        {Down + Down + "X" + Enter, "X", ""},
    };
    for (const auto& k : kCases) {
        Type(k.typed);
        std::string name = "?";
        std::string entry = "?";
        ASSERT_EQ(1, PickFile(12, 22, 8, "*.KOV", &name, false, &entry)) << k.entry;
        EXPECT_EQ(k.name, name) << k.entry;
        EXPECT_EQ(k.entry, entry);
        EXPECT_TRUE(console.keys.empty());
    }
}

// A name is taken as typed: case, "-", "_" and dots kept, longer than eight;
// a blank or "/" cannot be typed.
TEST_F(PickerTest, TakesANameAsTyped) {
    struct Case {
        std::string typed;
        const char* name;
    } kCases[] = {
        {"line3-north", "line3-north"},
        {"Plant_2.v1", "Plant_2.v1"},
        {"a b/c", "abc"},
        {"abcdefghijklmnopqrstuvwxyz0123456789", "abcdefghijklmnopqrstuvwxyz0123456789"},
    };
    for (const auto& k : kCases) {
        Type(k.typed + Enter);
        std::string name;
        ASSERT_EQ(1, PickFile(12, 22, 36, "*.KOV", &name, false));
        EXPECT_EQ(k.name, name);
    }
}

TEST_F(PickerTest, NavigationChoosesItems) {
    Files(100);
    struct Case {
        const char* name;
        std::string typed;
        const char* chosen;
    } kCases[] = {
        {"first item", Enter, "F000"},
        {"down", Down + Down + Enter, "F002"},
        {"up stops at the top", Up + Enter, "F000"},
        {"right moves a column", Right + Enter, "F012"},
        {"end of the page", End + Enter, "F095"},
        {"page down", PgDn + Enter, "F096"},
        {"page down past the last page acts as End", PgDn + PgDn + Enter, "F099"},
        {"page up returns to the 96th", PgDn + PgUp + Enter, "F095"},
        {"page up on the first page is Home", Down + PgUp + Enter, "F000"},
        {"right from the last column pages on", End + Right + Enter, "F099"},
        {"left from the first column pages back keeping row and column", PgDn + Down + Left + Enter,
         "F001"},
        {"typed name wins", "MyName" + Enter, "MyName"},
        {"typing replaces the shown name", Down + "X1" + Enter, "X1"},
        {"Esc", Esc, "<esc>"},
    };
    for (const auto& k : kCases) EXPECT_EQ(k.chosen, Pick(k.typed)) << k.name;
}

TEST_F(PickerTest, EndOnAShortPageClampsToTheLastItem) {
    Files(20);
    EXPECT_EQ("F019", Pick(End + Enter));
    // Right stops at the last column that holds items.
    EXPECT_EQ("F012", Pick(Right + Right + Right + Enter));
    EXPECT_EQ("F019", Pick(Right + Down + Down + Down + Down + Down + Down + Down + Down + Enter));
}

TEST_F(PickerTest, EntersDirectoriesAndParent) {
    ASSERT_EQ(0, ::mkdir("sub", 0755));
    Touch("sub/inner.kov");
    const std::string top = Cwd();
    // Items: "..", "sub". Down to sub, Enter; then Enter takes inner.
    EXPECT_EQ("inner", Pick(Down + Enter + Down + Enter, true));
    EXPECT_EQ(top + "/sub", Cwd());
    // Enter on the parent goes back up.
    EXPECT_EQ("X", Pick(Enter + "X" + Enter, true));
    EXPECT_EQ(top, Cwd());
}

TEST_F(PickerTest, TypedNameWinsOverADirectory) {
    ASSERT_EQ(0, ::mkdir("sub", 0755));
    const std::string top = Cwd();
    EXPECT_EQ("new", Pick("new" + Enter, true));
    EXPECT_EQ(top, Cwd());
}

TEST_F(PickerTest, EmptyListTakesTypedNameOrEsc) {
    EXPECT_EQ("abc", Pick(Down + PgDn + Enter + "abc" + Enter));
    EXPECT_EQ("<esc>", Pick(Esc));
}

}  // namespace
