// What the configuration editors ask of the module while they edit it
// directly. Every change an editor makes ends in exactly one of these calls;
// offline they do nothing and succeed, online they reach the module. Each
// call returns false when the transfer failed (the failure is already
// reported to the user), which ends the editor that made it.
#pragma once

enum class EditMode { Offline = 0, Online = 1 };

class OnlineWrites {
  public:
    virtual ~OnlineWrites() = default;
    virtual EditMode Mode() const = 0;

    // Opening the editor and changing its port: read the Print/Prog baud
    // rate and the rack base and fetch the port without its poll queries.
    virtual bool FetchForEditor(int port) = 0;
    // Whether the port's values in the working configuration are the
    // module's: the last FetchForEditor was of this port and succeeded.
    // Nothing of a port that was not read may be written: its values never
    // came from the module.
    virtual bool PortRead(int port) const = 0;

    virtual bool WriteCommParameters(int port) = 0;
    virtual bool WriteAcceptSet(int port) = 0;
    virtual bool WriteTerminateSet(int port) = 0;
    virtual bool WritePath(int port, int path) = 0;
    // Before a rack base move: the port's four paths and, on a PLUS module,
    // its Trigger/Inhibit register, the values the move changes.
    virtual bool FetchPaths(int port) = 0;
    virtual bool WriteTerminateCount(int port) = 0;
    virtual bool WriteTerminateTimeout(int port) = 0;
    virtual bool WriteTriggerInhibit(int port) = 0;
    // The programming-port baud rate change, with its question about this
    // computer's port.
    virtual bool ChangePrintProgBaud() = 0;
    virtual bool WriteRackBase() = 0;

    // Poll queries: query 0 travels with the poll interval.
    virtual bool FetchPollQuery(int port, int query) = 0;
    virtual bool SendPollInterval(int port) = 0;
    virtual bool SendPollQuery(int port, int query) = 0;
};

// The offline editor's writes: nothing leaves the working configuration.
OnlineWrites& OfflineWrites();

// The writes for a mode: offline always has its own; online uses the ones
// installed by the module transfer (none until then).
void InstallOnlineWrites(OnlineWrites* writes);
OnlineWrites* WritesFor(EditMode mode);
