// Columns as wide as their longest text; the count names only what occurred.
#include "backup_summary.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "common/printable.h"

namespace {

int CountOf(const std::vector<BackupOutcome>& outcomes, BackupResult result) {
    return int(std::count_if(outcomes.begin(), outcomes.end(),
                             [result](const BackupOutcome& o) { return o.result == result; }));
}

// "3 of 4 modules saved (1 new, 1 unchanged, 1 changed), 1 failed"
std::string CountLine(const std::vector<BackupOutcome>& outcomes, bool history) {
    const int fetched = int(std::count_if(outcomes.begin(), outcomes.end(),
                                          [](const BackupOutcome& o) { return o.Fetched(); }));
    std::string line =
        std::to_string(fetched) + " of " + std::to_string(outcomes.size()) + " modules saved";
    if (history)
        line += " (" + std::to_string(CountOf(outcomes, BackupResult::New)) + " new, " +
                std::to_string(CountOf(outcomes, BackupResult::Unchanged)) + " unchanged, " +
                std::to_string(CountOf(outcomes, BackupResult::Changed)) + " changed)";
    line += ", " + std::to_string(CountOf(outcomes, BackupResult::Failed)) + " failed";
    if (const int cut = CountOf(outcomes, BackupResult::Interrupted))
        line += ", " + std::to_string(cut) + " interrupted";
    return line;
}

}  // namespace

void PrintBackupSummary(const std::vector<BackupEntry>& entries,
                        const std::vector<BackupOutcome>& outcomes, bool history) {
    // The module's own name block and the link's texts come from outside.
    std::vector<BackupOutcome> shown = outcomes;
    for (BackupOutcome& o : shown) {
        o.module = tools::Printable(o.module);
        o.text = tools::Printable(o.text);
    }
    size_t name = 4, module = 6, model = 5, result = 6;
    for (size_t i = 0; i < entries.size(); ++i) {
        name = std::max(name, entries[i].name.size());
        module = std::max(module, shown[i].module.size());
        model = std::max(model, shown[i].model.size());
        result = std::max(result, shown[i].text.size());
    }
    auto row = [&](const std::string& a, const std::string& b, const std::string& c,
                   const std::string& d, const std::string& e) {
        std::printf("%-*s  %-*s  %-*s  %-*s  %7s\n", int(name), a.c_str(), int(module), b.c_str(),
                    int(model), c.c_str(), int(result), d.c_str(), e.c_str());
    };
    row("NAME", "MODULE", "MODEL", "RESULT", "SECONDS");
    for (size_t i = 0; i < entries.size(); ++i) {
        const BackupOutcome& o = shown[i];
        char seconds[16];
        std::snprintf(seconds, sizeof seconds, "%.2f", o.seconds);
        row(entries[i].name, o.module, o.model, o.text,
            o.result == BackupResult::Interrupted ? "-" : seconds);
    }
    std::printf("%s\n", CountLine(outcomes, history).c_str());
    std::fflush(stdout);
}
