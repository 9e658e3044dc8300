// The simulated module for tests.
#include "common/sim_process.h"

#include <fcntl.h>

#include <algorithm>
#include <mutex>
#include <stdexcept>
#include <vector>

namespace {

bool Has(const std::vector<std::string>& options, const char* option) {
    return std::find(options.begin(), options.end(), option) != options.end();
}

bool NamesItsPlace(const std::vector<std::string>& options) {
    for (const char* place : {"--listen", "--tcp", "--tty", "--pty"})
        if (Has(options, place)) return true;
    return false;
}

// The slave sides of the ptys of simulators that were stopped, held open
// until the test program ends. While one is open its number is not handed to
// a new pty, so a program that had the old one (kovasw opens a lost port
// again by its name) finds a dead pty, never another test's new one.
void HoldPtyNumber(const std::string& slave) {
    static std::mutex lock;
    static std::vector<int> held;
    int fd = open(slave.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return;  // gone already, or held exclusively: nothing to keep
    std::lock_guard<std::mutex> guard(lock);
    held.push_back(fd);
}

}  // namespace

SimProcess::SimProcess(const std::vector<std::string>& options) {
    std::vector<std::string> argv{BuildProgram("kova-sim")};
    argv.insert(argv.end(), options.begin(), options.end());
    madePty_ = !NamesItsPlace(options) || Has(options, "--pty");
    if (!NamesItsPlace(options)) argv.push_back("--pty");
    process_ = std::make_unique<ChildProcess>(argv);
    if (process_->Pid() <= 0) throw std::runtime_error("kova-sim could not be started");
    auto tty = std::find(options.begin(), options.end(), "--tty");
    if (tty != options.end()) {  // a device of the test's: kova-sim says nothing
        if (tty + 1 != options.end()) where_ = *(tty + 1);
        return;
    }
    std::string first = process_->ReadLine();
    tcp_ = first == "listening";
    where_ = tcp_ ? process_->ReadLine() : first;
    if (where_.empty() || (!tcp_ && where_.rfind("/dev/", 0) != 0))
        throw std::runtime_error("kova-sim did not say where it serves: \"" + first + "\"");
}

void SimProcess::Stop() {
    if (!process_) return;
    if (madePty_ && !where_.empty()) HoldPtyNumber(where_);
    process_.reset();
}

std::string SimProcess::ReadLine(Millis deadline) {
    return process_ ? process_->ReadLine(deadline) : "";
}
