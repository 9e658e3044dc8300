// Text that came from outside (a module's name block, a line of a backup
// list, a file's name or contents, a link's error text) on its way to a
// terminal: control characters could move the cursor, recolour the screen
// or retitle the window, so every one is shown as \xNN instead. Printable
// UTF-8 passes unchanged; a byte that is no part of a valid UTF-8 character
// is escaped as well, and so are the C1 controls (U+0080 to U+009F).
// Header only: every tool may use it, also those without the link settings.
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace tools {

namespace printable_detail {

inline void Escape(uint8_t byte, std::string* out) {
    char hex[5];
    std::snprintf(hex, sizeof hex, "\\x%02x", byte);
    *out += hex;
}

// The length of the valid UTF-8 character of a printable code point that
// starts text[0], or 0 when there is none there (shortest forms only, no
// surrogates, nothing past U+10FFFF, no C1 control).
inline size_t PrintableUtf8(std::string_view text) {
    const auto at = [&text](size_t i) { return i < text.size() ? uint8_t(text[i]) : 0; };
    const uint8_t lead = at(0);
    size_t length = 0;
    uint8_t low = 0x80, high = 0xBF;  // the second byte's range
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        if (lead == 0xC2) low = 0xA0;  // U+0080 to U+009F: the C1 controls
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    if (at(1) < low || at(1) > high) return 0;
    for (size_t i = 2; i < length; ++i)
        if (at(i) < 0x80 || at(i) > 0xBF) return 0;
    return length;
}

}  // namespace printable_detail

inline std::string Printable(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        const uint8_t byte = uint8_t(text[i]);
        if (byte >= 0x20 && byte < 0x7F) {
            out += char(byte);
            ++i;
        } else if (const size_t length =
                       byte >= 0x80 ? printable_detail::PrintableUtf8(text.substr(i)) : 0) {
            out.append(text.substr(i, length));
            i += length;
        } else {
            printable_detail::Escape(byte, &out);
            ++i;
        }
    }
    return out;
}

}  // namespace tools
