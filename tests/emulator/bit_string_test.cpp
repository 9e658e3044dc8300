// The grouped bit-string form of a 16-bit value and reading it back.
#include "emulator/bit_string.h"

#include <gtest/gtest.h>

namespace {

TEST(BitString, Formats) {
    struct Case {
        uint16_t value;
        const char* text;
    } kCases[] = {
        {0x0001, "0000 0000 0000 0001 "}, {0x0000, "0000 0000 0000 0000 "},
        {0x8000, "1000 0000 0000 0000 "}, {0xA5C3, "1010 0101 1100 0011 "},
        {0xFFFF, "1111 1111 1111 1111 "},
    };
    for (const Case& c : kCases) {
        EXPECT_EQ(FormatBitString(c.value), c.text);
        EXPECT_EQ(ParseBitString(c.text), c.value);
    }
}

TEST(BitString, ParsesOnlyZerosAndOnes) {
    struct Case {
        const char* text;
        uint16_t value;
    } kCases[] = {
        {"", 0},
        {"1", 1},
        {"10", 2},
        {"1x0y1", 5},
        {"2 1 9", 1},
        {"11111111111111111", 0xFFFF},  // 17 ones: the first drops out
        {"1 0000 0000 0000 0000", 0},   // shifted out on the left
    };
    for (const Case& c : kCases) EXPECT_EQ(ParseBitString(c.text), c.value) << c.text;
}

}  // namespace
