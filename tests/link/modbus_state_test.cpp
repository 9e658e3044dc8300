// The Modbus RTU and ASCII state machines fed byte by byte.
#include <gtest/gtest.h>

#include <string>

#include "link/bare_link.h"
#include "link/checksum.h"
#include "link/modbus_protocol.h"

namespace {

Bytes WithCrc(Bytes frame) {
    uint16_t crc = Crc16(frame.data(), frame.size());
    frame.push_back(uint8_t(crc));
    frame.push_back(uint8_t(crc >> 8));
    return frame;
}

Bytes Join(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

Bytes Text(const std::string& s) { return Bytes(s.begin(), s.end()); }

struct RequestCase {
    const char* name;
    LinkKind kind;
    uint8_t drop;
    Bytes pdu;
    Bytes wire;
};

const RequestCase kRequests[] = {
    {"rtu read", LinkModbusRtu, 1, {3, 0, 0, 0, 2}, {1, 3, 0, 0, 0, 2, 0xC4, 0x0B}},
    {"ascii read", LinkModbusAscii, 1, {3, 0, 0, 0, 2}, Text(":010300000002FA\r\n")},
    {"ascii write",
     LinkModbusAscii,
     0x11,
     {0x10, 0, 1, 0, 1, 2, 0xAB, 0xCD},
     Text(":11100001000102ABCD63\r\n")},
};

TEST(ModbusTransmitter, FramesRequestsByteExact) {
    for (const RequestCase& c : kRequests) {
        SCOPED_TRACE(c.name);
        BareLink link(c.kind);
        link.Queue({c.drop}, c.pdu);
        EXPECT_EQ(link.Pull(), c.wire);
        EXPECT_EQ(link->framing->transmitState, 0);
    }
}

class RtuReceiver : public ::testing::Test {
  protected:
    RtuReceiver() : link(LinkModbusRtu) { link->framing->awaitingReply = 1; }
    BareLink link;
};

TEST_F(RtuReceiver, AReplyOfKnownLengthWithGoodCrcIsDeliveredAtOnce) {
    struct Case {
        const char* name;
        Bytes frame;
    } const cases[] = {
        {"read", {1, 3, 4, 0, 10, 0, 11}},
        {"exception", {1, 0x83, 2}},
        {"write", {1, 0x10, 0, 0, 0, 2}},
        {"general reference", {1, 0x15, 9, 3, 0, 0, 0, 0, 0, 1, 0x12, 0x34}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        link.Feed(WithCrc(c.frame));
        ASSERT_EQ(link.Replies(), 1);
        Packet* reply = RemovePacket(link->replyQueue);
        EXPECT_EQ(reply->address[0], c.frame[0]);
        EXPECT_EQ(Bytes(reply->data, reply->data + reply->length),
                  Bytes(c.frame.begin() + 1, c.frame.end()));
        ReturnFreePacket(link.get(), reply);
        EXPECT_EQ(link->framing->receiveState, 0);
    }
}

TEST_F(RtuReceiver, AnUnknownFunctionEndsAtThePause) {
    link.Feed(WithCrc({1, 0x2B, 0x0E, 1}));
    EXPECT_EQ(link.Replies(), 0);
    ModbusRtuEndOfFrame(link.get());
    EXPECT_EQ(link.Replies(), 1);
}

TEST_F(RtuReceiver, AReplyCutByAPauseFailsBothHalves) {
    Bytes frame = WithCrc({1, 3, 4, 0, 10, 0, 11});
    link.Feed(Bytes(frame.begin(), frame.begin() + 4));
    ModbusRtuEndOfFrame(link.get());
    link.Feed(Bytes(frame.begin() + 4, frame.end()));
    ModbusRtuEndOfFrame(link.get());
    EXPECT_EQ(link.Replies(), 0);
}

TEST_F(RtuReceiver, ABadCrcIsDroppedAtThePause) {
    Bytes frame = WithCrc({1, 3, 2, 0, 10});
    frame.back() ^= 1;
    link.Feed(frame);
    ModbusRtuEndOfFrame(link.get());
    EXPECT_EQ(link.Replies(), 0);
}

TEST_F(RtuReceiver, BytesWhileNoRequestWaitsAreDroppedAndDoNotDisturbTheNext) {
    link->framing->awaitingReply = 0;
    link.Feed(WithCrc({1, 3, 2, 0, 10}));
    ModbusRtuEndOfFrame(link.get());
    link->framing->awaitingReply = 1;
    link.Feed(WithCrc({1, 3, 2, 0, 11}));
    ASSERT_EQ(link.Replies(), 1);
    EXPECT_EQ(link->replyQueue.head->data[3], 11);
}

// On a shared line with no pause between frames, a request may start while
// another drop's frame is on the way: the reply is found behind its rest.
TEST_F(RtuReceiver, TheReplyIsFoundBehindTheRestOfAFrameUnderWay) {
    link->route.count = 1;
    const Bytes reply = WithCrc({1, 3, 4, 0, 10, 0, 11});
    const Bytes other = WithCrc({2, 3, 4, 0, 1, 0, 2});
    struct Case {
        const char* name;
        Bytes before;
    } const cases[] = {
        {"rest of another drop's reply", Bytes(other.begin() + 3, other.end())},
        {"another drop's reply whole, then a rest",
         Join(other, Bytes(other.begin() + 5, other.end()))},
        {"a rest holding the drop's address", {0x01, 0x10, 0x01}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        link.Feed(Join(c.before, reply));
        Packet* mine = nullptr;
        while (Packet* p = RemovePacket(link->replyQueue)) {
            if (p->address[0] == 1) std::swap(mine, p);
            ReturnFreePacket(link.get(), p);
        }
        ASSERT_NE(mine, nullptr);
        EXPECT_EQ(Bytes(mine->data, mine->data + mine->length),
                  Bytes(reply.begin() + 1, reply.end() - 2));
        ReturnFreePacket(link.get(), mine);
        EXPECT_EQ(link->framing->receivePacket, nullptr);
    }
}

TEST_F(RtuReceiver, OverflowEndsTheWaitAtOnce) {
    link.Feed(Bytes(300, 0x42));
    EXPECT_TRUE(link->waitCancelled);
    EXPECT_EQ(link->framing->receivePacket, nullptr);
    ModbusRtuEndOfFrame(link.get());
    EXPECT_EQ(link.Replies(), 0);
}

TEST(RtuReplyLength, FollowsFromTheFunctionCode) {
    struct Case {
        Bytes received;
        int length;
    } const cases[] = {
        {{}, 0},     {{3}, 0},    {{3, 4}, 9},      {{4, 250}, 255},
        {{0x83}, 5}, {{0x10}, 8}, {{0x15, 11}, 16}, {{0x2B, 1}, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ExpectedRtuReplyLength(c.received.data(), int(c.received.size())), c.length);
}

class AsciiReceiver : public ::testing::Test {
  protected:
    AsciiReceiver() : link(LinkModbusAscii) { link->framing->awaitingReply = 1; }
    BareLink link;
};

TEST_F(AsciiReceiver, AGoodFrameIsDeliveredWithoutAddressAndLrc) {
    link.Feed(Text(":0103040102ABCD7D\r\n"));
    ASSERT_EQ(link.Replies(), 1);
    Packet* reply = link->replyQueue.head;
    EXPECT_EQ(reply->address[0], 1);
    EXPECT_EQ(Bytes(reply->data, reply->data + reply->length), (Bytes{3, 4, 1, 2, 0xAB, 0xCD}));
}

TEST_F(AsciiReceiver, FramesThatFailAreDropped) {
    struct Case {
        const char* name;
        std::string text;
        bool waitEnded;
    } const cases[] = {
        {"lower-case digits", ":0103040102abcd7d\r\n", false},
        {"bad lrc", ":0103040102ABCD7E\r\n", false},
        {"one byte", ":01\r\n", true},
        {"empty", ":\r\n", true},
        {"overflow", ":" + std::string(530, '0') + "\r\n", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        link->waitCancelled = false;
        link.Feed(Text(c.text));
        EXPECT_EQ(link.Replies(), 0);
        EXPECT_EQ(link->waitCancelled, c.waitEnded);
        EXPECT_EQ(link->framing->receiveState, 0);
    }
}

TEST_F(AsciiReceiver, LinesWhileNoRequestWaitsAreIgnored) {
    link->framing->awaitingReply = 0;
    link.Feed(Text(":0103040102ABCD7D\r\n"));
    EXPECT_EQ(link.Replies(), 0);
}

}  // namespace
