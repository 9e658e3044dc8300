// The tools give a serial port back however they end: a program that held
// the port, ended by a signal while it waited for a silent device (or, for
// the simulator, for requests), leaves it free for the next program, with
// no TIOCEXCL left on it and no lock file. The pty's other side stays open
// throughout, as socat's or ser2net's would, so the terminal outlives the
// tool and anything the tool leaves set on it stays.
#include <gtest/gtest.h>
#include <signal.h>

#include <filesystem>
#include <string>
#include <vector>

#include "common/child_process.h"
#include "common/port_access.h"
#include "common/pty_pair.h"
#include "common/wait_until.h"
#include "link/uucp_lock.h"

namespace {

struct ToolCase {
    const char* what;
    std::vector<std::string> argv;  // "PORT" stands for the pty's slave
    int signal;
    // The shell status it must end with: the signal's 128 + n for the tools
    // that wait on a request; the simulator's own 0 for its ordinary ending.
    int shellStatus;
};

std::vector<std::string> WithPort(std::vector<std::string> argv, const std::string& port) {
    for (std::string& a : argv)
        if (a == "PORT") a = port;
    argv[0] = BuildProgram(argv[0]);
    return argv;
}

TEST(PortRelease, ASignalledToolLeavesThePortFreeForTheNextProgram) {
    const std::vector<std::string> poll = {"kova-link", "--type", "rtu", "--port",
                                           "PORT",      "poll",   "20",  "2"};
    const std::vector<std::string> identify = {"kova-config", "--type", "rtu",
                                               "--port",      "PORT",   "identify"};
    const std::vector<std::string> read = {"kova-link", "--type", "symax", "--port",
                                           "PORT",      "read",   "1",     "4"};
    const std::vector<std::string> sim = {"kova-sim", "--tty", "PORT"};
    const ToolCase cases[] = {
        {"kova-link poll", poll, SIGTERM, 143},  {"kova-link poll", poll, SIGINT, 130},
        {"kova-link poll", poll, SIGHUP, 129},   {"kova-link read", read, SIGTERM, 143},
        {"kova-config", identify, SIGTERM, 143}, {"kova-config", identify, SIGHUP, 129},
        {"kova-sim", sim, SIGTERM, 0},           {"kova-sim", sim, SIGHUP, 0},
    };
    for (const ToolCase& c : cases) {
        SCOPED_TRACE(std::string(c.what) + " signal " + std::to_string(c.signal));
        PtyPair pty;  // nobody answers on it
        ChildProcess tool(WithPort(c.argv, pty.SlavePath()));
        // Holding the port: TIOCEXCL is the last thing an open sets.
        ASSERT_TRUE(WaitUntil([&] { return MarkedExclusive(pty.SlaveKeeper()); }));
        ASSERT_EQ(kill(tool.Pid(), c.signal), 0);
        // Today's waits give a silent device several seconds before they give
        // up; a signal must not wait for that (the bound is generous for a
        // loaded machine, and still well below one such wait).
        EXPECT_EQ(tool.WaitForShellStatus(Millis(3000)), c.shellStatus);
        EXPECT_FALSE(MarkedExclusive(pty.SlaveKeeper()));
        EXPECT_FALSE(std::filesystem::exists(UucpLockPath(pty.SlavePath())));
        std::string why;
        EXPECT_TRUE(OpensForAnUnprivilegedUser(pty.SlavePath(), &why)) << why;
    }
}

}  // namespace
