// Register blocks read back: what each editing mode writes decodes to the
// value the text held, and the layouts match their definitions (IEEE 754
// single precision, packed BCD, two characters a register).
#include "emulator/register_decoding.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "emulator/editing_modes.h"

namespace {

enum Mode : uint8_t { ASCII, PACKED, INTEGER, FLOAT, BCD, HEX, OCTAL, IDEC };

struct RoundTrip {
    uint8_t mode;
    const char* text;  // as the device sent it
    int count;
    const char* shown;  // DecodedText
    double number;      // for the numeric modes
};

// Every mode: the emulator's own encoding, then the decoding, gives the value
// the text held back.
TEST(RegisterDecoding, EveryModeDecodesWhatItsEncodingWrote) {
    const RoundTrip cases[] = {
        {ASCII, "ABC123", 8, "ASCII \"ABC123\"", 0},
        {ASCII, "AB", 2, "ASCII \"AB\"", 0},
        {ASCII, "A\tB", 3, "ASCII \"A<09>B\"", 0},
        {PACKED, "ABC123", 3, "PACKED \"ABC123\"", 0},
        {PACKED, "ABC", 4, "PACKED \"ABC\"", 0},
        {PACKED, "0123456789AB", 6, "PACKED \"0123456789AB\"", 0},
        {INTEGER, "T=-123", 1, "INTEGER -123", -123},
        {INTEGER, "12500", 1, "INTEGER 12500", 12500},
        {INTEGER, "-32768", 2, "INTEGER -32768", -32768},
        {INTEGER, "32767", 1, "INTEGER 32767", 32767},
        {FLOAT, "12.5", 2, "FLOAT 12.5", 12.5},
        {FLOAT, "W -0.25 kg", 2, "FLOAT -0.25", -0.25},
        {FLOAT, "1.5e3", 4, "FLOAT 1500", 1500},
        {FLOAT, "0.1", 2, "FLOAT 0.1", double(0.1f)},
        {BCD, "12345", 2, "BCD 12345", 0},
        {BCD, "ID 00012", 2, "BCD 12", 0},
        {BCD, "98765432", 2, "BCD 98765432", 0},
        {BCD, "X", 1, "BCD 0", 0},
        {HEX, "-1F", 1, "HEX -1F", -31},
        {HEX, "7fff", 1, "HEX 7FFF", 0x7FFF},
        {OCTAL, "17", 1, "OCTAL 17", 15},
        {OCTAL, "-777", 1, "OCTAL -777", -511},
        {IDEC, "1?", 1, "IDEC 1F", 0x1F},
        {IDEC, ":;<=", 1, "IDEC ABCD", 0xABCD},
    };
    std::set<int> modesSeen;
    for (const RoundTrip& c : cases) {
        const DecodedBlock d = DecodeBlock(c.mode, ConvertText(c.mode, c.text, c.count));
        EXPECT_EQ(DecodedText(d), c.shown) << "mode " << int(c.mode) << " text " << c.text;
        EXPECT_TRUE(d.valid) << c.text;
        if (!d.isText) {
            EXPECT_EQ(d.number, c.number) << c.text;
        }
        modesSeen.insert(c.mode);
    }
    EXPECT_EQ(modesSeen.size(), size_t(kEditingModeCount));
}

// An IEEE 754 single from its fields: sign, unbiased exponent and the 23
// fraction bits.
uint32_t IeeeBits(bool negative, int exponent, uint32_t fraction) {
    return uint32_t(negative) << 31 | uint32_t(exponent + 127) << 23 | fraction;
}

TEST(RegisterDecoding, FloatWordsFollowTheIeeeDefinitionInBothOrders) {
    struct Case {
        uint32_t bits;
        float value;
    };
    const Case cases[] = {
        {IeeeBits(false, 3, 0x480000), 12.5f},     // 1.5625 * 2^3
        {IeeeBits(true, -2, 0), -0.25f},           // -1.0 * 2^-2
        {IeeeBits(false, 0, 0x400000), 1.5f},      // 1.5 * 2^0
        {IeeeBits(true, 10, 0x0E2000), -1137.0f},  // -(1 + 113/1024) * 2^10
    };
    for (const Case& c : cases) {
        const auto low = uint16_t(c.bits & 0xFFFF), high = uint16_t(c.bits >> 16);
        EXPECT_EQ(FloatOfWords(low, high, WordOrder::LowFirst), c.value);
        EXPECT_EQ(FloatOfWords(high, low, WordOrder::HighFirst), c.value);
        // The FLOAT mode writes the low word first.
        const auto block = ConvertText(FLOAT, FloatText(c.value).c_str(), 2);
        EXPECT_EQ(uint16_t(block[0]), low) << c.value;
        EXPECT_EQ(uint16_t(block[1]), high) << c.value;
        uint16_t first, second;
        SplitWords(c.bits, WordOrder::HighFirst, &first, &second);
        EXPECT_EQ(first, high);
        EXPECT_EQ(second, low);
        SplitWords(c.bits, WordOrder::LowFirst, &first, &second);
        EXPECT_EQ(JoinWords(first, second, WordOrder::LowFirst), c.bits);
    }
}

// Packed BCD from its definition: each decimal digit a nibble, the last digit
// in the last register's bottom nibble.
std::vector<uint16_t> BcdOf(const std::string& digits, size_t registers) {
    std::vector<uint16_t> out(registers, 0);
    for (size_t k = 0; k < digits.size() && k < 4 * registers; ++k) {
        const size_t fromRight = k;
        const int digit = digits[digits.size() - 1 - k] - '0';
        out[registers - 1 - fromRight / 4] |= uint16_t(digit << (4 * (fromRight % 4)));
    }
    return out;
}

TEST(RegisterDecoding, BcdDigitsFollowTheDefinition) {
    const struct {
        std::string digits;
        size_t registers;
        std::string read;
    } cases[] = {
        {"12345", 2, "12345"}, {"9999", 1, "9999"},
        {"0", 3, "0"},         {"1000200030004", 4, "1000200030004"},
        {"00780", 2, "780"},
    };
    for (const auto& c : cases) {
        const std::vector<uint16_t> words = BcdOf(c.digits, c.registers);
        EXPECT_EQ(BcdDigits(words.data(), words.size()), c.read) << c.digits;
        std::vector<int16_t> block(words.begin(), words.end());
        EXPECT_EQ(ConvertText(BCD, c.digits, int(c.registers)), block) << c.digits;
    }
    const uint16_t notBcd[] = {0x12A4};
    EXPECT_EQ(BcdDigits(notBcd, 1), std::nullopt);
    EXPECT_FALSE(DecodeBlock(BCD, {0x12A4}).valid);
}

TEST(RegisterDecoding, TextLayoutsStopAtTheFirstZeroByte) {
    const uint16_t packed[] = {0x4142, 0x4300, 0x4445};
    EXPECT_EQ(PackedText(packed, 3), "ABC");
    EXPECT_EQ(PackedText(packed, 1), "AB");
    const uint16_t ascii[] = {0x0041, 0x0142, 0, 0x0043};
    EXPECT_EQ(AsciiText(ascii, 4), "AB");  // the low byte alone
    EXPECT_EQ(PackedText(packed, 0), "");
}

TEST(RegisterDecoding, SignedAndVisibleTexts) {
    EXPECT_EQ(SignedText(-31, 16), "-1F");
    EXPECT_EQ(SignedText(-32768, 16), "-8000");
    EXPECT_EQ(SignedText(15, 8), "17");
    EXPECT_EQ(SignedText(0, 10), "0");
    EXPECT_EQ(VisibleText(std::string("A\r\n\x7f\xff\0B", 7)), "A<0D><0A><7F><FF><00>B");
}

TEST(RegisterDecoding, UnknownModeIsNoValue) {
    const DecodedBlock d = DecodeBlock(9, {1, 2});
    EXPECT_FALSE(d.valid);
    EXPECT_EQ(DecodedText(d), "9? (not a value of this mode)");
}

}  // namespace
