// The terminal's serial layer on pty ports: statuses and reasons of a failed
// open, the line _setuart sets, and timed transfers.
#include "terminal/sio_port.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include "forms/pty_ports.h"
#include "link/serial_termios.h"

using namespace nt_sio;

namespace {

class Sio : public testing::Test {
  protected:
    void SetUp() override {
        peer = ports.Add("ttyS0");
        ports.AddName("ttyGONE", ports.Root() + "/nothing-here");
    }
    void TearDown() override { SioClose(&port); }
    std::string Path(const std::string& name) { return ports.Root() + "/dev/" + name; }
    std::string PeerRead(size_t count) {
        std::string got;
        while (got.size() < count) {
            pollfd p{peer, POLLIN, 0};
            if (poll(&p, 1, 3000) <= 0) break;
            char buffer[64];
            ssize_t n = read(peer, buffer, sizeof buffer);
            if (n <= 0) break;
            got.append(buffer, size_t(n));
        }
        return got;
    }
    PtyPorts ports;
    int peer = -1;
    SioPort port;
};

TEST_F(Sio, AFailedOpenGivesTheStatusAndTheReason) {
    EXPECT_EQ(SioOpen(Path("ttyGONE"), 3, &port), SioNotFound);
    EXPECT_NE(port.reason.find("not found"), std::string::npos) << port.reason;
    EXPECT_EQ(SioOpen("/dev/null", 3, &port), SioSystemError);
    EXPECT_NE(port.reason.find("not a serial port"), std::string::npos) << port.reason;

    SioPort holder;
    ASSERT_EQ(SioOpen(Path("ttyS0"), 3, &holder), SioOk);
    EXPECT_EQ(SioOpen(Path("ttyS0"), 3, &port), SioSystemError);
    EXPECT_NE(port.reason.find("is busy"), std::string::npos) << port.reason;
    if (access("/run/lock", W_OK) == 0) {
        EXPECT_NE(port.reason.find("held by process " + std::to_string(getpid())),
                  std::string::npos)
            << port.reason;
    }
    EXPECT_EQ(SioClose(&holder), SioOk);
    EXPECT_EQ(SioClose(&holder), SioInvalidHandle);
    EXPECT_EQ(SioOpen(Path("ttyS0"), 3, &port), SioOk);  // free again
}

TEST_F(Sio, SetuartSetsRateStopBitsAndFlowControl) {
    ASSERT_EQ(SioOpen(Path("ttyS0"), 3, &port), SioOk);
    struct Case {
        long baud;
        int stopBits, options;
    } const cases[] = {{9600, 1, 0},
                       {19200, 2, SetuartXonXoff},
                       {134, 1, SetuartCtsRts},
                       {50, 3, SetuartXonXoff | SetuartCtsRts}};
    for (const Case& c : cases) {
        ASSERT_EQ(_setuart(&port, c.baud, 8, c.stopBits, 0, c.options), 0) << port.reason;
        LineSettings s;
        ASSERT_TRUE(ReadLineSettings(peer, &s));  // a pty master reports its slave's line
        EXPECT_EQ(s.baud, unsigned(c.baud));
        EXPECT_EQ(s.stopBits, c.stopBits == 2 ? 2 : 1);
        EXPECT_EQ(s.xonXoff, bool(c.options & SetuartXonXoff));
        EXPECT_EQ(s.ctsFlow, bool(c.options & SetuartCtsRts));
    }
}

TEST_F(Sio, SetuartOnAClosedPortSaysWhichCallFailed) {
    EXPECT_NE(_setuart(&port, 9600, 8, 1, 0, 0), 0);
    EXPECT_EQ(port.reason.rfind("GetCommState (in _setuart (in nt_sio)) returned failure: ", 0), 0u)
        << port.reason;
}

TEST_F(Sio, TransfersCountBytesAndEndByTheirTimeout) {
    ASSERT_EQ(SioOpen(Path("ttyS0"), 3, &port), SioOk);
    ASSERT_EQ(_setuart(&port, 9600, 8, 1, 0, 0), 0);
    const uint8_t out[] = {0x1B, 'O', 'P', 0x00, 0xFF};
    int moved = 0;
    EXPECT_EQ(SioWrite(&port, SioNoTimeout, out, 5, &moved), SioOk);
    EXPECT_EQ(moved, 5);
    EXPECT_EQ(PeerRead(5), std::string("\x1BOP\x00\xFF", 5));

    ASSERT_EQ(write(peer, "xyz", 3), 3);
    uint8_t in[8] = {};
    EXPECT_EQ(SioRead(&port, 10, in, 4, &moved), SioShort);  // 100 ms, three bytes came
    EXPECT_EQ(moved, 3);
    EXPECT_EQ(std::string(in, in + 3), "xyz");
    EXPECT_EQ(SioRead(&port, 0, in, 1, &moved), SioShort);
    EXPECT_EQ(SioReadAvailable(&port, in, 8, &moved), SioOk);
    EXPECT_EQ(moved, 0);
    EXPECT_EQ(port.offset, 8u);
}

}  // namespace
