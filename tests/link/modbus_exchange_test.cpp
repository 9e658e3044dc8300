// Modbus RTU and ASCII requests over a pty against a peer thread: request
// bytes, every reply check and its text.
#include <gtest/gtest.h>

#include <mutex>
#include <string>

#include "link/checksum.h"
#include "link/link_state.h"
#include "link/peer_thread.h"

namespace {

Bytes WithCrc(Bytes frame) {
    uint16_t crc = Crc16(frame.data(), frame.size());
    frame.push_back(uint8_t(crc));
    frame.push_back(uint8_t(crc >> 8));
    return frame;
}

Bytes AsciiFrame(const Bytes& frame) {
    static const char hex[] = "0123456789ABCDEF";
    Bytes out = {':'};
    uint8_t lrc = 0;
    for (uint8_t b : frame)
        out.push_back(uint8_t(hex[b >> 4])), out.push_back(uint8_t(hex[b & 15])),
            lrc = uint8_t(lrc - b);
    out.push_back(uint8_t(hex[lrc >> 4]));
    out.push_back(uint8_t(hex[lrc & 15]));
    out.push_back('\r');
    out.push_back('\n');
    return out;
}

// Collects one request (RTU: by its known length; ASCII: up to LF) and
// answers with the frame the current case gives, framed for the link kind.
class ModbusFarEnd {
  public:
    explicit ModbusFarEnd(bool ascii) : ascii_(ascii) {}
    void Answer(Bytes reply) {
        std::lock_guard<std::mutex> guard(lock_);
        reply_ = std::move(reply);
    }
    Bytes LastRequest() {
        std::lock_guard<std::mutex> guard(lock_);
        return last_;
    }
    PeerThread::Handler Handler() {
        return [this](uint8_t byte) -> Bytes {
            std::lock_guard<std::mutex> guard(lock_);
            pending_.push_back(byte);
            if (!Complete()) return {};
            last_.swap(pending_);
            pending_.clear();
            return ascii_ ? AsciiFrame(reply_) : WithCrc(reply_);
        };
    }

  private:
    bool Complete() const {
        if (ascii_) return pending_.back() == '\n';
        if (pending_.size() < 7) return false;
        size_t length = pending_[1] == 0x10   ? 9 + pending_[6]
                        : pending_[1] == 0x15 ? 5 + pending_[2]
                                              : 8;
        return pending_.size() >= length;
    }
    bool ascii_;
    std::mutex lock_;
    Bytes pending_, last_, reply_;
};

struct ReplyCase {
    const char* name;
    int op;  // 0 read, 1 write (16), 2 input read, 3 input write (21)
    Bytes reply;
    int result;
    const char* text;
    LinkFailure failure;
};

const ReplyCase kReplies[] = {
    {"read", 0, {1, 3, 4, 0x12, 0x34, 0, 1}, 2, "No reply to read command", LinkFailure::NoReply},
    {"input read", 2, {1, 4, 4, 0, 7, 0, 8}, 2, "No reply to read command", LinkFailure::NoReply},
    {"read wrong drop",
     0,
     {2, 3, 4, 0, 0, 0, 0},
     0,
     "Read reply had wrong drop",
     LinkFailure::StrayReply},
    {"read exception",
     0,
     {1, 0x83, 2},
     0,
     "Modbus error reply 2 ILLEGAL DATA ADDRESS",
     LinkFailure::ErrorReply},
    {"read exception without text",
     0,
     {1, 0x83, 13},
     0,
     "Modbus error reply 13",
     LinkFailure::ErrorReply},
    {"read wrong opcode",
     0,
     {1, 4, 4, 0, 0, 0, 0},
     0,
     "Read reply had wrong opcode",
     LinkFailure::StrayReply},
    {"read byte count",
     0,
     {1, 3, 6, 0, 0, 0, 0, 0, 0},
     0,
     "Reply length 6 doesn't match query 2",
     LinkFailure::StrayReply},
    {"read wrong size",
     0,
     {1, 3, 4, 0, 0, 0, 0, 0},
     0,
     "Read reply was wrong size",
     LinkFailure::StrayReply},
    {"write", 1, {1, 0x10, 0, 9, 0, 2}, 2, "No reply to write command", LinkFailure::NoReply},
    {"write exception",
     1,
     {1, 0x90, 2},
     0,
     "Modbus error reply 2 ILLEGAL DATA ADDRESS",
     LinkFailure::ErrorReply},
    {"write reply short of its echo",
     1,
     {1, 0x10, 0, 9, 0},
     0,
     "Write reply was wrong size",
     LinkFailure::StrayReply},
    {"write wrong drop",
     1,
     {3, 0x10, 0, 9, 0, 2},
     0,
     "Write reply had wrong drop",
     LinkFailure::StrayReply},
    {"write wrong opcode",
     1,
     {1, 0x06, 0, 9, 0, 2},
     0,
     "Write reply had wrong opcode",
     LinkFailure::StrayReply},
    {"input write",
     3,
     {1, 0x15, 11, 3, 0, 0, 0, 9, 0, 2, 0xAB, 0xCD, 0x00, 0x01},
     2,
     "No reply to write command",
     LinkFailure::NoReply},
    {"input write exception",
     3,
     {1, 0x95, 4},
     0,
     "Modbus error reply 4 SLAVE DEVICE FAILURE",
     LinkFailure::ErrorReply},
    {"input write echo cut short",
     3,
     {1, 0x15, 11, 3, 0, 0, 0, 9, 0, 2},
     0,
     "Write reply was wrong size",
     LinkFailure::StrayReply},
    {"input write wrong opcode",
     3,
     {1, 0x16, 11, 3, 0, 0, 0, 9, 0, 2, 0xAB, 0xCD, 0x00, 0x01},
     0,
     "Write reply had wrong opcode",
     LinkFailure::StrayReply},
};

const Bytes kRequests[] = {
    {1, 3, 0, 9, 0, 2},
    {1, 0x10, 0, 9, 0, 2, 4, 0xAB, 0xCD, 0x00, 0x01},
    {1, 4, 0, 9, 0, 2},
    {1, 0x15, 11, 3, 0, 0, 0, 9, 0, 2, 0xAB, 0xCD, 0x00, 0x01},
};

class ModbusExchange : public ::testing::TestWithParam<bool> {};

TEST_P(ModbusExchange, RequestsAndReplyChecks) {
    bool ascii = GetParam();
    PtyPair pty;
    ModbusFarEnd farEnd(ascii);
    PeerThread peer(pty, farEnd.Handler());
    LinkHandle owner = ascii ? OpenModbusAsciiLink(pty.SlavePath().c_str(), 1)
                             : OpenModbusRtuLink(pty.SlavePath().c_str(), 1);
    Link* link = owner.get();
    ASSERT_NE(link, nullptr);
    SetSerialParameters(link, 19200, 1, 1, 100, 8);
    for (const ReplyCase& c : kReplies) {
        SCOPED_TRACE(c.name);
        farEnd.Answer(c.reply);
        uint16_t values[2] = {0xABCD, 0x0001};
        int result = c.op == 0   ? RegisterRead(link, 10, 2, values)
                     : c.op == 1 ? RegisterWrite(link, 10, 2, values)
                     : c.op == 2 ? InputRegisterRead(link, 10, 2, values)
                                 : InputRegisterWrite(link, 10, 2, values);
        EXPECT_EQ(result, c.result);
        EXPECT_STREQ(LinkErrorText(link), c.text);
        EXPECT_EQ(LinkFailureOf(link), c.failure);
        Bytes request = ascii ? AsciiFrame(kRequests[c.op]) : WithCrc(kRequests[c.op]);
        EXPECT_EQ(farEnd.LastRequest(), request);
        if (c.op == 0 && c.result) {
            EXPECT_EQ(values[0], 0x1234);
        }
    }
    owner.reset();
}

INSTANTIATE_TEST_SUITE_P(Framing, ModbusExchange, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Ascii" : "Rtu"; });

// The pause ends the frame: its first part fails the CRC, and the request
// fails naming the damage rather than a missing reply.
TEST(ModbusRtuExchange, AReplyCutByAPauseFailsItsCheck) {
    PtyPair pty;
    LinkHandle owner = OpenModbusRtuLink(pty.SlavePath().c_str(), 1);
    Link* link = owner.get();
    ASSERT_NE(link, nullptr);
    SetSerialParameters(link, 19200, 1, 1, 40, 8);  // read interval 12 ms
    uint16_t values[2];
    int result = -1;
    std::thread request([&] { result = RegisterRead(link, 1, 2, values); });
    pty.Read(8);
    Bytes reply = WithCrc({1, 3, 4, 0, 1, 0, 2});
    pty.Write(Bytes(reply.begin(), reply.begin() + 4));
    EXPECT_TRUE(pty.Quiet(Millis(40)));  // longer than the read interval
    pty.Write(Bytes(reply.begin() + 4, reply.end()));
    request.join();
    EXPECT_EQ(result, 0);
    EXPECT_STREQ(LinkErrorText(link), "Reply failed its CRC check");
    EXPECT_EQ(LinkFailureOf(link), LinkFailure::DamagedReply);
    owner.reset();
}

}  // namespace
