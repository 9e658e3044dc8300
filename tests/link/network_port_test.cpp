// Serial link kinds through a serial device server's TCP port ("tcp:HOST:
// PORT"): the simulated module served as such a server serves its line,
// libmodbus's RTU server behind socat's TCP-to-pty bridge (what ser2net
// does), a connection that drops and comes back, and a whole-module fetch.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

#include "common/child_process.h"
#include "common/sim_process.h"
#include "link/link.h"
#include "link/link_state.h"

namespace {

using Args = std::vector<std::string>;

std::string NetworkPort(int tcpPort) { return "tcp:127.0.0.1:" + std::to_string(tcpPort); }

LinkHandle OpenKind(LinkKind kind, const std::string& port) {
    LinkRoute route{1, {1}};
    switch (kind) {
        case LinkSyMax:
            return OpenSyMaxLink(port.c_str(), 0, route);
        case LinkGateway:
            return OpenGatewayLink(port.c_str(), route);
        case LinkModbusAscii:
            return OpenModbusAsciiLink(port.c_str(), 1);
        default:
            return OpenModbusRtuLink(port.c_str(), 1);
    }
}

// A loopback port free a moment ago, for a peer that cannot say which one
// it took.
int FreeTcpPort() {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    bind(fd, reinterpret_cast<sockaddr*>(&address), size);
    getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size);
    close(fd);
    return ntohs(address.sin_port);
}

struct KindCase {
    const char* name;
    Args sim;
    LinkKind kind;
};

const KindCase kKinds[] = {
    {"symax", {"--protocol", "symax"}, LinkSyMax},
    {"symax with crc", {"--protocol", "symax", "--crc"}, LinkSyMax},
    {"gateway", {"--protocol", "gateway"}, LinkGateway},
    {"rtu", {"--protocol", "rtu"}, LinkModbusRtu},
    {"ascii", {"--protocol", "ascii"}, LinkModbusAscii},
};

TEST(NetworkPort, EverySerialKindReadsAndWritesThroughADeviceServer) {
    for (const KindCase& c : kKinds) {
        SCOPED_TRACE(c.name);
        Args options = c.sim;
        options.insert(options.end(), {"--listen", "127.0.0.1:0", "--set", "300=4660"});
        SimProcess sim(options);
        LinkHandle owner = OpenKind(c.kind, NetworkPort(sim.TcpPort()));
        Link* link = owner.get();
        ASSERT_NE(link, nullptr);
        if (std::string(c.name) == "symax with crc") SetSyMaxOptions(link, 1, 0);
        SetSerialParameters(link, 9600, 1, 1, 100, 8);
        uint16_t values[3] = {};
        ASSERT_EQ(RegisterRead(link, 8176, 3, values), 3) << LinkErrorText(link);
        EXPECT_EQ(values[1], 'K' << 8 | 'O');
        EXPECT_EQ(RegisterRead(link, 300, 1, values), 1) << LinkErrorText(link);
        EXPECT_EQ(values[0], 4660);
        const uint16_t written[] = {11, 65535};
        EXPECT_EQ(RegisterWrite(link, 301, 2, written), 2) << LinkErrorText(link);
        EXPECT_EQ(RegisterRead(link, 301, 2, values), 2) << LinkErrorText(link);
        EXPECT_EQ(values[0], 11);
        EXPECT_EQ(values[1], 65535);
        owner.reset();
    }
}

// socat is the device server here, as ser2net would be: its TCP port
// carries the bytes of a pty on which libmodbus's RTU server runs.
TEST(NetworkPort, RtuThroughSocatToTheLibmodbusServer) {
    ASSERT_TRUE(HaveProgram("/usr/bin/socat")) << "socat is missing: run scripts/install-deps.sh";
    ASSERT_TRUE(HaveProgram(BuildProgram("kova-modbus-server"))) << "libmodbus-dev is missing";
    char dir[] = "/tmp/kova-devserver-XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    const std::string pty = std::string(dir) + "/line";
    const int tcpPort = FreeTcpPort();
    ChildProcess bridge({"socat", "pty,raw,echo=0,link=" + pty,
                         "tcp-listen:" + std::to_string(tcpPort) + ",bind=127.0.0.1,reuseaddr"});
    ASSERT_TRUE(WaitForPath(pty));
    ChildProcess server({BuildProgram("kova-modbus-server"), pty, "1"});
    ASSERT_EQ(server.ReadLine(), "ready");
    LinkHandle owner;
    // socat listens once its pty is there; give it a moment more.
    for (int tries = 0; !owner && tries < 50; ++tries) {
        owner = OpenModbusRtuLink(NetworkPort(tcpPort).c_str(), 1);
        if (!owner) usleep(20000);
    }
    Link* link = owner.get();
    ASSERT_NE(link, nullptr);
    SetSerialParameters(link, 9600, 1, 1, 200, 8);
    uint16_t values[10] = {};
    ASSERT_EQ(RegisterRead(link, 1, 10, values), 10) << LinkErrorText(link);
    for (int i = 0; i < 10; ++i) EXPECT_EQ(values[i], i + 1);
    const uint16_t written[] = {0xBEEF, 0x0010};
    EXPECT_EQ(RegisterWrite(link, 500, 2, written), 2) << LinkErrorText(link);
    EXPECT_EQ(RegisterRead(link, 500, 2, values), 2);
    EXPECT_EQ(values[0], 0xBEEF);
    EXPECT_EQ(values[1], 0x0010);
    EXPECT_EQ(RegisterRead(link, 20000, 1, values), 0);
    EXPECT_STREQ(LinkErrorText(link), "Modbus error reply 2 ILLEGAL DATA ADDRESS");
    owner.reset();
    std::filesystem::remove_all(dir);
}

// A device server switched off: requests fail in the system's words; once
// it is back on the same port, the next request connects again.
TEST(NetworkPort, ADroppedConnectionIsOpenedAgainOnTheNextRequest) {
    std::optional<SimProcess> sim;
    sim.emplace(Args{"--protocol", "rtu", "--listen", "127.0.0.1:0", "--set", "1=9"});
    const int tcpPort = sim->TcpPort();
    LinkHandle owner = OpenModbusRtuLink(NetworkPort(tcpPort).c_str(), 1);
    Link* link = owner.get();
    ASSERT_NE(link, nullptr);
    SetSerialParameters(link, 9600, 1, 1, 50, 8);
    uint16_t value = 0;
    ASSERT_EQ(RegisterRead(link, 1, 1, &value), 1) << LinkErrorText(link);
    EXPECT_EQ(value, 9);
    sim.reset();
    EXPECT_EQ(RegisterRead(link, 1, 1, &value), 0);
    EXPECT_EQ(RegisterRead(link, 1, 1, &value), 0);
    EXPECT_STREQ(LinkErrorText(link), "Connect: Connection refused");
    sim.emplace(Args{"--protocol", "rtu", "--listen", "127.0.0.1:" + std::to_string(tcpPort),
                     "--set", "1=10"});
    EXPECT_EQ(RegisterRead(link, 1, 1, &value), 1) << LinkErrorText(link);
    EXPECT_EQ(value, 10);
    owner.reset();
}

// A device server that resets the connection: requests fail with what the
// connect says, and nothing ends the program (writes to a socket whose far
// end is gone raise no SIGPIPE).
TEST(NetworkPort, AServerThatResetsTheConnectionFailsTheRequestOnly) {
    const int listener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&address), size), 0);
    ASSERT_EQ(listen(listener, 1), 0);
    getsockname(listener, reinterpret_cast<sockaddr*>(&address), &size);
    LinkHandle owner = OpenModbusRtuLink(NetworkPort(ntohs(address.sin_port)).c_str(), 1);
    Link* link = owner.get();
    ASSERT_NE(link, nullptr);
    SetSerialParameters(link, 9600, 1, 1, 20, 8);
    const int accepted = accept(listener, nullptr, nullptr);
    ASSERT_GE(accepted, 0);
    linger reset{1, 0};
    setsockopt(accepted, SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
    close(accepted);
    close(listener);
    usleep(50000);  // the reset has arrived
    uint16_t value = 0;
    for (int i = 0; i < 3; ++i) EXPECT_EQ(RegisterRead(link, 1, 1, &value), 0);
    EXPECT_STREQ(LinkErrorText(link), "Connect: Connection refused");
    owner.reset();
}

TEST(NetworkPort, ANameThatIsNoNetworkPortOrNoServerIsRefusedAtOpen) {
    struct Case {
        std::string port;
        const char* reason;
    } const cases[] = {
        {"tcp:127.0.0.1", "Port tcp:127.0.0.1: no \":PORT\" after the host"},
        {"tcp:127.0.0.1:70000", "Port tcp:127.0.0.1:70000: the TCP port is a number from 1 to 65535"},
        {NetworkPort(FreeTcpPort()), "Connect: Connection refused"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.port);
        std::string reason;
        EXPECT_EQ(OpenModbusRtuLink(c.port.c_str(), 1, &reason), nullptr);
        EXPECT_EQ(reason, c.reason);
    }
}

// kova-config over a device server: the fetched file is the one the
// module was given.
TEST(NetworkPort, AWholeModuleFetchHoldsWhatTheModuleHolds) {
    char dir[] = "/tmp/kova-devserver-XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    const std::string plant = std::string(dir) + "/PLANT.KOV", fetched = std::string(dir) + "/F.KOV";
    ASSERT_EQ(RunProgram({BuildProgram("kova-sample-config"), plant}).status, 0);
    SimProcess sim({"--protocol", "rtu", "--listen", "[::1]:0", "--config", plant});
    const RunResult r = RunProgram({BuildProgram("kova-config"), "--type", "rtu", "--port",
                                    "tcp:[::1]:" + sim.Where(), "-q", "fetch", fetched});
    ASSERT_EQ(r.status, 0) << r.err;
    const RunResult diff = RunProgram({BuildProgram("kova-config"), "diff", plant, fetched});
    EXPECT_EQ(diff.status, 0) << diff.out << diff.err;
    std::filesystem::remove_all(dir);
}

}  // namespace
