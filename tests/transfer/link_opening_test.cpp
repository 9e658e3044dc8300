// Opening the link a settings record names without a screen: a Modbus TCP
// record reaches the simulated module with its line settings applied, and a
// record that names nothing says why.
#include "setup/link_opening.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>

#include "common/device_root_dir.h"
#include "link/link_state.h"
#include "module_sim.h"
#include "setup/serial_port_list.h"
#include "transfer/register_map.h"

namespace {

// Settings naming a simulator on loopback Modbus TCP and its unit.
LinkSetup TcpSetupOf(const ModuleSim& sim, uint16_t unit) {
    LinkSetup setup = DefaultSetupFor("KOVASW.STP");
    setup.ConnectionType = LinkTypeModbusTcp;
    std::strcpy(setup.TcpHost, "127.0.0.1");
    setup.TcpPort = uint16_t(std::stoi(sim.Target()));
    setup.Route[0] = unit;
    return setup;
}

TEST(LinkOpeningTest, AModbusTcpRecordReachesTheModule) {
    ModuleSim sim(SimWire::ModbusTcp, {"--drop", "7"});
    LinkSetup setup = TcpSetupOf(sim, 7);
    setup.RouteCount = 3;
    setup.LinkTimeout = 123;
    std::string reason;
    LinkHandle link = OpenLinkFromSetup(setup, &reason);
    ASSERT_TRUE(link) << reason;
    EXPECT_EQ(setup.RouteCount, 1);  // one unit number
    EXPECT_EQ(link->replyTimeout, 123);
    uint16_t marker = 0;
    EXPECT_GT(RegisterRead(link.get(), kIdentMarkerRegister, 1, &marker), 0)
        << LinkErrorText(link.get());
    EXPECT_EQ(marker, kIdentMarkerValue);
}

// A module answering with CRC block checks is reached from the first
// request when the settings say CRC, as one with BCC is when they say BCC.
// A request must end in a time the user can see: a reply timeout outside
// 1-6000 ticks is replaced by the default, and the user is told.
TEST(LinkOpeningTest, AReplyTimeoutOutOfRangeIsReplacedByTheDefault) {
    ModuleSim sim(SimWire::ModbusTcp);
    struct Case {
        int16_t ticks, used;
        const char* note;
    } kCases[] = {
        {-1, 500, "Reply timeout -1 out of range 1-6000 ticks: 500 used"},
        {0, 500, "Reply timeout 0 out of range 1-6000 ticks: 500 used"},
        {6001, 500, "Reply timeout 6001 out of range 1-6000 ticks: 500 used"},
        {1, 1, ""},
        {6000, 6000, ""},
    };
    for (const Case& c : kCases) {
        LinkSetup setup = TcpSetupOf(sim, 1);
        setup.LinkTimeout = c.ticks;
        std::string reason, note;
        LinkHandle link = OpenLinkFromSetup(setup, &reason, &note);
        ASSERT_TRUE(link) << reason;
        EXPECT_EQ(note, c.note);
        EXPECT_EQ(setup.LinkTimeout, c.used);
        EXPECT_EQ(link->replyTimeout, uint16_t(c.used));
    }
}

TEST(LinkOpeningTest, ASyMaxRecordTakesItsBlockCheck) {
    struct Case {
        std::vector<std::string> simOptions;
        int16_t errorCheck;
    } kCases[] = {{{}, kErrorCheckBcc}, {{"--crc"}, kErrorCheckCrc}};
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.errorCheck);
        ModuleSim sim(SimWire::SyMaxPty, c.simOptions);
        DeviceRootDir root;
        root.AddPort("ttyS0", sim.Target());
        LinkSetup setup = DefaultSetupFor("KOVASW.STP");
        setup.ConnectionType = LinkTypeSyMax;
        setup.LinkPort = 0;
        setup.ErrorCheck = c.errorCheck;
        setup.LinkTimeout = 100;
        std::string reason;
        LinkHandle link = OpenLinkFromSetup(setup, &reason, nullptr, {}, root.Path());
        ASSERT_TRUE(link) << reason;
        uint16_t marker = 0;
        EXPECT_GT(RegisterRead(link.get(), kIdentMarkerRegister, 1, &marker), 0)
            << LinkErrorText(link.get());
        EXPECT_EQ(marker, kIdentMarkerValue);
    }
}

// The link port is a place in the list the caller holds: that list is read
// when it is still empty, and only for a serial link; one already read is
// taken as it is, whatever the system lists now.
TEST(LinkOpeningTest, TheLinkPortIsLookedUpInTheCallersList) {
    DeviceRootDir root;
    root.AddPort("ttyS0", root.Path() + "/dev/none");
    root.AddPort("ttyS1", root.Path() + "/dev/none");
    LinkSetup setup = DefaultSetupFor("KOVASW.STP");
    setup.ConnectionType = LinkTypeSyMax;
    setup.LinkPort = 0;
    LinkTarget target;
    std::string reason;

    SerialPortList held({"ttyS1"}, {}, root.Path());
    ASSERT_TRUE(ResolveLinkTarget(setup, held, &target, &reason)) << reason;
    EXPECT_EQ(root.Path() + "/dev/ttyS1", target.path);
    EXPECT_EQ("Via Sy/Max to ttyS1", target.line);
    EXPECT_EQ(1, held.Count());

    SerialPortList empty = SerialPortList::Under(root.Path());
    ASSERT_TRUE(ResolveLinkTarget(setup, empty, &target, &reason)) << reason;
    EXPECT_EQ(root.Path() + "/dev/ttyS0", target.path);
    EXPECT_EQ(2, empty.Count());

    setup.ConnectionType = LinkTypeModbusTcp;
    std::strcpy(setup.TcpHost, "127.0.0.1");
    SerialPortList unread;
    ASSERT_TRUE(ResolveLinkTarget(setup, unread, &target, &reason)) << reason;
    EXPECT_EQ("127.0.0.1", target.path);
    EXPECT_EQ(0, unread.Count());
}

// A serial kind behind a device server names no port of the list: its line
// is the Modbus TCP fields' host and port, whatever the list holds.
TEST(LinkOpeningTest, ASerialKindBehindADeviceServerOpensItsNetworkPort) {
    LinkSetup setup = DefaultSetupFor("KOVASW.STP");
    setup.ConnectionType = LinkTypeModbusRtu;
    setup.LinkPort = kNetworkLinkPort;
    std::strcpy(setup.TcpHost, "::1");
    setup.TcpPort = 4001;
    LinkTarget target;
    std::string reason;
    SerialPortList none;
    ASSERT_TRUE(ResolveLinkTarget(setup, none, &target, &reason)) << reason;
    EXPECT_EQ("tcp:[::1]:4001", target.path);
    EXPECT_EQ("Via Modbus RTU to tcp:[::1]:4001", target.line);

    setup.TcpHost[0] = '\0';
    EXPECT_FALSE(ResolveLinkTarget(setup, none, &target, &reason));
    EXPECT_EQ("No device server given: / on the Port field, then tcp:HOST:PORT", reason);
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

#include "common/child_process.h"
#include "config/disk_file.h"

namespace {

// A setup file written as the program writes it names the link kova-link
// opens.
TEST(LinkOpeningTest, KovaLinkOpensTheLinkOfASetupFile) {
    ModuleSim sim(SimWire::ModbusTcp);
    const LinkSetup setup = TcpSetupOf(sim, 1);
    char dir[] = "/tmp/kova-setup-XXXXXX";
    ASSERT_TRUE(mkdtemp(dir));
    const std::string path = std::string(dir) + "/SIM.STP";
    ASSERT_EQ(SaveFileReplacing(path, EncodeSetup(setup)), SaveResult::Saved);
    RunResult r = RunProgram({BuildProgram("kova-link"), "--setup", path, "dump", "8187", "2"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "0 " + std::to_string(kIdentMarkerValue) + "\n");

    RunResult missing = RunProgram(
        {BuildProgram("kova-link"), "--setup", std::string(dir) + "/NONE.STP", "read", "1", "1"});
    EXPECT_EQ(missing.status, 2);  // bad input, found before any link is opened
    EXPECT_EQ(missing.err, "kova-link: " + std::string(dir) +
                               "/NONE.STP: Can't locate setup file. (No such file or directory)\n");

    // The file names the whole link: link options beside it are refused, as
    // kova-config refuses them, before anything is opened.
    RunResult both =
        RunProgram({BuildProgram("kova-link"), "--setup", path, "--crc", "read", "1", "1"});
    EXPECT_EQ(both.status, 2);
    EXPECT_EQ(both.err, "kova-link: give either --setup or link options, not both (see --help)\n");
    unlink(path.c_str());
    rmdir(dir);
}

}  // namespace
