// Typed register values: one table row a format, with its reading and its
// writing of one value.
#include "value_formats.h"

#include <cerrno>
#include <charconv>
#include <cinttypes>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "emulator/editing_modes.h"

namespace {

// The whole text as an integer of the base within [low, high].
bool WholeInteger(const std::string& text, int base, long long low, long long high,
                  long long* out) {
    if (text.empty() || text[0] == ' ' || text[0] == '+') return false;
    if (low >= 0 && text[0] == '-') return false;  // strtoull would wrap it
    errno = 0;
    char* end = nullptr;
    long long value = low < 0 ? std::strtoll(text.c_str(), &end, base)
                              : (long long)std::strtoull(text.c_str(), &end, base);
    if (errno || *end || value < low || value > high) return false;
    *out = value;
    return true;
}

using Words = std::vector<uint16_t>;

// A single-register format: its text, and its register from a text.
struct Format16 {
    std::string (*show)(uint16_t);
    bool (*take)(const std::string&, uint16_t*);
};

std::string Bits(uint16_t v) {
    std::string bits;
    for (int bit = 15; bit >= 0; --bit) bits += char('0' + (v >> bit & 1));
    return bits;
}

bool TakeBits(const std::string& text, uint16_t* v) {
    if (text.empty() || text.size() > 16 || text.find_first_not_of("01") != std::string::npos)
        return false;
    *v = 0;
    for (char c : text) *v = uint16_t(*v << 1 | (c - '0'));
    return true;
}

std::string Bcd(uint16_t v) {
    std::optional<std::string> digits = BcdDigits(&v, 1);
    if (digits) return *digits;
    char text[8];
    std::snprintf(text, sizeof text, "?%04X", unsigned(v));
    return text;
}

// 0-9999 as the BCD editing mode packs digits: the module's own encoding.
bool TakeBcd(const std::string& text, uint16_t* v) {
    if (text.empty() || text.size() > 4 ||
        text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    *v = uint16_t(ConvertText(uint8_t(EditingMode::Bcd), text, 1)[0]);
    return true;
}

const Format16 kU16 = {[](uint16_t v) { return std::to_string(v); },
                       [](const std::string& t, uint16_t* v) {
                           long long n;
                           return WholeInteger(t, 0, 0, 65535, &n) && (*v = uint16_t(n), true);
                       }};
const Format16 kS16 = {[](uint16_t v) { return std::to_string(int16_t(v)); },
                       [](const std::string& t, uint16_t* v) {
                           long long n;
                           return WholeInteger(t, 0, -32768, 32767, &n) && (*v = uint16_t(n), true);
                       }};
const Format16 kHex = {[](uint16_t v) {
                           char text[8];
                           std::snprintf(text, sizeof text, "0x%04X", unsigned(v));
                           return std::string(text);
                       },
                       [](const std::string& t, uint16_t* v) {
                           long long n;
                           return WholeInteger(t, 16, 0, 0xFFFF, &n) && (*v = uint16_t(n), true);
                       }};
const Format16 kBin = {Bits, TakeBits};
const Format16 kBcd = {Bcd, TakeBcd};

// A 32-bit format: its text of the word, and the word from a text.
struct Format32 {
    std::string (*show)(uint32_t);
    bool (*take)(const std::string&, uint32_t*);
};

const Format32 kU32 = {[](uint32_t v) { return std::to_string(v); },
                       [](const std::string& t, uint32_t* v) {
                           long long n;
                           return WholeInteger(t, 0, 0, UINT32_MAX, &n) && (*v = uint32_t(n), true);
                       }};
const Format32 kS32 = {[](uint32_t v) { return std::to_string(int32_t(v)); },
                       [](const std::string& t, uint32_t* v) {
                           long long n;
                           return WholeInteger(t, 0, INT32_MIN, INT32_MAX, &n) &&
                                  (*v = uint32_t(n), true);
                       }};
const Format32 kF32 = {[](uint32_t v) {
                           float f;
                           std::memcpy(&f, &v, sizeof f);
                           return FloatText(f);
                       },
                       [](const std::string& t, uint32_t* v) {
                           float f;
                           auto [end, error] = std::from_chars(t.data(), t.data() + t.size(), f);
                           if (t.empty() || error != std::errc() || end != t.data() + t.size())
                               return false;
                           std::memcpy(v, &f, sizeof f);
                           return true;
                       }};

struct FormatRow {
    const char* name;
    ValueFormat format;
    const Format16* one;  // a single-register format
    const Format32* two;  // a 32-bit format over two registers
    const char* what;     // what a value may be, for messages
};

// clang-format off
const FormatRow kFormats[] = {
    {"u16", ValueFormat::U16, &kU16, nullptr, "0-65535 or 0x0-0xFFFF"},
    {"s16", ValueFormat::S16, &kS16, nullptr, "-32768-32767"},
    {"hex", ValueFormat::Hex, &kHex, nullptr, "hexadecimal 0-FFFF"},
    {"bin", ValueFormat::Bin, &kBin, nullptr, "1-16 binary digits"},
    {"u32", ValueFormat::U32, nullptr, &kU32, "0-4294967295"},
    {"s32", ValueFormat::S32, nullptr, &kS32, "-2147483648-2147483647"},
    {"f32", ValueFormat::F32, nullptr, &kF32, "a decimal number"},
    {"bcd", ValueFormat::Bcd, &kBcd, nullptr, "0-9999"},
    {"text", ValueFormat::Text, nullptr, nullptr, "1-128 characters"},
};
// clang-format on

const FormatRow& RowOf(ValueFormat format) {
    for (const FormatRow& row : kFormats)
        if (row.format == format) return row;
    return kFormats[0];
}

bool EncodeText(const std::vector<std::string>& values, Words* registers) {
    std::string text;
    for (const std::string& v : values) text += (text.empty() ? "" : " ") + v;
    if (text.empty() || text.size() > 2 * kMaxRegisterCount) return false;
    // Two characters a register, as the PACKED editing mode stores them.
    for (int16_t r : ConvertText(uint8_t(EditingMode::Packed), text, int(text.size() + 1) / 2))
        registers->push_back(uint16_t(r));
    return true;
}

}  // namespace

bool ParseValueFormat(const char* text, ValueFormat* format) {
    for (const FormatRow& row : kFormats)
        if (!std::strcmp(text, row.name)) return *format = row.format, true;
    return false;
}

bool ParseWordOrder(const char* text, WordOrder* order) {
    if (!std::strcmp(text, "low-first")) return *order = WordOrder::LowFirst, true;
    if (!std::strcmp(text, "high-first")) return *order = WordOrder::HighFirst, true;
    return false;
}

const char* ValueFormatNames() { return "u16|s16|hex|bin|u32|s32|f32|bcd|text"; }

int RegistersPerValue(ValueFormat format) { return RowOf(format).two ? 2 : 1; }

std::vector<std::string> FormatValues(const ValueOptions& options, const uint16_t* registers,
                                      size_t count) {
    const FormatRow& row = RowOf(options.format);
    std::vector<std::string> values;
    if (row.one) {
        for (size_t i = 0; i < count; ++i) values.push_back(row.one->show(registers[i]));
    } else if (row.two) {
        for (size_t i = 0; i + 1 < count; i += 2)
            values.push_back(
                row.two->show(JoinWords(registers[i], registers[i + 1], options.order)));
    } else {
        values.push_back(PackedText(registers, count));
    }
    return values;
}

bool EncodeValues(const ValueOptions& options, const std::vector<std::string>& values,
                  Words* registers, std::string* error) {
    const FormatRow& row = RowOf(options.format);
    if (!row.one && !row.two) {
        if (EncodeText(values, registers)) return true;
        *error = std::string("text must be ") + row.what;
        return false;
    }
    for (const std::string& v : values) {
        uint16_t word;
        uint32_t pair;
        if (row.one && row.one->take(v, &word)) {
            registers->push_back(word);
        } else if (row.two && row.two->take(v, &pair)) {
            uint16_t first, second;
            SplitWords(pair, options.order, &first, &second);
            registers->push_back(first);
            registers->push_back(second);
        } else {
            *error = std::string("VALUE must be ") + row.what + " for --format " + row.name +
                     ", not " + v;
            return false;
        }
    }
    return true;
}
