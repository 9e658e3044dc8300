// The file picker over real directories: listing, paging, typed names and
// entering directories.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "field_screen_fixture.h"
#include "ui/file_picker.h"
#include "ui/keys.h"

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
        char name[9] = "?";
        int r = PickFile(12, 22, "*.KOV", name, dirs);
        if (result) *result = r;
        EXPECT_TRUE(console.keys.empty());
        return r ? name : "<esc>";
    }
    std::string Cwd() {
        char cwd[4096];
        return ::getcwd(cwd, sizeof cwd);
    }
};

TEST_F(PickerTest, ListsMatchingFilesUpperCasedWithoutExtension) {
    Touch("config.kov");
    Touch("other.txt");
    Touch("B.KOV");
    ASSERT_EQ(0, ::mkdir("old.dir", 0755));
    auto items = ListPickItems("*.KOV", false);
    ASSERT_EQ(2u, items.size());
    EXPECT_EQ("B", items[0].name);
    EXPECT_EQ("CONFIG", items[1].name);
    EXPECT_EQ("config.kov", items[1].real);
    items = ListPickItems("*.KOV", true);
    std::vector<std::string> names;
    for (auto& i : items) names.push_back(i.name + (i.kind ? "/" : ""));
    EXPECT_EQ((std::vector<std::string>{"../", "B", "CONFIG", "OLD.DIR/"}), names);
}

TEST_F(PickerTest, ScreenShowsItemsAndBrackets) {
    Touch("config.kov");
    ASSERT_EQ(0, ::mkdir("old.dir", 0755));
    Type(Esc);
    static PickerTest* self;
    static std::string row14, row15, row16;
    self = this;
    AddHotKey(key::F2, [](int, int) {
        row14 = self->console.Row(13);
        row15 = self->console.Row(14);
        row16 = self->console.Row(15);
        return 0;
    });
    Type("\xE0\x3C" + Esc);
    console.keys.pop_front();  // the first Esc typed above is not wanted
    char name[9];
    EXPECT_EQ(0, PickFile(12, 22, "*.KOV", name, true));
    EXPECT_EQ("[ parent ]", row14.substr(0, 10));
    EXPECT_EQ(" CONFIG  ", row15.substr(0, 9));
    EXPECT_EQ("[OLD.DIR ]", row16.substr(0, 10));
    EXPECT_EQ(std::string(80, ' '), console.Row(13)) << "list area cleared on return";
    RemoveHotKey(key::F2);
}

// Names that do not fit the eight places, or differ only by case, are still
// listed one item each, and each item gives back the entry it stands for.
TEST_F(PickerTest, EveryListedFileGivesBackItsOwnEntry) {
    Touch("long name with spaces.KOV");
    Touch("ABCDEFGHIJ.KOV");
    Touch("DUP.KOV");
    Touch("dup.kov");
    Touch("caf\xC3\xA9.kov");
    Touch("SHORT.KOV");
    std::vector<std::string> shown;
    for (const auto& item : ListPickItems("*.KOV", false)) shown.push_back(item.name);
    EXPECT_EQ((std::vector<std::string>{"ABCDEFG~", "CAF??", "DUP", "DUP", "LONG NA~", "SHORT"}),
              shown);
    struct Case {
        std::string typed;
        const char* name;   // what the name field gave back
        const char* entry;  // the entry to open ("" for a typed name)
    } kCases[] = {
        {Enter, "ABCDEFG~", "ABCDEFGHIJ.KOV"},
        {Down + Enter, "CAF??", "caf\xC3\xA9.kov"},
        {Down + Down + Enter, "DUP", "DUP.KOV"},
        {Down + Down + Down + Enter, "DUP", "dup.kov"},
        {Down + Down + Down + Down + Enter, "LONG NA~", "long name with spaces.KOV"},
        {"abcdefgh" + Enter, "ABCDEFGH", ""},
        {Down + Down + "dup" + Enter, "DUP", "DUP.KOV"},  // the highlighted one's own name
        {Down + Down + "X" + Enter, "X", ""},
    };
    for (const auto& k : kCases) {
        Type(k.typed);
        char name[9] = "?";
        std::string entry = "?";
        ASSERT_EQ(1, PickFile(12, 22, "*.KOV", name, false, &entry)) << k.entry;
        EXPECT_STREQ(k.name, name) << k.entry;
        EXPECT_EQ(k.entry, entry);
        EXPECT_TRUE(console.keys.empty());
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
        {"typed name wins", "MYNAME" + Enter, "MYNAME"},
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
    // Items: "..", "SUB". Down to SUB, Enter; then Enter takes INNER.
    EXPECT_EQ("INNER", Pick(Down + Enter + Down + Enter, true));
    EXPECT_EQ(top + "/sub", Cwd());
    // Enter on the parent goes back up.
    EXPECT_EQ("X", Pick(Enter + "X" + Enter, true));
    EXPECT_EQ(top, Cwd());
}

TEST_F(PickerTest, TypedNameWinsOverADirectory) {
    ASSERT_EQ(0, ::mkdir("sub", 0755));
    const std::string top = Cwd();
    EXPECT_EQ("NEW", Pick("new" + Enter, true));
    EXPECT_EQ(top, Cwd());
}

TEST_F(PickerTest, EmptyListTakesTypedNameOrEsc) {
    EXPECT_EQ("ABC", Pick(Down + PgDn + Enter + "abc" + Enter));
    EXPECT_EQ("<esc>", Pick(Esc));
}

}  // namespace
