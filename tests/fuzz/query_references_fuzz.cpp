// Fuzz target: the register reference scan of a poll query never touches
// bytes outside the 65-byte field, changes nothing but reference digits, and
// moving there and back restores every reference that fitted both ways.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "config/rack_base.h"

namespace {

void Require(bool ok) {
    if (!ok) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const int distance = int(int16_t(data[0] | data[1] << 8)) % 10000;
    char field[65 + 16];
    std::memset(field, 0x5A, sizeof field);
    std::memset(field, 0, 65);
    // Bytes become the characters a reference is made of, so that random
    // input holds references often.
    static const char kAlphabet[] = "@0123456789DURHOBFx";
    for (size_t i = 2; i < size && i < 66; ++i)
        field[i - 2] = data[i] < 0xF0 ? kAlphabet[data[i] % 19] : char(data[i]);
    char before[65];
    std::memcpy(before, field, 65);
    int unfit = 0;
    const int found = AdjustQueryReferences(field, distance, &unfit);
    for (size_t i = 65; i < sizeof field; ++i) Require(field[i] == 0x5A);
    Require(unfit <= found);
    for (int i = 0; i < 65; ++i)
        Require(field[i] == before[i] ||
                (before[i] >= '0' && before[i] <= '9' && field[i] >= '0' && field[i] <= '9'));
    // The scan finds the same references after the move.
    Require(AdjustQueryReferences(field, 0, nullptr) == found);
    if (unfit == 0) {
        int back = 0;
        AdjustQueryReferences(field, -distance, &back);
        if (back == 0) Require(std::memcmp(field, before, 65) == 0);
    }
    return 0;
}
