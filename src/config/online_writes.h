// What the configuration editors ask of the module while they edit it
// directly. Every change an editor makes ends in exactly one of these calls,
// carrying the values to write; offline they do nothing and succeed, online
// they reach the module. Each call returns false when the transfer failed
// (the failure is already reported to the user). A write that failed may
// have reached the module in part: after one, no port counts as read until
// it is fetched again.
#pragma once
#include <cstdint>
#include <functional>
#include <utility>

#include "config/config_documents.h"
#include "config/module_config.h"

enum class EditMode { Offline = 0, Online = 1 };

class OnlineWrites {
  public:
    virtual ~OnlineWrites() = default;
    virtual EditMode Mode() const = 0;
    // The model of the module edited (kModelUnknown until one said): the
    // PLUS-only fields are shown unless it is known to be standard.
    virtual int16_t Model() const = 0;

    // Opening the editor and changing its port: read the Print/Prog baud
    // rate and the rack base and fetch the port without its poll queries,
    // into the working configuration.
    virtual bool FetchForEditor(int port, ConfigDocuments& into) = 0;
    // Whether the port's values in the working configuration are the
    // module's: the last FetchForEditor was of this port and succeeded.
    // Nothing of a port that was not read may be written: its values never
    // came from the module.
    virtual bool PortRead(int port) const = 0;

    virtual bool WriteCommParameters(int port, const PortConfig& values) = 0;
    virtual bool WriteAcceptSet(int port, const PortConfig& values) = 0;
    virtual bool WriteTerminateSet(int port, const PortConfig& values) = 0;
    virtual bool WritePath(int port, int path, const PortConfig& values) = 0;
    // Before a rack base move: the port's four paths and, on a PLUS module,
    // its Trigger/Inhibit register, the values the move changes.
    virtual bool FetchPaths(int port, ModuleConfig& into) = 0;
    virtual bool WriteTerminateCount(int port, const EditPlus& values) = 0;
    virtual bool WriteTerminateTimeout(int port, const EditPlus& values) = 0;
    virtual bool WriteTriggerInhibit(int port, const EditPlus& values) = 0;
    // The programming-port baud rate change, with its question about this
    // computer's port. Where the link runs through that port the user is
    // asked first; declined, nothing is written and printProgBaud becomes
    // the module's rate again (true: nothing failed).
    virtual bool ChangePrintProgBaud(int16_t& printProgBaud) = 0;
    virtual bool WriteRackBase(const EditPlus& values) = 0;

    // Poll queries: query 0 travels with the poll interval. A send sets the
    // query's terminator byte in the values to 0, as the module holds it.
    virtual bool FetchPollQuery(int port, int query, PortConfig& into) = 0;
    virtual bool SendPollInterval(int port, PortConfig& values) = 0;
    virtual bool SendPollQuery(int port, int query, PortConfig& values) = 0;

    // Called just before a failure is reported (a report that may wait for
    // the user), so that the screen behind the report already shows what the
    // failure leaves. Empty: nothing is called.
    void WhenFailing(std::function<void()> note) { whenFailing_ = std::move(note); }

  protected:
    void Failing() const {
        if (whenFailing_) whenFailing_();
    }

  private:
    std::function<void()> whenFailing_;
};

// The offline editor's writes: nothing leaves the working configuration.
// The model is the one the program last learned of, for the labels.
class OfflineWrites final : public OnlineWrites {
  public:
    explicit OfflineWrites(int16_t model = kModelUnknown) : model_(model) {}
    EditMode Mode() const override { return EditMode::Offline; }
    int16_t Model() const override { return model_; }
    bool FetchForEditor(int, ConfigDocuments&) override { return true; }
    bool PortRead(int) const override { return true; }
    bool WriteCommParameters(int, const PortConfig&) override { return true; }
    bool WriteAcceptSet(int, const PortConfig&) override { return true; }
    bool WriteTerminateSet(int, const PortConfig&) override { return true; }
    bool WritePath(int, int, const PortConfig&) override { return true; }
    bool FetchPaths(int, ModuleConfig&) override { return true; }
    bool WriteTerminateCount(int, const EditPlus&) override { return true; }
    bool WriteTerminateTimeout(int, const EditPlus&) override { return true; }
    bool WriteTriggerInhibit(int, const EditPlus&) override { return true; }
    bool ChangePrintProgBaud(int16_t&) override { return true; }
    bool WriteRackBase(const EditPlus&) override { return true; }
    bool FetchPollQuery(int, int, PortConfig&) override { return true; }
    bool SendPollInterval(int, PortConfig&) override { return true; }
    bool SendPollQuery(int, int, PortConfig&) override { return true; }

  private:
    int16_t model_;
};
