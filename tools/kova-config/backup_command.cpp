// backup LIST DIR: every listed module fetched into DIR/NAME.KOV, several at
// once, each over its own link (modules that share a serial port one after
// the other); one failure never stops the others. Then a summary table on
// standard output.
#include <pthread.h>
#include <signal.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

#include "backup_list.h"
#include "commands.h"
#include "config/disk_file.h"
#include "job_runner.h"
#include "link/uucp_lock.h"
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

// The outcomes as the workers finish them, for a summary that may be asked
// for while some are still running (an interrupt).
class Outcomes {
  public:
    explicit Outcomes(size_t count) : outcomes_(count), done_(count, false) {}
    void Set(size_t i, BackupOutcome outcome) {
        std::lock_guard<std::mutex> guard(lock_);
        outcomes_[i] = std::move(outcome);
        done_[i] = true;
    }
    // Those not finished marked interrupted.
    std::vector<BackupOutcome> SoFar() {
        std::lock_guard<std::mutex> guard(lock_);
        std::vector<BackupOutcome> copy = outcomes_;
        for (size_t i = 0; i < copy.size(); ++i)
            if (!done_[i]) copy[i].result = "interrupted";
        return copy;
    }

  private:
    std::mutex lock_;
    std::vector<BackupOutcome> outcomes_;
    std::vector<bool> done_;
};

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

// 0 when the jobs finished, else the signal that came first.
int AwaitEndOrSignal(const sigset_t& ending, const std::atomic<bool>& finished) {
    const timespec step{0, 50 * 1000 * 1000};
    while (!finished) {
        const int sig = sigtimedwait(&ending, nullptr, &step);
        if (sig > 0) return sig;
    }
    return 0;
}

// The modules still running are left where they are: no half-saved file, no
// port lock stays, and the program ends by the signal as it would have.
[[noreturn]] void EndInterrupted(int sig, const sigset_t& before) {
    std::fprintf(stderr, "kova-config: backup interrupted\n");
    std::fflush(stderr);
    RemovePendingSaveFiles();
    RemoveHeldUucpLocks();
    std::signal(sig, SIG_DFL);
    pthread_sigmask(SIG_SETMASK, &before, nullptr);
    std::raise(sig);
    std::_Exit(128 + sig);
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
    Outcomes outcomes(entries.size());
    // The signals that end the program wait for this thread alone, so that
    // an interrupted backup still says what it finished.
    sigset_t ending, before;
    sigemptyset(&ending);
    for (int sig : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) sigaddset(&ending, sig);
    pthread_sigmask(SIG_BLOCK, &ending, &before);
    std::atomic<bool> finished{false};
    std::thread jobs([&] {
        // Modules on one serial port (a multi-drop line) take turns on it.
        RunJobGroups(GroupsByPort(entries), options.jobs, [&](int i) {
            outcomes.Set(size_t(i), BackupOne(entries[size_t(i)], dir, options, progress, board));
        });
        finished = true;
    });
    const int sig = AwaitEndOrSignal(ending, finished);
    progress.Clear();
    const std::vector<BackupOutcome> summary = outcomes.SoFar();
    PrintSummary(entries, summary);
    if (sig) EndInterrupted(sig, before);
    jobs.join();
    pthread_sigmask(SIG_SETMASK, &before, nullptr);
    for (const BackupOutcome& o : summary)
        if (!o.saved) return kExitFailed;
    return kExitOk;
}
