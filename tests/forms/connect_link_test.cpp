// Connecting over pty pairs offered as serial ports: the window's line, the
// settings each type forces before opening, the line settings applied, a
// link kept open when connecting again, and failures with their reasons.
#include "forms/connect_link.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>

#include "common/sim_process.h"
#include "forms/fresh_link.h"
#include "forms/pty_ports.h"
#include "link/link_state.h"
#include "link/serial_port.h"
#include "link/serial_termios.h"
#include "setup/link_setup.h"
#include "setup/setup_in_force.h"
#include "ui/console/keys.h"
#include "ui/toolkit_fixture.h"

namespace {

class Connect : public ToolkitTest {
  protected:
    SetupInForce settings;  // the settings in force, as the shell holds them
    LinkSetup& CurrentSetup = settings.CurrentSetup;
    std::string& StartupSetupName = settings.StartupSetupName;
    void SetUp() override {
        ToolkitTest::SetUp();
        ports.Add("ttyUSB0");
        ports.Add("ttyUSB1");
        ports.Use(settings);
        CurrentSetup = DefaultSetupFor("KOVASW.STP");
    }
    void TearDown() override {
        link.reset();
        ToolkitTest::TearDown();
    }
    // The screen writes only the cells that change, so a line may reach the
    // console in pieces: every word of it must have been written.
    bool Wrote(const std::string& text) const {
        size_t start = 0;
        while (start < text.size()) {
            size_t end = text.find(' ', start);
            if (end == std::string::npos) end = text.size();
            if (!WroteWord(text.substr(start, end - start))) return false;
            start = end + 1;
        }
        return true;
    }
    bool WroteWord(const std::string& word) const {
        for (const auto& call : console.calls)
            if (call.kind == con::ConsoleCall::Write && call.text.find(word) != std::string::npos)
                return true;
        return false;
    }
    // A pty keeps the rate and stop bits but always reports 8 bits and no
    // parity, so those two are read from what the link asked of the port.
    static LineSettings Asked(Link* link) { return link->port->settings; }
    LineSettings LineOf(size_t port) {
        LineSettings s;
        EXPECT_TRUE(ReadLineSettings(ports.SlaveKeeper(port), &s));
        return s;
    }
    void PressF10() { console.TypeExtended(key::scan::F10); }

    PtyPorts ports;
    LinkHandle link;
};

TEST_F(Connect, EachSerialTypeOpensItsKindWithItsForcedSettings) {
    struct Case {
        int16_t type;
        int16_t dataBits;
        uint16_t routeCount;
        uint32_t kind;
        int16_t dataBitsAfter;
        uint16_t routeCountAfter;
        const char* line;
    } cases[] = {
        {LinkTypeSyMax, 0, 0, LinkSyMax, 1, 0, "Via Sy/Max to ttyUSB1"},
        {LinkTypeNetToNet, 0, 1, LinkSyMax, 1, 1, "Via Sy/Max to ttyUSB1"},
        {LinkTypeModbusRtu, 0, 3, LinkModbusRtu, 1, 1, "Via Modbus RTU to ttyUSB1"},
        {LinkTypeModbusAscii, 0, 0, LinkModbusAscii, 0, 1, "Via Modbus ASCII to ttyUSB1"},
        {LinkTypeGateway, 0, 2, LinkGateway, 0, 2, "Via Gateway to ttyUSB1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        console.ClearCalls();
        CurrentSetup.ConnectionType = c.type;
        CurrentSetup.LinkPort = 1;
        CurrentSetup.LinkDataBits = c.dataBits;
        CurrentSetup.RouteCount = c.routeCount;
        CurrentSetup.Route[0] = 25;
        link = ConnectFresh(settings);
        ASSERT_NE(nullptr, link);
        EXPECT_EQ(c.kind, link->kind);
        EXPECT_EQ(c.type == LinkTypeNetToNet, link->netToNet != 0);
        EXPECT_EQ(c.dataBitsAfter, CurrentSetup.LinkDataBits);
        EXPECT_EQ(c.routeCountAfter, CurrentSetup.RouteCount);
        EXPECT_TRUE(Wrote(c.line));
        EXPECT_TRUE(Wrote("ATTEMPTING TO CONNECT"));
        EXPECT_EQ(c.dataBitsAfter + 7, Asked(link.get()).dataBits);
        if (c.kind == LinkModbusRtu || c.kind == LinkModbusAscii) {
            EXPECT_EQ(25, link->route.count);  // the drop
        }
        link.reset();
    }
}

TEST_F(Connect, AppliesBaudParityStopBitsAndTimeout) {
    CurrentSetup.LinkPort = 0;
    CurrentSetup.LinkBaud = 15;  // 19200
    CurrentSetup.LinkParity = 2;
    CurrentSetup.LinkStopBits = 1;
    CurrentSetup.LinkTimeout = 123;
    link = ConnectFresh(settings);
    ASSERT_NE(nullptr, link);
    LineSettings s = LineOf(0);
    EXPECT_EQ(19200u, s.baud);
    EXPECT_EQ(2, s.stopBits);
    EXPECT_EQ(ParityOdd, Asked(link.get()).parity);
    EXPECT_EQ(123, link->replyTimeout);
    CurrentSetup.LinkBaud = 18;  // past the module's rates
    Link* before = link.get();
    EXPECT_TRUE(ConnectLink(settings, link));
    EXPECT_EQ(before, link.get());
    EXPECT_EQ(115200u, LineOf(0).baud);
}

TEST_F(Connect, AnOpenLinkIsKeptAndGetsTheNewSettings) {
    CurrentSetup.LinkPort = 0;
    link = ConnectFresh(settings);
    ASSERT_NE(nullptr, link);
    EXPECT_EQ(9600u, LineOf(0).baud);
    CurrentSetup.LinkBaud = 9;  // 2400
    CurrentSetup.LinkPort = 1;  // not looked at: nothing is opened
    console.ClearCalls();
    Link* before = link.get();
    EXPECT_TRUE(ConnectLink(settings, link));
    EXPECT_EQ(before, link.get());
    EXPECT_EQ(2400u, LineOf(0).baud);
    EXPECT_FALSE(WroteWord("Via"));
}

TEST_F(Connect, FailuresShowTheWindowAndTheReasonOnTheStatusLine) {
    ports.AddName("ttyUSB9", ports.Root() + "/dev/gone");
    ports.Use(settings);  // ttyUSB0, ttyUSB1, ttyUSB9
    struct Case {
        int16_t type;
        int16_t port;
        const char* reason;
    } cases[] = {
        {LinkTypeNone, 0, "No connection type is chosen"},
        {LinkTypeSyMax, 3, "not in the list of ports"},
        {LinkTypeModbusRtu, 2, "not found"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reason);
        CurrentSetup.ConnectionType = c.type;
        CurrentSetup.LinkPort = c.port;
        console.ClearCalls();
        PressF10();
        EXPECT_EQ(nullptr, ConnectFresh(settings));
        EXPECT_TRUE(Wrote("Unable to establish link."));
        EXPECT_NE(std::string::npos, ImageRow(24).find(c.reason)) << ImageRow(24);
        EXPECT_EQ(std::string(40, ' '), ImageRow(4).substr(0, 40));  // window closed
    }
    // A later success clears the reason.
    CurrentSetup.ConnectionType = LinkTypeSyMax;
    CurrentSetup.LinkPort = 0;
    link = ConnectFresh(settings);
    ASSERT_NE(nullptr, link);
    EXPECT_EQ(std::string(80, ' '), ImageRow(24));
}

TEST_F(Connect, ABusyPortSaysSo) {
    CurrentSetup.LinkPort = 0;
    link = ConnectFresh(settings);
    ASSERT_NE(nullptr, link);
    PressF10();
    EXPECT_EQ(nullptr, ConnectFresh(settings));
    EXPECT_NE(std::string::npos, ImageRow(24).find("busy")) << ImageRow(24);
}

// A link made from the settings reaches the simulated module: the module's
// identification marker reads back over each serial protocol.
TEST_F(Connect, LinksReachTheSimulatedModule) {
    struct Case {
        const char* protocol;
        int16_t type;
    } cases[] = {
        {"symax", LinkTypeSyMax}, {"rtu", LinkTypeModbusRtu}, {"ascii", LinkTypeModbusAscii}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.protocol);
        SimProcess sim({"--protocol", c.protocol});
        PtyPorts module;
        module.AddName("ttyUSB0", sim.SlavePath());
        module.Use(settings);
        CurrentSetup = DefaultSetupFor("KOVASW.STP");
        CurrentSetup.ConnectionType = c.type;
        CurrentSetup.LinkDataBits = 1;
        CurrentSetup.RouteCount = 1;
        CurrentSetup.Route[0] = 1;  // the simulator's drop
        if (c.type == LinkTypeSyMax) CurrentSetup.RouteCount = 0;
        link = ConnectFresh(settings);
        ASSERT_NE(nullptr, link);
        uint16_t marker = 0;
        EXPECT_EQ(1, RegisterRead(link.get(), 8188, 1, &marker)) << LinkErrorText(link.get());
        EXPECT_EQ(0x9990, marker);
        link.reset();
    }
}

TEST_F(Connect, ModbusTcpReachesTheSimulatedModuleOnLoopback) {
    SimProcess sim({"--tcp", "127.0.0.1:0", "--drop", "3"});
    CurrentSetup.ConnectionType = LinkTypeModbusTcp;
    std::strcpy(CurrentSetup.TcpHost, "127.0.0.1");
    CurrentSetup.TcpPort = uint16_t(sim.TcpPort());
    CurrentSetup.RouteCount = 1;
    CurrentSetup.Route[0] = 3;  // the unit the simulator answers
    link = ConnectFresh(settings);
    uint16_t marker = 0;
    int read = link ? RegisterRead(link.get(), 8188, 1, &marker) : 0;
    ASSERT_NE(nullptr, link);
    EXPECT_EQ(1, read) << LinkErrorText(link.get());
    EXPECT_EQ(0x9990, marker);
}

// A listening loopback socket: the kernel completes the connect.
class Listener {
  public:
    Listener() {
        fd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof a;
        if (bind(fd_, reinterpret_cast<sockaddr*>(&a), size) || listen(fd_, 4) ||
            getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &size))
            throw std::runtime_error("listen");
        port_ = ntohs(a.sin_port);
    }
    ~Listener() { Close(); }
    void Close() {
        if (fd_ >= 0) close(fd_);
        fd_ = -1;
    }
    int Port() const { return port_; }

  private:
    int fd_ = -1;
    int port_ = 0;
};

TEST_F(Connect, ModbusTcpConnectsToTheHostAndPort) {
    Listener server;
    CurrentSetup.ConnectionType = LinkTypeModbusTcp;
    std::strcpy(CurrentSetup.TcpHost, "127.0.0.1");
    CurrentSetup.TcpPort = uint16_t(server.Port());
    CurrentSetup.RouteCount = 0;
    CurrentSetup.Route[0] = 7;
    CurrentSetup.LinkPort = 30;  // no serial port is looked at
    CurrentSetup.LinkTimeout = 77;
    link = ConnectFresh(settings);
    ASSERT_NE(nullptr, link);
    EXPECT_EQ(uint32_t(LinkModbusTcp), link->kind);
    EXPECT_EQ(1, CurrentSetup.RouteCount);
    EXPECT_EQ(77, link->replyTimeout);
    EXPECT_TRUE(Wrote("Via Modbus TCP to 127.0.0.1"));
    link.reset();

    server.Close();  // nobody listens now
    PressF10();
    EXPECT_EQ(nullptr, ConnectFresh(settings));
    EXPECT_TRUE(Wrote("Unable to establish link."));
    EXPECT_NE(std::string(80, ' '), ImageRow(24));
}

TEST_F(Connect, ALongHostStaysInsideTheWindow) {
    CurrentSetup.ConnectionType = LinkTypeModbusTcp;
    std::strcpy(CurrentSetup.TcpHost, "0000:0000:0000:0000:0000:0:0:1");  // ::1, 30 characters
    CurrentSetup.TcpPort = 9;  // nothing listens on loopback there
    PressF10();
    link = ConnectFresh(settings);
    EXPECT_EQ(std::string(80, ' '), ImageRow(4));
}

TEST(ConnectLine, NamesTheWayAndTheTarget) {
    struct Case {
        int type;
        const char* line;
    } cases[] = {
        {LinkTypeSyMax, "Via Sy/Max to ttyS0"},
        {LinkTypeNetToNet, "Via Sy/Max to ttyS0"},
        {LinkTypeGateway, "Via Gateway to ttyS0"},
        {LinkTypeModbusRtu, "Via Modbus RTU to ttyS0"},
        {LinkTypeModbusAscii, "Via Modbus ASCII to ttyS0"},
        {LinkTypeModbusTcp, "Via Modbus TCP to ttyS0"},
        {LinkTypeNone, ""},
        {7, ""},
    };
    for (const auto& c : cases) EXPECT_EQ(c.line, ConnectLineOf(c.type, "ttyS0")) << c.type;
}

}  // namespace
