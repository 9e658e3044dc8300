// An online side for the editors that records which module writes they ask
// for, in order, with the values handed over, and fails the one named by
// failOn. A failure is "reported" as the module's would be (the failure note
// runs first), and a failed write leaves no port read.
#pragma once
#include <string>
#include <vector>

#include "config/module_config.h"
#include "config/online_writes.h"

class RecordingWrites final : public OnlineWrites {
  public:
    explicit RecordingWrites(EditMode mode, int16_t model = kModelPlus)
        : mode_(mode), model_(model) {}
    std::vector<std::string> calls;
    std::string failOn;       // a call as recorded, e.g. "WritePath 0 2"
    int failures = 1000000;   // how many times failOn fails before it succeeds
    int16_t modelFound = -1;  // the model a successful fetch finds; -1 unchanged
    // The values the last write of each kind carried.
    PortConfig portWritten{};
    EditPlus plusWritten{};
    int16_t printProgBaudWritten = -1;

    EditMode Mode() const override { return mode_; }
    int16_t Model() const override { return model_; }
    bool FetchForEditor(int port, ConfigDocuments&) override {
        readPort_ = Call("FetchForEditor", port) ? port : -1;
        if (readPort_ == port && modelFound >= 0) model_ = modelFound;
        return readPort_ == port;
    }
    bool PortRead(int port) const override {
        return mode_ == EditMode::Offline || port == readPort_;
    }
    bool WriteCommParameters(int port, const PortConfig& v) override {
        return Port(v), Call("WriteCommParameters", port);
    }
    bool WriteAcceptSet(int port, const PortConfig& v) override {
        return Port(v), Call("WriteAcceptSet", port);
    }
    bool WriteTerminateSet(int port, const PortConfig& v) override {
        return Port(v), Call("WriteTerminateSet", port);
    }
    bool WritePath(int port, int path, const PortConfig& v) override {
        return Port(v), Call("WritePath", port, path);
    }
    bool FetchPaths(int port, ModuleConfig&) override { return Call("FetchPaths", port); }
    bool WriteTerminateCount(int port, const EditPlus& v) override {
        return Plus(v), Call("WriteTerminateCount", port);
    }
    bool WriteTerminateTimeout(int port, const EditPlus& v) override {
        return Plus(v), Call("WriteTerminateTimeout", port);
    }
    bool WriteTriggerInhibit(int port, const EditPlus& v) override {
        return Plus(v), Call("WriteTriggerInhibit", port);
    }
    bool ChangePrintProgBaud(int16_t& v) override {
        printProgBaudWritten = v;
        return Call("ChangePrintProgBaud");
    }
    bool WriteRackBase(const EditPlus& v) override { return Plus(v), Call("WriteRackBase"); }
    bool FetchPollQuery(int port, int q, PortConfig&) override {
        return Call("FetchPollQuery", port, q);
    }
    bool SendPollInterval(int port, PortConfig& v) override {
        return Port(v), Call("SendPollInterval", port);
    }
    bool SendPollQuery(int port, int q, PortConfig& v) override {
        return Port(v), Call("SendPollQuery", port, q);
    }

  private:
    void Port(const PortConfig& v) { portWritten = v; }
    void Plus(const EditPlus& v) { plusWritten = v; }
    bool Call(const char* name, int a = -1, int b = -1) {
        std::string call = name;
        if (a >= 0) call += " " + std::to_string(a);
        if (b >= 0) call += " " + std::to_string(b);
        calls.push_back(call);
        const bool fails = (call == failOn || std::string(name) == failOn) && failures > 0;
        if (fails) {
            --failures;
            Failing();
            if (call.rfind("Fetch", 0) != 0) readPort_ = -1;
        }
        return !fails;
    }
    EditMode mode_;
    int16_t model_;
    int readPort_ = -1;
};
