// What registers mean: the values the editing modes leave in a register
// block read back out of it, and the register layouts those values use (two
// registers for a 32-bit word, packed BCD, two characters a register). The
// emulate and watch commands and kova-link's typed values all read registers
// through here, so a layout is decoded in one place.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Which register of a pair holds the low 16 bits of a 32-bit word. The
// FLOAT mode writes the low word first.
enum class WordOrder { LowFirst, HighFirst };

uint32_t JoinWords(uint16_t first, uint16_t second, WordOrder order);
// The two registers of value, in the order they stand in the block.
void SplitWords(uint32_t value, WordOrder order, uint16_t* first, uint16_t* second);
float FloatOfWords(uint16_t first, uint16_t second, WordOrder order);

// The shortest decimal text that reads back as the same float ("12.5",
// "-0.25", "1e+20"; "nan", "inf", "-inf").
std::string FloatText(float value);

// The decimal digits of packed BCD registers, four a register, the first
// register the most significant, leading zeros dropped ("0" for none);
// nothing when a nibble is above 9, which no BCD block holds.
std::optional<std::string> BcdDigits(const uint16_t* registers, size_t count);

// Two characters a register, the high byte first, up to the first zero byte
// (a block's unused registers and an odd text's last low byte are 0).
std::string PackedText(const uint16_t* registers, size_t count);
// One character a register (its low byte), up to the first zero.
std::string AsciiText(const uint16_t* registers, size_t count);

// A signed 16-bit value in base 8, 10 or 16, with a '-' for a negative one
// and upper-case hexadecimal digits ("-1F").
std::string SignedText(int16_t value, int base);

// Control characters and bytes past 0x7E as the terminal shows them,
// "<0D>", the rest as it stands.
std::string VisibleText(std::string_view text);

// The value a block written by an editing mode holds.
struct DecodedBlock {
    std::string mode;     // the mode's name without padding: "INTEGER"
    bool isText = false;  // ASCII, PACKED and BCD give text, the others a number
    std::string text;     // the characters, the BCD digits, or the number as shown
    double number = 0;    // INTEGER, FLOAT, HEX, OCTAL, IDEC
    bool valid = true;    // false for a BCD block with a nibble above 9, or an unknown mode
};

// The block (the path's registers, as many as its count) read by the mode.
DecodedBlock DecodeBlock(uint8_t mode, const std::vector<int16_t>& block);

// "INTEGER 12500", "FLOAT 12.5", "ASCII \"ABC123\"", "BCD 12345", "HEX -1F",
// "OCTAL 17", "IDEC 1F"; text with control characters made visible.
std::string DecodedText(const DecodedBlock& decoded);
// The same at the end of out.
void AppendDecodedText(std::string& out, const DecodedBlock& decoded);
