// What a send cut short by a signal has written, said on standard error
// before the program ends: "interrupted: the rack base and ports 1-2 sent,
// port 3 partly, port 4 and the Print/Prog baud rate not". A whole send
// writes the rack base, ports 1 to 4, then the Print/Prog baud rate; the port
// under way is told from the ports the transfer announces.
#pragma once
#include <atomic>
#include <string>

#include "ending_signals.h"
#include "progress_line.h"
#include "tool_reporter.h"

// The text for a send cut short in module port 1-4 (0: before port 1, while
// the module was identified or the rack base written).
std::string SendInterruptedText(int portUnderWay);

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
