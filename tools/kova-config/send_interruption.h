// What a send cut short has written, said on standard error before the
// program ends. Interrupted by a signal: "interrupted: the rack base and
// ports 1-2 sent, port 3 partly, port 4 and the Print/Prog baud rate not".
// Failed: "failed at Port 3, Path 2 (Write reply timeout): the rack base and
// ports 1-2 sent, port 3 partly, port 4 and the Print/Prog baud rate not; the
// module holds a mix: send again". A whole send writes the rack base, ports 1
// to 4, then the Print/Prog baud rate; for a signal the port under way is
// told from the ports the transfer announces.
#pragma once
#include <atomic>
#include <string>

#include "ending_signals.h"
#include "progress_line.h"
#include "tool_reporter.h"
#include "transfer/module_transfer.h"

// What the module holds after a whole send stopped in part underWay: "the
// rack base and ports 1-2 sent, port 3 partly, port 4 and the Print/Prog baud
// rate not". A one-register part under way is "in doubt": its write may have
// arrived although its reply did not.
std::string SendStandText(SendPart underWay);

// The text for a send cut short in module port 1-4 (0: before port 1, while
// the module was identified or the rack base written).
std::string SendInterruptedText(int portUnderWay);

// The text for a send that failed in part underWay, at the step last
// announced ("Send path 2"), for the reason the link gave.
std::string SendFailedText(SendPart underWay, const std::string& step, const std::string& reason);

// While it lives, a signal that ends the program reports what the send on
// this reporter had written.
class SendInterruption {
  public:
    SendInterruption(ToolReporter& reporter, ProgressLine& progress);
    ~SendInterruption() { reporter_.WatchPorts(nullptr); }
    SendInterruption(const SendInterruption&) = delete;
    SendInterruption& operator=(const SendInterruption&) = delete;

  private:
    ToolReporter& reporter_;
    std::atomic<int> portUnderWay_{0};
    InterruptReport report_;
};
