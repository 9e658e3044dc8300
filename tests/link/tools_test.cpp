// kova-sim and kova-link against each other over a pty: every protocol,
// the simulated module's register map and its fault options.
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <ctime>
#include <regex>

#include "common/child_process.h"
#include "common/device_root_dir.h"
#include "common/sim_process.h"
#include "link/link_state.h"

namespace {

using Args = std::vector<std::string>;

RunResult KovaLink(const std::string& port, const Args& args) {
    Args argv = {BuildProgram("kova-link"), "--port", port};
    argv.insert(argv.end(), args.begin(), args.end());
    return RunProgram(argv);
}

Args Join(Args a, const Args& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// The identification block as the module presents it: port information,
// the name two characters a register, high byte first, then the marker.
std::string IdentificationLine() {
    const char name[] = "KOVA                ";
    std::string line = std::to_string(0x8001);
    for (int i = 0; i < 20; i += 2)
        line += " " + std::to_string(uint8_t(name[i]) << 8 | uint8_t(name[i + 1]));
    return line + " 0 " + std::to_string(0x9990) + "\n";
}

class ToolsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(HaveProgram(BuildProgram("kova-sim"))) << "kova-sim is not built";
        ASSERT_TRUE(HaveProgram(BuildProgram("kova-link"))) << "kova-link is not built";
    }
};

struct ProtocolCase {
    const char* name;
    Args sim, link;
    bool inputRegisters;
};

const ProtocolCase kProtocols[] = {
    {"symax bcc", {"--protocol", "symax"}, {"--type", "symax", "--baud", "19200"}, false},
    {"symax crc",
     {"--protocol", "symax", "--crc"},
     {"--type", "symax", "--crc", "--baud", "19200"},
     false},
    {"symax priority",
     {"--protocol", "symax"},
     {"--type", "symax", "--priority", "--baud", "19200"},
     false},
    {"net-to-net",
     {"--protocol", "symax"},
     {"--type", "netnet", "--route", "25,3", "--baud", "19200"},
     false},
    {"rtu", {"--protocol", "rtu", "--drop", "7"}, {"--type", "rtu", "--drop", "7"}, true},
    {"ascii", {"--protocol", "ascii"}, {"--type", "ascii", "--parity", "odd"}, true},
};

TEST_F(ToolsTest, EveryProtocolReadsAndWritesTheSimulatedModule) {
    for (const ProtocolCase& c : kProtocols) {
        SCOPED_TRACE(c.name);
        SimProcess sim(c.sim);
        RunResult r = KovaLink(sim.SlavePath(), Join(c.link, {"read", "8176", "13"}));
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.out, IdentificationLine());
        r = KovaLink(sim.SlavePath(), Join(c.link, {"write", "2049", "1", "0x10", "65535"}));
        EXPECT_EQ(r.status, 0) << r.err;
        r = KovaLink(sim.SlavePath(), Join(c.link, {"read", "2048", "5"}));
        EXPECT_EQ(r.out, "0 1 16 65535 0\n") << r.err;
        if (!c.inputRegisters) continue;
        r = KovaLink(sim.SlavePath(), Join(c.link, {"input-write", "300", "7", "8"}));
        EXPECT_EQ(r.status, 0) << r.err;
        r = KovaLink(sim.SlavePath(), Join(c.link, {"input-read", "300", "2"}));
        EXPECT_EQ(r.out, "7 8\n") << r.err;
    }
}

struct FaultCase {
    const char* name;
    Args sim, link, command;
    int status;
    std::string out, err;
};

const FaultCase kFaults[] = {
    {"symax naks then accepts",
     {"--protocol", "symax", "--nak-first", "3"},
     {"--type", "symax"},
     {"read", "8188", "1"},
     0,
     "39312\n",
     ""},
    {"symax corrupted reply repeated",
     {"--protocol", "symax", "--corrupt-first", "1"},
     {"--type", "symax"},
     {"read", "8188", "1"},
     0,
     "39312\n",
     ""},
    {"symax crc corrupted reply repeated",
     {"--protocol", "symax", "--crc", "--corrupt-first", "1"},
     {"--type", "symax", "--crc"},
     {"read", "8188", "1"},
     0,
     "39312\n",
     ""},
    {"symax no reply",
     {"--protocol", "symax", "--drop-every", "1"},
     {"--type", "symax", "--timeout", "20"},
     {"read", "1", "1"},
     1,
     "",
     "Read reply timeout\n"},
    {"symax no write reply",
     {"--protocol", "symax", "--drop-every", "1"},
     {"--type", "symax", "--timeout", "20"},
     {"write", "1", "1"},
     1,
     "",
     "Write reply timeout\n"},
    {"symax error code",
     {"--protocol", "symax", "--error", "5"},
     {"--type", "symax"},
     {"write", "1", "1"},
     1,
     "",
     "(5) Instruction Not Allowed\n"},
    {"symax priority status",
     {"--protocol", "symax", "--model", "standard"},
     {"--type", "symax", "--priority"},
     {"write", "7423", "1"},
     1,
     "",
     "(7) Protected Register\n"},
    {"symax standard module",
     {"--protocol", "symax", "--model", "standard"},
     {"--type", "symax"},
     {"write", "7423", "1"},
     1,
     "",
     "(7) Protected Register\n"},
    {"symax plus module",
     {"--protocol", "symax", "--model", "plus"},
     {"--type", "symax"},
     {"write", "7423", "1"},
     0,
     "",
     ""},
    {"symax input exception",
     {"--protocol", "symax", "--error", "2"},
     {"--type", "symax"},
     {"input-read", "1", "1"},
     1,
     "",
     "Modbus error reply 2 ILLEGAL DATA ADDRESS\n"},
    {"rtu exception",
     {"--protocol", "rtu", "--error", "2"},
     {"--type", "rtu"},
     {"read", "1", "1"},
     1,
     "",
     "Modbus error reply 2 ILLEGAL DATA ADDRESS\n"},
    {"rtu exception to a write",
     {"--protocol", "rtu", "--model", "standard"},
     {"--type", "rtu"},
     {"write", "7423", "1"},
     1,
     "",
     "Modbus error reply 2 ILLEGAL DATA ADDRESS\n"},
    {"rtu corrupted reply",
     {"--protocol", "rtu", "--corrupt-first", "1"},
     {"--type", "rtu", "--timeout", "20"},
     {"read", "1", "1"},
     1,
     "",
     "Reply failed its CRC check\n"},
    {"rtu other drop",
     {"--protocol", "rtu", "--drop", "3"},
     {"--type", "rtu", "--timeout", "20"},
     {"read", "1", "1"},
     1,
     "",
     "No reply to read command\n"},
    {"ascii corrupted reply",
     {"--protocol", "ascii", "--corrupt-first", "1"},
     {"--type", "ascii", "--timeout", "20"},
     {"write", "1", "1"},
     1,
     "",
     "Reply failed its LRC check\n"},
    {"ascii every second reply dropped",
     {"--protocol", "ascii", "--drop-every", "2"},
     {"--type", "ascii", "--timeout", "20"},
     {"bench", "2", "1", "1"},
     1,
     "",
     "No reply to read command\n"},
    {"symax has no input-register write",
     {"--protocol", "symax"},
     {"--type", "symax"},
     {"input-write", "1", "1"},
     1,
     "",
     "Input register writes are not supported on a Sy/Max link\n"},
    {"gateway input registers",
     {"--protocol", "gateway"},
     {"--type", "gateway", "--route", "1"},
     {"input-read", "1", "1"},
     1,
     "",
     "Input registers are not supported on a Gateway link\n"},
    {"rtu error reply",
     {"--protocol", "rtu"},
     {"--type", "rtu"},
     {"read", "20000", "1"},
     1,
     "",
     "Modbus error reply 2 ILLEGAL DATA ADDRESS\n"},
};

TEST_F(ToolsTest, FaultsOfTheSimulatedModuleReachTheLinkAsItsTexts) {
    for (const FaultCase& c : kFaults) {
        SCOPED_TRACE(c.name);
        SimProcess sim(c.sim);
        RunResult r = KovaLink(sim.SlavePath(), Join(c.link, c.command));
        EXPECT_EQ(r.status, c.status);
        EXPECT_EQ(r.out, c.out);
        EXPECT_EQ(r.err, c.err.empty() ? "" : "kova-link: " + c.err);
    }
}

// A Modbus exception reads the same on every link that carries one, so a
// script or a chart's error column need not know the link kind.
TEST_F(ToolsTest, AnExceptionReadsTheSameOnEveryModbusLink) {
    struct Kind {
        const char* name;
        Args sim, link, command;
    } const kinds[] = {
        {"rtu", {"--protocol", "rtu"}, {"--type", "rtu"}, {"read", "1", "1"}},
        {"ascii", {"--protocol", "ascii"}, {"--type", "ascii"}, {"write", "1", "1"}},
        {"tcp",
         {"--protocol", "tcp", "--listen", "127.0.0.1:0"},
         {"--type", "tcp", "--host", "127.0.0.1"},
         {"read", "1", "1"}},
        {"symax input registers",
         {"--protocol", "symax"},
         {"--type", "symax"},
         {"input-read", "1", "1"}},
    };
    const struct {
        const char* code;
        std::string text;
    } exceptions[] = {{"2", "Modbus error reply 2 ILLEGAL DATA ADDRESS"},
                      {"13", "Modbus error reply 13"}};
    for (const Kind& k : kinds) {
        for (const auto& e : exceptions) {
            SCOPED_TRACE(std::string(k.name) + " " + e.code);
            SimProcess sim(Join(k.sim, {"--error", e.code}));
            Args where =
                sim.OnTcp() ? Args{"--tcp-port", sim.Where()} : Args{"--port", sim.SlavePath()};
            const RunResult r =
                RunProgram(Join(Join(Join({BuildProgram("kova-link")}, k.link), where), k.command));
            EXPECT_EQ(r.status, 1);
            EXPECT_EQ(r.err, "kova-link: " + e.text + "\n");
        }
    }
}

// With a device root a bare port name is its node under DIR/dev and nothing
// else: a test can never reach the machine's own ports.
TEST_F(ToolsTest, ABarePortNameIsLookedForUnderTheDeviceRootOnly) {
    SimProcess sim({"--protocol", "rtu"});
    DeviceRootDir root, empty;
    root.AddPort("ttyS0", sim.SlavePath());
    for (const DeviceRootDir* dir : {&root, &empty}) {
        RunResult r = RunProgram({BuildProgram("kova-link"), "--device-root", dir->Path(), "--type",
                                  "rtu", "--port", "ttyS0", "read", "8188", "1"});
        if (dir == &root) {
            EXPECT_EQ(r.status, 0) << r.err;
            EXPECT_EQ(r.out, "39312\n");
        } else {
            EXPECT_EQ(r.status, 1);
            EXPECT_NE(r.err.find(empty.Dev() + "/ttyS0"), std::string::npos) << r.err;
        }
    }
}

TEST_F(ToolsTest, SpecialRegistersOfTheModule) {
    struct Case {
        Args sim;
        Args write;
        std::string reg, value;
    } const cases[] = {
        {{"--protocol", "rtu"}, {"write", "8174", "0xC5C5"}, "8174", "0\n"},
        {{"--protocol", "rtu", "--no-eeprom"}, {"write", "8174", "0xC5C5"}, "8174", "50629\n"},
        {{"--protocol", "rtu", "--cts", "5"}, {}, "8187", "5\n"},
    };
    for (const Case& c : cases) {
        SimProcess sim(c.sim);
        if (!c.write.empty()) {
            EXPECT_EQ(KovaLink(sim.SlavePath(), Join({"--type", "rtu"}, c.write)).status, 0);
        }
        EXPECT_EQ(KovaLink(sim.SlavePath(), {"--type", "rtu", "read", c.reg, "1"}).out, c.value);
    }
}

TEST_F(ToolsTest, BenchReportsTheRequestRate) {
    SimProcess sim({"--protocol", "rtu"});
    RunResult r = KovaLink(sim.SlavePath(), {"--type", "rtu", "bench", "50", "1", "10"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("50 requests in "), std::string::npos) << r.out;
    EXPECT_NE(r.out.find(" requests per second"), std::string::npos) << r.out;
}

// Every tool reports the version of the kovasw it comes with.
TEST_F(ToolsTest, VersionsAreKovaswsVersion) {
    RunResult kovasw = RunProgram({BuildProgram("kovasw"), "--version"});
    ASSERT_EQ(kovasw.status, 0);
    std::string version = kovasw.out.substr(0, kovasw.out.find(" ("));  // "kovasw 1.0"
    version = version.substr(version.find(' '));
    for (const char* tool : {"kova-link", "kova-config", "kova-sim"}) {
        RunResult r = RunProgram({BuildProgram(tool), "--version"});
        EXPECT_EQ(r.status, 0) << tool;
        EXPECT_EQ(r.out, tool + version + "\n");
    }
}

// The seconds since the epoch of an ISO 8601 time with milliseconds and a
// zone ("Z" or +hh:mm / -hh:mm), or -1 when the text is not one.
double EpochOf(const std::string& text) {
    static const std::regex form(
        R"((\d{4})-(\d\d)-(\d\d)T(\d\d):(\d\d):(\d\d)\.(\d{3})(Z|([+-])(\d\d):(\d\d)))");
    std::smatch m;
    if (!std::regex_match(text, m, form)) return -1;
    tm parts{};
    parts.tm_year = std::stoi(m[1]) - 1900;
    parts.tm_mon = std::stoi(m[2]) - 1;
    parts.tm_mday = std::stoi(m[3]);
    parts.tm_hour = std::stoi(m[4]);
    parts.tm_min = std::stoi(m[5]);
    parts.tm_sec = std::stoi(m[6]);
    double epoch = double(timegm(&parts)) + std::stoi(m[7]) / 1000.0;
    if (m[8] != "Z") {
        const int east = (std::stoi(m[10]) * 60 + std::stoi(m[11])) * 60;
        epoch -= m[9] == "-" ? -east : east;
    }
    return epoch;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    for (size_t start = 0, end; (end = text.find('\n', start)) != std::string::npos;
         start = end + 1)
        lines.push_back(text.substr(start, end - start));
    return lines;
}

std::vector<std::string> Columns(const std::string& row) {
    std::vector<std::string> columns;
    size_t start = 0;
    for (size_t comma; (comma = row.find(',', start)) != std::string::npos; start = comma + 1)
        columns.push_back(row.substr(start, comma - start));
    columns.push_back(row.substr(start));
    return columns;
}

// A CSV with a header row; each time in the form its zone asks for and the
// moment it names (the offset right, not only its look); polls at least an
// interval apart.
TEST_F(ToolsTest, PollWritesACsvWithAHeaderAndTimesInBothForms) {
    SimProcess sim({"--protocol", "rtu"});
    ASSERT_EQ(KovaLink(sim.SlavePath(), {"--type", "rtu", "write", "5", "7", "65535"}).status, 0);
    struct Case {
        const char* zone;  // TZ of the run
        Args options;
        const char* suffix;  // how each time ends
    } const cases[] = {
        {"CET-1", {}, "+01:00"},
        {"<-0330>3:30", {}, "-03:30"},
        {"UTC0", {}, "+00:00"},
        {"CET-1", {"--utc"}, "Z"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.zone) + (c.options.empty() ? "" : " --utc"));
        const double before = double(time(nullptr));
        const RunResult r =
            RunProgram(Join({"/usr/bin/env", std::string("TZ=") + c.zone, BuildProgram("kova-link"),
                             "--port", sim.SlavePath(), "--type", "rtu", "poll", "5", "2",
                             "--interval", "100", "--count", "3"},
                            c.options));
        const double after = double(time(nullptr)) + 1;
        EXPECT_EQ(r.status, 0) << r.err;
        const std::vector<std::string> lines = Lines(r.out);
        ASSERT_EQ(lines.size(), 4u) << r.out;
        EXPECT_EQ(lines[0], "time,4x5,4x6,error");
        std::vector<double> times;
        for (size_t i = 1; i < lines.size(); ++i) {
            const std::vector<std::string> columns = Columns(lines[i]);
            ASSERT_EQ(columns.size(), 4u) << lines[i];
            EXPECT_EQ(columns[1] + "," + columns[2] + "," + columns[3], "7,65535,");
            const std::string& t = columns[0];
            EXPECT_EQ(t.substr(t.size() - std::strlen(c.suffix)), c.suffix) << t;
            times.push_back(EpochOf(t));
            EXPECT_GE(times.back(), before) << t;
            EXPECT_LE(times.back(), after) << t;
        }
        // Poll k starts no earlier than k intervals after the first (a late
        // one may be followed closely by the next, which keeps to the
        // schedule).
        EXPECT_GE(times.back() - times.front(), 0.195) << r.out;
    }
}

// A module that goes away mid-run gives rows with the same columns, the
// values empty (a gap in a chart) and the reason in the last; the polling
// goes on to its count, and the exit status says a poll failed.
TEST_F(ToolsTest, AFailedPollKeepsTheColumnsAndSaysWhyInTheLast) {
    auto sim = std::make_unique<SimProcess>(Args{"--protocol", "rtu"});
    ChildProcess poll({BuildProgram("kova-link"), "--port", sim->SlavePath(), "--type", "rtu",
                       "--interval", "100", "--count", "4", "--timeout", "20", "--input", "poll",
                       "1", "2"});
    EXPECT_EQ(poll.ReadLine(), "time,3x1,3x2,error");
    const std::string first = poll.ReadLine();  // an answered poll
    EXPECT_EQ(first.substr(first.find(',')), ",0,0,");
    sim.reset();
    std::vector<std::string> rest;
    for (std::string l = poll.ReadLine(); !l.empty(); l = poll.ReadLine()) rest.push_back(l);
    EXPECT_EQ(poll.WaitForExit(Millis(30000)), 1);
    ASSERT_EQ(rest.size(), 3u);
    const std::vector<std::string> columns = Columns(rest.back());
    ASSERT_EQ(columns.size(), 4u) << rest.back();
    EXPECT_GT(EpochOf(columns[0]), 0) << rest.back();
    EXPECT_EQ(columns[1] + columns[2], "") << rest.back();
    EXPECT_NE(columns[3], "") << rest.back();
}

// Options stand anywhere on the line, as kova-config takes them: before,
// among and after the command's operands. "--" ends them; a negative number
// is an operand, refused by the command that cannot take it.
TEST_F(ToolsTest, OptionsStandAnywhereOnTheLine) {
    SimProcess sim({"--protocol", "rtu", "--drop", "7"});
    const std::string port = sim.SlavePath();
    ASSERT_EQ(KovaLink(port, {"--type", "rtu", "--drop", "7", "write", "20", "7", "8"}).status, 0);
    struct Case {
        Args argv;
        int status;
        std::string text;  // the start of standard output, or all of standard error
        size_t lines;      // of standard output
    } const cases[] = {
        {{"read", "20", "2", "--type", "rtu", "--drop", "7", "--port", port}, 0, "7 8\n", 1},
        {{"--type", "rtu", "read", "20", "--drop", "7", "2", "--port", port}, 0, "7 8\n", 1},
        {{"--type", "rtu", "--port", port, "poll", "20", "2", "--drop", "7", "--interval", "100",
          "--count", "2"},
         0,
         "time,4x20,4x21,error\n",
         3},
        {{"--type", "rtu", "--drop", "7", "--port", port, "--", "read", "20", "2"}, 0, "7 8\n", 1},
        {{"--type", "rtu", "--drop", "7", "--port", port, "read", "20", "2", "--frobnicate"},
         2,
         "kova-link: unknown option --frobnicate\n",
         0},
        {{"--type", "rtu", "--port", port, "--", "read", "20", "--drop", "7"},
         2,
         "kova-link: read: COUNT must be 1-125 on a Modbus link (one request; use dump for "
         "more), not --drop (see --help)\n",
         0},
        {{"--type", "rtu", "--port", port, "write", "20", "-1"},
         2,
         "kova-link: write: VALUE must be 0-65535 or 0x0-0xFFFF, not -1 (see --help)\n",
         0},
        {{"read", "20", "2", "--help"}, 0, "usage: kova-link", 0},
    };
    for (const Case& c : cases) {
        std::string line;
        for (const std::string& word : c.argv) line += " " + word;
        SCOPED_TRACE(line);
        const RunResult r = RunProgram(Join({BuildProgram("kova-link")}, c.argv));
        EXPECT_EQ(r.status, c.status) << r.err;
        if (c.status) {
            EXPECT_EQ(r.err, c.text);
            continue;
        }
        EXPECT_EQ(r.out.substr(0, c.text.size()), c.text) << r.out;
        if (c.lines) {
            EXPECT_EQ(size_t(std::count(r.out.begin(), r.out.end(), '\n')), c.lines);
        }
    }
}

// Every tool's help lists --help itself beside --version.
TEST_F(ToolsTest, EveryHelpListsHelp) {
    for (const char* tool : {"kova-link", "kova-config", "kova-sim"}) {
        SCOPED_TRACE(tool);
        const RunResult r = RunProgram({BuildProgram(tool), "--help"});
        EXPECT_EQ(r.status, 0);
        EXPECT_NE(r.out.find("\n  --help "), std::string::npos) << r.out;
        EXPECT_NE(r.out.find("\n  --version "), std::string::npos) << r.out;
    }
}

TEST_F(ToolsTest, UsageAndBadArguments) {
    struct Case {
        Args argv;
        int status;
        const char* text;  // in standard output for help, standard error otherwise
    } const cases[] = {
        {{BuildProgram("kova-sim"), "--help"}, 0, "usage: kova-sim"},
        {{BuildProgram("kova-link"), "--help"}, 0, "usage: kova-link"},
        {{BuildProgram("kova-sim"), "--protocol", "x", "--pty"},
         2,
         "bad value for --protocol: \"x\" (--protocol symax|rtu|ascii|gateway|tcp: wire protocol"},
        {{BuildProgram("kova-sim"), "--pty", "--frobnicate"}, 2, "unknown option --frobnicate"},
        {{BuildProgram("kova-sim"), "--protocol", "rtu"}, 2, "--pty, --tty PATH or --listen HOST:PORT"},
        {{BuildProgram("kova-link"), "--type", "rtu", "--port", "x", "write", "1", "65536"},
         2,
         "write: VALUE must be 0-65535 or 0x0-0xFFFF, not 65536"},
        {{BuildProgram("kova-link"), "--type", "rtu", "--port", "x", "read", "70000", "2"},
         2,
         "read: REGISTER must be 1-65536 on a Modbus link, not 70000"},
        {{BuildProgram("kova-link"), "--type", "rtu", "--port", "x", "read", "1", "200"},
         2,
         "read: COUNT must be 1-125 on a Modbus link (one request; use dump for more), not 200"},
        {{BuildProgram("kova-link"), "--type", "rtu", "--port", "x", "poll", "1"},
         2,
         "poll: COUNT must be 1-125 on a Modbus link (one request; use dump for more) (missing)"},
        {{BuildProgram("kova-link"), "--type", "rtu", "--port", "x", "--interval", "0", "poll", "1",
          "1"},
         2,
         "bad value for --interval: \"0\" (--interval MS: poll: time from one poll's start to the "
         "next (1-86400000"},
        {{BuildProgram("kova-link"), "--type", "rtu", "--port", "x", "peek", "1"},
         2,
         "unknown command peek"},
        {{BuildProgram("kova-link"), "--type", "rtu", "read", "1", "1"}, 2, "--port"},
        {{BuildProgram("kova-link"), "--type", "rtu", "--port", "ttyKOVA_NONE9", "read", "1", "1"},
         1,
         "Unable to establish link. Port /dev/ttyKOVA_NONE9 not found"},
    };
    for (const Case& c : cases) {
        RunResult r = RunProgram(c.argv);
        EXPECT_EQ(r.status, c.status) << c.argv[1];
        EXPECT_NE((c.status ? r.err : r.out).find(c.text), std::string::npos) << r.out << r.err;
    }
}

// The open's reasons as an ordinary user sees them. CI runs as root, where
// the device permissions and TIOCEXCL do not apply, so the tool runs as nobody.
TEST_F(ToolsTest, AnUnprivilegedUserIsToldWhyThePortDoesNotOpen) {
    ASSERT_EQ(geteuid(), 0u) << "this test switches to user nobody and needs root";
    ASSERT_TRUE(HaveProgram("/usr/bin/setpriv")) << "setpriv (util-linux) is missing";
    SimProcess sim({"--protocol", "rtu"});
    Args asNobody = {"/usr/bin/setpriv",
                     "--reuid=65534",
                     "--regid=65534",
                     "--clear-groups",
                     BuildProgram("kova-link"),
                     "--type",
                     "rtu",
                     "--port",
                     sim.SlavePath(),
                     "read",
                     "1",
                     "1"};
    RunResult r = RunProgram(asNobody);
    EXPECT_EQ(r.status, 1);
    struct stat st;
    ASSERT_EQ(stat(sim.SlavePath().c_str(), &st), 0);
    group* owner = getgrgid(st.st_gid);
    std::string name = owner ? owner->gr_name : std::to_string(st.st_gid);
    std::string expected = "Permission denied on " + sim.SlavePath() + ": join group " + name;
    EXPECT_NE(r.err.find(expected), std::string::npos) << r.err;

    LinkHandle heldOwner = OpenModbusRtuLink(sim.SlavePath().c_str(), 1);
    Link* held = heldOwner.get();
    ASSERT_NE(held, nullptr);
    chmod(sim.SlavePath().c_str(), 0666);
    r = RunProgram(asNobody);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("Port " + sim.SlavePath() + " is busy"), std::string::npos) << r.err;
    heldOwner.reset();
    r = RunProgram(asNobody);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "0\n");
}

}  // namespace
