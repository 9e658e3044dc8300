// Formatting a register as grouped bits and reading such text back.
#include "emulator/bit_string.h"

std::string FormatBitString(uint16_t value) {
    std::string out;
    out.reserve(20);
    for (int bit = 15; bit >= 0; --bit) {
        out += (value >> bit) & 1 ? '1' : '0';
        if (bit % 4 == 0) out += ' ';
    }
    return out;
}

uint16_t ParseBitString(const char* text) {
    uint16_t value = 0;
    for (; *text; ++text) {
        if (*text == '1')
            value = uint16_t(value << 1 | 1);
        else if (*text == '0')
            value = uint16_t(value << 1);
    }
    return value;
}
