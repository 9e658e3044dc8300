// The command-line reporter.
#include "tool_reporter.h"

ToolReporter::ToolReporter(ProgressLine& progress, std::string prefix, ProgressUpdate update)
    : progress_(progress), prefix_(std::move(prefix)), update_(std::move(update)) {}

void ToolReporter::Step(const char* text) {
    if (!*text) return;
    ++steps_;
    step_ = text;
    ShowProgress();
}

void ToolReporter::Retried() {
    ++retries_;
    ShowProgress();
}

void ToolReporter::ShowProgress() {
    // Never 100 before the command has ended: the last step is still running.
    int percent = expectedSteps_ ? 100 * (steps_ - 1) / expectedSteps_ : 0;
    if (percent > 99) percent = 99;
    if (percent < 0) percent = 0;
    const std::string retries = retries_ ? "  retries " + std::to_string(retries_) : "";
    if (update_) update_(port_, step_ + retries, percent);
}

void ToolReporter::Port(const char* text) {
    port_ = text;
    if (portWatcher_) portWatcher_(port_);
}

bool ToolReporter::Error(const char* text) {
    lastError_ = text;
    progress_.Message(prefix_.empty() ? lastError_ : prefix_ + ": " + lastError_);
    return false;
}

// The one question a transfer asks is whether to follow the module's new
// Print/Prog baud rate on this computer's port: its first sentence is the
// news, and this process ends before it would use the port again.
bool ToolReporter::Confirm(const char* question) {
    std::string news = question;
    const size_t stop = news.find(". ");
    if (stop != std::string::npos) news.resize(stop + 1);
    Note(news + " This computer's port is left as it is.");
    return false;
}

void ToolReporter::ModelKnown(int16_t model) { model_ = model; }

void ToolReporter::Note(const std::string& text) {
    progress_.Message(prefix_.empty() ? text : prefix_ + ": " + text);
}
