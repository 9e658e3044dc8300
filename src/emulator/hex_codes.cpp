// Reading hex-code entry text and the queue it fills.
#include "emulator/hex_codes.h"

namespace {
int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}
}  // namespace

std::vector<uint8_t> ParseHexCodes(const char* text) {
    std::vector<uint8_t> codes;
    while (*text) {
        if (HexDigit(*text) < 0) {
            ++text;
            continue;
        }
        unsigned value = 0;
        for (; HexDigit(*text) >= 0; ++text)
            value = (value << 4 | unsigned(HexDigit(*text))) & 0xFF;
        codes.push_back(uint8_t(value));
    }
    return codes;
}

size_t HexCodeQueue::Append(const std::vector<uint8_t>& codes) {
    size_t queued = 0;
    for (uint8_t c : codes) {
        if (c == 0 || codes_.size() >= kCapacity) continue;
        codes_.push_back(c);
        ++queued;
    }
    return queued;
}

uint8_t HexCodeQueue::Take() {
    uint8_t c = codes_.front();
    codes_.pop_front();
    return c;
}
