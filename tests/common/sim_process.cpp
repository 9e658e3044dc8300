// The simulated module for tests.
#include "common/sim_process.h"

#include <algorithm>
#include <stdexcept>

namespace {

bool Has(const std::vector<std::string>& options, const char* option) {
    return std::find(options.begin(), options.end(), option) != options.end();
}

bool NamesItsPlace(const std::vector<std::string>& options) {
    for (const char* place : {"--listen", "--tcp", "--tty", "--pty"})
        if (Has(options, place)) return true;
    return false;
}

}  // namespace

SimProcess::SimProcess(const std::vector<std::string>& options) {
    std::vector<std::string> argv{BuildProgram("kova-sim")};
    argv.insert(argv.end(), options.begin(), options.end());
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

std::string SimProcess::ReadLine(Millis deadline) {
    return process_ ? process_->ReadLine(deadline) : "";
}
