// The editing modes: each is a small function from text to registers, picked
// from one table by the path's mode code.
#include "emulator/editing_modes.h"

#include <locale.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>

namespace {

using Registers = std::vector<int16_t>;

int16_t Low16(uint32_t v) { return int16_t(uint16_t(v & 0xFFFF)); }

bool IsDecimal(char c) { return c >= '0' && c <= '9'; }
bool IsOctal(char c) { return c >= '0' && c <= '7'; }
bool IsIdec(char c) { return c >= '0' && c <= '?'; }
int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// Skips to the first character that starts a number; a '-' there makes the
// number negative. Digits are then read with the given base and digit test.
template <typename StartsNumber, typename DigitValue>
uint32_t ReadSigned(std::string_view text, StartsNumber starts, DigitValue digit, uint32_t base,
                    bool allowSign) {
    size_t i = 0;
    while (i < text.size() && !((allowSign && text[i] == '-') || starts(text[i]))) ++i;
    bool negative = false;
    if (allowSign && i < text.size() && text[i] == '-') {
        negative = true;
        ++i;
    }
    uint32_t value = 0;  // unsigned, so long numbers wrap like the module's 32-bit word
    for (; i < text.size() && digit(text[i]) >= 0; ++i)
        value = value * base + uint32_t(digit(text[i]));
    return negative ? 0u - value : value;
}

void Ascii(std::string_view text, Registers& r) {
    size_t n = std::min(text.size(), r.size());
    for (size_t i = 0; i < n; ++i) r[i] = int16_t(uint8_t(text[i]));
}

void Packed(std::string_view text, Registers& r) {
    size_t n = std::min(text.size(), 2 * r.size());
    for (size_t i = 0; i < n; ++i) {
        uint16_t byte = uint8_t(text[i]);
        uint16_t v = uint16_t(r[i / 2]) | uint16_t(i % 2 ? byte : byte << 8);
        r[i / 2] = int16_t(v);
    }
}

void Integer(std::string_view text, Registers& r) {
    r[0] = Low16(ReadSigned(
        text, IsDecimal, [](char c) { return IsDecimal(c) ? c - '0' : -1; }, 10, true));
}

void Hex(std::string_view text, Registers& r) {
    r[0] = Low16(ReadSigned(
        text, [](char c) { return HexValue(c) >= 0; }, HexValue, 16, true));
}

void Octal(std::string_view text, Registers& r) {
    r[0] = Low16(ReadSigned(
        text, IsOctal, [](char c) { return IsOctal(c) ? c - '0' : -1; }, 8, true));
}

void Idec(std::string_view text, Registers& r) {
    r[0] = Low16(ReadSigned(
        text, IsIdec, [](char c) { return IsIdec(c) ? c & 0x0F : -1; }, 16, false));
}

// The decimal number at the start of text: sign, digits, fraction, exponent.
// Scanned here, so words like "inf" or hex floats are never taken as numbers.
std::string DecimalNumberAt(std::string_view text) {
    size_t i = 0;
    auto digits = [&] {
        while (i < text.size() && IsDecimal(text[i])) ++i;
    };
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
    digits();
    if (i < text.size() && text[i] == '.') {
        ++i;
        digits();
    }
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        size_t mark = i++;
        if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
        if (i < text.size() && IsDecimal(text[i]))
            digits();
        else
            i = mark;  // a bare 'e' is not part of the number
    }
    return std::string(text.substr(0, i));
}

float ParseFloat(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && !(text[i] == '-' || text[i] == '.' || IsDecimal(text[i]))) ++i;
    std::string number = DecimalNumberAt(text.substr(i));
    // The C locale, whatever the terminal's locale says about decimal points.
    static locale_t cLocale = newlocale(LC_NUMERIC_MASK, "C", locale_t(0));
    char* end = nullptr;
    double d = strtod_l(number.c_str(), &end, cLocale);
    if (end == number.c_str()) return 0.0f;
    if (std::fabs(d) > std::numeric_limits<float>::max())
        return d > 0 ? std::numeric_limits<float>::infinity()
                     : -std::numeric_limits<float>::infinity();
    return float(d);
}

void Float(std::string_view text, Registers& r) {
    if (r.size() < 2) {
        r[0] = 0;
        return;
    }
    float f = ParseFloat(text);
    uint32_t bits;
    std::memcpy(&bits, &f, sizeof bits);
    r[0] = Low16(bits);
    r[1] = Low16(bits >> 16);
}

// Packs the first run of digits from the right: the block's last register
// holds the last four digits.
void Bcd(std::string_view text, Registers& r) {
    size_t first = 0;
    while (first < text.size() && !IsDecimal(text[first])) ++first;
    size_t end = first;
    while (end < text.size() && IsDecimal(text[end])) ++end;
    size_t capacity = 4 * r.size();
    size_t from = end - first > capacity ? end - capacity : first;
    for (size_t k = 0; from + k < end; ++k) {
        size_t fromRight = end - 1 - (from + k);  // 0 for the last digit
        size_t reg = r.size() - 1 - fromRight / 4;
        uint16_t nibble = uint16_t(text[from + k] - '0') << (4 * (fromRight % 4));
        r[reg] = int16_t(uint16_t(r[reg]) | nibble);
    }
}

using Conversion = void (*)(std::string_view, Registers&);

struct ModeRow {
    const char* name;
    Conversion convert;
};

const ModeRow kModes[kEditingModeCount] = {
    {"ASCII  ", Ascii}, {"PACKED ", Packed}, {"INTEGER", Integer}, {"FLOAT  ", Float},
    {"BCD    ", Bcd},   {"HEX    ", Hex},    {"OCTAL  ", Octal},   {"IDEC   ", Idec},
};

}  // namespace

std::string EditingModeName(uint8_t mode) {
    return mode < kEditingModeCount ? kModes[mode].name : std::to_string(mode) + "?";
}

std::vector<int16_t> ConvertText(uint8_t mode, std::string_view text, int count) {
    Registers registers(size_t(std::clamp(count, 0, kMaxRegisterCount)), 0);
    if (!registers.empty() && mode < kEditingModeCount) kModes[mode].convert(text, registers);
    return registers;
}
