// The Sy/Max state machines fed byte by byte: frames, checks, stuffing,
// acknowledge, NAK, inquiry and busy handling.
#include "link/symax_state.h"

#include <gtest/gtest.h>

#include "link/bare_link.h"
#include "link/symax_frame.h"
#include "link/symax_route.h"

namespace {

constexpr uint8_t DLE = 0x10, ENQ = 0x05, DC1 = 0x11, DC2 = 0x12, NAK = 0x15, SYN = 0x16;
const Bytes kRoute01 = {'0', '1', 0xFF, 0xFF};

Bytes Cat(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

Bytes Fills(int n) { return Bytes(size_t(n), 0xFE); }

struct FrameCase {
    const char* name;
    bool crc;
    Bytes data;
    Bytes wire;
};

const FrameCase kFrames[] = {
    {"bcc sample",
     false,
     {0x00},
     {0x10, 0x01, 0x11, 0x30, 0x31, 0x10, 0x02, 0x00, 0x10, 0x03, 0x69}},
    {"crc sample",
     true,
     {0x00},
     {0x10, 0x01, 0x11, 0x30, 0x31, 0x10, 0x02, 0x00, 0x10, 0x03, 0x53, 0x39}},
    // 0x10 is doubled on the wire and counted twice: 0x97 + 0x10 + 0x10 - 0x00.
    {"stuffed dle",
     false,
     {0x10},
     {0x10, 0x01, 0x11, 0x30, 0x31, 0x10, 0x02, 0x10, 0x10, 0x10, 0x03, 0x49}},
};

class SyMaxFrames : public ::testing::TestWithParam<FrameCase> {};

TEST_P(SyMaxFrames, TransmitterSendsTheFrameByteExact) {
    const FrameCase& c = GetParam();
    BareLink link(LinkSyMax);
    if (c.crc) link->framing->lineFlags |= LineCrcMode;
    link.Queue(kRoute01, c.data);
    EXPECT_EQ(link.Pull(c.wire.size()), c.wire);
}

TEST_P(SyMaxFrames, ReceiverAcceptsTheFrameAndAcknowledgesItsTag) {
    const FrameCase& c = GetParam();
    BareLink link(LinkSyMax);
    if (c.crc) link->framing->lineFlags |= LineCrcMode;
    SyMax(link.get()).expectedTransaction =
        0;  // the second data byte of these frames is absent (0)
    link.Feed(c.wire);
    ASSERT_EQ(link.Replies(), 1);
    Packet* reply = link->replyQueue.head;
    EXPECT_EQ(Bytes(reply->data, reply->data + reply->length), c.data);
    EXPECT_EQ(Bytes(reply->address, reply->address + 4), kRoute01);
    EXPECT_EQ(link.Pull(), (Bytes{DLE, DC1}));
}

TEST_P(SyMaxFrames, ReceiverRefusesAFrameWithABadCheck) {
    FrameCase c = GetParam();
    BareLink link(LinkSyMax);
    if (c.crc) link->framing->lineFlags |= LineCrcMode;
    c.wire.back() ^= 0x01;
    link.Feed(c.wire);
    EXPECT_EQ(link.Replies(), 0);
    EXPECT_EQ(link.Pull(), (Bytes{DLE, NAK}));
}

INSTANTIATE_TEST_SUITE_P(Vectors, SyMaxFrames, ::testing::ValuesIn(kFrames), [](const auto& info) {
    std::string name = info.param.name;
    for (char& ch : name) ch = isalnum(ch) ? ch : '_';
    return name;
});

TEST(SyMaxTransmitter, AwaitsTheAcknowledgeWithFillsAndInquiriesThenGivesUp) {
    BareLink link(LinkSyMax);
    link.Queue(kRoute01, {0x00});
    int freeBefore = FreePacketCount(link.get());
    link.Pull(11);  // the frame
    Bytes expected;
    for (int i = 0; i < 32; ++i) expected = Cat(Cat(expected, Fills(10)), {DLE, ENQ});
    expected = Cat(expected, Fills(10));
    EXPECT_EQ(link.Pull(expected.size()), expected);
    EXPECT_EQ(link.Pull(), Bytes{});  // dropped: nothing more to send
    EXPECT_EQ(link->framing->transmitState, 0);
    EXPECT_EQ(FreePacketCount(link.get()), freeBefore + 1);
    EXPECT_EQ(SyMax(link.get()).nextTag, DC1);  // an unacknowledged frame leaves the tag
}

TEST(SyMaxTransmitter, MatchingAcknowledgeDeliversTheFrameAndTogglesTheTag) {
    BareLink link(LinkSyMax);
    link.Queue(kRoute01, {0x00});
    link.Pull(11 + 3);
    link.Feed({DLE, DC1});
    EXPECT_EQ(link->framing->transmitState, 0);
    EXPECT_EQ(SyMax(link.get()).nextTag, DC2);
    EXPECT_EQ(link.Pull(), Bytes{});
    link.Queue(kRoute01, {0x00});
    EXPECT_EQ(link.Pull(3), (Bytes{DLE, 0x01, DC2}));
}

TEST(SyMaxTransmitter, NakOrWrongTagResendsTheWholeFrame) {
    struct Case {
        const char* name;
        Bytes answer;
    } const cases[] = {{"nak", {DLE, NAK}}, {"other tag", {DLE, DC2}}, {"busy", {DLE, SYN}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        BareLink link(LinkSyMax);
        link.Queue(kRoute01, {0x00});
        Bytes frame = link.Pull(11);
        link.Pull(5);
        link.Feed(c.answer);
        EXPECT_EQ(link.Pull(11), frame);
    }
}

TEST(SyMaxTransmitter, EightNaksAreRetriedAndTheNinthDropsTheFrame) {
    BareLink link(LinkSyMax);
    link.Queue(kRoute01, {0x00});
    Bytes frame = link.Pull(11);
    for (int retry = 0; retry < 8; ++retry) {
        link.Feed({DLE, NAK});
        ASSERT_EQ(link.Pull(11), frame) << "retry " << retry;
    }
    link.Feed({DLE, NAK});
    EXPECT_EQ(link->framing->transmitState, 0);
    EXPECT_EQ(link.Pull(), Bytes{});
}

TEST(SyMaxReceiver, InquiryIsAnsweredWithTheLastControlReply) {
    BareLink link(LinkSyMax);
    link.Feed({DLE, ENQ});
    EXPECT_EQ(link.Pull(), (Bytes{DLE, NAK}));  // nothing received yet
    link.Feed(EncodeSyMaxFrame(DC2, {'0', '1'}, {0x86, 0x00}, false));
    EXPECT_EQ(link.Pull(), (Bytes{DLE, DC2}));
    link.Feed({DLE, ENQ});
    EXPECT_EQ(link.Pull(), (Bytes{DLE, DC2}));
}

TEST(SyMaxReceiver, AFrameOfAnotherTransactionIsAcknowledgedAndDropped) {
    BareLink link(LinkSyMax);
    SyMax(link.get()).expectedTransaction = 5;
    link.Feed(EncodeSyMaxFrame(DC1, {'0', '1'}, {0x86, 0x04, 0, 0, 0, 1}, false));
    EXPECT_EQ(link.Replies(), 0);
    EXPECT_EQ(link.Pull(), (Bytes{DLE, DC1}));
    link.Feed(EncodeSyMaxFrame(DC2, {'0', '1'}, {0x86, 0x05, 0, 0, 0, 1}, false));
    EXPECT_EQ(link.Replies(), 1);
}

TEST(SyMaxReceiver, BrokenFramesAreRefused) {
    struct Case {
        const char* name;
        Bytes wire;
    } const cases[] = {
        {"bad tag", {DLE, 0x01, 0x13, '0', '1', DLE, 0x02, 0, DLE, 0x03, 0}},
        {"route too long", Cat(Cat({DLE, 0x01, DC1}, Bytes(17, '0')), {DLE, 0x02})},
        {"unexpected pair", {DLE, 0x01, DC1, '0', '1', DLE, 0x02, 0, DLE, 0x02}},
        {"data too long", Cat({DLE, 0x01, DC1, DLE, 0x02}, Bytes(264, 0x20))},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        BareLink link(LinkSyMax);
        int freeBefore = FreePacketCount(link.get());
        link.Feed(c.wire);
        EXPECT_EQ(link.Replies(), 0);
        EXPECT_EQ(link.Pull(), (Bytes{DLE, NAK}));
        EXPECT_EQ(FreePacketCount(link.get()), freeBefore);
    }
}

TEST(SyMaxReceiver, AFrameStartWithoutFreePacketAnswersBusy) {
    BareLink link(LinkSyMax);
    std::vector<Packet*> held;
    while (Packet* p = TakeFreePacket(link.get())) held.push_back(p);
    link.Feed({DLE, 0x01});
    EXPECT_EQ(link.Pull(), (Bytes{DLE, SYN}));
    for (Packet* p : held) ReturnFreePacket(link.get(), p);
}

TEST(SyMaxReceiver, AcknowledgeInterleavesWithAFrameInProgressButNotInsideAPair) {
    BareLink link(LinkSyMax);
    link.Queue(kRoute01, {0x00});
    EXPECT_EQ(link.Pull(1), Bytes{DLE});
    link.Feed(EncodeSyMaxFrame(DC1, {}, {0x86, 0x00}, false));
    // DLE SOH stays together; the acknowledge goes out before the tag.
    EXPECT_EQ(link.Pull(5), (Bytes{0x01, DLE, DC1, DC1, '0'}));
}

TEST(SyMaxRoute, EncodesEntriesAsHexPairsEndedByFF) {
    struct Case {
        LinkRoute route;
        Bytes address;
    } const cases[] = {
        {{0, {}}, {0xFF, 0xFF}},
        {{2, {0x7D, 3}}, {'7', 'D', '0', '3', 0xFF, 0xFF}},
        {{2, {125, 0x8000 | 25}}, {'7', 'D', '1' + 0x80, '9', 0xFF, 0xFF}},
        {{8, {1, 2, 3, 4, 5, 6, 7, 0xFF}},
         {'0', '1', '0', '2', '0', '3', '0', '4', '0', '5', '0', '6', '0', '7', 'F', 'F', 0xFF,
          0xFF}},
    };
    for (const Case& c : cases) {
        Packet packet;
        EncodeRoute(&packet, c.route);
        EXPECT_EQ(Bytes(packet.address, packet.address + c.address.size()), c.address);
        EXPECT_TRUE(CheckReplyRoute(&packet));
    }
}

TEST(SyMaxRoute, ReplyRouteCheckRejectsWhatIsNotHexPairs) {
    struct Case {
        Bytes address;
        bool good;
    } const cases[] = {
        {{0xFF}, true},
        {{'a', 'f', 0xFF}, true},
        {{'0' | 0x80, '1', 0xFF}, true},
        {{'0', 'G', 0xFF}, false},
        {{'0', 0xFF}, false},
        {{'0', '1', '2', 0xFF}, false},
        {Bytes(18, '0'), false},
    };
    for (const Case& c : cases) {
        Packet packet;
        std::copy(c.address.begin(), c.address.end(), packet.address);
        EXPECT_EQ(CheckReplyRoute(&packet), c.good) << int(c.address.size());
    }
}

}  // namespace
