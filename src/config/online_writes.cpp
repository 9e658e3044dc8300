// The offline side of the editors' module writes, and the slot the module
// transfer fills for the online side.
#include "config/online_writes.h"

namespace {

class NoWrites final : public OnlineWrites {
  public:
    EditMode Mode() const override { return EditMode::Offline; }
    bool FetchForEditor(int) override { return true; }
    bool PortRead(int) const override { return true; }
    bool WriteCommParameters(int) override { return true; }
    bool WriteAcceptSet(int) override { return true; }
    bool WriteTerminateSet(int) override { return true; }
    bool WritePath(int, int) override { return true; }
    bool FetchPaths(int) override { return true; }
    bool WriteTerminateCount(int) override { return true; }
    bool WriteTerminateTimeout(int) override { return true; }
    bool WriteTriggerInhibit(int) override { return true; }
    bool ChangePrintProgBaud() override { return true; }
    bool WriteRackBase() override { return true; }
    bool FetchPollQuery(int, int) override { return true; }
    bool SendPollInterval(int) override { return true; }
    bool SendPollQuery(int, int) override { return true; }
};

OnlineWrites* gOnline = nullptr;

}  // namespace

OnlineWrites& OfflineWrites() {
    static NoWrites writes;
    return writes;
}

void InstallOnlineWrites(OnlineWrites* writes) { gOnline = writes; }

OnlineWrites* WritesFor(EditMode mode) {
    return mode == EditMode::Offline ? &OfflineWrites() : gOnline;
}
