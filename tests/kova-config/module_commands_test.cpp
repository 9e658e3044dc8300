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
#include <cstring>
#include <fstream>
#include <sstream>

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

// A file with a value outside its list or range, one the program's load
// would repair or report, or a damaged one, is refused before the link
// opens: exit 2, the port, path, field and value named, nothing written.
// check names the same problem without a link.
TEST_F(ModuleCommandsTest, SendAndCheckRefuseFilesASendCouldNotCarryAsTheyHold) {
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
    auto longer = [](size_t size) {
        std::vector<uint8_t> bytes = EncodeConfigFile(SampleConfig());
        bytes.resize(size, 0);
        return bytes;
    };
    std::vector<uint8_t> shortFile = EncodeConfigFile(SampleConfig());
    shortFile.pop_back();
    // SampleConfig's rack base is 40: the window is 41-2087.
    const Case kCases[] = {
        {"all 0xFF", std::vector<uint8_t>(kConfigFileSize, 0xFF), "out of range"},
        {"one byte short", shortFile,
         "Can't read disk file. (6687 bytes, version 1113 needs 6688)"},
        {"one byte long", longer(kConfigFileSize + 1),
         "more than 6688 bytes; the version 1113 layout holds 6688"},
        {"1 MiB long", longer(1 << 20), "more than 6688 bytes; the version 1113 layout holds 6688"},
        {"port 1 baud 99", with([](ConfigFileContents& c) { c.ports[0].BaudRate = 99; }),
         "Port 1: Baud rate 99 out of range 0-15"},
        {"Print/Prog baud 7", with([](ConfigFileContents& c) { c.printProgBaud = 7; }),
         "Print/Prog baud rate 7 out of range 0-3"},
        {"editing mode 9", with([](ConfigFileContents& c) { c.ports[2].Paths[1].EditingMode = 9; }),
         "Port 3, Path 2: Editing Mode 9 out of range 0-7"},
        {"parity 3", with([](ConfigFileContents& c) { c.ports[3].Parity = 3; }),
         "Port 4: Parity 3 out of range 0-2"},
        {"data bits 5", with([](ConfigFileContents& c) { c.ports[0].DataBits = 5; }),
         "Port 1: Data bits 5 out of range 0-1"},
        {"terminate count 81", with([](ConfigFileContents& c) { c.plus.TerminateCount[1] = 81; }),
         "Port 2: Terminate Count 81 out of range 0-80"},
        {"count 65", with([](ConfigFileContents& c) { c.ports[1].Paths[1].RegisterCount = 65; }),
         "Port 2, Path 2: Register Count 65 out of range 0-64"},
        {"count -5", with([](ConfigFileContents& c) { c.ports[0].Paths[2].RegisterCount = -5; }),
         "Port 1, Path 3: Register Count -5 out of range 0-64"},
        {"Continue on path 4",
         with([](ConfigFileContents& c) { c.ports[2].Paths[3].Continue = 1; }),
         "Port 3, Path 4: Continue 1 on the last path, which has none"},
        {"start -300",
         with([](ConfigFileContents& c) { c.ports[3].Paths[0].StartRegister = -300; }),
         "Port 4, Path 1: Register (-300) < Rack Base (40) + 1"},
        {"start 32000",
         with([](ConfigFileContents& c) { c.ports[3].Paths[1].StartRegister = 32000; }),
         "Port 4, Path 2: Register (32000) > Rack Base (40) + 2047"},
        {"block past the window", with([](ConfigFileContents& c) {
             c.ports[0].Paths[1].StartRegister = 2087;
             c.ports[0].Paths[1].RegisterCount = 64;
         }),
         "Port 1, Path 2: Last Register (2150) > Rack Base (40) + 2047"},
        {"Trigger/Inhibit 32767",
         with([](ConfigFileContents& c) { c.plus.TriggerInhibit[1] = 32767; }),
         "Port 2: Trigger/Inhibit (32767) > 2087"},
        {"65-character pattern",
         with([](ConfigFileContents& c) { std::memset(c.ports[1].Paths[0].Pattern, 'P', 65); }),
         "Port 2, Path 1: Pattern \"PPPP"},
        {"65-character poll query",
         with([](ConfigFileContents& c) { std::memset(c.ports[1].PollQueries[2], 'Q', 65); }),
         "Port 2, Query 3: \"QQQ"},
    };
    const std::string log = Path("requests.log");
    Sim sim(Sim::Tcp, {"--log", log});
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.what);
        WriteText("BAD.KOV", std::string(c.bytes.begin(), c.bytes.end()));
        const RunResult sent = RunOn(sim, {"send", Path("BAD.KOV")});
        EXPECT_EQ(sent.status, 2) << sent.err;
        EXPECT_NE(sent.err.find(c.named), std::string::npos) << sent.err;
        const RunResult checked = Run({"check", Path("BAD.KOV")});
        EXPECT_EQ(checked.status, 2) << checked.out << checked.err;
        EXPECT_NE(checked.out.find(c.named), std::string::npos) << checked.out;
    }
    // Not one request reached the module: the first the log holds is the
    // identification of a command run afterwards.
    ASSERT_EQ(RunOn(sim, {"identify"}).status, 0);
    ASSERT_TRUE(WaitUntil([&] { return !ReadFile(log).empty(); }));
    EXPECT_EQ(ReadFile(log).rfind("r 8176 13", 0), 0u) << ReadFile(log);
}

// check goes through every file and every problem of each; overlapping
// register blocks are warned about but do not stop a send.
TEST_F(ModuleCommandsTest, CheckListsEveryProblemAndWarnsOfOverlaps) {
    ConfigFileContents good = SampleConfig();
    good.ports[1].Paths[1].RegisterCount = 4;  // 61-64, clear of the others
    WriteKov("GOOD.KOV", good);
    ConfigFileContents overlapping = good;
    overlapping.ports[0].Paths[0].RegisterCount = 5;  // 41-45 over path 2's 45
    overlapping.ports[0].Paths[1].RegisterCount = 1;
    WriteKov("OVER.KOV", overlapping);
    ConfigFileContents bad = good;
    bad.ports[0].Paths[1].RegisterCount = 65;
    bad.ports[3].Paths[3].Continue = 1;
    WriteKov("BAD.KOV", bad);

    const RunResult r =
        Run({"check", Path("GOOD.KOV"), Path("OVER.KOV"), Path("BAD.KOV"), Path("NONE.KOV")});
    EXPECT_EQ(r.status, 2);
    const std::string good_ = Path("GOOD.KOV"), over = Path("OVER.KOV"), badPath = Path("BAD.KOV");
    EXPECT_EQ(
        r.out,
        good_ + ": ok\n" + over +
            ": warning: Port 1, Path 1 (registers 41-45) overlaps Port 1, Path 2 "
            "(registers 45-45)\n" +
            over + ": ok\n" + badPath + ": Port 1, Path 2: Register Count 65 out of range 0-64\n" +
            badPath + ": Port 4, Path 4: Continue 1 on the last path, which has none\n" + badPath +
            ": warning: Port 1, Path 2 (registers 45-109) overlaps Port 2, Path 1 "
            "(registers 57-57)\n" +
            badPath +
            ": warning: Port 1, Path 2 (registers 45-109) overlaps Port 2, Path 2 "
            "(registers 61-64)\n" +
            badPath +
            ": warning: Port 1, Path 2 (registers 45-109) overlaps Port 3, Path 1 "
            "(registers 73-73)\n" +
            badPath +
            ": warning: Port 1, Path 2 (registers 45-109) overlaps Port 4, Path 1 "
            "(registers 89-89)\n" +
            "Can't open file \"" + Path("NONE.KOV") + "\" for read. (No such file or directory)\n");
    const RunResult fine = Run({"check", Path("GOOD.KOV"), Path("OVER.KOV")});
    EXPECT_EQ(fine.status, 0) << fine.out;
}

// diff compares what each side holds: a file the program's load would
// repair is not equal to the module holding the repaired value, and a file
// fetched from a blank module equals that module.
TEST_F(ModuleCommandsTest, DiffComparesWhatTheFilesAndTheModuleHold) {
    WriteKov("X.KOV", SampleConfig());
    Sim sim(Sim::Tcp);
    ASSERT_EQ(RunOn(sim, {"send", Path("X.KOV")}).status, 0);
    ConfigFileContents over = SampleConfig();
    over.ports[1].Paths[1].RegisterCount = 65;  // the module holds 64
    WriteKov("OVER.KOV", over);
    const RunResult r = RunOn(sim, {"diff", Path("OVER.KOV"), "module"});
    EXPECT_EQ(r.status, 3) << r.err;
    EXPECT_EQ(r.out, "Port 2 Path 2 Register Count: 65 -> 64\n");

    Sim blank(Sim::Tcp);
    ASSERT_EQ(RunOn(blank, {"fetch", Path("BLANK.KOV")}).status, 0);
    const RunResult same = RunOn(blank, {"diff", Path("BLANK.KOV"), "module"});
    EXPECT_EQ(same.status, 0) << same.out << same.err;
    EXPECT_EQ(same.out, "");
    EXPECT_EQ(same.err, "");
}

// send --verify reads everything back: a module that keeps another value
// than it was sent is caught, the field named, exit 4.
TEST_F(ModuleCommandsTest, SendVerifyCatchesAModuleThatChangesAValue) {
    WriteKov("X.KOV", SampleConfig());
    // Port 3, path 2's start register (77) becomes 78 once written.
    const int reg = SectionRegister(3, PathNumbersSection(1));
    Sim altering(Sim::Tcp, {"--alter-written", std::to_string(reg)});
    const RunResult caught = RunOn(altering, {"--verify", "send", Path("X.KOV")});
    EXPECT_EQ(caught.status, 4) << caught.err;
    EXPECT_EQ(caught.err,
              "kova-config: read back: Port 3 Path 2 Start Register: 77 sent, 78 read back\n"
              "kova-config: the module holds 1 field other than sent\n");
    // Without --verify the same send passes unnoticed; a sound module
    // passes the read-back.
    EXPECT_EQ(RunOn(altering, {"send", Path("X.KOV")}).status, 0);
    Sim sound(Sim::Tcp);
    const RunResult verified = RunOn(sound, {"--verify", "send", Path("X.KOV")});
    EXPECT_EQ(verified.status, 0) << verified.err;
    EXPECT_EQ(verified.err, "");
}

// A standard module has no PLUS registers: a file holding PLUS values is
// refused once the module has said what it is, before anything is written;
// one without them is sent.
TEST_F(ModuleCommandsTest, SendRefusesPlusValuesToAStandardModule) {
    ConfigFileContents plain = SampleConfig();
    for (int p = 0; p < 4; ++p)
        plain.plus.TerminateCount[p] = plain.plus.TerminateTimeout[p] =
            plain.plus.TriggerInhibit[p] = 0;
    ConfigFileContents timed = plain;
    timed.plus.TerminateTimeout[2] = 300;
    WriteKov("PLAIN.KOV", plain);
    WriteKov("TIMED.KOV", timed);
    const std::string log = Path("requests.log");
    Sim sim(Sim::Tcp, {"--model", "standard", "--log", log});
    const RunResult refused = RunOn(sim, {"send", Path("TIMED.KOV")});
    EXPECT_EQ(refused.status, 2);
    EXPECT_EQ(refused.err, "kova-config: " + Path("TIMED.KOV") +
                               ": Port 3: Terminate Timeout 300 needs a PLUS module\n"
                               "kova-config: " +
                               Path("TIMED.KOV") + ": the module is standard; nothing sent\n");
    // The PLUS test's write, refused by the module, is the only one.
    std::istringstream lines(ReadFile(log));
    for (std::string line; std::getline(lines, line);)
        EXPECT_TRUE(line[0] == 'r' || line == "w 7423 1") << line;
    const RunResult sent = RunOn(sim, {"--verify", "send", Path("PLAIN.KOV")});
    EXPECT_EQ(sent.status, 0) << sent.err;
}

// Over a serial line, a file that moves the module's Print/Prog port to
// another rate leaves nothing to read back through: refused before the link.
TEST_F(ModuleCommandsTest, SendVerifyRefusesAReadBackThatCouldNotReachTheModule) {
    ConfigFileContents slow = SampleConfig();
    slow.printProgBaud = 1;  // 1200; the link runs at 9600
    WriteKov("SLOW.KOV", slow);
    const std::string log = Path("requests.log");
    Sim sim(Sim::RtuPty, {"--log", log});
    const RunResult r = RunOn(sim, {"--verify", "send", Path("SLOW.KOV")});
    EXPECT_EQ(r.status, 2) << r.err;
    EXPECT_EQ(r.err,
              "kova-config: --verify: the file moves the module's Print/Prog port to 1200 baud, "
              "the link runs at 9600: nothing could be read back\n");
    EXPECT_EQ(ReadFile(log), "");
}
