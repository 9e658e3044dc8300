// backup LIST DIR: every listed module fetched into DIR/NAME.KOV, several at
// once, each over its own link (modules that share a serial port one after
// the other); one failure never stops the others. Then a summary table on
// standard output, and with --metrics the run's metrics file. A signal that
// ends the run prints the summary of what had ended, the rest marked
// interrupted.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <map>
#include <mutex>
#include <vector>

#include "backup_history.h"
#include "backup_list.h"
#include "backup_lock.h"
#include "backup_metrics.h"
#include "backup_outcome.h"
#include "backup_summary.h"
#include "commands.h"
#include "common/printable.h"
#include "config/disk_file.h"
#include "ending_signals.h"
#include "job_runner.h"
#include "module_connection.h"

namespace {

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

// What every module's backup shares: the options, the folder, and the
// outcomes, which an interrupting signal reads.
struct BackupRun {
    const ConfigOptions& options;
    std::string dir;
    std::vector<BackupEntry> entries;
    std::vector<BackupOutcome> outcomes;
    std::mutex lock;  // guards outcomes

    std::vector<BackupOutcome> Outcomes() {
        std::lock_guard<std::mutex> guard(lock);
        return outcomes;
    }
};

const char* ModelText(int16_t model) { return model == 1 ? "PLUS" : model == 0 ? "standard" : "-"; }

double Now() {
    return std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch())
        .count();
}

// The fetched configuration into DIR/NAME.KOV: replaced only with --force
// (its earlier file compared first), or through the history.
bool StoreFetched(const BackupEntry& entry, const ConfigSnapshot& snapshot, BackupRun& run,
                  BackupOutcome* outcome, std::string* error) {
    const std::string path = (std::filesystem::path(run.dir) / (entry.name + ".KOV")).string();
    const bool plus = snapshot.model != 0;
    if (!run.options.history) {
        outcome->changedFields = FieldsChanged(path, snapshot.contents, plus).value_or(0);
        outcome->changed = outcome->changedFields > 0;
        if (!SaveKovFile(path, snapshot.contents, run.options.force, error)) return false;
        if (run.options.backupText &&
            !SaveTextCopy(path, DecodedConfig{ConfigLayout::V1113, snapshot.contents}, error))
            return false;
        outcome->result = BackupResult::Saved;
        outcome->text = "saved " + path;
        return true;
    }
    HistoryResult kept;
    if (!KeepHistory(run.dir, entry.name, snapshot.contents, plus, &kept, error,
                     run.options.backupText))
        return false;
    outcome->changed = kept.change == HistoryChange::Changed;
    outcome->changedFields = outcome->changed ? kept.changedFields : 0;
    switch (kept.change) {
        case HistoryChange::New:
            outcome->result = BackupResult::New, outcome->text = "new";
            break;
        case HistoryChange::Unchanged:
            outcome->result = BackupResult::Unchanged, outcome->text = "unchanged";
            break;
        case HistoryChange::Changed:
            outcome->result = BackupResult::Changed;
            outcome->text = kept.changedFields
                                ? "changed: " + std::to_string(kept.changedFields) +
                                      (kept.changedFields == 1 ? " field" : " fields")
                                : "changed: the earlier file was no configuration";
            break;
    }
    return true;
}

bool FetchInto(const BackupEntry& entry, BackupRun& run, ToolReporter& reporter,
               BackupOutcome* outcome) {
    std::string error;
    const std::string path = (std::filesystem::path(run.dir) / (entry.name + ".KOV")).string();
    // Before any link traffic: an existing backup without --force or
    // --history, or a symbolic link there, is refused at once.
    const bool replace = run.options.force || run.options.history;
    if (!MayWriteKovFile(path, replace, &error) ||
        (run.options.backupText && !MayWriteKovFile(TextCopyPath(path), replace, &error)))
        return reporter.Fail(error), false;
    ModuleConnection session(entry.source, reporter);
    ModuleIdentity identity;
    if (!session.Open() || !session.Identify(&identity)) return false;
    outcome->module = identity.name.empty() ? "-" : identity.name;
    outcome->model = ModelText(identity.model);
    ConfigSnapshot snapshot;
    if (!session.Fetch(&snapshot)) return false;
    outcome->fetchedAt = Now();
    outcome->model = ModelText(snapshot.model);
    if (!StoreFetched(entry, snapshot, run, outcome, &error)) return reporter.Fail(error), false;
    return true;
}

void BackupOne(int i, BackupRun& run, ProgressLine& progress, BackupBoard& board) {
    const BackupEntry& entry = run.entries[size_t(i)];
    const auto start = std::chrono::steady_clock::now();
    BackupOutcome outcome;
    ToolReporter reporter(progress, entry.name,
                          [&](const std::string& port, const std::string& step, int percent) {
                              board.Update(entry.name, port, step, percent);
                          });
    reporter.ExpectSteps(ModuleConnection::kWholeModuleSteps);
    if (!FetchInto(entry, run, reporter, &outcome)) {
        outcome.result = BackupResult::Failed;
        outcome.text = reporter.LastError();
        outcome.changed = false;
        outcome.changedFields = 0;
    }
    outcome.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    board.Ended(outcome.Fetched());
    std::lock_guard<std::mutex> guard(run.lock);
    run.outcomes[size_t(i)] = outcome;
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

// The time of a module in the previous file, if it had one.
std::optional<double> Previous(const std::map<std::string, double>& times,
                               const std::string& module) {
    auto it = times.find(module);
    return it == times.end() ? std::nullopt : std::optional<double>(it->second);
}

// The metrics of this run; the times a run does not renew (the last success
// of a module that failed, the last change of one that did not change) are
// the previous file's.
bool WriteMetrics(BackupRun& run, std::string* error) {
    const std::string& path = run.options.metricsFile;
    const auto previous = ReadFilePrefix(path, 1 << 20);
    const std::string before = previous ? std::string(previous->begin(), previous->end()) : "";
    const std::map<std::string, double> lastSuccess = LastSuccessTimes(before);
    const std::map<std::string, double> lastChange = LastChangeTimes(before);
    std::vector<ModuleMetrics> modules;
    for (size_t i = 0; i < run.entries.size(); ++i) {
        const BackupOutcome& o = run.outcomes[i];
        const std::string& name = run.entries[i].name;
        ModuleMetrics m{name, o.Fetched(), o.changed, o.seconds, std::nullopt};
        m.lastSuccess = o.Fetched() ? o.fetchedAt : Previous(lastSuccess, name);
        m.lastChange = o.changed ? o.fetchedAt : Previous(lastChange, name);
        m.changedFields = o.changedFields;
        modules.push_back(m);
    }
    const std::string text = MetricsText(modules, Now());
    return SaveRefusingLinks(path, std::vector<uint8_t>(text.begin(), text.end()), error);
}

int ExitStatus(const BackupRun& run) {
    bool changed = false;
    for (const BackupOutcome& o : run.outcomes) {
        if (!o.Fetched()) return kExitFailed;
        changed = changed || o.result == BackupResult::Changed;
    }
    return changed ? kExitChanged : kExitOk;
}

// The folder made and locked, and the metrics file's place checked, before
// any link.
bool Prepare(const BackupRun& run, BackupFolderLock* lock) {
    std::error_code failure;
    std::filesystem::create_directories(run.dir, failure);
    if (!std::filesystem::is_directory(run.dir)) {
        std::fprintf(stderr, "kova-config: cannot make the folder %s (%s)\n",
                     tools::Printable(run.dir).c_str(), failure.message().c_str());
        return false;
    }
    std::string error;
    const auto waiting = [&run](const std::string& holder) {
        std::fprintf(stderr, "kova-config: %s is being backed up (%s); waiting\n",
                     tools::Printable(run.dir).c_str(), holder.c_str());
    };
    if (!lock->Take(run.dir, waiting, &error)) {
        std::fprintf(stderr, "kova-config: %s\n", tools::Printable(error).c_str());
        return false;
    }
    if (!run.options.metricsFile.empty() &&
        !MayWriteKovFile(run.options.metricsFile, true, &error)) {
        std::fprintf(stderr, "kova-config: --metrics: %s\n", tools::Printable(error).c_str());
        return false;
    }
    return true;
}

}  // namespace

int RunBackup(const ConfigOptions& options) {
    BackupRun run{options, options.operands[1], {}, {}, {}};
    std::vector<std::string> errors;
    if (!ReadBackupList(options.operands[0], &run.entries, &errors)) {
        for (const std::string& e : errors)
            std::fprintf(stderr, "kova-config: %s\n", tools::Printable(e).c_str());
        std::fprintf(stderr, "kova-config: nothing fetched\n");
        return kExitTrouble;
    }
    // The list's lines name their ports under the command line's root.
    for (BackupEntry& entry : run.entries)
        entry.source.settings.deviceRoot = options.source.settings.deviceRoot;
    BackupFolderLock lock;
    if (!Prepare(run, &lock)) return kExitTrouble;
    run.outcomes.resize(run.entries.size());
    ProgressLine progress(!options.quiet);
    BackupBoard board(progress, int(run.entries.size()));
    {
        const InterruptReport interrupted([&](int) {
            // A change being recorded is finished first, and no other begins.
            StopRecordingChanges();
            progress.Clear();
            PrintBackupSummary(run.entries, run.Outcomes(), options.history);
        });
        // Modules on one serial port (a multi-drop line) take turns on it.
        RunJobGroups(GroupsByPort(run.entries), options.jobs,
                     [&](int i) { BackupOne(i, run, progress, board); });
    }
    progress.Clear();
    PrintBackupSummary(run.entries, run.outcomes, options.history);
    std::string error;
    if (!options.metricsFile.empty() && !WriteMetrics(run, &error)) {
        std::fprintf(stderr, "kova-config: --metrics: %s\n", tools::Printable(error).c_str());
        return kExitTrouble;
    }
    return ExitStatus(run);
}
