// The signals that end kova-config (SIGINT, SIGTERM, SIGHUP, SIGQUIT) are
// taken by a thread of its own, with sigwait, so that what the program says
// about the work a signal cuts short is said by ordinary code, not inside a
// signal handler: the report of the work under way runs, the temporary files
// of saves under way are removed, the serial ports are given back (TIOCEXCL
// cleared, lock files removed), and the process ends by the same signal
// (the shell sees 130 for SIGINT, 143 for SIGTERM).
#pragma once
#include <functional>

// Once, in main, before any other thread starts: the signals are blocked in
// every thread the process makes after it.
void WatchEndingSignals();

// What to say when a signal ends the program while this object lives; the
// report gets the signal's number. Reports do not nest: one command, one
// report. Destroying it waits for a report that is running.
class InterruptReport {
  public:
    explicit InterruptReport(std::function<void(int signal)> report);
    ~InterruptReport();
    InterruptReport(const InterruptReport&) = delete;
    InterruptReport& operator=(const InterruptReport&) = delete;
};
