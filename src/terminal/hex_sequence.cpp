// Parsing the terminal's hexadecimal line.
#include "terminal/hex_sequence.h"

namespace {

int DigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

}  // namespace

HexSequence ParseHexSequence(const std::string& line) {
    HexSequence result;
    size_t i = line.find_first_not_of(' ');
    if (i == std::string::npos) return result;
    uint8_t value = 0;
    bool pending = false;
    for (; i < line.size(); ++i) {
        char c = line[i];
        pending = true;
        if (c == ' ') {
            result.bytes.push_back(value);
            value = 0;
            pending = false;
        } else if (int d = DigitValue(c); d >= 0) {
            value = uint8_t(value * 16 + d);
        } else {
            result.invalid = uint8_t(c);
            pending = false;
            break;
        }
    }
    if (pending) result.bytes.push_back(value);
    return result;
}
