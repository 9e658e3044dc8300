// The editors' online side: every change an editor makes reaches the module
// through the section transfers, on the link the application names at the
// time of the call, with reports through the given reporter.
#pragma once
#include "config/online_writes.h"
#include "link/link.h"
#include "transfer/transfer_reporter.h"

class ModuleWrites final : public OnlineWrites {
  public:
    using LinkSource = Link* (*)();
    ModuleWrites(LinkSource link, TransferReporter& reporter) : link_(link), reporter_(reporter) {}

    EditMode Mode() const override { return EditMode::Online; }
    bool FetchForEditor(int port) override;
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
    LinkSource link_;
    TransferReporter& reporter_;
};
