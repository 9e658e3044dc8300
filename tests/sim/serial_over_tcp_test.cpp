// The simulator's serial protocols on a TCP port, as a serial device server
// in raw mode would carry them: the frames of the line, byte for byte, one
// connection at a time.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "common/sim_process.h"
#include "link/checksum.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes WithCrc(Bytes frame) {
    const uint16_t crc = Crc16(frame.data(), frame.size());
    frame.push_back(uint8_t(crc));
    frame.push_back(uint8_t(crc >> 8));
    return frame;
}

int Connect(int port) {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(uint16_t(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

// What arrives within the time, up to count bytes.
Bytes Receive(int fd, size_t count, int ms = 3000) {
    Bytes got;
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (got.size() < count) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            end - std::chrono::steady_clock::now());
        pollfd p{fd, POLLIN, 0};
        if (left.count() <= 0 || poll(&p, 1, int(left.count())) <= 0) break;
        uint8_t buffer[256];
        const ssize_t n = read(fd, buffer, std::min(sizeof buffer, count - got.size()));
        if (n <= 0) break;
        got.insert(got.end(), buffer, buffer + n);
    }
    return got;
}

void Send(int fd, const Bytes& bytes) {
    ASSERT_EQ(write(fd, bytes.data(), bytes.size()), ssize_t(bytes.size()));
}

// Register 1 of drop 1 set to 0x1234 at start; a read of it, and its reply.
const Bytes kRead = WithCrc({1, 3, 0, 0, 0, 1});
const Bytes kReply = WithCrc({1, 3, 2, 0x12, 0x34});

TEST(SerialOverTcp, EachConnectionIsALineWithAFreshReceiver) {
    SimProcess sim({"--protocol", "rtu", "--listen", "127.0.0.1:0", "--set", "1=0x1234"});
    ASSERT_TRUE(sim.OnTcp());
    // A first client reads, then goes away half way through a request.
    int fd = Connect(sim.TcpPort());
    ASSERT_GE(fd, 0);
    Send(fd, kRead);
    EXPECT_EQ(Receive(fd, kReply.size()), kReply);
    Send(fd, Bytes(kRead.begin(), kRead.begin() + 3));
    close(fd);
    // The next client's request is not appended to that half.
    fd = Connect(sim.TcpPort());
    ASSERT_GE(fd, 0);
    Send(fd, kRead);
    EXPECT_EQ(Receive(fd, kReply.size()), kReply);
    close(fd);
}

// A second client waits until the first has gone: two masters on one
// serial line would talk over each other.
TEST(SerialOverTcp, ASecondClientIsServedOnlyWhenTheFirstHasGone) {
    SimProcess sim({"--protocol", "rtu", "--listen", "127.0.0.1:0", "--set", "1=0x1234"});
    const int first = Connect(sim.TcpPort());
    const int second = Connect(sim.TcpPort());
    ASSERT_GE(first, 0);
    ASSERT_GE(second, 0);
    Send(first, kRead);
    EXPECT_EQ(Receive(first, kReply.size()), kReply);
    Send(second, kRead);
    EXPECT_TRUE(Receive(second, 1, 300).empty());
    close(first);
    EXPECT_EQ(Receive(second, kReply.size()), kReply);
    close(second);
}

}  // namespace
