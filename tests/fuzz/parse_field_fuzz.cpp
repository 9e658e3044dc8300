// Fuzz target: any typed text of any data type and width parses without
// writing outside the value, and whatever was stored can be shown.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "ui/data_types.h"

namespace {

void Require(bool ok) {
    if (!ok) __builtin_trap();
}

constexpr int kTypes[] = {1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13,
                          14, 15, 16, 17, 18, 19, 20, 21, 22, 25, 28, 23, 0};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const int type =
        kTypes[data[0] % (sizeof kTypes / sizeof kTypes[0])] * ((data[0] & 0x80) ? -1 : 1);
    const int width = 1 + data[1] % 80;
    std::string text(reinterpret_cast<const char*>(data + 2), size - 2);
    if (text.size() > size_t(width)) text.resize(size_t(width));
    text = text.c_str();  // the editor's text ends at its first NUL
    // The value is what a field of this width holds, with guard bytes after.
    uint8_t cell[84 + 16];
    std::memset(cell, 0x5A, sizeof cell);
    std::memset(cell, 0, size_t(width) + 1);
    ParseField(cell, text, type, width);
    for (size_t i = 84; i < sizeof cell; ++i) Require(cell[i] == 0x5A);
    const int kind = type < 0 ? -type : type;
    if (kind == 1 || kind == 10 || kind == 15 || kind == 25)
        Require(std::memchr(cell, 0, size_t(width) + 1));
    std::string shown;
    if (FormatField(shown, cell, type, width)) Require(shown.size() < 84);
    return 0;
}
