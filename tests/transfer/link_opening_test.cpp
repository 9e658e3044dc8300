// Opening the link a settings record names without a screen: a Modbus TCP
// record reaches the simulated module with its line settings applied, and a
// record that names nothing says why.
#include "setup/link_opening.h"

#include <gtest/gtest.h>

#include <cstring>

#include "module_sim.h"
#include "setup/serial_port_list.h"
#include "transfer/register_map.h"

namespace {

TEST(LinkOpeningTest, AModbusTcpRecordReachesTheModule) {
    ModuleSim sim(SimWire::ModbusTcp, {"--drop", "7"});
    ASSERT_TRUE(sim.Started());
    LinkSetup setup = DefaultSetupFor("KOVASW.STP");
    setup.ConnectionType = LinkTypeModbusTcp;
    std::strcpy(setup.TcpHost, "127.0.0.1");
    setup.TcpPort = uint16_t(std::stoi(sim.Target()));
    setup.Route[0] = 7;
    setup.RouteCount = 3;
    setup.LinkTimeout = 123;
    std::string reason;
    Link* link = OpenLinkFromSetup(setup, &reason);
    ASSERT_TRUE(link) << reason;
    EXPECT_EQ(setup.RouteCount, 1);  // one unit number
    EXPECT_EQ(link->replyTimeout, 123);
    uint16_t marker = 0;
    EXPECT_GT(RegisterRead(link, kIdentMarkerRegister, 1, &marker), 0) << LinkErrorText(link);
    EXPECT_EQ(marker, kIdentMarkerValue);
    CloseLink(link);
}

TEST(LinkOpeningTest, RecordsThatNameNothing) {
    LinkSetup none = DefaultSetupFor("KOVASW.STP");
    none.ConnectionType = LinkTypeNone;
    LinkSetup noPort = DefaultSetupFor("KOVASW.STP");
    noPort.ConnectionType = LinkTypeModbusRtu;
    noPort.LinkPort = kSerialPortSlots + 5;
    noPort.LinkDataBits = 0;
    struct Case {
        LinkSetup setup;
        const char* reason;
    } kCases[] = {
        {none, "No connection type is chosen"},
        {noPort, "The link's serial port is not in the list of ports"},
    };
    for (Case& c : kCases) {
        std::string reason;
        EXPECT_EQ(OpenLinkFromSetup(c.setup, &reason), nullptr);
        EXPECT_EQ(reason, c.reason);
    }
    EXPECT_EQ(kCases[1].setup.LinkDataBits, 1);  // Modbus RTU forces eight bits
}

TEST(LinkOpeningTest, TheConnectLineOfEachType) {
    EXPECT_EQ(ConnectLineOf(LinkTypeModbusTcp, "plc-7"), "Via Modbus TCP to plc-7");
    EXPECT_EQ(ConnectLineOf(LinkTypeNetToNet, "ttyUSB0"), "Via Sy/Max to ttyUSB0");
    EXPECT_EQ(ConnectLineOf(LinkTypeNone, "ttyUSB0"), "");
}

}  // namespace
