// The link layer against misbehaving peers: the simulated module answering
// late, flooding, trickling, or not at all, over a pty and over Modbus TCP,
// and scripted peers sending one malformed frame. Two promises are checked:
// no reply ever answers the wrong request, and every request ends within
// its bound. Each case prints its counts; KOVA_SOAK_REQUESTS scales the
// late-reply cases up for a soak (make soak).
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <memory>
#include <string>

#include "common/child_process.h"
#include "common/sim_process.h"
#include "common/wait_until.h"
#include "link/checksum.h"
#include "link/link_state.h"
#include "link/peer_thread.h"
#include "link/uucp_lock.h"

namespace {

using Args = std::vector<std::string>;
using Clock = std::chrono::steady_clock;

// The identification block's first three registers: distinct values, so a
// reply to one read taken for another shows.
constexpr int kFirstRegister = 8176;
constexpr uint16_t kValues[] = {0x8001, 0x4B4F, 0x5641};

int Requests(int ciCount) {
    const char* soak = getenv("KOVA_SOAK_REQUESTS");
    int n = soak ? atoi(soak) : 0;
    return n > 0 ? n : ciCount;
}

// kova-sim on a pty (its path) or on a loopback TCP port, and a link of
// any kind to it: a serial kind on a TCP port goes through it as through a
// serial device server.
class Simulator : public SimProcess {
  public:
    using SimProcess::SimProcess;
    LinkHandle Open(LinkKind kind) const {
        LinkRoute route{1, {1}};
        const std::string port = OnTcp() ? "tcp:127.0.0.1:" + Where() : Where();
        switch (kind) {
            case LinkSyMax:
                return OpenSyMaxLink(port.c_str(), 0, route);
            case LinkGateway:
                return OpenGatewayLink(port.c_str(), route);
            case LinkModbusRtu:
                return OpenModbusRtuLink(port.c_str(), 1);
            case LinkModbusAscii:
                return OpenModbusAsciiLink(port.c_str(), 1);
            default:
                return OpenModbusTcpLink("127.0.0.1", TcpPort(), 1);
        }
    }
};

const Args kTcp = {"--tcp", "127.0.0.1:0"};

Args Join(Args a, const Args& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

struct Tally {
    int requests = 0, ok = 0, wrong = 0, overdue = 0;
    std::map<std::string, int> failures;

    void Print(const char* name) const {
        printf("[ counts   ] %s: %d requests, %d ok, %d wrong values, %d past their bound", name,
               requests, ok, wrong, overdue);
        for (const auto& [text, n] : failures) printf(", %d \"%s\"", n, text.c_str());
        printf("\n");
    }
};

// Every request must end by then: a late reply let go by (one reply time)
// and the request's own deadline (twice the reply time), with room for a
// loaded machine.
Clock::duration Bound(int ticks) {
    return std::chrono::milliseconds(10 * ticks) * 5 + std::chrono::milliseconds(1500);
}

// Reads the three registers in turn, reopening the link every reopenEvery
// requests (0: never); counts what came back.
Tally AlternateReads(const Simulator& sim, LinkKind kind, int ticks, int requests,
                     int reopenEvery) {
    Tally tally;
    LinkHandle owner;
    Link* link = nullptr;
    for (int i = 0; i < requests; ++i) {
        if (!link || (reopenEvery && i % reopenEvery == 0)) {
            owner.reset();
            owner = sim.Open(kind);
            link = owner.get();
            if (!link) return ADD_FAILURE() << "no link", tally;
            SetSerialParameters(link, 9600, 1, 1, ticks, 8);
        }
        int r = i % 3;
        uint16_t value = 0;
        auto start = Clock::now();
        int n = RegisterRead(link, kFirstRegister + r, 1, &value);
        ++tally.requests;
        if (Clock::now() - start > Bound(ticks)) ++tally.overdue;
        if (n != 1)
            ++tally.failures[LinkErrorText(link)];
        else if (value != kValues[r])
            ++tally.wrong;
        else
            ++tally.ok;
    }
    return tally;
}

struct LateCase {
    const char* name;
    Args sim;
    LinkKind kind;
    int reopenEvery;
    const char* timeoutText;
};

// Every third reply comes 30% of a reply time too late (260 ms against 200),
// which leaves the late reply room on a loaded machine.
const LateCase kLateCases[] = {
    {"symax across opens", {"--pty", "--protocol", "symax"}, LinkSyMax, 4, "Read reply timeout"},
    {"symax in one open", {"--pty", "--protocol", "symax"}, LinkSyMax, 0, "Read reply timeout"},
    {"rtu", {"--pty", "--protocol", "rtu"}, LinkModbusRtu, 0, "No reply to read command"},
    {"ascii", {"--pty", "--protocol", "ascii"}, LinkModbusAscii, 0, "No reply to read command"},
    {"gateway", {"--pty", "--protocol", "gateway"}, LinkGateway, 0, "No reply to R command"},
    {"tcp across opens", kTcp, LinkModbusTcp, 4, "Reply timeout"},
    // The serial protocols through a device server's TCP port.
    {"symax on a device server", {"--listen", "127.0.0.1:0", "--protocol", "symax"}, LinkSyMax, 0,
     "Read reply timeout"},
    {"rtu on a device server across opens", {"--listen", "127.0.0.1:0", "--protocol", "rtu"}, LinkModbusRtu, 4,
     "No reply to read command"},
    {"ascii on a device server", {"--listen", "127.0.0.1:0", "--protocol", "ascii"}, LinkModbusAscii, 0,
     "No reply to read command"},
    {"gateway on a device server", {"--listen", "127.0.0.1:0", "--protocol", "gateway"}, LinkGateway, 0,
     "No reply to R command"},
};

TEST(FaultMatrix, LateRepliesNeverAnswerTheNextRequest) {
    ASSERT_TRUE(HaveProgram(BuildProgram("kova-sim")));
    for (const LateCase& c : kLateCases) {
        SCOPED_TRACE(c.name);
        Simulator sim(Join(c.sim, {"--delay", "260", "--delay-every", "3"}));
        Tally tally = AlternateReads(sim, c.kind, 20, Requests(18), c.reopenEvery);
        tally.Print(c.name);
        EXPECT_EQ(tally.wrong, 0);
        EXPECT_EQ(tally.overdue, 0);
        EXPECT_GT(tally.ok, 0);
        for (const auto& [text, n] : tally.failures) EXPECT_EQ(text, c.timeoutText) << n;
    }
}

// Traffic that answers nothing, sent while requests wait: a Gateway's error
// line, another slave's reply on a shared RTU or ASCII line, replies to
// old transactions on TCP. Each is dropped; the request takes its own reply.
struct ChatterCase {
    const char* name;
    Args sim;
    LinkKind kind;
};

const ChatterCase kChatterCases[] = {
    {"gateway error lines", {"--pty", "--protocol", "gateway", "--delay", "5"}, LinkGateway},
    {"rtu other drop's replies", {"--pty", "--protocol", "rtu", "--delay", "5"}, LinkModbusRtu},
    {"ascii other drop's replies",
     {"--pty", "--protocol", "ascii", "--delay", "5"},
     LinkModbusAscii},
    {"tcp old transactions", Join(kTcp, {"--delay", "5"}), LinkModbusTcp},
    // On a device server's socket the frames that came between two requests
    // are read only when the next one starts.
    {"rtu other drop's replies on a device server",
     {"--listen", "127.0.0.1:0", "--protocol", "rtu", "--delay", "5"},
     LinkModbusRtu},
    {"gateway error lines on a device server",
     {"--listen", "127.0.0.1:0", "--protocol", "gateway", "--delay", "5"},
     LinkGateway},
};

TEST(FaultMatrix, ChatterNeverAnswersARequest) {
    ASSERT_TRUE(HaveProgram(BuildProgram("kova-sim")));
    for (const ChatterCase& c : kChatterCases) {
        for (const char* every : {"10", "50"}) {
            const std::string name = std::string(c.name) + " every " + every + " ms";
            SCOPED_TRACE(name);
            Simulator sim(Join(c.sim, {"--chatter", every}));
            Tally tally = AlternateReads(sim, c.kind, 50, Requests(30), 0);
            tally.Print(name.c_str());
            EXPECT_EQ(tally.wrong, 0);
            EXPECT_EQ(tally.overdue, 0);
            EXPECT_GE(tally.ok * 10, tally.requests * 9);
        }
    }
}

// Whole-module fetches with kova-config through a gateway that chatters:
// every fetch that exits 0 must have written what the module holds (a
// fetch of the same module on a quiet line); most must complete. The soak
// fetches 30 times a case.
TEST(FaultMatrix, GatewayFetchesUnderChatterHoldWhatTheModuleHolds) {
    ASSERT_TRUE(HaveProgram(BuildProgram("kova-sim")));
    ASSERT_TRUE(HaveProgram(BuildProgram("kova-config")));
    ASSERT_TRUE(HaveProgram(BuildProgram("kova-sample-config")));
    const std::string dir = testing::TempDir() + "kova-chatter-" + std::to_string(getpid());
    std::filesystem::create_directories(dir);
    const std::string plant = dir + "/PLANT.KOV", reference = dir + "/REF.KOV";
    ASSERT_EQ(RunProgram({BuildProgram("kova-sample-config"), plant}).status, 0);
    auto fetch = [&](const Simulator& sim, const std::string& file) {
        std::filesystem::remove(file);
        return RunProgram({BuildProgram("kova-config"), "--type", "gateway", "--port", sim.Where(),
                           "--timeout", "50", "fetch", file});
    };
    auto contents = [](const std::string& file) {
        std::ifstream in(file, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    {
        Simulator quiet({"--pty", "--protocol", "gateway", "--config", plant});
        ASSERT_EQ(fetch(quiet, reference).status, 0);
    }
    const std::string expected = contents(reference);
    const int fetches = Requests(0) ? 30 : 2;
    for (const char* every : {"10", "50", "200"}) {
        const std::string name = std::string("gateway fetches, chatter every ") + every + " ms";
        SCOPED_TRACE(name);
        Simulator sim({"--pty", "--protocol", "gateway", "--config", plant, "--delay", "5",
                       "--chatter", every});
        Tally tally;
        for (int i = 0; i < fetches; ++i) {
            const std::string file = dir + "/F.KOV";
            const RunResult r = fetch(sim, file);
            ++tally.requests;
            if (r.status != 0)
                ++tally.failures[r.err.empty() ? "exit " + std::to_string(r.status) : r.err];
            else if (contents(file) != expected)
                ++tally.wrong;
            else
                ++tally.ok;
        }
        tally.Print(name.c_str());
        EXPECT_EQ(tally.wrong, 0);
        EXPECT_GT(tally.ok * 2, tally.requests);
    }
    std::filesystem::remove_all(dir);
}

// A Modbus TCP reply that comes a byte at a time is taken when the whole of
// it is in within the reply time (here 49 bytes, a millisecond apart,
// against 200 ms), however many pieces it came in.
TEST(FaultMatrix, TrickledTcpReplyWithinTheTimeoutIsTaken) {
    ASSERT_TRUE(HaveProgram(BuildProgram("kova-sim")));
    Simulator sim(Join(kTcp, {"--trickle", "1"}));
    LinkHandle owner = sim.Open(LinkModbusTcp);
    Link* link = owner.get();
    ASSERT_NE(link, nullptr);
    SetSerialParameters(link, 9600, 1, 1, 20, 8);
    Tally tally;
    for (int i = 0; i < 3; ++i) {
        uint16_t values[20] = {};
        ++tally.requests;
        if (RegisterRead(link, kFirstRegister, 20, values) != 20)
            ++tally.failures[LinkErrorText(link)];
        else if (!std::equal(kValues, kValues + 3, values))
            ++tally.wrong;
        else
            ++tally.ok;
    }
    owner.reset();
    tally.Print("tcp trickled within the timeout");
    EXPECT_EQ(tally.ok, tally.requests);
}

struct FloodCase {
    const char* name;
    Args sim;
    LinkKind kind;
    bool write;
    std::vector<std::string> texts;  // what a failed request may say
};

// Peers that never answer but keep the line busy: a failure is expected;
// what matters is that it comes in time and says what it is.
const FloodCase kFloodCases[] = {
    {"gateway error lines",
     {"--pty", "--protocol", "gateway", "--drop-every", "1", "--chatter", "30"},
     LinkGateway,
     true,
     {"No valid reply to A command", "No valid reply to W command"}},
    {"tcp replies to old transactions",
     Join(kTcp, {"--drop-every", "1", "--chatter", "5"}),
     LinkModbusTcp,
     false,
     {"Reply timeout"}},
    {"tcp trickled reply",
     Join(kTcp, {"--trickle", "60"}),
     LinkModbusTcp,
     false,
     {"Reply timeout"}},
    {"symax trickled reply",
     {"--pty", "--protocol", "symax", "--trickle", "30"},
     LinkSyMax,
     false,
     {"Read reply timeout"}},
};

// Two programs one after the other on one port, a dozen pairs a protocol
// (the soak runs more): the reply to the first,
// which gave up and ended, must not answer the second (Modbus RTU and ASCII
// carry no transaction number to tell them apart).
TEST(FaultMatrix, LateRepliesNeverCrossIntoTheNextProgram) {
    ASSERT_TRUE(HaveProgram(BuildProgram("kova-link")));
    for (const char* protocol : {"rtu", "ascii"}) {
        Simulator sim({"--protocol", protocol, "--pty", "--delay", "300", "--set", "2049=1111",
                       "--set", "7421=3"});
        auto read = [&](const char* timeout, const char* reg) {
            return RunProgram({BuildProgram("kova-link"), "--type", protocol, "--port", sim.Where(),
                               "--timeout", timeout, "read", reg, "1"});
        };
        Tally tally;
        for (int i = 0; i < Requests(12); ++i) {
            // On a loaded machine the reply can still come within the
            // request's allowance; then it must be the right one.
            const RunResult first = read("20", "2049");
            if (first.status == 0)
                EXPECT_EQ(first.out, "1111\n");
            else
                EXPECT_EQ(first.status, 1) << first.out;
            const RunResult next = read("100", "7421");
            ++tally.requests;
            if (next.status != 0)
                ++tally.failures[next.err];
            else if (next.out == "3\n")
                ++tally.ok;
            else
                ++tally.wrong;
        }
        tally.Print((std::string(protocol) + " across programs").c_str());
        EXPECT_EQ(tally.wrong, 0);
        EXPECT_EQ(tally.ok, tally.requests);
    }
}

// An adapter unplugged and plugged back under the same name, played by the
// simulated module's pty behind a name: while it is gone a request says so
// at once; when it is back the same link handle opens it again and reads.
TEST(FaultMatrix, ALostPortIsOpenedAgainByItsNameOnTheSameLink) {
    const std::string dir = testing::TempDir() + "kova-lost-" + std::to_string(getpid());
    std::filesystem::create_directories(dir);
    const std::string name = dir + "/ttyUSB0";
    const Args options = {"--protocol", "rtu", "--pty", "--set", "7421=3"};
    auto sim = std::make_unique<Simulator>(options);
    std::filesystem::create_symlink(sim->Where(), name);
    LinkHandle owner = OpenModbusRtuLink(name.c_str(), 1);
    Link* link = owner.get();
    ASSERT_NE(link, nullptr);
    ASSERT_EQ(1, SetSerialParameters(link, 9600, 1, 1, 50, 8));
    uint16_t value = 0;
    ASSERT_EQ(1, RegisterRead(link, 7421, 1, &value)) << LinkErrorText(link);

    sim.reset();  // the pty hangs up
    std::filesystem::remove(name);
    ASSERT_TRUE(WaitUntil([&] { return LinkPortLost(link); }));
    EXPECT_EQ(0, RegisterRead(link, 7421, 1, &value));  // not a reply timeout
    EXPECT_STREQ("Lost port ttyUSB0: it is not there now (unplugged?)", LinkErrorText(link));

    sim = std::make_unique<Simulator>(options);
    std::filesystem::create_symlink(sim->Where(), name);
    value = 0;
    EXPECT_EQ(1, RegisterRead(link, 7421, 1, &value)) << LinkErrorText(link);
    EXPECT_EQ(3, value);
    EXPECT_FALSE(LinkPortLost(link));
    owner.reset();
    std::filesystem::remove_all(dir);
}

TEST(FaultMatrix, FloodedAndTrickledRequestsEndInTime) {
    ASSERT_TRUE(HaveProgram(BuildProgram("kova-sim")));
    constexpr int kTicks = 10;
    for (const FloodCase& c : kFloodCases) {
        SCOPED_TRACE(c.name);
        Simulator sim(c.sim);
        LinkHandle owner = sim.Open(c.kind);
        Link* link = owner.get();
        ASSERT_NE(link, nullptr);
        SetSerialParameters(link, 9600, 1, 1, kTicks, 8);
        Tally tally;
        for (int i = 0; i < 3; ++i) {
            uint16_t value = 1;
            auto start = Clock::now();
            int n = c.write ? RegisterWrite(link, 100, 1, &value)
                            : RegisterRead(link, kFirstRegister, 1, &value);
            ++tally.requests;
            if (Clock::now() - start > Bound(kTicks)) ++tally.overdue;
            if (n)
                ++tally.ok;
            else
                ++tally.failures[LinkErrorText(link)];
        }
        owner.reset();
        tally.Print(c.name);
        EXPECT_EQ(tally.overdue, 0);
        EXPECT_EQ(tally.ok, 0);
        for (const auto& [text, n] : tally.failures)
            EXPECT_NE(std::find(c.texts.begin(), c.texts.end(), text), c.texts.end()) << text;
    }
}

// A Sy/Max line with nobody at the other end and a reply timeout shorter
// than the transmitter's inquiries: each request fails by its timeout, and
// the frames given up do not use up the link's packets.
TEST(FaultMatrix, DeadSyMaxLineTimesOutWithoutBufferShortage) {
    PtyPair pty;
    LinkHandle owner = OpenSyMaxLink(pty.SlavePath().c_str(), 0, LinkRoute{1, {1}});
    Link* link = owner.get();
    ASSERT_NE(link, nullptr);
    SetSerialParameters(link, 9600, 1, 1, 3, 8);
    int left = FreePacketCount(link);
    Tally tally;
    for (int i = 0; i < 20; ++i) {
        uint16_t value;
        EXPECT_EQ(RegisterRead(link, kFirstRegister, 1, &value), 0);
        ++tally.requests;
        ++tally.failures[LinkErrorText(link)];
    }
    tally.Print("dead symax line");
    EXPECT_EQ(tally.failures["Read reply timeout"], 20);
    EXPECT_GE(FreePacketCount(link), left - 2);  // the request in flight and one given up at most
}

// Scripted peers whose first answer is malformed and whose second is good.
struct MalformedCase {
    const char* name;
    LinkKind kind;
    uint8_t requestEnd;  // the last byte of each request (0: RTU, 8 bytes)
    Bytes bad, good;
};

Bytes WithCrc(Bytes frame) {
    uint16_t crc = Crc16(frame.data(), frame.size());
    frame.push_back(uint8_t(crc));
    frame.push_back(uint8_t(crc >> 8));
    return frame;
}

const MalformedCase kMalformed[] = {
    {"rtu oversized reply", LinkModbusRtu, 0, Bytes(300, 0x03),
     WithCrc({0x01, 0x03, 0x02, 0x80, 0x01})},
    // 01 03 02 80 01 sums to 0x87: the LRC is 0x79.
    {"ascii frame without its CR", LinkModbusAscii, '\n', Bytes{':', '0', '1', '0', '3', '0', '2'},
     Bytes{':', '0', '1', '0', '3', '0', '2', '8', '0', '0', '1', '7', '9', '\r', '\n'}},
    {"gateway garbage without a line end", LinkGateway, '\r', Bytes{'1', '2', ' ', '?', 'x'},
     Bytes{'3', '2', '7', '6', '9', '\r'}},
};

TEST(FaultMatrix, OneMalformedFrameCostsOnlyItsRequest) {
    for (const MalformedCase& c : kMalformed) {
        SCOPED_TRACE(c.name);
        PtyPair pty;
        auto received = std::make_shared<Bytes>();
        auto answered = std::make_shared<int>(0);
        PeerThread peer(pty, [&c, received, answered](uint8_t byte) -> Bytes {
            received->push_back(byte);
            bool ended = c.requestEnd ? byte == c.requestEnd : received->size() == 8;
            if (!ended) return {};
            bool route = (*received)[0] == 'A';  // the gateway's route command
            received->clear();
            if (route) return {'\r'};
            return (*answered)++ == 0 ? c.bad : c.good;
        });
        LinkHandle owner =
            c.kind == LinkGateway     ? OpenGatewayLink(pty.SlavePath().c_str(), {1, {1}})
            : c.kind == LinkModbusRtu ? OpenModbusRtuLink(pty.SlavePath().c_str(), 1)
                                      : OpenModbusAsciiLink(pty.SlavePath().c_str(), 1);
        Link* link = owner.get();
        ASSERT_NE(link, nullptr);
        SetSerialParameters(link, 9600, 1, 1, 20, 8);
        uint16_t value = 0;
        EXPECT_EQ(RegisterRead(link, kFirstRegister, 1, &value), 0);
        EXPECT_EQ(RegisterRead(link, kFirstRegister, 1, &value), 1) << LinkErrorText(link);
        EXPECT_EQ(value, kValues[0]);
        owner.reset();
    }
}

int Threads(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("Threads:", 0) == 0) return atoi(line.c_str() + 8);
    return 0;
}

// The tools that hold a serial port remove its lock file however they are
// ended; the next program finds the port free.
TEST(FaultMatrix, ToolsEndedBySignalsLeaveNoLockFiles) {
    ASSERT_TRUE(HaveProgram(BuildProgram("kova-sim")));
    ASSERT_TRUE(HaveProgram(BuildProgram("kova-link")));
    for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) {
        SCOPED_TRACE(signal);
        {
            PtyPair pty;
            ChildProcess sim({BuildProgram("kova-sim"), "--tty", pty.SlavePath()});
            std::string lock = UucpLockPath(pty.SlavePath());
            ASSERT_TRUE(WaitForPath(lock)) << lock;
            ASSERT_EQ(kill(sim.Pid(), signal), 0);
            EXPECT_TRUE(WaitUntil([&] { return !std::filesystem::exists(lock); },
                                  std::chrono::seconds(10)));
        }
        Simulator sim({"--pty", "--protocol", "symax"});
        ChildProcess tool({BuildProgram("kova-link"), "--type", "symax", "--port", sim.Where(),
                           "bench", "100000000", "8176", "1"});
        std::string lock = UucpLockPath(sim.Where());
        ASSERT_TRUE(WaitForPath(lock)) << lock;
        // The link's reader thread starts once the port is open and its
        // lock recorded (the file appears a moment before that).
        ASSERT_TRUE(WaitUntil([&] { return Threads(tool.Pid()) >= 2; }, std::chrono::seconds(10)));
        ASSERT_EQ(kill(tool.Pid(), signal), 0);
        EXPECT_TRUE(
            WaitUntil([&] { return !std::filesystem::exists(lock); }, std::chrono::seconds(10)));
    }
}

}  // namespace
