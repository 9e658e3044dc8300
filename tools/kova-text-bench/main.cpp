// kova-text-bench: the work of kova-config export and import on a whole
// configuration file, without the program's start and the file's save: the
// file decoded and its text made; the text parsed, checked and encoded again.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "config/config_files.h"
#include "config/config_text.h"

namespace {

using Clock = std::chrono::steady_clock;

double MillisecondsEach(int rounds, const Clock::time_point& start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count() / rounds;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr,
                     "usage: kova-text-bench FILE.KOV ROUNDS\n"
                     "Times the export of FILE.KOV as TOML and the import of that text, each\n"
                     "ROUNDS times, and prints the milliseconds of one of each.\n");
        return 2;
    }
    const std::string path = argv[1];
    const int rounds = std::atoi(argv[2]);
    if (rounds < 1) return 2;
    const LoadedConfigFile loaded = LoadConfigFile(path);
    if (loaded.outcome != ConfigFileLoad::Loaded) {
        std::fprintf(stderr, "kova-text-bench: cannot read %s\n", path.c_str());
        return 1;
    }
    const std::vector<uint8_t> bytes = EncodeConfigFileAs(loaded.contents, loaded.layout);
    std::string text;
    auto start = Clock::now();
    for (int i = 0; i < rounds; ++i) {
        const auto decoded = DecodeConfigFile(bytes.data(), bytes.size());
        text = ExportConfigText(*decoded, TextFormat::Toml);
    }
    const double exportMs = MillisecondsEach(rounds, start);
    std::vector<uint8_t> back;
    start = Clock::now();
    for (int i = 0; i < rounds; ++i) {
        const ImportedConfig imported = ImportConfigText(text, path, true);
        if (!imported.config) return 1;
        back = EncodeConfigFileAs(imported.config->contents, imported.config->layout);
    }
    const double importMs = MillisecondsEach(rounds, start);
    if (back != bytes) {
        std::fprintf(stderr, "kova-text-bench: the import did not give the file back\n");
        return 1;
    }
    std::printf("export %.3f ms import %.3f ms (%zu bytes of text)\n", exportMs, importMs,
                text.size());
    return 0;
}
