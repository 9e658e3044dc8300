// An online side for the editors that records which module writes they ask
// for, in order, and fails the one named by failOn.
#pragma once
#include <string>
#include <vector>

#include "config/module_config.h"
#include "config/online_writes.h"

class RecordingWrites final : public OnlineWrites {
  public:
    explicit RecordingWrites(EditMode mode) : mode_(mode) {}
    std::vector<std::string> calls;
    std::string failOn;       // a call as recorded, e.g. "WritePath 0 2"
    int failures = 1000000;   // how many times failOn fails before it succeeds
    int16_t modelFound = -1;  // ModuleModel as a successful fetch leaves it; -1 unchanged

    EditMode Mode() const override { return mode_; }
    bool FetchForEditor(int port) override {
        readPort_ = Call("FetchForEditor", port) ? port : -1;
        if (readPort_ == port && modelFound >= 0) ModuleModel = modelFound;
        return readPort_ == port;
    }
    bool PortRead(int port) const override {
        return mode_ == EditMode::Offline || port == readPort_;
    }
    bool WriteCommParameters(int port) override { return Call("WriteCommParameters", port); }
    bool WriteAcceptSet(int port) override { return Call("WriteAcceptSet", port); }
    bool WriteTerminateSet(int port) override { return Call("WriteTerminateSet", port); }
    bool WritePath(int port, int path) override { return Call("WritePath", port, path); }
    bool FetchPaths(int port) override { return Call("FetchPaths", port); }
    bool WriteTerminateCount(int port) override { return Call("WriteTerminateCount", port); }
    bool WriteTerminateTimeout(int port) override { return Call("WriteTerminateTimeout", port); }
    bool WriteTriggerInhibit(int port) override { return Call("WriteTriggerInhibit", port); }
    bool ChangePrintProgBaud() override { return Call("ChangePrintProgBaud"); }
    bool WriteRackBase() override { return Call("WriteRackBase"); }
    bool FetchPollQuery(int port, int q) override { return Call("FetchPollQuery", port, q); }
    bool SendPollInterval(int port) override { return Call("SendPollInterval", port); }
    bool SendPollQuery(int port, int q) override { return Call("SendPollQuery", port, q); }

  private:
    bool Call(const char* name, int a = -1, int b = -1) {
        std::string call = name;
        if (a >= 0) call += " " + std::to_string(a);
        if (b >= 0) call += " " + std::to_string(b);
        calls.push_back(call);
        const bool fails = (call == failOn || std::string(name) == failOn) && failures > 0;
        if (fails) --failures;
        return !fails;
    }
    EditMode mode_;
    int readPort_ = -1;
};
