// kova-sim's Modbus TCP and Gateway sides against kova-link and mbpoll: the
// command lines, the module's registers over both, and the fault options.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/child_process.h"
#include "common/sim_process.h"

namespace {

using Args = std::vector<std::string>;

Args Join(Args a, const Args& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// kova-sim serving Modbus TCP on a free loopback port.
SimProcess TcpSim(const Args& options) {
    return SimProcess(Join({"--protocol", "tcp", "--listen", "127.0.0.1:0"}, options));
}

RunResult KovaLinkTcp(const SimProcess& sim, const Args& args) {
    return RunProgram(Join({BuildProgram("kova-link"), "--type", "tcp", "--host", "127.0.0.1",
                            "--tcp-port", sim.Where()},
                           args));
}

// "KOVA" two characters a register, high byte first.
const std::string kNameRegisters =
    std::to_string('K' << 8 | 'O') + " " + std::to_string('V' << 8 | 'A');

struct ToolCase {
    const char* name;
    Args simOptions;
    Args command;
    int status;
    std::string out, err;
};

TEST(TcpToolsTest, KovaLinkReachesTheSimulatedModuleOverTcp) {
    ToolCase kCases[] = {
        {"identification", {}, {"read", "8177", "2"}, 0, kNameRegisters + "\n", ""},
        {"input registers", {}, {"input-read", "1", "2"}, 0, "0 0\n", ""},
        {"other unit",
         {"--drop", "3"},
         {"--timeout", "10", "read", "1", "1"},
         1,
         "",
         "Reply timeout\n"},
        {"unit given",
         {"--drop", "3"},
         {"--drop", "3", "read", "8177", "1"},
         0,
         std::to_string('K' << 8 | 'O') + "\n",
         ""},
        {"exception 2",
         {"--error", "2"},
         {"read", "1", "1"},
         1,
         "",
         "Modbus error reply 2 ILLEGAL DATA ADDRESS\n"},
        {"exception 13", {"--error", "13"}, {"write", "1", "5"}, 1, "", "Modbus error reply 13\n"},
        {"no reply",
         {"--drop-every", "1"},
         {"--timeout", "5", "read", "1", "1"},
         1,
         "",
         "Reply timeout\n"},
    };
    for (const ToolCase& c : kCases) {
        SimProcess sim = TcpSim(c.simOptions);
        RunResult r = KovaLinkTcp(sim, c.command);
        EXPECT_EQ(r.status, c.status) << c.name << ": " << r.err;
        EXPECT_EQ(r.out, c.out) << c.name;
        EXPECT_EQ(r.err, c.err.empty() || c.status == 2 ? c.err : "kova-link: " + c.err) << c.name;
    }
}

TEST(TcpToolsTest, WritesStayForLaterConnections) {
    SimProcess sim = TcpSim({});
    EXPECT_EQ(KovaLinkTcp(sim, {"write", "300", "11", "0x8000", "65535"}).status, 0);
    EXPECT_EQ(KovaLinkTcp(sim, {"read", "300", "3"}).out, "11 32768 65535\n");
    EXPECT_EQ(KovaLinkTcp(sim, {"input-write", "40", "7"}).status, 0);
    EXPECT_EQ(KovaLinkTcp(sim, {"input-read", "40", "1"}).out, "7\n");
}

TEST(TcpToolsTest, MbpollReadsAndWritesTheSimulatedModule) {
    ASSERT_TRUE(HaveProgram("/usr/bin/mbpoll"));
    SimProcess sim = TcpSim({"--drop", "4"});
    Args mbpoll = {"/usr/bin/mbpoll", "-m", "tcp", "-a", "4", "-p", sim.Where(), "-t", "4", "-1"};
    RunResult r = RunProgram(Join(mbpoll, {"-r", "8177", "-c", "2", "127.0.0.1"}));
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("[8177]: \t" + std::to_string('K' << 8 | 'O')), std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("[8178]: \t" + std::to_string('V' << 8 | 'A')), std::string::npos)
        << r.out;
    r = RunProgram(Join(mbpoll, {"-r", "500", "127.0.0.1", "21", "65535"}));
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(KovaLinkTcp(sim, {"--drop", "4", "read", "500", "2"}).out, "21 65535\n");
}

TEST(TcpToolsTest, SimulatorRefusesATcpProtocolWithoutAnAddress) {
    RunResult r = RunProgram({BuildProgram("kova-sim"), "--protocol", "tcp"});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("--listen"), std::string::npos) << r.err;
    r = RunProgram({BuildProgram("kova-link"), "--type", "tcp", "read", "1", "1"});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("--host"), std::string::npos) << r.err;
}

TEST(GatewayToolsTest, KovaLinkReachesTheSimulatedModuleThroughItsGateway) {
    ToolCase kCases[] = {
        {"identification", {}, {"read", "8177", "2"}, 0, kNameRegisters + "\n", ""},
        {"error lines",
         {"--error", "5"},
         {"--timeout", "20", "read", "1", "1"},
         1,
         "",
         "Read reply too short\n"},
        {"error line to write",
         {"--error", "5"},
         {"--timeout", "20", "write", "1", "1"},
         1,
         "",
         "No valid reply to W command\n"},
        {"no answer",
         {"--drop-every", "1"},
         {"--timeout", "5", "read", "1", "1"},
         1,
         "",
         "No valid reply to A command\n"},
        {"status portion, refused as usage",
         {},
         {"read", "8192", "2"},
         2,
         "",
         "kova-link: read: REGISTER 8192 with 2 registers runs past register 8192, the last on a "
         "Gateway link (see --help)\n"},
    };
    for (const ToolCase& c : kCases) {
        SimProcess sim(Join({"--protocol", "gateway"}, c.simOptions));
        const std::string& port = sim.SlavePath();
        RunResult r = RunProgram(Join(
            {BuildProgram("kova-link"), "--type", "gateway", "--port", port, "--route", "100,5"},
            c.command));
        EXPECT_EQ(r.status, c.status) << c.name << ": " << r.err;
        EXPECT_EQ(r.out, c.out) << c.name;
        EXPECT_EQ(r.err, c.err.empty() || c.status == 2 ? c.err : "kova-link: " + c.err) << c.name;
    }
}

TEST(GatewayToolsTest, WritesReadBackWithTheirSigns) {
    SimProcess sim({"--protocol", "gateway"});
    const std::string& port = sim.SlavePath();
    Args link = {BuildProgram("kova-link"), "--type", "gateway", "--port", port, "--route", "3"};
    std::vector<std::string> values;
    Args write = Join(link, {"write", "1000"});
    std::string expected;
    for (int i = 0; i < 40; ++i) {  // more than one command line carries
        write.push_back(std::to_string(i % 2 ? 65535 - i : i));
        expected += (i ? " " : "") + write.back();
    }
    RunResult r = RunProgram(write);
    EXPECT_EQ(r.status, 0) << r.err;
    r = RunProgram(Join(link, {"read", "1000", "40"}));
    EXPECT_EQ(r.out, expected + "\n") << r.err;
}

}  // namespace
