// Stands in for libFuzzer where it is not available: feeds a fixed series of
// pseudo-random inputs (same seed every run) through the fuzz target, so
// the sanitizers see the same paths in every test run.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv) {
    int runs = argc > 1 ? atoi(argv[1]) : 400;
    std::mt19937 random(20261210);
    std::vector<uint8_t> input;
    for (int run = 0; run < runs; ++run) {
        input.resize(random() % 2048);
        // Mostly from a small alphabet of framing bytes, so frames get far.
        const uint8_t common[] = {0x10, 0x01, 0x02, 0x03, 0x05, 0x11, 0x12, 0x15, 0x16, 0xFE,
                                  ':',  '\r', '\n', '0',  '1',  'A',  'F',  0x00, 0xFF};
        for (uint8_t& b : input)
            b = random() % 3 ? common[random() % sizeof common] : uint8_t(random());
        LLVMFuzzerTestOneInput(input.data(), input.size());
    }
    printf("%d inputs replayed\n", runs);
    return 0;
}
