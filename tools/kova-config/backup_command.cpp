// backup LIST DIR: every listed module fetched into DIR/NAME.KOV, several at
// once, each over its own link (modules that share a serial port one after
// the other); one failure never stops the others. Then a summary table on
// standard output.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <map>
#include <mutex>
#include <vector>

#include "backup_list.h"
#include "commands.h"
#include "job_runner.h"
#include "module_session.h"

namespace {

struct BackupOutcome {
    std::string module = "-";
    std::string model = "-";
    std::string result;
    bool saved = false;
    double seconds = 0;
};

// The one progress line of a backup: how many modules have ended, and the
// latest step of any module still running.
class BackupBoard {
  public:
    BackupBoard(ProgressLine& progress, int total) : progress_(progress), total_(total) {}

    void Update(const std::string& name, const std::string& port, const std::string& step,
                int percent) {
        std::lock_guard<std::mutex> guard(lock_);
        latest_ = name + ": " + (port.empty() ? "" : port + " ") + step + " " +
                  std::to_string(percent) + "%";
        Draw();
    }
    void Ended(bool saved) {
        std::lock_guard<std::mutex> guard(lock_);
        ++ended_;
        failed_ += saved ? 0 : 1;
        Draw();
    }

  private:
    void Draw() {
        std::string line = "backup " + std::to_string(ended_) + "/" + std::to_string(total_);
        if (failed_) line += " (" + std::to_string(failed_) + " failed)";
        progress_.Show(line + "  " + latest_);
    }

    ProgressLine& progress_;
    int total_;
    int ended_ = 0, failed_ = 0;
    std::string latest_;
    std::mutex lock_;
};

const char* ModelText(int16_t model) { return model == 1 ? "PLUS" : model == 0 ? "standard" : "-"; }

bool FetchInto(const BackupEntry& entry, const std::string& path, const ConfigOptions& options,
               ToolReporter& reporter, BackupOutcome* outcome) {
    std::string error;
    // Before any link traffic: an existing backup is refused at once.
    if (!MayWriteKovFile(path, options.force, &error)) return reporter.Fail(error), false;
    ModuleSession session(entry.source, reporter);
    ModuleIdentity identity;
    if (!session.Open() || !session.Identify(&identity)) return false;
    outcome->module = identity.name.empty() ? "-" : identity.name;
    outcome->model = ModelText(identity.model);
    ConfigSnapshot snapshot;
    if (!session.Fetch(&snapshot)) return false;
    outcome->model = ModelText(snapshot.model);
    if (!SaveKovFile(path, snapshot.contents, options.force, &error))
        return reporter.Fail(error), false;
    outcome->result = "saved " + path;
    return true;
}

BackupOutcome BackupOne(const BackupEntry& entry, const std::string& dir,
                        const ConfigOptions& options, ProgressLine& progress, BackupBoard& board) {
    const auto start = std::chrono::steady_clock::now();
    BackupOutcome outcome;
    ToolReporter reporter(progress, entry.name,
                          [&](const std::string& port, const std::string& step, int percent) {
                              board.Update(entry.name, port, step, percent);
                          });
    reporter.ExpectSteps(ModuleSession::kWholeModuleSteps);
    const std::string path = (std::filesystem::path(dir) / (entry.name + ".KOV")).string();
    outcome.saved = FetchInto(entry, path, options, reporter, &outcome);
    if (!outcome.saved) outcome.result = reporter.LastError();
    outcome.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    board.Ended(outcome.saved);
    return outcome;
}

// One group a serial port, in list order, and one a module for the rest.
std::vector<std::vector<int>> GroupsByPort(const std::vector<BackupEntry>& entries) {
    std::vector<std::vector<int>> groups;
    std::map<std::string, size_t> groupOfPort;
    for (size_t i = 0; i < entries.size(); ++i) {
        const std::string port = SerialPortKey(entries[i].source);
        if (port.empty()) {
            groups.push_back({int(i)});
            continue;
        }
        auto [it, fresh] = groupOfPort.emplace(port, groups.size());
        if (fresh) groups.emplace_back();
        groups[it->second].push_back(int(i));
    }
    return groups;
}

void PrintSummary(const std::vector<BackupEntry>& entries,
                  const std::vector<BackupOutcome>& outcomes) {
    size_t name = 4, module = 6, model = 5, result = 6;
    for (size_t i = 0; i < entries.size(); ++i) {
        name = std::max(name, entries[i].name.size());
        module = std::max(module, outcomes[i].module.size());
        model = std::max(model, outcomes[i].model.size());
        result = std::max(result, outcomes[i].result.size());
    }
    auto row = [&](const std::string& a, const std::string& b, const std::string& c,
                   const std::string& d, const std::string& e) {
        std::printf("%-*s  %-*s  %-*s  %-*s  %7s\n", int(name), a.c_str(), int(module), b.c_str(),
                    int(model), c.c_str(), int(result), d.c_str(), e.c_str());
    };
    row("NAME", "MODULE", "MODEL", "RESULT", "SECONDS");
    int saved = 0;
    for (size_t i = 0; i < entries.size(); ++i) {
        const BackupOutcome& o = outcomes[i];
        char seconds[16];
        std::snprintf(seconds, sizeof seconds, "%.2f", o.seconds);
        row(entries[i].name, o.module, o.model, o.result, seconds);
        saved += o.saved ? 1 : 0;
    }
    std::printf("%d of %zu modules saved, %zu failed\n", saved, entries.size(),
                entries.size() - size_t(saved));
    std::fflush(stdout);
}

}  // namespace

int RunBackup(const ConfigOptions& options) {
    const std::string& list = options.operands[0];
    const std::string& dir = options.operands[1];
    std::vector<BackupEntry> entries;
    std::vector<std::string> errors;
    if (!ReadBackupList(list, &entries, &errors)) {
        for (const std::string& e : errors) std::fprintf(stderr, "kova-config: %s\n", e.c_str());
        std::fprintf(stderr, "kova-config: nothing fetched\n");
        return kExitTrouble;
    }
    std::error_code failure;
    std::filesystem::create_directories(dir, failure);
    if (!std::filesystem::is_directory(dir)) {
        std::fprintf(stderr, "kova-config: cannot make the folder %s (%s)\n", dir.c_str(),
                     failure.message().c_str());
        return kExitTrouble;
    }
    ProgressLine progress(!options.quiet);
    BackupBoard board(progress, int(entries.size()));
    std::vector<BackupOutcome> outcomes(entries.size());
    // Modules on one serial port (a multi-drop line) take turns on it.
    RunJobGroups(GroupsByPort(entries), options.jobs, [&](int i) {
        outcomes[size_t(i)] = BackupOne(entries[size_t(i)], dir, options, progress, board);
    });
    progress.Clear();
    PrintSummary(entries, outcomes);
    for (const BackupOutcome& o : outcomes)
        if (!o.saved) return kExitFailed;
    return kExitOk;
}
