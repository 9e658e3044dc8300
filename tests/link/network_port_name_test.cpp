// Network port names as the tools and the link form take them.
#include <gtest/gtest.h>

#include "link/network_port_name.h"

namespace {

TEST(NetworkPortName, HostsAndPortsReadBackAsWritten) {
    struct Case {
        const char* name;
        const char* host;
        int port;
    } const cases[] = {
        {"tcp:gw3.plant:4001", "gw3.plant", 4001},
        {"tcp:127.0.0.1:1", "127.0.0.1", 1},
        {"tcp:[::1]:65535", "::1", 65535},
        {"tcp:[fe80::1%eth0]:4001", "fe80::1%eth0", 4001},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string error;
        auto where = ParseNetworkPortName(c.name, &error);
        ASSERT_TRUE(where) << error;
        EXPECT_EQ(where->host, c.host);
        EXPECT_EQ(where->port, c.port);
        EXPECT_EQ(NetworkPortNameOf(*where), c.name);
    }
}

TEST(NetworkPortName, MalformedNamesSayWhatIsWrong) {
    struct Case {
        const char* name;
        const char* error;
    } const cases[] = {
        {"/dev/ttyUSB0", "a network port is named tcp:HOST:PORT"},
        {"tcp:gw3", "no \":PORT\" after the host"},
        {"tcp::4001", "no host before the port"},
        {"tcp:gw3:0", "the TCP port is a number from 1 to 65535"},
        {"tcp:gw3:65536", "the TCP port is a number from 1 to 65535"},
        {"tcp:gw3:40x1", "the TCP port is a number from 1 to 65535"},
        {"tcp:gw3:", "the TCP port is a number from 1 to 65535"},
        {"tcp:::1:4001", "an IPv6 address goes in brackets: tcp:[ADDRESS]:PORT"},
        {"tcp:[::1]4001", "an address in brackets is followed by \":PORT\""},
        {"tcp:[::1", "an address in brackets is followed by \":PORT\""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string error;
        EXPECT_FALSE(ParseNetworkPortName(c.name, &error));
        EXPECT_EQ(error, c.error);
    }
    EXPECT_TRUE(IsNetworkPortName("tcp:gw3"));
    EXPECT_FALSE(IsNetworkPortName("ttyS0"));
}

}  // namespace
