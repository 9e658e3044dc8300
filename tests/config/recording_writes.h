// An online side for the editors that records which module writes they ask
// for, in order, and fails the one named by failOn.
#pragma once
#include <string>
#include <vector>

#include "config/online_writes.h"

class RecordingWrites final : public OnlineWrites {
  public:
    explicit RecordingWrites(EditMode mode) : mode_(mode) {}
    std::vector<std::string> calls;
    std::string failOn;  // a call as recorded, e.g. "WritePath 0 2"

    EditMode Mode() const override { return mode_; }
    bool FetchForEditor(int port) override { return Call("FetchForEditor", port); }
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
        return call != failOn && std::string(name) != failOn;
    }
    EditMode mode_;
};
