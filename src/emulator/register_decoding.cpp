// Reading register blocks back into the values the editing modes put there.
#include "emulator/register_decoding.h"

#include <charconv>
#include <cstdio>
#include <cstring>

#include "emulator/editing_modes.h"

namespace {

// The modes' names without the padding of the screen's seven columns, made
// once.
const std::string& ModeName(uint8_t mode) {
    static const auto names = [] {
        std::vector<std::string> n;
        for (uint8_t m = 0; m < kEditingModeCount; ++m) {
            n.push_back(EditingModeName(m));
            while (n.back().back() == ' ') n.back().pop_back();
        }
        return n;
    }();
    return names[mode];
}

// The block's registers as the 16-bit words they are.
struct Words {
    explicit Words(const std::vector<int16_t>& block)
        : data(reinterpret_cast<const uint16_t*>(block.data())), count(block.size()) {}
    const uint16_t* data;
    size_t count;
    bool empty() const { return count == 0; }
    size_t size() const { return count; }
    uint16_t operator[](size_t i) const { return data[i]; }
};

DecodedBlock Text(std::string text) {
    DecodedBlock d;
    d.isText = true;
    d.text = std::move(text);
    return d;
}

DecodedBlock Number(double number, std::string text) {
    DecodedBlock d;
    d.number = number;
    d.text = std::move(text);
    return d;
}

DecodedBlock Decode(EditingMode mode, const Words& w) {
    const uint16_t first = w.empty() ? 0 : w[0];
    switch (mode) {
        case EditingMode::Ascii:
            return Text(AsciiText(w.data, w.size()));
        case EditingMode::Packed:
            return Text(PackedText(w.data, w.size()));
        case EditingMode::Integer:
            return Number(int16_t(first), std::to_string(int16_t(first)));
        case EditingMode::Float: {
            // A block of one register holds no float: the mode writes 0 there.
            float f = w.size() < 2 ? 0.0f : FloatOfWords(w[0], w[1], WordOrder::LowFirst);
            return Number(f, FloatText(f));
        }
        case EditingMode::Bcd: {
            std::optional<std::string> digits = BcdDigits(w.data, w.size());
            DecodedBlock d = Text(digits ? *digits : "");
            d.valid = digits.has_value();
            return d;
        }
        case EditingMode::Hex:
            return Number(int16_t(first), SignedText(int16_t(first), 16));
        case EditingMode::Octal:
            return Number(int16_t(first), SignedText(int16_t(first), 8));
        case EditingMode::Idec: {
            // No sign: the digits are the register's four nibbles.
            char text[8];
            std::snprintf(text, sizeof text, "%X", unsigned(first));
            return Number(first, text);
        }
    }
    return {};
}

}  // namespace

uint32_t JoinWords(uint16_t first, uint16_t second, WordOrder order) {
    return order == WordOrder::LowFirst ? uint32_t(second) << 16 | first
                                        : uint32_t(first) << 16 | second;
}

void SplitWords(uint32_t value, WordOrder order, uint16_t* first, uint16_t* second) {
    const uint16_t low = uint16_t(value & 0xFFFF), high = uint16_t(value >> 16);
    *first = order == WordOrder::LowFirst ? low : high;
    *second = order == WordOrder::LowFirst ? high : low;
}

float FloatOfWords(uint16_t first, uint16_t second, WordOrder order) {
    const uint32_t bits = JoinWords(first, second, order);
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

std::string FloatText(float value) {
    char text[64];
    auto [end, error] = std::to_chars(text, text + sizeof text, value);
    if (error != std::errc()) return "?";
    return std::string(text, end);
}

std::optional<std::string> BcdDigits(const uint16_t* registers, size_t count) {
    std::string digits;
    for (size_t i = 0; i < count; ++i)
        for (int shift = 12; shift >= 0; shift -= 4) {
            const int nibble = registers[i] >> shift & 0xF;
            if (nibble > 9) return std::nullopt;
            if (!digits.empty() || nibble) digits += char('0' + nibble);
        }
    return digits.empty() ? "0" : digits;
}

std::string PackedText(const uint16_t* registers, size_t count) {
    std::string text;
    for (size_t i = 0; i < count; ++i)
        for (int shift : {8, 0}) {
            const char c = char(registers[i] >> shift & 0xFF);
            if (!c) return text;
            text += c;
        }
    return text;
}

std::string AsciiText(const uint16_t* registers, size_t count) {
    std::string text;
    for (size_t i = 0; i < count && (registers[i] & 0xFF); ++i) text += char(registers[i] & 0xFF);
    return text;
}

std::string SignedText(int16_t value, int base) {
    const unsigned magnitude = value < 0 ? unsigned(-int(value)) : unsigned(value);
    char digits[24];
    auto [end, error] = std::to_chars(digits, digits + sizeof digits, magnitude, base);
    std::string text(digits, error == std::errc() ? end : digits);
    for (char& c : text)
        if (c >= 'a' && c <= 'f') c = char(c - 'a' + 'A');
    return value < 0 ? "-" + text : text;
}

std::string VisibleText(std::string_view text) {
    static const char kHex[] = "0123456789ABCDEF";
    const auto shown = [](char c) { return uint8_t(c) >= 0x20 && uint8_t(c) <= 0x7E; };
    size_t plain = 0;
    while (plain < text.size() && shown(text[plain])) ++plain;
    if (plain == text.size()) return std::string(text);
    std::string out;
    out.reserve(text.size());
    for (char ch : text) {
        const auto b = uint8_t(ch);
        if (b >= 0x20 && b <= 0x7E) {
            out += ch;
        } else {
            out += '<';
            out += kHex[b >> 4];
            out += kHex[b & 0xF];
            out += '>';
        }
    }
    return out;
}

DecodedBlock DecodeBlock(uint8_t mode, const std::vector<int16_t>& block) {
    if (mode >= kEditingModeCount) {
        DecodedBlock d;
        d.mode = EditingModeName(mode);
        d.valid = false;
        return d;
    }
    DecodedBlock d = Decode(EditingMode(mode), Words(block));
    d.mode = ModeName(mode);
    return d;
}

std::string DecodedText(const DecodedBlock& d) {
    std::string text;
    AppendDecodedText(text, d);
    return text;
}

void AppendDecodedText(std::string& out, const DecodedBlock& d) {
    out += d.mode;
    if (!d.valid) {
        out += " (not a value of this mode)";
        return;
    }
    const bool quoted = d.isText && d.mode != "BCD";
    out += quoted ? " \"" : " ";
    out += quoted ? VisibleText(d.text) : d.text;
    if (quoted) out += '"';
}
