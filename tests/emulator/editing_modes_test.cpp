// Editing modes: text and register count in, register block out.
#include "emulator/editing_modes.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

enum Mode : uint8_t { ASCII, PACKED, INTEGER, FLOAT, BCD, HEX, OCTAL, IDEC };

struct Case {
    uint8_t mode;
    const char* text;
    int count;
    std::vector<uint16_t> registers;  // as 16-bit patterns
};

std::vector<uint16_t> Convert(const Case& c) {
    std::vector<uint16_t> out;
    for (int16_t r : ConvertText(c.mode, c.text, c.count)) out.push_back(uint16_t(r));
    return out;
}

void ExpectCases(const std::vector<Case>& cases) {
    for (const Case& c : cases)
        EXPECT_EQ(Convert(c), c.registers)
            << "mode " << int(c.mode) << " text \"" << c.text << "\" count " << c.count;
}

TEST(EditingModes, AsciiOneCharacterPerRegister) {
    ExpectCases({
        {ASCII, "AB", 4, {65, 66, 0, 0}},
        {ASCII, "ABCDE", 3, {65, 66, 67}},
        {ASCII, "", 2, {0, 0}},
        {ASCII, "\xe9", 1, {0x00E9}},  // high byte stays 0 for codes above 127
        {ASCII, "AB", 0, {}},
    });
}

TEST(EditingModes, PackedTwoCharactersPerRegister) {
    ExpectCases({
        {PACKED, "ABC", 2, {0x4142, 0x4300}},
        {PACKED, "ABCD", 2, {0x4142, 0x4344}},
        {PACKED, "ABCDEF", 2, {0x4142, 0x4344}},
        {PACKED, "A", 3, {0x4100, 0, 0}},
        {PACKED, "\xff\x80", 1, {0xFF80}},
    });
}

TEST(EditingModes, IntegerSignedDecimalKeepsLow16Bits) {
    ExpectCases({
        {INTEGER, "T=-123", 1, {0xFF85}},
        {INTEGER, "123", 1, {123}},
        {INTEGER, "70000", 1, {4464}},
        {INTEGER, "ABC", 1, {0}},
        {INTEGER, "12AB34", 1, {12}},
        {INTEGER, "X-", 1, {0}},
        {INTEGER, "--5", 1, {0}},  // the first '-' is the sign; no digit follows it
        {INTEGER, "-32768", 1, {0x8000}},
        {INTEGER, "4294967297", 1, {1}},  // 32-bit wrap, then the low 16 bits
        {INTEGER, "42", 3, {42, 0, 0}},
        {INTEGER, "42", 0, {}},
    });
}

uint32_t FloatBits(float f) {
    uint32_t bits;
    std::memcpy(&bits, &f, sizeof bits);
    return bits;
}

TEST(EditingModes, FloatIsSinglePrecisionLowWordFirst) {
    uint32_t pi = FloatBits(3.14159f);
    uint32_t big = FloatBits(1.25e10f);
    ExpectCases({
        {FLOAT, "1.5", 2, {0x0000, 0x3FC0}},
        {FLOAT, "V=-2", 2, {0x0000, 0xC000}},
        {FLOAT, "3.14159", 2, {uint16_t(pi), uint16_t(pi >> 16)}},
        {FLOAT, "X1.25E10Y", 2, {uint16_t(big), uint16_t(big >> 16)}},
        {FLOAT, ".5", 3, {0x0000, 0x3F00, 0}},
        {FLOAT, "abc", 2, {0, 0}},
        {FLOAT, "-.", 2, {0, 0}},
        {FLOAT, "2e", 2, {0x0000, 0x4000}},        // a bare exponent mark is not read
        {FLOAT, "inf 0x10", 2, {0x0000, 0x0000}},  // reads the 0 of "0x10", never "inf"
        {FLOAT, "1e60", 2, {0x0000, 0x7F80}},      // too large: infinity
        {FLOAT, "-1e60", 2, {0x0000, 0xFF80}},
        {FLOAT, "1.5", 1, {0}},
    });
}

TEST(EditingModes, BcdPacksTheFirstDigitRunFromTheRight) {
    ExpectCases({
        {BCD, "123456", 1, {0x3456}},
        {BCD, "12", 2, {0x0000, 0x0012}},
        {BCD, "12345", 2, {0x0001, 0x2345}},
        {BCD, "-98.76", 2, {0x0000, 0x0098}},
        {BCD, "ABC", 2, {0, 0}},
        {BCD, "123456789", 2, {0x2345, 0x6789}},
        {BCD, "X00001234Y", 1, {0x1234}},
    });
}

TEST(EditingModes, HexOctalAndIdec) {
    ExpectCases({
        {HEX, "-1F", 1, {uint16_t(-31)}},
        {HEX, "ff", 1, {0x00FF}},
        {HEX, "Z=7fffG", 1, {0x7FFF}},
        {HEX, "12345", 1, {0x2345}},
        {HEX, "xyz", 2, {0, 0}},
        {OCTAL, "17", 1, {15}},
        {OCTAL, "9-7", 1, {uint16_t(-7)}},
        {OCTAL, "178", 1, {15}},
        {OCTAL, "89", 1, {0}},
        {IDEC, "1?", 1, {0x1F}},
        {IDEC, ":;<=>?", 1, {0xCDEF}},
        {IDEC, "-12", 1, {0x12}},  // no sign in this mode
        {IDEC, "AB", 1, {0}},
        {IDEC, "5", 2, {5, 0}},
    });
}

TEST(EditingModes, UnknownModeAndOddCountsWriteOnlyZeros) {
    ExpectCases({
        {8, "123", 2, {0, 0}},
        {255, "123", 1, {0}},
        {INTEGER, "5", -3, {}},
    });
    EXPECT_EQ(ConvertText(ASCII, std::string(100, 'A'), 100).size(), 64u);
}

TEST(EditingModes, NamesAreSevenCharactersAndUnknownCodesTheirNumber) {
    const char* kNames[] = {"ASCII  ", "PACKED ", "INTEGER", "FLOAT  ",
                            "BCD    ", "HEX    ", "OCTAL  ", "IDEC   "};
    for (uint8_t m = 0; m < 8; ++m) EXPECT_EQ(EditingModeName(m), kNames[m]);
    EXPECT_EQ(EditingModeName(8), "8?");
    EXPECT_EQ(EditingModeName(255), "255?");
}

}  // namespace
