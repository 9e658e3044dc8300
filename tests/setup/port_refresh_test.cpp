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

}  // namespace
