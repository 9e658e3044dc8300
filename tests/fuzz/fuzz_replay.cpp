// Runs a fuzz target without libFuzzer: over the files named on the command
// line, or over a fixed series of pseudo-random inputs, so every build checks
// the parser under its sanitizers with the same inputs each time.
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <random>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        std::ifstream file(argv[i], std::ios::binary);
        std::vector<uint8_t> input((std::istreambuf_iterator<char>(file)), {});
        LLVMFuzzerTestOneInput(input.data(), input.size());
    }
    if (argc > 1) return 0;
    std::mt19937 random(20240607);
    constexpr int kInputs = 20000;
    for (int n = 0; n < kInputs; ++n) {
        std::vector<uint8_t> input(random() % 700);
        // Small values are frequent, so header fields often hold lengths that fit.
        for (uint8_t& b : input) b = uint8_t(random() % 4 ? random() % 16 : random());
        LLVMFuzzerTestOneInput(input.data(), input.size());
    }
    printf("%d inputs\n", kInputs);
    return 0;
}
