// The demo behind `make run`: it starts connected to its simulated module
// over loopback Modbus TCP, and the simulator it started goes away when the
// program quits or when the demo is told to stop.
#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "common/wait_until.h"
#include "tmux_session.h"

namespace {

// The source tree: given by the build, else found from where this file lies.
std::string SourceDir() {
#ifdef KOVA_SOURCE_DIR
    return KOVA_SOURCE_DIR;
#else
    return std::filesystem::path(__FILE__).parent_path().parent_path().parent_path().string();
#endif
}

std::string CommandOf(int pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/comm");
    std::string name;
    std::getline(in, name);
    return name;
}

// The processes under pid, children first.
std::vector<int> Descendants(int pid) {
    std::vector<int> found;
    std::string out = RunCommand({"pgrep", "-P", std::to_string(pid)});
    size_t start = 0;
    while (start < out.size()) {
        size_t end = out.find('\n', start);
        int child = std::atoi(out.substr(start, end - start).c_str());
        if (child > 0) {
            found.push_back(child);
            for (int d : Descendants(child)) found.push_back(d);
        }
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return found;
}

int FindUnder(int pid, const std::string& command) {
    for (int p : Descendants(pid))
        if (CommandOf(p) == command) return p;
    if (CommandOf(pid) == command) return pid;
    return 0;
}

bool AwaitGone(int pid) {
    return WaitUntil([&] { return !std::filesystem::exists("/proc/" + std::to_string(pid)); });
}

class Demo : public testing::Test {
  protected:
    void StartDemo() {
        // A folder of its own: demos started side by side must not share settings.
        t.StartScript("KOVA_DEMO_DIR=" + t.Dir() + "/demo bash " + SourceDir() +
                      "/scripts/demo.sh " + BuildDir() + "; echo demo-ended-$?; sleep 60");
        ASSERT_TRUE(t.WaitFor("Use F10")) << t.ScreenText();
        pane = std::atoi(t.Tmux({"display-message", "-p", "-t", "kova", "#{pane_pid}"}).c_str());
        script = FindUnder(pane, "bash");
        sim = FindUnder(pane, "kova-sim");
        program = FindUnder(pane, "kovasw");
        ASSERT_GT(script, 0);
        ASSERT_GT(sim, 0);
        ASSERT_GT(program, 0);
    }
    TmuxSession t;
    int pane = 0, script = 0, sim = 0, program = 0;
};

TEST_F(Demo, StartsConnectedAndStopsItsSimulatorOnQuit) {
    StartDemo();
    if (HasFatalFailure()) return;
    // A pull-down that opens shows the program past its start-up (and its
    // connecting) and at the menu: a failed connect would be on the screen.
    t.Type("U");
    ASSERT_TRUE(t.WaitFor("View registers")) << t.ScreenText();
    EXPECT_EQ(std::string::npos, t.ScreenText().find("ERROR")) << t.ScreenText();
    EXPECT_EQ(std::string::npos, t.ScreenText().find("CONFIGURE THIS COMPUTER"));
    t.SendKeys("Escape");
    ASSERT_TRUE(t.WaitForGone("View registers"));
    t.Type("Q");
    ASSERT_TRUE(t.WaitFor("demo-ended-0")) << t.ScreenText();
    EXPECT_TRUE(AwaitGone(sim));
    EXPECT_TRUE(AwaitGone(program));
}

TEST_F(Demo, StopsBothProgramsOnSigterm) {
    StartDemo();
    if (HasFatalFailure()) return;
    ASSERT_GT(script, 0);  // never a process group
    ASSERT_EQ(0, kill(script, SIGTERM));
    ASSERT_TRUE(t.WaitFor("demo-ended-143")) << t.ScreenText();
    EXPECT_TRUE(AwaitGone(sim));
    EXPECT_TRUE(AwaitGone(program));
}

// The Modbus TCP port the demo's simulator listens on, from its command line.
std::string SimulatorPort(int sim) {
    std::ifstream in("/proc/" + std::to_string(sim) + "/cmdline");
    std::string argument;
    while (std::getline(in, argument, '\0'))
        if (argument.rfind("127.0.0.1:", 0) == 0) return argument.substr(10);
    return "";
}

// The scale fed to port 2 moves register 20 (its weight in grams) with each
// stable line, a line a second: two different weights within a few seconds.
TEST_F(Demo, TheScaleMovesRegister20) {
    StartDemo();
    if (HasFatalFailure()) return;
    std::string port = SimulatorPort(sim);
    ASSERT_FALSE(port.empty());
    std::vector<std::string> seen;
    auto twoWeights = [&] {
        int status = -1;
        std::string value = RunCommand({BuildDir() + "/kova-link", "--type", "tcp", "--host",
                                        "127.0.0.1", "--tcp-port", port, "read", "20", "1"},
                                       &status);
        if (status == 0 && value != "0\n" &&
            std::find(seen.begin(), seen.end(), value) == seen.end())
            seen.push_back(value);
        return seen.size() >= 2;
    };
    EXPECT_TRUE(WaitUntil(twoWeights, waiting::kDeadline, std::chrono::milliseconds(100)))
        << seen.size() << " values of register 20";
    t.Type("Q");
    ASSERT_TRUE(t.WaitFor("demo-ended-0")) << t.ScreenText();
}

}  // namespace
