// One thread waits for the ending signals; everything else has them blocked.
#include "ending_signals.h"

#include <pthread.h>
#include <signal.h>

#include <mutex>
#include <thread>

#include "config/disk_file.h"
#include "link/uucp_lock.h"

namespace {

constexpr int kEndingSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

std::mutex gReportLock;
std::function<void(int)> gReport;

sigset_t EndingSignals() {
    sigset_t set;
    sigemptyset(&set);
    for (int sig : kEndingSignals) sigaddset(&set, sig);
    return set;
}

[[noreturn]] void EndBy(int sig) {
    RemovePendingSaveFiles();
    RemoveHeldUucpLocks();
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
        std::lock_guard<std::mutex> guard(gReportLock);
        if (gReport) gReport(sig);
        EndBy(sig);  // still holding the lock: no command goes on reporting
    }
}

}  // namespace

void WatchEndingSignals() {
    const sigset_t set = EndingSignals();
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
    std::thread(WaitForEndingSignal, set).detach();
}

InterruptReport::InterruptReport(std::function<void(int)> report) {
    std::lock_guard<std::mutex> guard(gReportLock);
    gReport = std::move(report);
}

InterruptReport::~InterruptReport() {
    std::lock_guard<std::mutex> guard(gReportLock);
    gReport = nullptr;
}
