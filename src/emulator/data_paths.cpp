// The data path loop, apart from the screen that shows its results.
#include "emulator/data_paths.h"

#include <cstring>

#include "emulator/editing_modes.h"
#include "emulator/mask.h"
#include "text/pattern_match.h"

namespace {
// Fixed 65-byte fields read up to 64 characters, even when the NUL is missing.
std::string FieldText(const char (&field)[65]) { return std::string(field, strnlen(field, 64)); }

// The same, zero-terminated on the stack: the pattern is tried on every
// message, and a capture holds hundreds of thousands of them.
struct FieldChars {
    explicit FieldChars(const char (&field)[65]) {
        const size_t n = strnlen(field, 64);
        std::memcpy(chars, field, n);
        chars[n] = 0;
    }
    char chars[65];
};
}  // namespace

void EmulatorImage::WriteBlock(int start, const std::vector<int16_t>& registers) {
    ::WriteBlock(state_, rackBase_, start, registers);
}

std::string CapitalizeText(std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
    return text;
}

std::vector<PathOutcome> RunDataPaths(const PortConfig& port, int portNumber, int rackBase,
                                      const std::string& text, EmulatorRegisters& state) {
    EmulatorImage image(state, rackBase);
    return RunDataPaths(port, portNumber, text, image);
}

std::vector<PathOutcome> RunDataPaths(const PortConfig& port, int portNumber,
                                      const std::string& text, ControllerRegisters& registers) {
    std::vector<PathOutcome> outcomes;
    outcomes.reserve(4);
    for (int p = 0; p < 4; ++p) {
        const DataPath& path = port.Paths[p];
        PathOutcome out;
        out.path = p + 1;
        out.matched = PatternMatch(FieldChars(path.Pattern).chars, text.c_str());
        if (out.matched) {
            registers.ToggleSignal(SignalBit(portNumber, p + 1));
            out.masked = ApplyMask(FieldText(path.Mask), text);
            out.registers = ConvertText(path.EditingMode, out.masked, path.RegisterCount);
            registers.WriteBlock(path.StartRegister, out.registers);
        }
        outcomes.push_back(std::move(out));
        if (outcomes.back().matched && path.Continue == 0) break;
    }
    return outcomes;
}
