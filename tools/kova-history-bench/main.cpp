// kova-history-bench: the comparison backup --history makes for every module
// (the latest file read, decoded and compared field by field with the fetched
// configuration), timed for the modules of a backup folder, each compared
// with its own contents as on a night when nothing changed: nothing written.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "backup_history.h"
#include "config/config_files.h"

namespace {

struct Module {
    std::string name;
    ConfigFileContents fetched;
};

std::vector<Module> ModulesIn(const std::string& dir) {
    std::vector<Module> modules;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        const std::string file = entry.path().filename().string();
        if (entry.path().extension() != ".KOV") continue;
        const LoadedConfigFile loaded = LoadConfigFile(entry.path().string());
        if (loaded.outcome == ConfigFileLoad::Loaded)
            modules.push_back({file.substr(0, file.size() - 4), loaded.contents});
    }
    return modules;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr,
                     "usage: kova-history-bench DIR ROUNDS\n"
                     "Times the comparison of backup --history for every DIR/NAME.KOV, ROUNDS\n"
                     "times; prints the seconds of one round (all modules).\n");
        return 2;
    }
    const std::string dir = argv[1];
    const int rounds = std::atoi(argv[2]);
    const std::vector<Module> modules = ModulesIn(dir);
    if (modules.empty() || rounds < 1) {
        std::fprintf(stderr, "kova-history-bench: no .KOV files in %s\n", dir.c_str());
        return 1;
    }
    const auto start = std::chrono::steady_clock::now();
    for (int r = 0; r < rounds; ++r) {
        for (const Module& m : modules) {
            HistoryResult result;
            std::string error;
            if (!KeepHistory(dir, m.name, m.fetched, true, &result, &error) ||
                result.change != HistoryChange::Unchanged) {
                std::fprintf(stderr, "kova-history-bench: %s: %s\n", m.name.c_str(),
                             error.empty() ? "not unchanged" : error.c_str());
                return 1;
            }
        }
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%zu modules compared in %.6f s a round\n", modules.size(), seconds / rounds);
    return 0;
}
