// How a transfer reports on the command line: its steps become the progress
// line (port, step, percent), its failures lines on standard error (prefixed
// with the module's name in a backup) and kept for the summary, and its
// questions are answered No: the command line has nobody to ask.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "progress_line.h"
#include "transfer/transfer_reporter.h"

// Where the progress of one module's transfer goes: its port, its step and
// the percentage of the steps done. A backup draws all modules on one line.
using ProgressUpdate =
    std::function<void(const std::string& port, const std::string& step, int percent)>;

class ToolReporter : public TransferReporter {
  public:
    // prefix: "" for the one module of a command, the module's name in a
    // backup. expectedSteps: the progress steps of the whole command.
    ToolReporter(ProgressLine& progress, std::string prefix, ProgressUpdate update);

    void ExpectSteps(int steps) { expectedSteps_ = steps; }

    void Step(const char* text) override;
    void Port(const char* text) override;
    bool Error(const char* text) override;
    bool Confirm(const char* question) override;
    void ModelKnown(int16_t model) override;
    // Counted on the progress line ("retries 2") from the first one on.
    void Retried() override;

    // A failure outside the transfer (the link, a file); reported as Error.
    void Fail(const std::string& text) { Error(text.c_str()); }
    // A note on standard error that is not a failure.
    void Note(const std::string& text);

    // Told each port text the transfer announces ("Port 2", "" between
    // parts), for what an interrupted send reports.
    void WatchPorts(std::function<void(const std::string&)> watcher) {
        portWatcher_ = std::move(watcher);
    }

    const std::string& LastError() const { return lastError_; }
    // The step last announced ("Send path 2").
    const std::string& LastStep() const { return step_; }
    int Retries() const { return retries_; }
    int16_t Model() const { return model_; }

  private:
    void ShowProgress();

    ProgressLine& progress_;
    std::string prefix_;
    ProgressUpdate update_;
    std::function<void(const std::string&)> portWatcher_;
    std::string port_;
    int steps_ = 0;
    int expectedSteps_ = 0;
    std::string step_;
    int retries_ = 0;
    std::string lastError_;
    int16_t model_ = 2;
};
