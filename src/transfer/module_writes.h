// The editors' online side: every change an editor makes reaches the module
// through the section transfers, on the link the application names at the
// time of the call, with reports through the given reporter.
//
// A section is written only after it was read from the module in this
// editing: the working configuration holds values from a file or another
// module until then, and writing a whole section back would put values there
// that nobody chose. A refused write is reported and fails.
#pragma once
#include <cstdint>

#include "config/online_writes.h"
#include "link/link.h"
#include "transfer/transfer_reporter.h"

class ModuleWrites final : public OnlineWrites {
  public:
    using LinkSource = Link* (*)();
    ModuleWrites(LinkSource link, TransferReporter& reporter) : link_(link), reporter_(reporter) {}

    EditMode Mode() const override { return EditMode::Online; }
    bool FetchForEditor(int port) override;
    bool PortRead(int port) const override;
    bool WriteCommParameters(int port) override;
    bool WriteAcceptSet(int port) override;
    bool WriteTerminateSet(int port) override;
    bool WritePath(int port, int path) override;
    bool FetchPaths(int port) override;
    bool WriteTerminateCount(int port) override;
    bool WriteTerminateTimeout(int port) override;
    bool WriteTriggerInhibit(int port) override;
    bool ChangePrintProgBaud() override;
    bool WriteRackBase() override;
    bool FetchPollQuery(int port, int query) override;
    bool SendPollInterval(int port) override;
    bool SendPollQuery(int port, int query) override;

  private:
    // What of each port came from the module since the editor last fetched.
    struct ReadSections {
        bool port = false;   // communication parameters, sets, paths, PLUS values
        bool paths = false;  // the four paths and the Trigger/Inhibit register
        uint32_t polls = 0;  // bit q: query q; bit 16: the interval
    };
    static constexpr uint32_t kIntervalBit = 1u << 16;

    bool Refused(int port, bool read);

    LinkSource link_;
    TransferReporter& reporter_;
    ReadSections read_[4];
    bool moduleValuesRead_ = false;  // the Print/Prog baud rate and the rack base
};
