// A Modbus TCP link against a scripted loopback server: frames on the wire,
// replies to other transactions, timeouts, aborts, resets and reconnects.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <string>

#include "link/link_state.h"
#include "link/modbus_tcp.h"
#include "link/tcp_peer.h"
#include "link/tcp_socket.h"

namespace {

constexpr int kUnit = 7;

class TcpLinkTest : public ::testing::Test {
  protected:
    void Start(TcpPeer::Handler handler) {
        peer_ = std::make_unique<TcpPeer>(std::move(handler));
        ASSERT_TRUE(peer_->Listening());
        owner_ = OpenModbusTcpLink("127.0.0.1", peer_->Port(), kUnit);
        link_ = owner_.get();
        ASSERT_NE(link_, nullptr);
    }
    void TearDown() override {
        owner_.reset();
        peer_.reset();
    }
    // Reads register 1 count 2, true when the pattern values came.
    bool ReadWorks() {
        uint16_t values[2] = {};
        return RegisterRead(link_, 1, 2, values) == 2 && values[0] == 1 && values[1] == 4;
    }
    std::unique_ptr<TcpPeer> peer_;
    LinkHandle owner_;
    Link* link_ = nullptr;
};

struct IdleCounter {
    int calls = 0;
    int abortAt = -1;  // the call that returns 0 (Esc)
    static int Count(void* argument) {
        auto* self = static_cast<IdleCounter*>(argument);
        return ++self->calls != self->abortAt;
    }
};

TEST_F(TcpLinkTest, RequestsCarryTheNextTransactionAndTheUnit) {
    Start(PatternAnswer);
    link_->transactionCounter = 0x1233;
    link_->route.count = 1;
    uint16_t values[2] = {};
    ASSERT_EQ(RegisterRead(link_, 1, 2, values), 2) << LinkErrorText(link_);
    EXPECT_EQ(peer_->Requests().at(0), (Frame{0x12, 0x34, 0, 0, 0, 6, 1, 3, 0, 0, 0, 2}));
}

TEST_F(TcpLinkTest, EachOperationUsesItsFunction) {
    Start(PatternAnswer);
    uint16_t values[3] = {10, 20, 30};
    struct Case {
        const char* name;
        int (*op)(Link*, int, int, uint16_t*);
        uint8_t function;
    } kCases[] = {
        {"RegisterRead", RegisterRead, 3},
        {"InputRegisterRead", InputRegisterRead, 4},
        {"RegisterWrite",
         [](Link* l, int r, int c, uint16_t* v) { return RegisterWrite(l, r, c, v); }, 0x10},
        {"InputRegisterWrite",
         [](Link* l, int r, int c, uint16_t* v) { return InputRegisterWrite(l, r, c, v); }, 0x15},
    };
    for (const Case& c : kCases) {
        ASSERT_EQ(c.op(link_, 20000, 3, values), 3) << c.name << ": " << LinkErrorText(link_);
        Frame request = peer_->Requests().back();
        EXPECT_EQ(request[6], kUnit) << c.name;
        EXPECT_EQ(request[7], c.function) << c.name;
    }
    // Register 20000 is no obstacle on Modbus: its wire address is 19999.
    uint16_t read[3];
    ASSERT_EQ(RegisterRead(link_, 20000, 3, read), 3);
    EXPECT_EQ(read[0], uint16_t(19999 * 3 + 1));
}

TEST_F(TcpLinkTest, ReplyToAnOlderTransactionIsSkipped) {
    Start([](const Frame& request) {
        uint16_t t = TransactionOf(request);
        Frame stale = MbapFrame(uint16_t(t - 1), kUnit, {3, 4, 0xDE, 0xAD, 0xBE, 0xEF});
        PeerAnswer answer = PatternAnswer(request);
        stale.insert(stale.end(), answer.bytes.begin(), answer.bytes.end());
        return PeerAnswer{stale};
    });
    EXPECT_TRUE(ReadWorks()) << LinkErrorText(link_);
}

TEST_F(TcpLinkTest, StaleReplyAcrossTheCounterWrapIsSkippedToo) {
    Start([](const Frame& request) {
        Frame stale = MbapFrame(0xFFFF, kUnit, {3, 4, 0xDE, 0xAD, 0xBE, 0xEF});
        PeerAnswer answer = PatternAnswer(request);
        stale.insert(stale.end(), answer.bytes.begin(), answer.bytes.end());
        return PeerAnswer{stale};
    });
    link_->transactionCounter = 0;  // this request is transaction 1
    EXPECT_TRUE(ReadWorks()) << LinkErrorText(link_);
}

// A frame of another protocol than Modbus (protocol id not 0) answers
// nothing, even under the request's transaction identifier.
TEST_F(TcpLinkTest, ReplyOfAnotherProtocolIsSkipped) {
    std::atomic<bool> thenGood{true};
    Start([&thenGood](const Frame& request) {
        Frame foreign = PatternAnswer(request).bytes;
        foreign[3] = 1;
        for (size_t i = 9; i < foreign.size(); ++i) foreign[i] = 0xEE;
        if (thenGood) {
            Frame good = PatternAnswer(request).bytes;
            foreign.insert(foreign.end(), good.begin(), good.end());
        }
        return PeerAnswer{foreign};
    });
    EXPECT_TRUE(ReadWorks()) << LinkErrorText(link_);
    thenGood = false;
    SetSerialParameters(link_, 9600, 0, 1, 10, 8);
    EXPECT_FALSE(ReadWorks());
    EXPECT_STREQ(LinkErrorText(link_), "Reply timeout");
    EXPECT_EQ(LinkFailureOf(link_), LinkFailure::NoReply);
}

TEST_F(TcpLinkTest, ExceptionRepliesGiveTheirTexts) {
    struct Case {
        uint8_t code;
        const char* text;
        LinkFailure failure;
    } kCases[] = {{2, "Modbus error reply 2 ILLEGAL DATA ADDRESS", LinkFailure::ErrorReply},
                  {13, "Modbus error reply 13", LinkFailure::ErrorReply}};
    std::atomic<uint8_t> code{0};
    Start([&code](const Frame& request) {
        return PeerAnswer{
            MbapFrame(TransactionOf(request), kUnit, {uint8_t(request[7] | 0x80), code})};
    });
    for (const Case& c : kCases) {
        code = c.code;
        uint16_t values[2];
        EXPECT_EQ(RegisterRead(link_, 1, 2, values), 0);
        EXPECT_STREQ(LinkErrorText(link_), c.text);
        EXPECT_EQ(LinkFailureOf(link_), c.failure);
    }
}

TEST_F(TcpLinkTest, SilentServerTimesOutAfterTheTicks) {
    Start([](const Frame&) { return PeerAnswer{}; });
    IdleCounter idle;
    SetLinkIdleCallback(link_, IdleCounter::Count, &idle);
    SetSerialParameters(link_, 9600, 0, 1, 20, 8);
    uint16_t values[2];
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(RegisterRead(link_, 1, 2, values), 0);
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_STREQ(LinkErrorText(link_), "Reply timeout");
    EXPECT_EQ(LinkFailureOf(link_), LinkFailure::NoReply);
    // The wait lasts the reply time (20 ticks of 10 ms), with one idle call
    // per tick without bytes: 20 on time, fewer when a loaded machine runs
    // the ticks late, never more.
    EXPECT_GE(took, std::chrono::milliseconds(190));
    EXPECT_LE(idle.calls, 20);
    EXPECT_GE(idle.calls, 1);
}

TEST_F(TcpLinkTest, EscWhileWaitingAborts) {
    Start([](const Frame&) { return PeerAnswer{}; });
    IdleCounter idle;
    idle.abortAt = 3;
    SetLinkIdleCallback(link_, IdleCounter::Count, &idle);
    uint16_t values[2];
    EXPECT_EQ(RegisterRead(link_, 1, 2, values), 0);
    EXPECT_STREQ(LinkErrorText(link_), "Application idle abort");
    EXPECT_EQ(LinkFailureOf(link_), LinkFailure::Aborted);
    EXPECT_EQ(idle.calls, 3);
}

// A length field beyond the buffer cannot start a reply: its bytes are
// dropped while the receiver looks for the request's header, and the next
// request finds the stream in step.
TEST_F(TcpLinkTest, OversizedLengthFieldIsNoReplyAndTheStreamStaysInStep) {
    std::atomic<int> requests{0};
    Start([&requests](const Frame& request) {
        if (requests++ > 0) return PatternAnswer(request);
        Frame big = MbapFrame(TransactionOf(request), kUnit, {3, 4}, 400);
        big.resize(6 + 400, 0x55);  // the whole announced frame follows
        return PeerAnswer{big};
    });
    SetSerialParameters(link_, 9600, 0, 1, 20, 8);
    uint16_t values[2];
    EXPECT_EQ(RegisterRead(link_, 1, 2, values), 0);
    EXPECT_STREQ(LinkErrorText(link_), "Reply timeout");
    EXPECT_EQ(LinkFailureOf(link_), LinkFailure::NoReply);
    EXPECT_TRUE(ReadWorks()) << LinkErrorText(link_);
}

// A reply given up half-way: its rest comes only after the next request
// went out (the drain before it found nothing). The next request finds its
// own header by transaction and takes its own reply, whatever the split.
TEST_F(TcpLinkTest, TheRestOfAnAbandonedReplyNeverReachesTheNextRequest) {
    for (size_t split : {1u, 5u, 7u, 9u, 12u}) {
        SCOPED_TRACE(split);
        std::atomic<int> requests{0};
        auto rest = std::make_shared<Frame>();
        Start([&requests, rest, split](const Frame& request) {
            PeerAnswer answer = PatternAnswer(request);
            if (requests++ == 0) {
                rest->assign(answer.bytes.begin() + long(split), answer.bytes.end());
                answer.bytes.resize(split);
                return answer;
            }
            answer.bytes.insert(answer.bytes.begin(), rest->begin(), rest->end());
            rest->clear();
            return answer;
        });
        SetSerialParameters(link_, 9600, 0, 1, 5, 8);
        uint16_t values[2];
        EXPECT_EQ(RegisterRead(link_, 1, 2, values), 0);
        EXPECT_STREQ(LinkErrorText(link_), "Reply timeout");
        EXPECT_EQ(LinkFailureOf(link_), LinkFailure::NoReply);
        SetSerialParameters(link_, 9600, 0, 1, 100, 8);
        EXPECT_TRUE(ReadWorks()) << LinkErrorText(link_);
        owner_.reset();
        link_ = nullptr;
        peer_.reset();
    }
}

TEST_F(TcpLinkTest, OversizedFrameThatNeverEndsStillEndsInTicks) {
    Start([](const Frame& request) {
        return PeerAnswer{MbapFrame(TransactionOf(request), kUnit, {3, 4}, 0xFFFF)};
    });
    SetSerialParameters(link_, 9600, 0, 1, 5, 8);
    uint16_t values[2];
    EXPECT_EQ(RegisterRead(link_, 1, 2, values), 0);
    EXPECT_STREQ(LinkErrorText(link_), "Reply timeout");
    EXPECT_EQ(LinkFailureOf(link_), LinkFailure::NoReply);
}

TEST_F(TcpLinkTest, ResetDuringReadReconnectsForTheNextRead) {
    std::atomic<int> requests{0};
    Start([&requests](const Frame& request) {
        if (requests++ == 0) return PeerAnswer{{}, PeerAnswer::Reset};
        return PatternAnswer(request);
    });
    uint16_t values[2];
    EXPECT_EQ(RegisterRead(link_, 1, 2, values), 0);
    EXPECT_STREQ(LinkErrorText(link_), "Read: Circuit reset by peer");
    EXPECT_EQ(LinkFailureOf(link_), LinkFailure::ConnectionLost);
    EXPECT_TRUE(ReadWorks()) << LinkErrorText(link_);
    EXPECT_TRUE(ReadWorks()) << LinkErrorText(link_);
    EXPECT_EQ(peer_->Connections(), 2);
}

TEST_F(TcpLinkTest, PeerClosingDuringReadFailsAtOnceAndReconnects) {
    std::atomic<int> requests{0};
    Start([&requests](const Frame& request) {
        if (requests++ == 0) return PeerAnswer{{}, PeerAnswer::Close};
        return PatternAnswer(request);
    });
    IdleCounter idle;
    SetLinkIdleCallback(link_, IdleCounter::Count, &idle);
    uint16_t values[2];
    EXPECT_EQ(RegisterRead(link_, 1, 2, values), 0);
    EXPECT_STREQ(LinkErrorText(link_), "Read: The socket is not connected");
    EXPECT_EQ(LinkFailureOf(link_), LinkFailure::ConnectionLost);
    EXPECT_LT(idle.calls, 100);  // not waited out to the reply timeout
    EXPECT_TRUE(ReadWorks()) << LinkErrorText(link_);
}

TEST_F(TcpLinkTest, ConnectionDroppedBetweenRequestsIsRenewedBeforeSending) {
    struct Case {
        const char* name;
        PeerAnswer::Then how;
    } kCases[] = {{"closed", PeerAnswer::Close}, {"reset", PeerAnswer::Reset}};
    Start(PatternAnswer);
    int connections = 1;
    for (const Case& c : kCases) {
        ASSERT_TRUE(ReadWorks()) << c.name;
        peer_->DropConnection(c.how);
        // The drop is seen once the client's socket reads the end.
        pollfd p{TcpLinkSocket(link_), POLLIN, 0};
        ASSERT_EQ(poll(&p, 1, 3000), 1) << c.name;
        EXPECT_TRUE(ReadWorks()) << c.name << ": " << LinkErrorText(link_);
        EXPECT_EQ(peer_->Connections(), ++connections) << c.name;
    }
}

// The refusal names the operation the user asked for: a read that could not
// connect sent nothing.
TEST_F(TcpLinkTest, ServerGoneGivesTheRefusalNamingTheOperation) {
    std::atomic<int> requests{0};
    Start([&requests](const Frame& request) {
        if (requests++ == 0) return PeerAnswer{{}, PeerAnswer::Reset};
        return PatternAnswer(request);
    });
    ASSERT_TRUE(peer_->AwaitConnections(1));
    peer_->StopListening();
    uint16_t values[2];
    EXPECT_EQ(RegisterRead(link_, 1, 2, values), 0);
    EXPECT_STREQ(LinkErrorText(link_), "Read: Circuit reset by peer");
    EXPECT_EQ(LinkFailureOf(link_), LinkFailure::ConnectionLost);  // reconnect refused
    EXPECT_EQ(RegisterRead(link_, 1, 2, values), 0);
    EXPECT_STREQ(LinkErrorText(link_), "Read: Connection refused");
    EXPECT_EQ(LinkFailureOf(link_), LinkFailure::ConnectionLost);
    EXPECT_EQ(RegisterWrite(link_, 1, 2, values), 0);
    EXPECT_STREQ(LinkErrorText(link_), "Write: Connection refused");
    EXPECT_EQ(LinkFailureOf(link_), LinkFailure::ConnectionLost);
    // The server's thread ends before its count goes out of scope: only the
    // request it reset ever reached it.
    peer_.reset();
    EXPECT_EQ(requests.load(), 1);
}

// With the server down each request fails with the refusal, but a caller
// polling in a loop gets one connect attempt per 100 ms, not thousands.
TEST_F(TcpLinkTest, ReconnectsToAServerThatIsDownArePaced) {
    Start(PatternAnswer);
    ASSERT_TRUE(peer_->AwaitConnections(1));
    peer_->StopListening();
    peer_->DropConnection(PeerAnswer::Close);
    uint16_t values[2];
    auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(RegisterRead(link_, 1, 2, values), 0);
        // The first may still meet the old connection as it closes.
        if (i > 0) {
            EXPECT_STREQ(LinkErrorText(link_), "Read: Connection refused");
            EXPECT_EQ(LinkFailureOf(link_), LinkFailure::ConnectionLost);
        }
    }
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
}

TEST_F(TcpLinkTest, WriteCountsBeyondTheByteCountAreRefused) {
    Start(PatternAnswer);
    std::vector<uint16_t> values(128, 1);
    struct Case {
        int (*op)(Link*, int, int, const uint16_t*);
        int count;
        int result;
    } kCases[] = {
        {RegisterWrite, 127, 127},
        {RegisterWrite, 128, 0},
        {InputRegisterWrite, 124, 124},
        {InputRegisterWrite, 125, 0},
    };
    for (const Case& c : kCases) {
        EXPECT_EQ(c.op(link_, 1, c.count, values.data()), c.result) << c.count;
        if (!c.result) {
            EXPECT_STREQ(LinkErrorText(link_), "Illegal write count");
            EXPECT_EQ(LinkFailureOf(link_), LinkFailure::NotPossible);
        }
    }
    EXPECT_EQ(peer_->Requests().size(), 2u);
}

TEST(TcpLinkOpen, OpensByAddressOrNameAndFailsWithoutAPeer) {
    TcpPeer peer4(PatternAnswer, AF_INET);
    TcpPeer peer6(PatternAnswer, AF_INET6);
    ASSERT_TRUE(peer4.Listening());
    struct Case {
        const char* host;
        int port;
        bool opens;
    } kCases[] = {
        {"127.0.0.1", peer4.Port(), true},
        {"localhost", peer4.Port(), true},
        {"::1", peer6.Port(), peer6.Listening()},
        {"no such host!", peer4.Port(), false},
        {"127.0.0.1", 0, false},  // port 0 never accepts a connection
    };
    for (const Case& c : kCases) {
        std::string reason;
        LinkHandle owner = OpenModbusTcpLink(c.host, c.port, 1, &reason);
        Link* link = owner.get();
        EXPECT_EQ(link != nullptr, c.opens) << c.host << ": " << reason;
        if (!link) continue;
        uint16_t values[1];
        EXPECT_EQ(RegisterRead(link, 5, 1, values), 1) << c.host << ": " << LinkErrorText(link);
        EXPECT_EQ(values[0], 13) << c.host;
    }
}

// A send to a connection the peer has reset must fail, not end the program.
TEST(TcpSocketSend, ToAResetConnectionRaisesNoSignal) {
    TcpPeer peer(PatternAnswer);
    PeerAddress address;
    ASSERT_TRUE(ResolvePeer("127.0.0.1", peer.Port(), &address));
    int fd = ConnectSocket(address, nullptr, nullptr);
    ASSERT_GE(fd, 0);
    ASSERT_TRUE(peer.AwaitConnections(1));
    peer.DropConnection(PeerAnswer::Reset);
    pollfd p{fd, POLLIN, 0};
    ASSERT_EQ(poll(&p, 1, 3000), 1);
    struct sigaction old {
    }, dfl{};
    dfl.sa_handler = SIG_DFL;
    sigaction(SIGPIPE, &dfl, &old);
    const uint8_t frame[12] = {};
    long first = SendBytes(fd, frame, 12), second = SendBytes(fd, frame, 12);
    sigaction(SIGPIPE, &old, nullptr);
    EXPECT_TRUE(first < 0 || second < 0);
    CloseSocket(fd);
}

}  // namespace
