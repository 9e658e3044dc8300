// Sy/Max requests over a pty against a peer thread that plays the far end:
// the request frames, every reply check, NAK and retry, and timeouts.
#include <gtest/gtest.h>
#include <poll.h>
#include <time.h>

#include <optional>
#include <thread>

#include "common/wait_until.h"
#include "link/link_state.h"
#include "link/peer_thread.h"
#include "link/symax_frame.h"

namespace {

constexpr uint8_t DLE = 0x10, NAK = 0x15;

// Answers each good frame with DLE and its tag, then with reply(data) as a
// frame when that gives one; records the request data.
PeerThread::Handler SyMaxFarEnd(Shared<Bytes>& requests,
                                std::function<std::optional<Bytes>(const Bytes&)> reply,
                                bool crc = false, std::chrono::milliseconds ackDelay = {}) {
    auto reader = std::make_shared<SyMaxFrameReader>(crc);
    return [=, &requests](uint8_t byte) -> Bytes {
        SyMaxFrameEvent event = reader->Feed(byte);
        if (event.kind == SyMaxFrameEvent::Broken) return {DLE, NAK};
        if (event.kind != SyMaxFrameEvent::Frame) return {};
        requests.Add(event.data);
        if (ackDelay.count()) std::this_thread::sleep_for(ackDelay);  // a slow device
        Bytes out = {DLE, event.tag};
        if (auto data = reply(event.data)) {
            Bytes frame = EncodeSyMaxFrame(0x11, {'0', '1'}, *data, crc);
            out.insert(out.end(), frame.begin(), frame.end());
        }
        return out;
    };
}

class SyMaxExchange : public ::testing::Test {
  protected:
    void Open(bool crc = false, bool priority = false, int baud = 19200, int timeout = 300) {
        LinkRoute route{1, {1}};
        owner = OpenSyMaxLink(pty.SlavePath().c_str(), 0, route);
        link = owner.get();
        ASSERT_NE(link, nullptr);
        SetSerialParameters(link, baud, 1, 1, timeout, 8);
        SetSyMaxOptions(link, crc, priority);
    }
    PtyPair pty;
    LinkHandle owner;
    Link* link = nullptr;
    Shared<Bytes> requests;
};

Bytes ReadReply(const Bytes& request, Bytes words) {
    Bytes reply = {0x86, request[1], 0, 0};
    reply.insert(reply.end(), words.begin(), words.end());
    return reply;
}

TEST_F(SyMaxExchange, ReadRequestsCarryOffsetCountAndTransactionNumber) {
    struct Case {
        int reg, count;
        bool priority;
        uint16_t counter;
        Bytes data;  // with the transaction number in place
    } const cases[] = {
        {1, 1, false, 0, {0x00, 0x00, 0x00, 0x00, 0x00, 0x00}},
        {4096, 128, false, 0x1234, {0x00, 0x34, 0x1F, 0xFE, 0x00, 0x7F}},
        {4096, 2, true, 0x47, {0x20, 0x07, 0, 0, 0, 0x1F, 0xFE, 0x00, 0x01}},
    };
    for (const Case& c : cases) {
        PtyPair casePty;
        Shared<Bytes> seen;
        PeerThread peer(casePty, SyMaxFarEnd(seen, [](const Bytes& r) {
                            return ReadReply(r, {0, 7});
                        }));
        LinkHandle lOwner = OpenSyMaxLink(casePty.SlavePath().c_str(), 0, LinkRoute{1, {1}});
        Link* l = lOwner.get();
        ASSERT_NE(l, nullptr);
        SetSerialParameters(l, 19200, 1, 1, 300, 8);
        SetSyMaxOptions(l, 0, c.priority);
        l->transactionCounter = c.counter;
        uint16_t values[128] = {};
        EXPECT_EQ(RegisterRead(l, c.reg, c.count, values), 1);  // the reply carries one register
        EXPECT_EQ(values[0], 7);
        ASSERT_EQ(seen.Items().size(), 1u);
        EXPECT_EQ(seen.Items()[0], c.data);
        lOwner.reset();
    }
}

TEST_F(SyMaxExchange, WriteRequestsCarryTheWordsHighByteFirst) {
    PeerThread peer(pty, SyMaxFarEnd(requests, [](const Bytes& r) { return Bytes{0x80, r[1]}; }));
    Open();
    link->transactionCounter = 0;  // where the numbers below start
    const uint16_t values[] = {0x1234, 0x0010};
    EXPECT_EQ(RegisterWrite(link, 3, 2, values), 2);
    SetSyMaxOptions(link, 0, 1);
    EXPECT_EQ(RegisterWrite(link, 3, 2, values), 2);
    auto seen = requests.Items();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0], (Bytes{0x02, 0x00, 0x00, 0x04, 0x12, 0x34, 0x00, 0x10, 0xFF, 0xFF}));
    EXPECT_EQ(seen[1], (Bytes{0x1E, 0x01, 0x00, 0x00, 0x04, 0x12, 0x34, 0x00, 0x10}));
}

struct ReplyCase {
    const char* name;
    bool write;
    std::function<Bytes(const Bytes&)> reply;
    int result;
    const char* text;
    LinkFailure failure;
};

const ReplyCase kReplies[] = {
    {"data 86", false,
     [](const Bytes& r) {
         return ReadReply(r, {0, 1, 0, 2, 0, 3});
     },
     3, "Read reply timeout", LinkFailure::NoReply},
    {"data 86 more than asked", false,
     [](const Bytes& r) {
         return ReadReply(r, {0, 1, 0, 2, 0, 3, 0, 4, 0, 5});
     },
     4, "Read reply timeout", LinkFailure::NoReply},
    {"data 90", false, [](const Bytes& r) { return Bytes{0x90, r[1], 0, 0, 0, 0, 0, 0, 9}; }, 1,
     "Read reply timeout", LinkFailure::NoReply},
    {"data 90 status", false,
     [](const Bytes& r) {
         return Bytes{0x90, r[1], 0, 0, 5};
     },
     0, "(5) Instruction Not Allowed", LinkFailure::ErrorReply},
    {"read error A2", false,
     [](const Bytes& r) {
         return Bytes{0xA2, r[1], 29};
     },
     0, "(29) Illegal Route", LinkFailure::ErrorReply},
    {"read other opcode", false,
     [](const Bytes& r) {
         return Bytes{0x55, r[1]};
     },
     0, "Can't deal with Reply Opcode 0x55.", LinkFailure::StrayReply},
    {"read no whole register", false,
     [](const Bytes& r) {
         return Bytes{0x86, r[1], 0, 0, 7};
     },
     0, "Read reply timeout", LinkFailure::NoReply},
    {"write done 80", true,
     [](const Bytes& r) {
         return Bytes{0x80, r[1]};
     },
     4, "previous", LinkFailure::None},
    {"write done 92", true,
     [](const Bytes& r) {
         return Bytes{0x92, r[1], 0, 0, 0};
     },
     4, "previous", LinkFailure::None},
    {"write 92 status", true,
     [](const Bytes& r) {
         return Bytes{0x92, r[1], 0, 0, 5};
     },
     0, "(5) Instruction Not Allowed", LinkFailure::ErrorReply},
    {"write error A2", true,
     [](const Bytes& r) {
         return Bytes{0xA2, r[1], 7};
     },
     0, "(7) Protected Register", LinkFailure::ErrorReply},
    {"write other opcode", true,
     [](const Bytes& r) {
         return Bytes{0x86, r[1]};
     },
     0, "Write reply invalid", LinkFailure::StrayReply},
};

TEST_F(SyMaxExchange, RepliesAreCheckedByOpcode) {
    const ReplyCase* current = nullptr;
    std::mutex lock;
    PeerThread peer(pty, SyMaxFarEnd(requests, [&](const Bytes& r) {
                        std::lock_guard<std::mutex> guard(lock);
                        return std::optional<Bytes>(current->reply(r));
                    }));
    Open();
    for (const ReplyCase& c : kReplies) {
        SCOPED_TRACE(c.name);
        {
            std::lock_guard<std::mutex> guard(lock);
            current = &c;
        }
        SetLinkError(link, LinkFailure::None, "previous");
        uint16_t values[4] = {};
        int result =
            c.write ? RegisterWrite(link, 10, 4, values) : RegisterRead(link, 10, 4, values);
        EXPECT_EQ(result, c.result);
        EXPECT_STREQ(LinkErrorText(link), c.text);
        EXPECT_EQ(LinkFailureOf(link), c.failure);
    }
}

TEST_F(SyMaxExchange, CrcFramesBothWays) {
    PeerThread peer(pty, SyMaxFarEnd(
                             requests,
                             [](const Bytes& r) {
                                 return ReadReply(r, {0x10, 0x10});
                             },
                             true));
    Open(true);
    uint16_t value = 0;
    EXPECT_EQ(RegisterRead(link, 1, 1, &value), 1);
    EXPECT_EQ(value, 0x1010);
}

TEST_F(SyMaxExchange, InputRegisterReadIsACarriedModbusRequest) {
    struct Case {
        Bytes reply;  // after 0x92 0xBA
        int result;
        const char* text;
        LinkFailure failure;
    } const cases[] = {
        {{0, 0, 4, 4, 0x12, 0x34, 0x56, 0x78}, 2, "Read reply timeout", LinkFailure::NoReply},
        {{0, 0, 0x84, 2}, 0, "Modbus error reply 2 ILLEGAL DATA ADDRESS", LinkFailure::ErrorReply},
        {{0, 0, 0x04, 29}, 0, "(29) Illegal Route", LinkFailure::ErrorReply},
    };
    const Case* current = nullptr;
    std::mutex lock;
    PeerThread peer(pty, SyMaxFarEnd(requests, [&](const Bytes&) {
                        std::lock_guard<std::mutex> guard(lock);
                        Bytes reply = {0x92, 0xBA};
                        reply.insert(reply.end(), current->reply.begin(), current->reply.end());
                        return std::optional<Bytes>(reply);
                    }));
    Open();
    for (const Case& c : cases) {
        {
            std::lock_guard<std::mutex> guard(lock);
            current = &c;
        }
        uint16_t values[2] = {};
        EXPECT_EQ(InputRegisterRead(link, 300, 2, values), c.result);
        EXPECT_STREQ(LinkErrorText(link), c.text);
        EXPECT_EQ(LinkFailureOf(link), c.failure);
        if (c.result) {
            EXPECT_EQ(values[1], 0x5678);
        }
    }
    EXPECT_EQ(requests.Items()[0], (Bytes{0x22, 0xBA, 0xD5, 0x00, 0x04, 0x01, 0x2B, 0x00, 0x02}));
}

// Each write of fill bytes lasts as long as the line takes to carry it, so
// the 32 inquiries outlast a slow acknowledge; a frame given up instead would
// leave its tag, and the next frame would repeat it.
TEST_F(SyMaxExchange, AnAcknowledgeAfterAHundredMillisecondsAtNineSixHundredIsWaitedFor) {
    Shared<uint8_t> tags;
    auto reader = std::make_shared<SyMaxFrameReader>(false);
    PeerThread peer(pty, [&, reader](uint8_t byte) -> Bytes {
        SyMaxFrameEvent event = reader->Feed(byte);
        if (event.kind != SyMaxFrameEvent::Frame) return {};
        tags.Add(event.tag);
        std::this_thread::sleep_for(std::chrono::milliseconds(100));  // a slow device
        Bytes out = {DLE, event.tag};
        Bytes frame = EncodeSyMaxFrame(0x11, {'0', '1'}, ReadReply(event.data, {0, 42}), false);
        out.insert(out.end(), frame.begin(), frame.end());
        return out;
    });
    Open(false, false, 9600);
    uint16_t value = 0;
    EXPECT_EQ(RegisterRead(link, 1, 1, &value), 1);
    EXPECT_EQ(value, 42);
    EXPECT_EQ(RegisterRead(link, 1, 1, &value), 1);
    EXPECT_EQ(tags.Items(), (std::vector<uint8_t>{0x11, 0x12}));
}

TEST_F(SyMaxExchange, ACorruptedReplyIsRefusedAndTheRepeatAccepted) {
    std::atomic<int> replies{0};
    auto reader = std::make_shared<SyMaxFrameReader>(false);
    auto lastReply = std::make_shared<Bytes>();
    PeerThread peer(pty, [&, reader, lastReply](uint8_t byte) -> Bytes {
        SyMaxFrameEvent event = reader->Feed(byte);
        if (event.kind == SyMaxFrameEvent::Control && event.control == NAK) {
            replies++;
            return *lastReply;  // repeat, this time intact
        }
        if (event.kind != SyMaxFrameEvent::Frame) return {};
        *lastReply = EncodeSyMaxFrame(0x11, {'0', '1'}, ReadReply(event.data, {0, 5}), false);
        Bytes out = {DLE, event.tag};
        out.insert(out.end(), lastReply->begin(), lastReply->end());
        out.back() ^= 0xFF;
        replies++;
        return out;
    });
    Open();
    uint16_t value = 0;
    EXPECT_EQ(RegisterRead(link, 1, 1, &value), 1);
    EXPECT_EQ(value, 5);
    EXPECT_EQ(replies.load(), 2);
}

TEST_F(SyMaxExchange, EightNaksAreRetriedThenTheFrameIsDroppedAndTheReadTimesOut) {
    std::atomic<int> frames{0};
    auto reader = std::make_shared<SyMaxFrameReader>(false);
    PeerThread peer(pty, [&, reader](uint8_t byte) -> Bytes {
        if (reader->Feed(byte).kind != SyMaxFrameEvent::Frame) return {};
        frames++;
        return {DLE, NAK};
    });
    Open(false, false, 19200, 60);
    uint16_t value;
    EXPECT_EQ(RegisterRead(link, 1, 1, &value), 0);
    EXPECT_STREQ(LinkErrorText(link), "Read reply timeout");
    EXPECT_EQ(LinkFailureOf(link), LinkFailure::NoReply);
    EXPECT_EQ(frames.load(), 9);
}

TEST_F(SyMaxExchange, NoReplyEndsWithTheTimeoutTexts) {
    Open(false, false, 19200, 5);
    uint16_t value = 0;
    EXPECT_EQ(RegisterRead(link, 1, 1, &value), 0);
    EXPECT_STREQ(LinkErrorText(link), "Read reply timeout");
    EXPECT_EQ(LinkFailureOf(link), LinkFailure::NoReply);
    EXPECT_EQ(RegisterWrite(link, 1, 1, &value), 0);
    EXPECT_STREQ(LinkErrorText(link), "Write reply timeout");
    EXPECT_EQ(LinkFailureOf(link), LinkFailure::NoReply);
    EXPECT_EQ(InputRegisterRead(link, 1, 1, &value), 0);
    EXPECT_STREQ(LinkErrorText(link), "Read reply timeout");
    EXPECT_EQ(LinkFailureOf(link), LinkFailure::NoReply);
}

int AbortWait(void*) { return 0; }

TEST_F(SyMaxExchange, IdleAbortLeavesTheAbortTextOnReadsAndTheTimeoutTextOnWrites) {
    Open();
    SetLinkIdleCallback(link, AbortWait, nullptr);
    uint16_t value = 0;
    EXPECT_EQ(RegisterRead(link, 1, 1, &value), 0);
    EXPECT_STREQ(LinkErrorText(link), "Application idle abort");
    EXPECT_EQ(LinkFailureOf(link), LinkFailure::Aborted);
    EXPECT_EQ(RegisterWrite(link, 1, 1, &value), 0);
    EXPECT_STREQ(LinkErrorText(link), "Write reply timeout");
    EXPECT_EQ(LinkFailureOf(link), LinkFailure::NoReply);
}

TEST_F(SyMaxExchange, TheFarEndVanishingMidRequestEndsInTheTimeoutAndANewLinkWorks) {
    Open(false, false, 19200, 30);
    uint16_t value = 0;
    int result = -1;
    std::thread request([&] { result = RegisterRead(link, 1, 1, &value); });
    pty.Read(3);  // the request has started
    pty.CloseMaster();
    request.join();
    EXPECT_EQ(result, 0);
    EXPECT_STREQ(LinkErrorText(link), "Read reply timeout");
    EXPECT_EQ(LinkFailureOf(link), LinkFailure::NoReply);
    // The vanished device reads as ready forever: the reader must not spin on
    // it. It gives the device up, and a request says so at once.
    ASSERT_TRUE(WaitUntil([&] { return LinkPortLost(link); }));
    timespec cpu0, cpu1;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &cpu0);
    poll(nullptr, 0, 300);  // a window to measure the reader in, not a wait for it
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &cpu1);
    double cpu = (cpu1.tv_sec - cpu0.tv_sec) + (cpu1.tv_nsec - cpu0.tv_nsec) / 1e9;
    EXPECT_LT(cpu, 0.15) << "cpu " << cpu << " s in 0.3 s";
    EXPECT_EQ(RegisterRead(link, 1, 1, &value), 0);
    EXPECT_EQ(std::string(LinkErrorText(link)).rfind("Lost port ", 0), 0u) << LinkErrorText(link);
    EXPECT_EQ(LinkFailureOf(link), LinkFailure::LostPort);
    owner.reset();
    link = nullptr;

    PtyPair again;
    Shared<Bytes> seen;
    PeerThread peer(again, SyMaxFarEnd(seen, [](const Bytes& r) { return ReadReply(r, {0, 9}); }));
    owner = OpenSyMaxLink(again.SlavePath().c_str(), 0, LinkRoute{1, {1}});
    link = owner.get();
    ASSERT_NE(link, nullptr);
    EXPECT_EQ(RegisterRead(link, 1, 1, &value), 1);
    EXPECT_EQ(value, 9);
}

}  // namespace
