// The wire side of the simulated module: a slave per protocol that reads
// request bytes, answers through the line writer and applies the faults.
#pragma once
#include <chrono>
#include <cstdint>
#include <memory>
#include <vector>

#include "port_feeds.h"
#include "register_image.h"
#include "sim_options.h"

using Bytes = std::vector<uint8_t>;

// Sends bytes no faster than the line would carry them when pacing is on.
class LineWriter {
  public:
    LineWriter(int fd, bool pace, int64_t characterNanoseconds, int trickleMs = 0)
        : fd_(fd), pace_(pace), characterNs_(characterNanoseconds), trickleMs_(trickleMs) {}
    void Send(const Bytes& bytes);
    void Delay(int milliseconds);
    // When pacing, waits until a request whose first byte came at start has
    // had the time its count bytes take on the line (a pty delivers at once).
    void AwaitArrival(std::chrono::steady_clock::time_point start, size_t count);
    size_t BytesSent() const { return sent_; }

  private:
    void WriteAll(const uint8_t* bytes, size_t count);
    int fd_;
    bool pace_;
    int64_t characterNs_;
    size_t sent_ = 0;
    int trickleMs_;
};

struct SimContext {
    SimOptions options;
    RegisterImage image;
    LineWriter* writer;
    int requests = 0;
    int replies = 0;
    int naks = 0;
    int delays = 0;
    PortFeeds feeds;

    bool DropThisRequest() {
        ++requests;
        // --drop-after 0:M: the first M requests.
        if ((options.dropAfter || options.dropFor) && requests > options.dropAfter &&
            (!options.dropFor || requests <= options.dropAfter + options.dropFor))
            return true;
        return options.dropEvery && requests % options.dropEvery == 0;
    }
    bool CorruptThisReply() { return replies++ < options.corruptFirst; }
    // The wait before this reply: every reply's, or with delayEvery only
    // every Nth one's.
    int DelayThisReply() {
        if (!options.delayMs || !options.delayEvery) return options.delayMs;
        return ++delays % options.delayEvery == 0 ? options.delayMs : 0;
    }
};

class SimSlave {
  public:
    virtual ~SimSlave() = default;
    virtual void OnByte(uint8_t byte) = 0;
    // A pause longer than pauseMs() on the line (Modbus RTU frames end so).
    virtual int PauseMs() const { return -1; }
    virtual void OnPause() {}
    // What the --chatter fault sends, uninvited.
    virtual void Chatter() {}
};

std::unique_ptr<SimSlave> MakeSyMaxSlave(SimContext& context);
std::unique_ptr<SimSlave> MakeModbusRtuSlave(SimContext& context);
std::unique_ptr<SimSlave> MakeModbusAsciiSlave(SimContext& context);
std::unique_ptr<SimSlave> MakeGatewaySlave(SimContext& context);
// Modbus TCP on options.listen instead of a serial line; the exit status.
int ServeModbusTcp(SimContext& context, int stopSignals);
