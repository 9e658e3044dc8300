// Timed serial reads and writes on a pty: short reads end by their time,
// writes account for every byte handed over, a vanished far end is reported
// as lost, and XON/XOFF holds output back.
#include "link/serial_io.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include "common/pty_pair.h"
#include "link/serial_device.h"
#include "link/serial_termios.h"

namespace {

struct OpenDevice {
    explicit OpenDevice(const PtyPair& pty) {
        std::string reason;
        ok = OpenSerialDevice(pty.SlavePath(), &device, &reason);
        LineSettings s;
        s.ctsFlow = false;
        if (ok) ApplyLineSettings(device.fd, s);
    }
    ~OpenDevice() { CloseSerialDevice(&device); }
    SerialDevice device;
    bool ok = false;
};

TEST(SerialIo, AReadEndsWhenItsTimeRunsOutAndKeepsWhatCame) {
    PtyPair pty;
    OpenDevice d(pty);
    ASSERT_TRUE(d.ok);
    pty.Write({'a', 'b', 'c'});
    uint8_t buffer[8] = {};
    size_t moved = 0;
    EXPECT_EQ(ReadSerialTimed(d.device.fd, buffer, 5, 200, &moved), SerialIo::Timeout);
    EXPECT_EQ(moved, 3u);
    EXPECT_EQ(std::string(buffer, buffer + 3), "abc");
    EXPECT_EQ(ReadSerialTimed(d.device.fd, buffer, 1, 0, &moved), SerialIo::Timeout);
    EXPECT_EQ(moved, 0u);
    pty.Write({'d', 'e'});
    EXPECT_EQ(ReadSerialTimed(d.device.fd, buffer, 2, -1, &moved), SerialIo::Done);
    EXPECT_EQ(std::string(buffer, buffer + 2), "de");
}

TEST(SerialIo, AWriteThatCannotFinishSaysHowMuchWentOut) {
    PtyPair pty;
    OpenDevice d(pty);
    ASSERT_TRUE(d.ok);
    Bytes out(200000);
    for (size_t i = 0; i < out.size(); ++i) out[i] = uint8_t(i * 7);
    size_t moved = 0;
    // Nobody reads the far end, so the queues fill and the write runs out of time.
    EXPECT_EQ(WriteSerialTimed(d.device.fd, out.data(), out.size(), 200, &moved),
              SerialIo::Timeout);
    ASSERT_GT(moved, 0u);
    ASSERT_LT(moved, out.size());
    Bytes got = pty.Read(moved + 1, Millis(500));
    EXPECT_EQ(got, Bytes(out.begin(), out.begin() + moved));
}

TEST(SerialIo, AFarEndThatGoesAwayIsLostForReadsAndWrites) {
    PtyPair pty;
    OpenDevice d(pty);
    ASSERT_TRUE(d.ok);
    pty.CloseMaster();
    uint8_t buffer[4] = {};
    size_t moved = 0;
    EXPECT_EQ(ReadSerialTimed(d.device.fd, buffer, 4, 2000, &moved), SerialIo::Lost);
    EXPECT_EQ(WriteSerialTimed(d.device.fd, buffer, 1, 2000, &moved), SerialIo::Lost);
    EXPECT_EQ(ReadSerialTimed(d.device.fd, buffer, 1, -1, &moved), SerialIo::Lost);
}

TEST(SerialIo, XoffHoldsOutputUntilXon) {
    PtyPair pty;
    OpenDevice d(pty);
    ASSERT_TRUE(d.ok);
    LineSettings s;
    s.ctsFlow = false;
    s.xonXoff = true;
    ASSERT_TRUE(ApplyLineSettings(d.device.fd, s));
    LineSettings back;
    ASSERT_TRUE(ReadLineSettings(pty.Master(), &back));
    EXPECT_TRUE(back.xonXoff);
    pty.Write({0x13});
    // The line discipline takes the XOFF in when it processes input; a read
    // that finds nothing makes sure it has.
    uint8_t none[1];
    size_t moved = 0;
    EXPECT_EQ(ReadSerialTimed(d.device.fd, none, 1, 100, &moved), SerialIo::Timeout);
    EXPECT_EQ(moved, 0u);  // flow characters are not passed on
    // A pty queues nothing while its output is stopped, so the write waits.
    const uint8_t a = 'A';
    EXPECT_EQ(WriteSerialTimed(d.device.fd, &a, 1, 200, &moved), SerialIo::Timeout);
    EXPECT_EQ(moved, 0u);
    EXPECT_TRUE(pty.Quiet(Millis(100)));
    pty.Write({0x11});
    EXPECT_EQ(WriteSerialTimed(d.device.fd, &a, 1, 2000, &moved), SerialIo::Done);
    EXPECT_EQ(pty.Read(1), Bytes{'A'});

    s.xonXoff = false;
    ASSERT_TRUE(ApplyLineSettings(d.device.fd, s));
    ASSERT_TRUE(ReadLineSettings(pty.Master(), &back));
    EXPECT_FALSE(back.xonXoff);
    pty.Write({0x13});
    EXPECT_EQ(ReadSerialTimed(d.device.fd, none, 1, 1000, &moved), SerialIo::Done);
    EXPECT_EQ(none[0], 0x13);  // an ordinary byte now
}

}  // namespace
