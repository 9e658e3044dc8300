// Fuzz target: any pattern, mask, text and path settings run through the
// matcher, the mask, the editing modes and the data path loop without
// reading or writing out of bounds, and keep their basic promises.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "emulator/data_paths.h"
#include "emulator/editing_modes.h"
#include "emulator/hex_codes.h"
#include "emulator/mask.h"
#include "text/pattern_match.h"

namespace {

void Require(bool ok) {
    if (!ok) __builtin_trap();
}

// The next NUL-free piece of the input, at most 64 bytes.
std::string Piece(const uint8_t*& data, size_t& size) {
    std::string out;
    while (size > 0 && *data != 0 && out.size() < 64) {
        out += char(*data++);
        --size;
    }
    if (size > 0) ++data, --size;
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 6) return 0;
    uint8_t mode = data[0] % 9;  // one beyond the list too
    int count = int(int8_t(data[1]));
    int start = int16_t(data[2] | data[3] << 8);
    uint8_t cont = data[4] & 1;
    data += 5;
    size -= 5;
    std::string pattern = Piece(data, size), mask = Piece(data, size), text = Piece(data, size);

    Require(PatternMatch(text.c_str(), text.c_str()));
    // The literal comparison comes first, so "*" against a text that starts
    // with "*" compares the two stars and then needs the text to end.
    Require(PatternMatch("*", text.c_str()) == (text.size() <= 1 || text[0] != '*'));
    bool matched = PatternMatch(pattern.c_str(), text.c_str());

    std::string masked = ApplyMask(mask, text);
    Require(masked.size() <= std::min(mask.size(), text.size()));
    auto regs = ConvertText(mode, masked, count);
    Require(int(regs.size()) == std::clamp(count, 0, kMaxRegisterCount));
    ParseHexCodes(text.c_str());

    PortConfig port{};
    for (auto& path : port.Paths) {
        std::memcpy(path.Pattern, pattern.data(), pattern.size());
        std::memset(path.Mask, '_', 64);
        std::memcpy(path.Mask, mask.data(), mask.size());
        path.Mask[mask.size()] = 0;
        path.StartRegister = int16_t(start);
        path.RegisterCount = int16_t(count);
        path.EditingMode = mode;
        path.Continue = cont;
    }
    static EmulatorRegisters state;
    auto outcomes = RunDataPaths(port, 1 + data[-1] % 4, 1 + (start & 0x1FFF), text, state);
    Require(!outcomes.empty() && outcomes.size() <= 4);
    Require(outcomes[0].matched == matched);
    return 0;
}
