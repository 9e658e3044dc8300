// What a send cut short by a signal has written, said on standard error
// before the program ends: "interrupted: the rack base and ports 1-2 sent,
// port 3 partly, port 4 and the Print/Prog baud rate not". A whole send
// writes the rack base, ports 1 to 4, then the Print/Prog baud rate; the
// part under way is told from the ports the transfer announces.
#pragma once
#include <atomic>
#include <string>

#include "ending_signals.h"
#include "progress_line.h"
#include "tool_reporter.h"

// The parts of a whole send in their order: 0 the rack base, 1-4 the ports,
// 5 the Print/Prog baud rate; 6 once all are written.
std::string SendInterruptedText(int partUnderWay);

// While it lives, a signal that ends the program reports what the send on
// this reporter had written.
class SendInterruption {
  public:
    SendInterruption(ToolReporter& reporter, ProgressLine& progress);
    ~SendInterruption() { reporter_.WatchPorts(nullptr); }
    SendInterruption(const SendInterruption&) = delete;
    SendInterruption& operator=(const SendInterruption&) = delete;

  private:
    void PortShown(const std::string& port);

    ToolReporter& reporter_;
    std::atomic<int> underWay_{0};
    InterruptReport report_;
};
