// What a transfer tells its user while it runs, and the two questions it may
// ask. The screen implements it on row 1 and in the error window; tools and
// tests use the small ones below. Nothing here knows of a screen.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class TransferReporter {
  public:
    virtual ~TransferReporter() = default;
    // The step under way ("Send Comms", "Fetch path 3", "Send poll 12");
    // "" clears it.
    virtual void Step(const char* text) = 0;
    // The port of a transfer of several ports ("Port 2"); "" clears it.
    virtual void Port(const char* text) = 0;
    // A failure. Returns true when the user chose to go on (F10), false when
    // they chose to stop (Esc); only the identification acts on the answer.
    virtual bool Error(const char* text) = 0;
    // A yes/no question; true for yes.
    virtual bool Confirm(const char* question) = 0;
    // The module has just said which model it is (kModelStandard or
    // kModelPlus).
    virtual void ModelKnown(int16_t model) = 0;
    // A request failed in a way the line may have caused and is being sent
    // once more.
    virtual void Retried() {}
};

// A value a send must not write: reported as a failure, true when there was
// one.
inline bool Refused(TransferReporter& reporter, const std::optional<std::string>& fault) {
    if (fault) reporter.Error(fault->c_str());
    return fault.has_value();
}

// Shows nothing, stops at a failure and answers No: what a session reports
// to while nobody is listening.
TransferReporter& SilentReports();

// Keeps every report in order, as "step: ...", "port: ...", "error: ...",
// "confirm: ..." and "model: N", and answers with fixed choices.
class RecordingReporter : public TransferReporter {
  public:
    void Step(const char* text) override { events.push_back(std::string("step: ") + text); }
    void Port(const char* text) override { events.push_back(std::string("port: ") + text); }
    bool Error(const char* text) override;
    bool Confirm(const char* question) override;
    void ModelKnown(int16_t model) override;

    // The events of one kind ("step", "error", ...), texts only.
    std::vector<std::string> Texts(const std::string& kind) const;

    bool goOnAfterError = true;
    bool answerYes = true;
    std::vector<std::string> events;
};

// For command-line tools: failures and questions go to standard error;
// progress too when verbose. Questions get the fixed answer given.
class StderrReporter : public TransferReporter {
  public:
    StderrReporter(bool verbose, bool answerYes) : verbose_(verbose), answerYes_(answerYes) {}
    void Step(const char* text) override;
    void Port(const char* text) override;
    bool Error(const char* text) override;
    bool Confirm(const char* question) override;
    void ModelKnown(int16_t model) override;

  private:
    bool verbose_;
    bool answerYes_;
};
