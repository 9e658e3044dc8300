// Typed fields, choice lists, number lists and forms on the in-memory screen.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "field_screen_fixture.h"
#include "ui/console/keys.h"
#include "ui/fields.h"
#include "ui/screen_state.h"

namespace {

using namespace keys;
const char kEnterEsc[] = "\r\x1b";

struct AcceptFieldTest : FieldScreen {};

TEST_F(AcceptFieldTest, TypedValuesAreStoredAndRedisplayed) {
    struct Case {
        int16_t type;
        int16_t width;
        std::string typed;
        uint32_t stored;
        const char* shown;
        int errors;  // "Unacceptable format of data" windows
    } kCases[] = {
        {8, 8, "12.5" + Enter, 1250, "12.50   ", 0},
        {8, 8, "12." + Enter + F10 + CtrlY + "3" + Enter, 300, "3.00    ", 1},
        {-8, 8, Enter, 0, "0.00    ", 0},
        {3, 6, Esc, 0, "0     ", 0},
        {12, 10, "1234" + Down + F10, 1234, "01234     ", 1},
    };
    for (const auto& k : kCases) {
        SCOPED_TRACE(k.typed);
        uint32_t value = 77;
        FieldDescriptor f{5, 10, k.width, k.type, &value, nullptr, nullptr, 0};
        const char exits[] = {'\r', '\x1b', char(key::Down), 0};
        Type(k.typed);
        console.beeps = 0;
        AcceptField(f, exits, 0);
        EXPECT_EQ(k.stored, value);
        EXPECT_EQ(k.shown, Image(5, 10, k.width));
        EXPECT_TRUE(console.keys.empty());
    }
}

TEST_F(AcceptFieldTest, ErrorWindowShowsTheMessage) {
    uint32_t value = 0;
    FieldDescriptor f{5, 10, 8, 8, &value, nullptr, nullptr, 0};
    static FieldScreen* self;
    static std::string seen;
    self = this;
    AddHotKey(key::F2, [](int, int) {
        seen = self->console.Row(22);
        return 0;
    });
    Type("1.234" + Enter + std::string("\0\x3C", 2) + F10 + Esc);
    AcceptField(f, kEnterEsc, 0);
    EXPECT_NE(std::string::npos, seen.find("Unacceptable format of data"));
    RemoveHotKey(key::F2);
}

TEST_F(AcceptFieldTest, StateCodesAreUpperCased) {
    int16_t value = 0;
    FieldDescriptor f{5, 10, 2, 13, &value, nullptr, nullptr, 0};
    Type("tx" + Enter);
    AcceptField(f, kEnterEsc, 0);
    EXPECT_EQ(44, value);
    EXPECT_EQ("TX", Image(5, 10, 2));
}

TEST_F(AcceptFieldTest, CheckRoutineDecidesAfterParse) {
    uint16_t value = 0;
    FieldCheck below100 = [](void* v, int, const FieldDescriptor*) {
        return int(*static_cast<uint16_t*>(v) < 100);
    };
    FieldDescriptor f{5, 10, 5, 2, &value, nullptr, below100, 0};
    Type("500" + Enter + CtrlY + "42" + Enter);
    AcceptField(f, kEnterEsc, 0);
    EXPECT_EQ(42, value);
}

TEST_F(AcceptFieldTest, StartWithTextEditsTheCurrentValue) {
    uint16_t value = 12;
    FieldDescriptor f{5, 10, 5, 2, &value, nullptr, nullptr, 0};
    Type("3" + Enter);
    AcceptField(f, kEnterEsc, tf::StartWithText);
    EXPECT_EQ(123, value);
}

TEST_F(AcceptFieldTest, ZeroFillWithOverwriteFlag) {
    uint16_t value = 0;
    FieldDescriptor f{5, 10, 5, 2, &value, nullptr, nullptr, 0};
    Type("42" + Enter);
    AcceptField(f, kEnterEsc, tf::Overwrite);
    EXPECT_EQ("42000", Image(5, 10, 5));
}

TEST_F(AcceptFieldTest, ChoiceLists) {
    const char* const noYes[] = {"YES", "NO", nullptr};
    const char* const three[] = {"A", "B", "C", nullptr};
    struct Case {
        const char* const* texts;
        int16_t start;
        std::string typed;
        int16_t result;
    } kCases[] = {
        {noYes, 1, "N" + Enter, 0}, {noYes, 1, " " + Enter, 0},  {noYes, 0, "y" + Enter, 1},
        {noYes, 1, "y" + Enter, 1}, {three, 0, Left + Enter, 2}, {three, 2, Right + Enter, 0},
        {three, 0, "-" + Enter, 0}, {three, 5, Esc, 2},          {three, 1, "x" + Enter, 1},
    };
    for (const auto& k : kCases) {
        int16_t index = k.start;
        FieldDescriptor f{6, 20, 3, 0, &index, k.texts, nullptr, 0};
        Type(k.typed);
        console.beeps = 0;
        AcceptField(f, kEnterEsc, 0);
        EXPECT_EQ(k.result, index) << k.typed;
        EXPECT_EQ(0, console.beeps);
    }
}

TEST_F(AcceptFieldTest, DrawChoiceOutOfRangeIsInvalid) {
    const char* const texts[] = {"ONE", "TWO", nullptr};
    DrawChoice(3, 1, texts, 1, 7, 0);
    EXPECT_EQ("TWO    ", Image(3, 1, 7));
    DrawChoice(3, 1, texts, 2, 7, 0);
    EXPECT_EQ("INVALID", Image(3, 1, 7));
}

// A list too long for its field (a damaged route count under a three-column
// drop) shows as question marks and never draws past the field.
TEST_F(AcceptFieldTest, ANumberListNeverDrawsPastItsField) {
    PutText("xxxxxxxx", 3, 1, 8, ' ', 0);
    NumberList eight{8, {1, 2, 3, 4, 5, 6, 7, 8}};
    DrawNumberList(3, 1, eight, 0, 3);
    EXPECT_EQ("???xxxxx", Image(3, 1, 8));
    NumberList drop{1, {255}};
    DrawNumberList(3, 1, drop, 0, 3);
    EXPECT_EQ("255xxxxx", Image(3, 1, 8));
    DrawNumberList(3, 1, eight, 0);
    EXPECT_EQ("1,2,3,4,5,6,7,8", Image(3, 1, 15));
}

// A stored index past the list shows "INVALID"; the choice shown when the
// field is entered, shorter than that, leaves none of it behind.
TEST_F(AcceptFieldTest, AChoiceAfterInvalidClearsTheWholeField) {
    const char* const bauds[] = {"1200", "2400", nullptr};
    int16_t index = 7;
    FieldDescriptor f{3, 1, 7, 0, &index, bauds, nullptr, 0};
    DrawField(f, 0);
    EXPECT_EQ("INVALID", Image(3, 1, 7));
    Type(Enter);
    AcceptField(f, kEnterEsc, 0);
    EXPECT_EQ(1, index);
    EXPECT_EQ("2400   ", Image(3, 1, 7));
}

TEST_F(AcceptFieldTest, NumberLists) {
    struct Case {
        std::string typed;
        std::vector<uint16_t> numbers;
        const char* shown;
    } kCases[] = {
        {"1, 5,10" + Enter, {1, 5, 10}, "1,5,10"}, {Enter, {}, "NONE"}, {"3,4" + Esc, {9}, "9"}};
    for (const auto& k : kCases) {
        NumberList list{1, {9}};
        FieldDescriptor f{7, 5, 31, 28, &list, nullptr, nullptr, 0};
        Type(k.typed);
        AcceptField(f, kEnterEsc, 0);
        EXPECT_EQ(k.numbers, std::vector<uint16_t>(list.numbers, list.numbers + list.count));
        EXPECT_EQ(std::string(k.shown) + std::string(31 - std::strlen(k.shown), ' '),
                  Image(7, 5, 31));
    }
}

TEST_F(AcceptFieldTest, EditNumberReadsDigits) {
    int16_t value = 3;
    Type("2" + Enter);
    EXPECT_EQ(key::Enter, EditNumber(value, 11, 50, 1, '?', kEnterEsc, 0));
    EXPECT_EQ(2, value);
    Type(Esc);
    EXPECT_EQ(key::Esc, EditNumber(value, 11, 50, 1, '?', kEnterEsc, 0));
    EXPECT_EQ(0, value);
}

struct FormTest : FieldScreen {
    uint16_t a = 1, b = 2, c = 3;
    FieldDescriptor fields[3] = {{2, 1, 5, -2, &a, nullptr, nullptr, 0},
                                 {3, 1, 5, -2, &b, nullptr, nullptr, 0},
                                 {4, 1, 5, -2, &c, nullptr, nullptr, 0}};
};

TEST_F(FormTest, LeavingKeys) {
    struct Case {
        int start;
        std::string typed;
        int key;
    } kCases[] = {
        {2, Enter, key::Enter}, {0, Up, key::Up},
        {2, Down, key::Down},   {0, Enter + Enter + Enter, key::Enter},
        {1, Up + Up, key::Up},  {0, Esc, key::Esc},
        {0, F10, key::F10},
    };
    const char exits[] = {'\r', '\x1b', char(key::F10), 0};
    for (const auto& k : kCases) {
        Type(k.typed);
        EXPECT_EQ(k.key, EditForm(fields, 0, 2, k.start, exits, tf::StartWithText)) << k.typed;
        EXPECT_TRUE(console.keys.empty());
    }
}

TEST_F(FormTest, ValuesComeBackWhenRevisited) {
    Type("7" + Down + Up + "8" + Enter + Enter + Enter);
    EditForm(fields, 0, 2, 0, "\r\x1b", 0);
    EXPECT_EQ(78, a);  // second visit starts from the value the first one left
}

TEST_F(FormTest, DrawFieldsAndLabels) {
    const LabelDescriptor labels[] = {
        {2, 10, "Alpha", 0}, {3, 10, "Beta", tf::Reverse}, {0, 0, nullptr, 0}};
    DrawFields(fields, 0, 2, 0);
    DrawLabels(labels);
    EXPECT_EQ("1        Alpha", Image(2, 1, 14));
    EXPECT_EQ("3    ", Image(4, 1, 5));
    EXPECT_EQ("Beta", Image(3, 10, 4));
    EXPECT_EQ(1, ScreenAttr(2, 9));
}

}  // namespace

namespace {

void AcceptUndefinedType(int16_t type) {
    con::MemoryConsole console;
    ScreenState screenState;
    ScreenInit(console, screenState);
    console.Type(keys::F10);
    uint32_t value = 0;
    FieldDescriptor f{5, 10, 5, type, &value, nullptr, nullptr, 0};
    AcceptField(f, "\r", 0);
    std::_Exit(3);  // AcceptField must not come back
}

TEST(AcceptFieldDeathTest, UndefinedTypeEndsTheProgram) {
    for (int16_t type : {23, 24, 26, 27, 29, -40})
        EXPECT_EXIT(AcceptUndefinedType(type), testing::ExitedWithCode(0), "") << type;
}

}  // namespace
