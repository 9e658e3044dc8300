// Runs a fuzz target without libFuzzer: the files named on the command line,
// or (with none) a fixed number of inputs made from a fixed seed, so that a
// plain test run covers the target briefly and repeatably.
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <random>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);
// A target whose every input does a lot (draws screens, prints listings) may
// ask for fewer replayed inputs, so the plain test run stays short.
extern "C" int KovaFuzzReplayRounds() __attribute__((weak));

int main(int argc, char** argv) {
    if (argc > 1) {
        for (int i = 1; i < argc; ++i) {
            std::ifstream in(argv[i], std::ios::binary);
            std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), {});
            LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
        }
        return 0;
    }
    std::mt19937 random(20080508);
    const size_t sizes[] = {0, 1, 2, 9, 100, 2475, 2476, 2477, 6660, 6662, 6686, 6687, 6688, 7000};
    const int rounds = KovaFuzzReplayRounds ? KovaFuzzReplayRounds() : 3000;
    for (int round = 0; round < rounds; ++round) {
        size_t size = (round % 2) ? sizes[round / 2 % std::size(sizes)] : random() % 7001;
        std::vector<uint8_t> bytes(size);
        for (auto& b : bytes) b = uint8_t(random());
        // Plausible heads: the version words and digits reach the deeper paths.
        if (size >= 2 && round % 3 == 0) {
            const uint16_t versions[] = {1113, 1112, 1111};
            uint16_t v = versions[round % 3 == 0 ? (round / 3) % 3 : 0];
            bytes[0] = uint8_t(v);
            bytes[1] = uint8_t(v >> 8);
        }
        if (round % 5 == 0)
            for (size_t i = 2; i < size; ++i) bytes[i] = uint8_t("0123456789.-+:/ "[random() % 16]);
        LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
    }
    std::printf("fuzz driver: %d inputs\n", rounds);
    return 0;
}
