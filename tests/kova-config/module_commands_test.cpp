// kova-config against the simulated module over Modbus TCP and over a pty:
// fetch, send and diff agree with the files field for field, the module's
// answers become messages and exit statuses, and neither a refusal nor a
// signal half-way through a fetch costs a file.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>

#include "common/device_root_dir.h"
#include "common/file_contents.h"
#include "common/wait_until.h"
#include "kova-config/kova_config_fixture.h"
#include "setup/link_setup.h"
#include "transfer/register_map.h"

namespace {

using ModuleCommandsTest = KovaConfigTest;

struct WireCase {
    const char* name;
    Sim::Wire wire;
};
const WireCase kWires[] = {{"Modbus TCP", Sim::Tcp},
                           {"Sy/Max over a pty", Sim::SyMaxPty},
                           {"Modbus RTU over a pty", Sim::RtuPty}};

TEST_F(ModuleCommandsTest, FetchFromAConfiguredModuleEqualsItsFile) {
    const ConfigFileContents sample = SampleConfig();
    WriteKov("X.KOV", sample);
    for (const WireCase& w : {kWires[0], kWires[1]}) {
        Sim sim(w.wire, {"--config", Path("X.KOV")});
        const std::string name = std::string("F") + char('0' + w.wire) + ".KOV";
        const RunResult r = RunOn(sim, {"fetch", Path(name)});
        ASSERT_EQ(r.status, 0) << w.name << ": " << r.err;
        EXPECT_EQ(r.err, "") << w.name;
        ExpectSameTransferredFields(sample, ReadKov(name), true);
    }
}

TEST_F(ModuleCommandsTest, SendThenFetchRoundTrips) {
    const ConfigFileContents sample = SampleConfig();
    WriteKov("X.KOV", sample);
    // Sy/Max over a pty is the slowest; the fetch above covers it.
    for (const WireCase& w : {kWires[0], kWires[2]}) {
        Sim sim(w.wire);
        const RunResult sent = RunOn(sim, {"send", Path("X.KOV")});
        ASSERT_EQ(sent.status, 0) << w.name << ": " << sent.err;
        EXPECT_EQ(sent.err, "") << w.name;
        const RunResult fetched = RunOn(sim, {"--force", "fetch", Path("Y.KOV")});
        ASSERT_EQ(fetched.status, 0) << w.name << ": " << fetched.err;
        ExpectSameTransferredFields(sample, ReadKov("Y.KOV"), true);
    }
}

TEST_F(ModuleCommandsTest, DiffWithTheModuleIsEmptyAfterSendAndNamesALaterChange) {
    WriteKov("X.KOV", SampleConfig());
    Sim sim(Sim::Tcp);
    const RunResult sent = RunOn(sim, {"send", Path("X.KOV")});
    ASSERT_EQ(sent.status, 0) << sent.err;
    const RunResult same = RunOn(sim, {"diff", Path("X.KOV"), "module"});
    EXPECT_EQ(same.status, 0) << same.err;
    EXPECT_EQ(same.out, "");

    // Port 3, path 2: the editing mode follows the start register and the
    // register count.
    const int reg = SectionRegister(3, PathNumbersSection(1)) + 2;
    const RunResult written = RunProgram(
        Join(Join({BuildProgram("kova-link")}, sim.Link()), {"write", std::to_string(reg), "3"}));
    ASSERT_EQ(written.status, 0) << written.err;
    const RunResult changed = RunOn(sim, {"diff", Path("X.KOV"), "module"});
    EXPECT_EQ(changed.status, 3) << changed.err;
    EXPECT_EQ(changed.out, "Port 3 Path 2 Editing Mode: ASCII -> FLOAT\n");
}

// Setup files come from installations whose file systems did not tell
// "TCP.STP" from "tcp.stp": the tools find them as the program does.
TEST_F(ModuleCommandsTest, ASetupFileIsFoundWhateverTheCaseOfItsName) {
    Sim tcp(Sim::Tcp);
    WriteText("tcp.stp", SetupFile(LinkTypeModbusTcp, tcp.Link().back()));
    const RunResult r = Run({"--setup", Path("TCP.STP"), "identify"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "KOVA Port 1\nPLUS\n");
}

TEST_F(ModuleCommandsTest, ASetupFileNamesTheLink) {
    Sim tcp(Sim::Tcp);
    Sim rtu(Sim::RtuPty);
    WriteText("TCP.STP", SetupFile(LinkTypeModbusTcp, tcp.Link().back()));
    WriteText("RTU.STP", SetupFile(LinkTypeModbusRtu, ""));
    // The serial setup file names the first port of the list: the pty.
    DeviceRootDir root;
    root.AddPort("ttyS0", rtu.Link().back());

    const RunResult overTcp = Run({"--setup", Path("TCP.STP"), "identify"});
    EXPECT_EQ(overTcp.status, 0) << overTcp.err;
    EXPECT_EQ(overTcp.out, "KOVA Port 1\nPLUS\n");
    const RunResult overPty =
        Run({"--device-root", root.Path(), "--setup", Path("RTU.STP"), "identify"});
    EXPECT_EQ(overPty.status, 0) << overPty.err;
    EXPECT_EQ(overPty.out, "KOVA Port 1\nPLUS\n");

    WriteText("plant.list",
              "north --setup " + Path("TCP.STP") + "\nsouth --setup " + Path("RTU.STP") + "\n");
    const RunResult backup =
        Run({"--device-root", root.Path(), "-q", "backup", Path("plant.list"), Path("out")});
    EXPECT_EQ(backup.status, 0) << backup.out << backup.err;
    EXPECT_EQ(Entries("out"), (std::vector<std::string>{"north.KOV", "south.KOV"}));
}

TEST_F(ModuleCommandsTest, SendSaysWhenTheModulesBaudNoLongerMatchesTheLink) {
    ConfigFileContents sample = SampleConfig();
    sample.printProgBaud = 1;  // 1200 baud, the link runs at 9600
    WriteKov("SLOW.KOV", sample);
    // Only a serial line of this computer could follow the module's rate;
    // over Modbus TCP the value is written without a word.
    for (Sim::Wire wire : {Sim::RtuPty, Sim::Tcp}) {
        Sim sim(wire);
        const RunResult r = RunOn(sim, {"send", Path("SLOW.KOV")});
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.err.find("KOVA now at 1200 baud.") != std::string::npos, wire != Sim::Tcp)
            << r.err;
        const RunResult baud =
            RunProgram(Join(Join({BuildProgram("kova-link")}, sim.Link()), {"read", "7421", "1"}));
        EXPECT_EQ(baud.out, "1\n");
    }
}

TEST_F(ModuleCommandsTest, IdentifyAndEepromReportWhatTheModuleSays) {
    struct Case {
        const char* name;
        Args sim;
        Args command;
        int status;
        std::string out, err;
    } kCases[] = {
        {"identify PLUS", {}, {"identify"}, 0, "KOVA Port 1\nPLUS\n", ""},
        {"identify standard",
         {"--model", "standard"},
         {"identify"},
         0,
         "KOVA Port 1\nstandard\n",
         ""},
        {"eeprom written", {}, {"eeprom"}, 0, "Setup written to EEPROM\n", ""},
        {"no eeprom", {"--no-eeprom"}, {"eeprom"}, 1, "", "Module not equipped with EEPROM\n"},
        {"unexpected", {"--eeprom-status", "1"}, {"eeprom"}, 1, "", "Unexpected result $0001\n"},
    };
    for (const Case& c : kCases) {
        Sim sim(Sim::Tcp, c.sim);
        const RunResult r = RunOn(sim, c.command);
        EXPECT_EQ(r.status, c.status) << c.name;
        EXPECT_EQ(r.out, c.out) << c.name;
        EXPECT_EQ(r.err, c.err) << c.name;
    }
}

TEST_F(ModuleCommandsTest, AnExistingFileIsReplacedOnlyWithForce) {
    WriteText("OLD.KOV", "the last good backup");
    Sim sim(Sim::Tcp);
    const RunResult kept = RunOn(sim, {"fetch", Path("OLD.KOV")});
    EXPECT_EQ(kept.status, 2);
    EXPECT_EQ(kept.err, "kova-config: " + Path("OLD.KOV") + " exists; --force replaces it\n");
    std::ifstream in(Path("OLD.KOV"));
    std::string text;
    std::getline(in, text);
    EXPECT_EQ(text, "the last good backup");

    const RunResult replaced = RunOn(sim, {"--force", "fetch", Path("OLD.KOV")});
    EXPECT_EQ(replaced.status, 0) << replaced.err;
    ReadKov("OLD.KOV");
    EXPECT_EQ(Entries(), (std::vector<std::string>{"OLD.KOV"}));
}

// kova-config with its standard error on a terminal, so that it shows its
// progress line; the test reads the terminal until the fetch is half-way.
class TerminalRun {
  public:
    explicit TerminalRun(const Args& args) {
        master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (master_ < 0 || grantpt(master_) || unlockpt(master_)) return;
        const std::string slave = ptsname(master_);
        pid_ = fork();
        if (pid_ == 0) {
            int fd = open(slave.c_str(), O_RDWR);
            dup2(fd, STDERR_FILENO);
            std::vector<char*> argv;
            for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
            argv.push_back(nullptr);
            execv(argv[0], argv.data());
            _exit(127);
        }
    }
    ~TerminalRun() {
        if (pid_ > 0 && !ended_) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        if (master_ >= 0) close(master_);
    }
    // Reads the terminal until text shows or the deadline passes.
    bool WaitFor(const std::string& text, std::chrono::seconds deadline) {
        const auto end = std::chrono::steady_clock::now() + deadline;
        while (seen_.find(text) == std::string::npos) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                end - std::chrono::steady_clock::now());
            pollfd p{master_, POLLIN, 0};
            if (left.count() <= 0 || poll(&p, 1, int(left.count())) <= 0) return false;
            char buffer[256];
            const ssize_t n = read(master_, buffer, sizeof buffer);
            if (n <= 0) return false;
            seen_.append(buffer, size_t(n));
        }
        return true;
    }
    // Sends the signal and waits for the end; the wait status.
    int Signal(int sig) {
        kill(pid_, sig);
        int status = 0;
        waitpid(pid_, &status, 0);
        ended_ = true;
        return status;
    }
    const std::string& Seen() const { return seen_; }

  private:
    int master_ = -1;
    pid_t pid_ = -1;
    bool ended_ = false;
    std::string seen_;
};

TEST_F(ModuleCommandsTest, AFetchEndedBySigtermHalfWayLeavesNoFile) {
    // Each reply a little late, so that the fetch takes seconds.
    Sim sim(Sim::Tcp, {"--delay", "10"});
    TerminalRun run(
        Join(Join({BuildProgram("kova-config")}, sim.Link()), {"fetch", Path("X.KOV")}));
    ASSERT_TRUE(run.WaitFor("Port 3  Fetch", std::chrono::seconds(60))) << run.Seen();
    const int status = run.Signal(SIGTERM);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM) << status;
    EXPECT_TRUE(Entries().empty()) << Entries()[0];
}

}  // namespace

// A file with a value outside its list or range, or a damaged one, is
// refused before the link opens: exit 2, the field named, nothing written.
TEST_F(ModuleCommandsTest, SendRefusesDamagedAndOutOfRangeFiles) {
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
        const char* named;
    };
    auto with = [](void (*change)(ConfigFileContents&)) {
        ConfigFileContents c = SampleConfig();
        change(c);
        return EncodeConfigFile(c);
    };
    std::vector<uint8_t> shortFile = EncodeConfigFile(SampleConfig());
    shortFile.pop_back();
    const Case kCases[] = {
        {"all 0xFF", std::vector<uint8_t>(kConfigFileSize, 0xFF), "out of range"},
        {"one byte short", shortFile,
         "Can't read disk file. (6687 bytes, version 1113 needs 6688)"},
        {"port 1 baud 99", with([](ConfigFileContents& c) { c.ports[0].BaudRate = 99; }),
         "Port 1: Baud rate 99 out of range 0-15"},
        {"Print/Prog baud 7", with([](ConfigFileContents& c) { c.printProgBaud = 7; }),
         "Print/Prog baud rate 7 out of range 0-3"},
        {"editing mode 9", with([](ConfigFileContents& c) { c.ports[2].Paths[1].EditingMode = 9; }),
         "Port 3, Path 2: Editing Mode 9 out of range 0-7"},
        {"parity 3", with([](ConfigFileContents& c) { c.ports[3].Parity = 3; }),
         "Port 4: Parity 3 out of range 0-2"},
        {"terminate count 81", with([](ConfigFileContents& c) { c.plus.TerminateCount[1] = 81; }),
         "Port 2: Terminate Count 81 out of range 0-80"},
    };
    const std::string log = Path("requests.log");
    Sim sim(Sim::Tcp, {"--log", log});
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.what);
        WriteText("BAD.KOV", std::string(c.bytes.begin(), c.bytes.end()));
        const RunResult r = RunOn(sim, {"send", Path("BAD.KOV")});
        EXPECT_EQ(r.status, 2) << r.err;
        EXPECT_NE(r.err.find(c.named), std::string::npos) << r.err;
    }
    // Not one request reached the module: the first the log holds is the
    // identification of a command run afterwards.
    ASSERT_EQ(RunOn(sim, {"identify"}).status, 0);
    ASSERT_TRUE(WaitUntil([&] { return !ReadFile(log).empty(); }));
    EXPECT_EQ(ReadFile(log).rfind("r 8176 13", 0), 0u) << ReadFile(log);
}
