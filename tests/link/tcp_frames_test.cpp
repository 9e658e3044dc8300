// Modbus TCP without a socket: host texts, request frames, reply assembly and
// checks, and the socket error texts.
#include <gtest/gtest.h>
#include <netinet/in.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "link/mbap_frame.h"
#include "link/socket_errors.h"
#include "link/tcp_socket.h"

namespace {

using Bytes = std::vector<uint8_t>;

TEST(TcpHostText, DottedQuadIsTakenOnlyWhenItIsFourBytes) {
    struct Case {
        const char* text;
        bool quad;
        uint8_t bytes[4];
    } kCases[] = {
        {"127.0.0.1", true, {127, 0, 0, 1}},
        {"10.200.3.255", true, {10, 200, 3, 255}},
        {"0.0.0.0", true, {0, 0, 0, 0}},
        {"256.0.0.1", false, {}},  // not silently 0.0.0.1
        {"1.2.3", false, {}},
        {"1.2.3.4.5", false, {}},
        {"1.2.3.4 ", false, {}},
        {" 1.2.3.4", false, {}},
        {"1..3.4", false, {}},
        {"1.2.3.0004", false, {}},
        {"localhost", false, {}},
        {"", false, {}},
    };
    for (const Case& c : kCases) {
        uint8_t bytes[4] = {9, 9, 9, 9};
        EXPECT_EQ(ParseDottedQuad(c.text, bytes), c.quad) << c.text;
        if (c.quad) {
            EXPECT_EQ(0, memcmp(bytes, c.bytes, 4)) << c.text;
        }
    }
}

TEST(TcpHostText, NamesResolveAndBadNamesDoNot) {
    struct Case {
        const char* host;
        bool resolves;
        int family;
    } kCases[] = {
        {"127.0.0.1", true, AF_INET},
        {"localhost", true, AF_INET},  // from /etc/hosts, first address
        {"::1", true, AF_INET6},
        {"no such host!", false, 0},  // invalid characters: refused without a lookup
    };
    for (const Case& c : kCases) {
        PeerAddress peer;
        ASSERT_EQ(ResolvePeer(c.host, 502, &peer), c.resolves) << c.host;
        if (!c.resolves) continue;
        EXPECT_EQ(peer.address.ss_family, c.family) << c.host;
        uint16_t port = c.family == AF_INET
                            ? reinterpret_cast<sockaddr_in*>(&peer.address)->sin_port
                            : reinterpret_cast<sockaddr_in6*>(&peer.address)->sin6_port;
        EXPECT_EQ(ntohs(port), 502) << c.host;
    }
}

TEST(MbapRequestFrames, AreByteExact) {
    const uint16_t values[] = {0x0102, 0xFFFF};
    struct Case {
        const char* name;
        uint8_t function;
        int start, count;
        Bytes expected;
    } kCases[] = {
        {"read holding", 3, 0, 2, {0x12, 0x34, 0, 0, 0, 6, 1, 3, 0, 0, 0, 2}},
        {"read input", 4, 0x1FFF, 1, {0x12, 0x34, 0, 0, 0, 6, 1, 4, 0x1F, 0xFF, 0, 1}},
        {"write multiple",
         0x10,
         9,
         2,
         {0x12, 0x34, 0, 0, 0, 11, 1, 0x10, 0, 9, 0, 2, 4, 1, 2, 0xFF, 0xFF}},
        {"general reference", 0x15, 9, 2, {0x12, 0x34, 0, 0, 0, 14, 1, 0x15, 11,   3,
                                           0,    0,    0, 9, 0, 2,  1, 2,    0xFF, 0xFF}},
    };
    for (const Case& c : kCases) {
        MbapRequest request{0x1234, 1, c.function, c.count};
        uint8_t out[kMbapRequestSize];
        int n = c.function == 0x10   ? BuildMbapWrite(request, c.start, values, out)
                : c.function == 0x15 ? BuildMbapGeneralReferenceWrite(request, c.start, values, out)
                                     : BuildMbapRead(request, c.start, out);
        EXPECT_EQ(Bytes(out, out + n), c.expected) << c.name;
    }
}

Bytes Reply(uint8_t unit, Bytes pdu, int lengthField = -1) {
    int length = lengthField >= 0 ? lengthField : int(pdu.size()) + 1;
    Bytes frame = {0, 7, 0, 0, uint8_t(length >> 8), uint8_t(length), unit};
    // Appended byte by byte: GCC 12 misreads a range insert here at -O2 (-Warray-bounds).
    for (uint8_t b : pdu) frame.push_back(b);
    return frame;
}

TEST(MbapReplyCheck, GivesTheTextOfEachFault) {
    struct Case {
        const char* name;
        uint8_t function;
        Bytes frame;
        const char* text;  // null: accepted
    } kCases[] = {
        {"good read", 3, Reply(5, {3, 4, 0, 1, 0, 2}), nullptr},
        {"good write", 0x10, Reply(5, {0x10, 0, 0, 0, 2}), nullptr},
        {"good general reference", 0x15, Reply(5, {0x15, 11}), nullptr},
        {"other unit", 3, Reply(6, {3, 4, 0, 1, 0, 2}), "Reply drop doesn't match query"},
        {"exception 2", 3, Reply(5, {0x83, 2}), "Modbus error reply 2 ILLEGAL DATA ADDRESS"},
        {"exception 11", 0x10, Reply(5, {0x90, 11}),
         "Modbus error reply 11 DOWNSTREAM DEVICE DIDN'T RESPOND"},
        {"exception 13", 3, Reply(5, {0x83, 13}), "Modbus error reply 13"},
        {"exception 0", 4, Reply(5, {0x84, 0}), "Modbus error reply 0"},
        {"exception of another function", 3, Reply(5, {0x84, 2}),
         "Reply opcode doesn't match query"},
        {"other function", 3, Reply(5, {4, 4, 0, 1, 0, 2}), "Reply opcode doesn't match query"},
        {"byte count", 3, Reply(5, {3, 6, 0, 1, 0, 2, 0, 3}),
         "Reply length 6 doesn't match query 2"},
        {"data missing", 3, Reply(5, {3, 4, 0, 1}), "Read reply was wrong size"},
        {"no byte count", 3, Reply(5, {3}), "Read reply was wrong size"},
        {"no function code", 0x10, Reply(5, {}), "Write reply was wrong size"},
        {"exception without code", 3, Reply(5, {0x83}), "Read reply was wrong size"},
    };
    for (const Case& c : kCases) {
        MbapRequest request{7, 5, c.function, 2};
        char text[84] = {};
        const char* fault =
            CheckMbapReply(request, c.frame.data(), int(c.frame.size()), text, sizeof text);
        if (!c.text)
            EXPECT_EQ(fault, nullptr) << c.name << ": " << text;
        else
            EXPECT_STREQ(fault ? fault : "(accepted)", c.text) << c.name;
    }
}

TEST(MbapReplyCheck, ReadValuesAreHighByteFirst) {
    Bytes frame = Reply(1, {3, 4, 0x12, 0x34, 0xFF, 0xFE});
    uint16_t values[2];
    MbapReadValues(frame.data(), 2, values);
    EXPECT_EQ(values[0], 0x1234);
    EXPECT_EQ(values[1], 0xFFFE);
}

// Feeds a frame in the chunk sizes given (each at most what is wanted).
MbapProgress Feed(const Bytes& frame, std::vector<int> chunks, MbapReceiver* receiver,
                  uint8_t* buffer) {
    MbapProgress progress = MbapProgress::More;
    size_t at = 0;
    for (int chunk : chunks) {
        int n = std::min(chunk, MbapBytesWanted(*receiver));
        EXPECT_GE(n, 0);
        memcpy(buffer + receiver->received, frame.data() + at, size_t(n));
        at += size_t(n);
        progress = MbapAccept(*receiver, buffer, n);
        if (progress != MbapProgress::More) break;
    }
    return progress;
}

TEST(MbapReceiver, AssemblesTheFrameTheLengthFieldAnnounces) {
    Bytes frame = Reply(1, {3, 4, 0, 1, 0, 2});
    struct Case {
        std::vector<int> chunks;
        MbapProgress progress;
        int received;
    } kCases[] = {
        {{6, 7}, MbapProgress::Complete, 13},
        {{1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1}, MbapProgress::Complete, 13},
        {{6, 0, 3, 0, 4}, MbapProgress::Complete, 13},
        {{6, 6}, MbapProgress::More, 12},
        {{100, 100}, MbapProgress::Complete, 13},  // never asks beyond the frame
    };
    for (const Case& c : kCases) {
        MbapReceiver receiver;
        uint8_t buffer[kMbapBufferSize];
        EXPECT_EQ(Feed(frame, c.chunks, &receiver, buffer), c.progress);
        EXPECT_EQ(receiver.received, c.received);
    }
}

TEST(MbapReceiver, RefusesALengthBeyondTheBuffer) {
    struct Case {
        int lengthField;
        MbapProgress progress;
        long left;
    } kCases[] = {
        {kMbapBufferSize - 6, MbapProgress::More, kMbapBufferSize - 6},
        {kMbapBufferSize - 5, MbapProgress::TooLarge, kMbapBufferSize - 5},
        {0xFFFF, MbapProgress::TooLarge, 0xFFFF},
    };
    for (const Case& c : kCases) {
        Bytes header = Reply(1, {}, c.lengthField);
        MbapReceiver receiver;
        uint8_t buffer[kMbapBufferSize];
        EXPECT_EQ(Feed(header, {6}, &receiver, buffer), c.progress) << c.lengthField;
        EXPECT_EQ(MbapBytesLeft(receiver), c.left);
        EXPECT_LE(receiver.received + MbapBytesWanted(receiver), kMbapBufferSize);
    }
}

TEST(SocketErrors, TextsAndReconnectRuleFollowTheMappedCodes) {
    struct Case {
        int posixError;
        const char* prefix;
        const char* text;
        bool reconnect;
    } kCases[] = {
        {ECONNRESET, "Read", "Read: Circuit reset by peer", true},
        {EPIPE, "Write", "Write: The socket is not connected", true},
        {ENOTCONN, "Read", "Read: The socket is not connected", true},
        {ETIMEDOUT, "Read", "Read: Connection dropped by network or peer failure", true},
        {ECONNABORTED, "Write", "Write: Circuit terminated by time-out or failure", true},
        {ENETRESET, "Read", "Read: Connection broken by keep-alive failure", true},
        {ENETDOWN, "Write", "Write: The network subsystem has failed", false},
        {EMSGSIZE, "Read", "Read: Reply message too large", false},
        {EFAULT, "Write", "Write: Buffer overflow or protection fault", false},
        {ENOTSOCK, "Read", "Read: Handle corruption S", false},
        // The rest in the system's own words.
        {ECONNREFUSED, "Read", "Read: Connection refused", false},
        {EHOSTUNREACH, "Write", "Write: No route to host", false},
        {ENOMEM, "Read", "Read: Cannot allocate memory", false},
    };
    for (const Case& c : kCases) {
        char text[84];
        bool reconnect = FormatSocketError(c.prefix, c.posixError, text, sizeof text);
        EXPECT_STREQ(text, c.text) << strerror(c.posixError);
        EXPECT_EQ(reconnect, c.reconnect) << strerror(c.posixError);
    }
}

}  // namespace
