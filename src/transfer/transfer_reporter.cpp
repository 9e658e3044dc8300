// The recording and standard-error reporters.
#include "transfer/transfer_reporter.h"

#include <cstdio>

bool RecordingReporter::Error(const char* text) {
    events.push_back(std::string("error: ") + text);
    return goOnAfterError;
}

bool RecordingReporter::Confirm(const char* question) {
    events.push_back(std::string("confirm: ") + question);
    return answerYes;
}

void RecordingReporter::ModelKnown(int16_t model) {
    events.push_back("model: " + std::to_string(model));
}

std::vector<std::string> RecordingReporter::Texts(const std::string& kind) const {
    std::vector<std::string> texts;
    const std::string prefix = kind + ": ";
    for (const std::string& e : events)
        if (e.compare(0, prefix.size(), prefix) == 0) texts.push_back(e.substr(prefix.size()));
    return texts;
}

void StderrReporter::Step(const char* text) {
    if (verbose_ && *text) fprintf(stderr, "  %s\n", text);
}

void StderrReporter::Port(const char* text) {
    if (verbose_ && *text) fprintf(stderr, "%s\n", text);
}

bool StderrReporter::Error(const char* text) {
    fprintf(stderr, "%s\n", text);
    return false;
}

bool StderrReporter::Confirm(const char* question) {
    fprintf(stderr, "%s %s\n", question, answerYes_ ? "Yes" : "No");
    return answerYes_;
}

void StderrReporter::ModelKnown(int16_t model) {
    if (verbose_) fprintf(stderr, "Module model: %s\n", model == 1 ? "PLUS" : "standard");
}

namespace {

class SilentReporter final : public TransferReporter {
  public:
    void Step(const char*) override {}
    void Port(const char*) override {}
    bool Error(const char*) override { return false; }
    bool Confirm(const char*) override { return false; }
    void ModelKnown(int16_t) override {}
};

}  // namespace

TransferReporter& SilentReports() {
    // It keeps nothing, so one serves every session and thread.
    static SilentReporter silent;
    return silent;
}
