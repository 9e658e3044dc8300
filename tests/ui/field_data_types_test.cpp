// The data-type table: parsing typed text into values, the acceptance answer
// and the text shown for stored values.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "ui/data_types.h"

namespace {

// One storage cell big enough for every value form.
union Value {
    int16_t s16;
    uint16_t u16;
    int32_t s32;
    uint32_t u32;
    char text[84];
};

struct ParseCase {
    int type;
    int width;
    const char* typed;
    int accepted;
    int64_t stored;     // numeric types
    const char* shown;  // FormatField of the stored value; nullptr: cannot be shown
};

int64_t NumberOf(int type, const Value& v) {
    switch (type) {
        case 2:
            return v.u16;
        case 5:
        case 13:
            return v.s16;
        case 6:
        case 7:
        case 9:
        case 11:
        case 18:
        case 19:
        case 21:
            return v.s32;
        default:
            return v.u32;
    }
}

const ParseCase kNumeric[] = {
    {2, 5, "65535", 1, 65535, "65535"},
    {2, 5, "", 0, 0, "0"},
    // Numbers the stored type cannot hold are refused and kept at its limit,
    // never wrapped round (99999 would become 34463).
    {2, 6, "99999", 0, 65535, "65535"},
    {2, 6, "65536", 0, 65535, "65535"},
    {2, 6, "-5", 0, 0, "0"},
    {5, 6, "32768", 0, 32767, "32767"},
    {5, 6, "-32769", 0, -32768, "-32768"},
    {3, 11, "4294967296", 0, 4294967295, "4294967295"},
    {6, 12, "-2147483649", 0, -2147483648, "-2147483648"},
    {3, 10, "4000000000", 1, 4000000000, "4000000000"},
    {4, 10, "123", 1, 123, "123"},
    {5, 6, "-1234", 1, -1234, "-1234"},
    {5, 6, "+12", 0, 12, "12"},
    {6, 11, "-2000000000", 1, -2000000000, "-2000000000"},
    {8, 10, "12.5", 1, 1250, "12.50"},
    {8, 10, "12.05", 1, 1205, "12.05"},
    {8, 10, "12", 1, 1200, "12.00"},
    {8, 10, "12.", 0, 1200, "12.00"},
    {8, 10, "12.345", 0, 1234, "12.34"},
    {8, 10, "", 1, 0, "0.00"},
    {9, 10, "-3.07", 1, -307, "-3.07"},
    {9, 10, "-0.05", 1, -5, "-0.05"},
    {9, 10, "+4.1", 1, 410, "4.10"},
    {11, 8, "12/31/99", 1, 946598400, "12/31/99"},
    {11, 8, "01/01/89", 1, 599616000, "01/01/89"},
    {11, 8, "02/29/92", 1, 699321600, "02/29/92"},
    {11, 8, "02/30/95", 0, -1, nullptr},
    {11, 8, "01/01/00", 0, -1, nullptr},
    {11, 8, "13/01/95", 0, -1, nullptr},
    {11, 8, "1/1/95", 0, -1, nullptr},
    {12, 10, "02134", 1, 2134, "02134"},
    {12, 10, "12345-6789", 1, 123456789, "12345-6789"},
    {12, 10, "00501", 1, 501, nullptr},
    {12, 10, "1234", 0, 1234, "01234"},
    {13, 2, "TX", 1, 44, "TX"},
    {13, 2, "AK", 1, 1, "AK"},
    {13, 2, "WY", 1, 51, "WY"},
    {13, 2, "XX", 0, 0, nullptr},
    {14, 8, "12.", 1, 120, "12.0"},
    {14, 8, "12.3", 1, 123, "12.3"},
    {14, 8, "12.34", 0, 123, "12.3"},
    {16, 11, "12-345-6789", 1, 123456789, "12-345-6789"},
    {16, 11, "1234", 0, 1234, "00-000-1234"},
    {17, 10, ".5", 1, 5000, "0.5000"},
    {17, 10, "3.1416", 1, 31416, "3.1416"},
    {17, 10, "3.", 0, 30000, "3.0000"},
    {17, 10, "3.14159", 0, 31415, "3.1415"},
    {18, 8, "-0.5", 1, -5, "-0.5"},
    {18, 8, "-7.", 1, -70, "-7.0"},
    {19, 10, "-1.25", 1, -1250, "-1.250"},
    {19, 10, "-0.007", 1, -7, "-0.007"},
    {19, 10, "1.", 0, 1000, "1.000"},
    {20, 10, "2.5", 1, 2500, "2.500"},
    {21, 8, "0930", 0, -1, nullptr},
    {21, 8, "093000", 1, 34200, "09:30:00"},
    {21, 8, "23:59:59", 1, 86399, "23:59:59"},
    {21, 8, "240000", 0, -1, nullptr},
    {21, 5, "0930", 1, 34200, "09:30"},
    {21, 5, "09:60", 0, -1, nullptr},
    {22, 8, "555-1234", 1, 5551234, "555-1234"},
    {22, 8, "55-1234", 0, 551234, "055-1234"},
};

TEST(DataTypes, NumericParseAndShow) {
    for (const auto& k : kNumeric) {
        SCOPED_TRACE(testing::Message() << "type " << k.type << " typed \"" << k.typed << "\"");
        Value v;
        std::memset(&v, 0x00, sizeof v);
        v.s32 = -1;  // refused dates and times leave the value alone
        if (k.type == 2 || k.type == 5 || k.type == 13) v.s32 = 0, v.s16 = -1;
        EXPECT_EQ(k.accepted, ParseField(&v, k.typed, k.type, k.width));
        EXPECT_EQ(k.stored, NumberOf(k.type, v));
        std::string shown;
        int ok = FormatField(shown, &v, k.type, k.width);
        if (k.shown) {
            EXPECT_EQ(1, ok);
            EXPECT_EQ(k.shown, shown);
        } else if (k.stored != -1) {
            EXPECT_EQ(0, ok);
            EXPECT_EQ("", shown);
        }
    }
}

TEST(DataTypes, NegativeCodeIsTheSameType) {
    Value v{};
    EXPECT_EQ(1, ParseField(&v, "12.5", -8, 10));
    EXPECT_EQ(1250u, v.u32);
    std::string shown;
    EXPECT_EQ(1, FormatField(shown, &v, -8, 10));
    EXPECT_EQ("12.50", shown);
}

struct TextCase {
    int type;
    int width;
    const char* typed;
    int accepted;
    const char* stored;
    const char* shown;
};

const TextCase kText[] = {
    {1, 5, "hello world", 1, "hello", "hello"},
    {1, 5, "", 0, "", ""},
    {10, 13, "(617) 555-1234", 1, "6175551234", "(617)555-1234"},
    {10, 13, "555-1234", 1, "5551234", "() 555-1234"},
    {10, 13, "12345", 0, "12345", nullptr},
    {10, 13, "1234567890123", 0, "1234567890", "(123)456-7890"},
    {15, 11, "123-45-6789", 1, "123456789", "123-45-6789"},
    {15, 11, "123-45", 0, "12345", nullptr},
    {25, 6, "12345678", 1, "123456", "123456"},
    {25, 6, "12a", 0, "", ""},
    {25, 6, "", 1, "", ""},
};

TEST(DataTypes, TextParseAndShow) {
    for (const auto& k : kText) {
        SCOPED_TRACE(testing::Message() << "type " << k.type << " typed \"" << k.typed << "\"");
        Value v;
        std::memset(v.text, 0, sizeof v.text);
        EXPECT_EQ(k.accepted, ParseField(&v, k.typed, k.type, k.width));
        EXPECT_STREQ(k.stored, v.text);
        std::string shown;
        int ok = FormatField(shown, &v, k.type, k.width);
        EXPECT_EQ(k.shown ? 1 : 0, ok);
        EXPECT_EQ(k.shown ? k.shown : "", shown);
    }
}

TEST(DataTypes, TimeIsReducedToOneDayWhenShown) {
    Value v{};
    v.u32 = 86400 + 3661;
    std::string shown;
    EXPECT_EQ(1, FormatField(shown, &v, 21, 8));
    EXPECT_EQ("01:01:01", shown);
    EXPECT_EQ(3661u, v.u32);
    EXPECT_EQ(1, FormatField(shown, &v, 21, 2));
    EXPECT_EQ("01", shown);
}

TEST(DataTypes, TypedCharactersAndDefinedCodes) {
    struct Case {
        int type;
        const char* typed;
    } kCases[] = {{1, " -~"},      {2, "0-9"},   {5, "0-9+-"},  {9, "0-9+.-"},
                  {10, " 0-9()-"}, {11, "0-9/"}, {12, "0-9-"},  {13, "A-Z"},
                  {21, "0-9:"},    {25, "0-9"},  {28, "0-9, "}, {-8, "0-9."}};
    for (const auto& k : kCases) EXPECT_STREQ(k.typed, TypedCharacters(k.type)) << k.type;
    for (int undefined : {23, 24, 26, 27, 29, -23, 1000})
        EXPECT_FALSE(DataTypeDefined(undefined)) << undefined;
    for (int defined : {0, 1, 22, 25, 28, -1}) EXPECT_TRUE(DataTypeDefined(defined)) << defined;
}

TEST(NumberLists, ParseAndFormat) {
    struct Case {
        const char* typed;
        std::vector<uint16_t> numbers;
        const char* shown;
    } kCases[] = {
        {"1, 5,10", {1, 5, 10}, "1,5,10"},
        {"", {}, ""},
        {" ,, 7", {7}, "7"},
        {"1,2,3,4,5,6,7,8,9,10", {1, 2, 3, 4, 5, 6, 7, 8}, "1,2,3,4,5,6,7,8"},
        {"65536", {0}, "0"},
    };
    for (const auto& k : kCases) {
        NumberList list{};
        ParseNumberList(list, k.typed);
        EXPECT_EQ(k.numbers, std::vector<uint16_t>(list.numbers, list.numbers + list.count))
            << k.typed;
        EXPECT_EQ(k.shown, FormatNumberList(list)) << k.typed;
    }
}

}  // namespace
