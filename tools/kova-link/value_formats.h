// Typed register values of kova-link (--format, --word-order): registers
// shown as signed or unsigned numbers, hexadecimal, bits, 32-bit integers and
// IEEE singles over two registers, BCD, or text two characters a register,
// and the same typed values turned into registers for a write. The layouts
// are the model's own (emulator/register_decoding), so a value reads here as
// the module's editing modes wrote it.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "emulator/register_decoding.h"

enum class ValueFormat { U16, S16, Hex, Bin, U32, S32, F32, Bcd, Text };

struct ValueOptions {
    ValueFormat format = ValueFormat::U16;
    // 32-bit formats: the module's own order by default, as FLOAT writes it.
    WordOrder order = WordOrder::LowFirst;
};

// "u16", "s16", ... as --format takes them; false for any other text.
bool ParseValueFormat(const char* text, ValueFormat* format);
// "low-first" or "high-first".
bool ParseWordOrder(const char* text, WordOrder* order);
// The names --format takes, for messages and help: "u16|s16|...".
const char* ValueFormatNames();

// Registers one value takes: 2 for u32, s32 and f32, 1 for the others.
int RegistersPerValue(ValueFormat format);

// The registers as values: one a register, one a pair for the 32-bit formats,
// and for text one value for all of them (up to the first zero byte). The
// count must be a whole number of values.
std::vector<std::string> FormatValues(const ValueOptions& options, const uint16_t* registers,
                                      size_t count);

// The registers that hold the values given (text: the words joined by
// blanks, two characters a register); false with *error naming the value and
// what it may be.
bool EncodeValues(const ValueOptions& options, const std::vector<std::string>& values,
                  std::vector<uint16_t>* registers, std::string* error);
