// The settings' port indexes across a port list read again: they follow
// their names, an index whose name is gone stays, and the link port that
// went away is named.
#include "setup/port_refresh.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

TEST(PortRefresh, IndexesFollowTheirNamesAndAGoneLinkPortIsNamed) {
    using Names = std::vector<std::string>;
    struct Case {
        const char* what;
        Names before, now;
        int16_t link, terminal;
        int16_t linkAfter, terminalAfter;
        const char* gone;
    } kCases[] = {
        {"a port plugged in sorts first", {"ttyS0"}, {"ttyACM0", "ttyS0"}, 0, 0, 1, 1, ""},
        {"a port back at another place", {"ttyACM0", "ttyUSB0"}, {"ttyUSB0"}, 1, 0, 0, 0, ""},
        {"the link's port went", {"ttyUSB0", "ttyUSB1"}, {"ttyUSB1"}, 0, 1, 0, 0, "ttyUSB0"},
        {"the terminal's port went", {"ttyUSB0", "ttyUSB1"}, {"ttyUSB0"}, 0, 1, 0, 1, ""},
        {"indexes outside the old list", {"ttyS0"}, {"ttyACM0", "ttyS0"}, 5, -1, 5, -1, ""},
        {"nothing listed before", {}, {"ttyACM0", "ttyS0"}, 0, 1, 0, 1, ""},
        {"nothing listed now", {"ttyS0", "ttyS1"}, {}, 1, 0, 1, 0, "ttyS1"},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.what);
        LinkSetup setup = DefaultSetupFor("KOVASW.STP");
        setup.LinkPort = c.link;
        setup.TerminalPort = c.terminal;
        const LinkSetup untouched = setup;
        const std::string gone =
            RefreshSerialPorts(SerialPortList(c.before), SerialPortList(c.now), setup);
        EXPECT_EQ(c.gone, gone);
        EXPECT_EQ(c.linkAfter, setup.LinkPort);
        EXPECT_EQ(c.terminalAfter, setup.TerminalPort);
        setup.LinkPort = untouched.LinkPort;
        setup.TerminalPort = untouched.TerminalPort;
        EXPECT_EQ(0, std::memcmp(&untouched, &setup, sizeof setup)) << "only the two ports move";
    }
}

// A setup saved with adapters finds them whatever kernel names they have
// now; a missing one is named and its index points nowhere, never at the
// port now standing where it stood.
TEST(SetupAdapters, IndexesFollowTheAdaptersAndAMissingOneIsNamed) {
    const std::string a = "/dev/serial/by-id/usb-FTDI_A-if00-port0";
    const std::string b = "/dev/serial/by-id/usb-Prolific_B-port0";
    using Names = std::vector<std::string>;
    struct Case {
        const char* what;
        Names names, adapters;
        SetupAdapters saved;
        int16_t linkAfter, terminalAfter;
        std::string missing;
    } const cases[] = {
        {"kernel names swapped", {"ttyUSB0", "ttyUSB1"}, {b, a}, {a, b}, 1, 0, ""},
        {"as saved", {"ttyUSB0", "ttyUSB1"}, {a, b}, {a, b}, 0, 1, ""},
        {"the link's adapter missing", {"ttyUSB0"}, {b}, {a, b}, -1, 0, a},
        {"the terminal's adapter missing", {"ttyUSB0"}, {a}, {a, b}, 0, -1, ""},
        {"no adapters saved: the indexes stand", {"ttyUSB0", "ttyUSB1"}, {b, a}, {}, 0, 1, ""},
        {"nothing listed", {}, {}, {a, ""}, -1, 1, a},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        LinkSetup setup = DefaultSetupFor("KOVASW.STP");
        setup.LinkPort = 0;
        setup.TerminalPort = 1;
        EXPECT_EQ(FindSetupAdapters(SerialPortList(c.names, c.adapters), c.saved, setup),
                  c.missing);
        EXPECT_EQ(setup.LinkPort, c.linkAfter);
        EXPECT_EQ(setup.TerminalPort, c.terminalAfter);
    }
}

// A port read again follows its adapter rather than its kernel name.
TEST(PortRefresh, APortWithAnAdapterFollowsIt) {
    const std::string a = "/dev/serial/by-id/usb-FTDI_A-if00-port0";
    LinkSetup setup = DefaultSetupFor("KOVASW.STP");
    setup.LinkPort = 0;
    const SerialPortList before({"ttyUSB0", "ttyUSB1"}, {a, ""});
    EXPECT_EQ(RefreshSerialPorts(before, SerialPortList({"ttyUSB0", "ttyUSB1"}, {"", a}), setup),
              "");
    EXPECT_EQ(setup.LinkPort, 1);
    setup.LinkPort = 0;
    EXPECT_EQ(RefreshSerialPorts(before, SerialPortList({"ttyUSB0"}, {""}), setup), a);
}

}  // namespace
