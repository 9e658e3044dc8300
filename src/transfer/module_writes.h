// The editors' online side: every change an editor makes reaches the module
// through the section transfers of the caller's module session, with the
// values the editor hands over; what the module turns out to be stays in that
// session.
//
// A section is written only after it was read from the module in this
// editing: the working configuration holds values from a file or another
// module until then, and writing a whole section back would put values there
// that nobody chose. A refused write is reported and fails. A write that
// fails may have landed in part, so after one nothing counts as read.
#pragma once
#include <cstdint>

#include "config/online_writes.h"
#include "setup/link_setup.h"
#include "transfer/module_session.h"

class ModuleWrites final : public OnlineWrites {
  public:
    // setup: the settings a Print/Prog baud change may move to the new rate.
    // The session reports through the editor's note while this lives.
    ModuleWrites(ModuleSession& session, LinkSetup& setup)
        : reports_(session.Reports(), *this),
          session_(session),
          attached_(session, reports_),
          setup_(setup) {}
    ModuleWrites(const ModuleWrites&) = delete;
    ModuleWrites& operator=(const ModuleWrites&) = delete;

    EditMode Mode() const override { return EditMode::Online; }
    int16_t Model() const override { return session_.model; }
    bool FetchForEditor(int port, ConfigDocuments& into) override;
    bool PortRead(int port) const override;
    bool WriteCommParameters(int port, const PortConfig& values) override;
    bool WriteAcceptSet(int port, const PortConfig& values) override;
    bool WriteTerminateSet(int port, const PortConfig& values) override;
    bool WritePath(int port, int path, const PortConfig& values) override;
    bool FetchPaths(int port, ModuleConfig& into) override;
    bool WriteTerminateCount(int port, const EditPlus& values) override;
    bool WriteTerminateTimeout(int port, const EditPlus& values) override;
    bool WriteTriggerInhibit(int port, const EditPlus& values) override;
    bool ChangePrintProgBaud(int16_t& printProgBaud) override;
    bool WriteRackBase(const EditPlus& values) override;
    bool FetchPollQuery(int port, int query, PortConfig& into) override;
    bool SendPollInterval(int port, PortConfig& values) override;
    bool SendPollQuery(int port, int query, PortConfig& values) override;

  private:
    // The session's reports, with the editor's note before each failure.
    class FailureReports final : public TransferReporter {
      public:
        FailureReports(TransferReporter& screen, const ModuleWrites& writes)
            : screen_(screen), writes_(writes) {}
        void Step(const char* text) override { screen_.Step(text); }
        void Port(const char* text) override { screen_.Port(text); }
        bool Error(const char* text) override {
            writes_.Failing();
            return screen_.Error(text);
        }
        bool Confirm(const char* question) override { return screen_.Confirm(question); }
        void ModelKnown(int16_t model) override { screen_.ModelKnown(model); }
        void Retried() override { screen_.Retried(); }

      private:
        TransferReporter& screen_;
        const ModuleWrites& writes_;
    };

    // What of each port came from the module since the editor last fetched.
    struct ReadSections {
        bool port = false;   // communication parameters, sets, paths, PLUS values
        bool paths = false;  // the four paths and the Trigger/Inhibit register
        uint32_t polls = 0;  // bit q: query q; bit 16: the interval
    };
    static constexpr uint32_t kIntervalBit = 1u << 16;

    bool Refused(int port, bool read);
    // A write's result; a failed one forgets every read.
    bool Written(bool ok);

    FailureReports reports_;
    ModuleSession& session_;
    SessionReports attached_;
    LinkSetup& setup_;
    ReadSections read_[4];
    bool moduleValuesRead_ = false;    // the Print/Prog baud rate and the rack base
    int16_t modulePrintProgBaud_ = 0;  // as read or last written
};
