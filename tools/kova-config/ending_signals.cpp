// One thread waits for the ending signals; everything else has them blocked.
#include "ending_signals.h"

#include <pthread.h>
#include <signal.h>

#include <mutex>
#include <thread>

#include "config/disk_file.h"
#include "link/serial_device.h"

namespace {

constexpr int kEndingSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

// The report of the command under way. Never destroyed: the waiting thread
// outlives main's return, and a signal during exit must find it whole.
struct ReportSlot {
    std::mutex lock;
    std::function<void(int)> report;
};
ReportSlot& Slot() {
    static ReportSlot* slot = new ReportSlot;
    return *slot;
}

sigset_t EndingSignals() {
    sigset_t set;
    sigemptyset(&set);
    for (int sig : kEndingSignals) sigaddset(&set, sig);
    return set;
}

[[noreturn]] void EndBy(int sig) {
    RemovePendingSaveFiles();
    ReleaseHeldSerialPorts();
    // Its default action now ends the process; only this thread may take it.
    signal(sig, SIG_DFL);
    sigset_t one;
    sigemptyset(&one);
    sigaddset(&one, sig);
    pthread_sigmask(SIG_UNBLOCK, &one, nullptr);
    pthread_kill(pthread_self(), sig);
    for (;;) pause();  // SIGQUIT may take a moment to write its core
}

void WaitForEndingSignal(sigset_t set) {
    int sig = 0;
    while (sigwait(&set, &sig) != 0) {
    }
    {
        std::lock_guard<std::mutex> guard(Slot().lock);
        if (Slot().report) Slot().report(sig);
        EndBy(sig);  // still holding the lock: no command goes on reporting
    }
}

}  // namespace

void WatchEndingSignals() {
    Slot();
    const sigset_t set = EndingSignals();
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
    std::thread(WaitForEndingSignal, set).detach();
}

InterruptReport::InterruptReport(std::function<void(int)> report) {
    std::lock_guard<std::mutex> guard(Slot().lock);
    Slot().report = std::move(report);
}

InterruptReport::~InterruptReport() {
    std::lock_guard<std::mutex> guard(Slot().lock);
    Slot().report = nullptr;
}
