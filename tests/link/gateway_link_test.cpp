// A Gateway link on a pty, with the test playing the gateway: the "A", "R"
// and "W" command lines, the answers, the route bookkeeping and the texts.
#include <gtest/gtest.h>

#include <future>
#include <string>
#include <vector>

#include "common/pty_pair.h"
#include "link/gateway_protocol.h"
#include "link/link_state.h"

namespace {

class GatewayLinkTest : public ::testing::Test {
  protected:
    void SetUp() override {
        LinkRoute route;
        route.count = 2;
        route.entries[0] = 100;
        route.entries[1] = 5;
        owner_ = OpenGatewayLink(pty_.SlavePath().c_str(), route);
        link_ = owner_.get();
        ASSERT_NE(link_, nullptr);
        SetSerialParameters(link_, 9600, 0, 1, 30, 8);
    }
    void TearDown() override { owner_.reset(); }

    // One command line as the gateway receives it, CR included.
    std::string Command() {
        Bytes b =
            pty_.ReadUntil([](const Bytes& got) { return !got.empty() && got.back() == '\r'; });
        return std::string(b.begin(), b.end());
    }
    void Answer(const std::string& text) { pty_.Write(Bytes(text.begin(), text.end())); }

    std::future<int> Read(int reg, int count) {
        return std::async(std::launch::async,
                          [=, this] { return RegisterRead(link_, reg, count, values_); });
    }
    std::future<int> Write(int reg, std::vector<uint16_t> values) {
        return std::async(std::launch::async, [=, this] {
            return RegisterWrite(link_, reg, int(values.size()), values.data());
        });
    }

    PtyPair pty_;
    LinkHandle owner_;
    Link* link_ = nullptr;
    uint16_t values_[128] = {};
};

TEST_F(GatewayLinkTest, RouteGoesFirstAndOnlyWhenItChanged) {
    auto first = Read(40, 3);
    EXPECT_EQ(Command(), "A 100 5\r");
    Answer("\r");
    EXPECT_EQ(Command(), "R 40 3\r");
    Answer("12 7 300\r");
    ASSERT_EQ(first.get(), 3) << LinkErrorText(link_);
    EXPECT_EQ(std::vector<uint16_t>(values_, values_ + 3), (std::vector<uint16_t>{12, 7, 300}));

    auto second = Read(1, 1);
    EXPECT_EQ(Command(), "R 1 1\r");
    Answer("65535\r");
    EXPECT_EQ(second.get(), 1);
    EXPECT_EQ(values_[0], 65535);

    link_->route.entries[1] = 6;
    auto third = Read(1, 1);
    EXPECT_EQ(Command(), "A 100 6\r");
    Answer("\r");
    EXPECT_EQ(Command(), "R 1 1\r");
    Answer("4\r");
    EXPECT_EQ(third.get(), 1);
}

// A line answers a read only when it holds exactly the numbers asked for;
// any other line is dropped and the read waits on for its answer (here none
// comes). A failed read forgets the route, so the next one sets it again.
TEST_F(GatewayLinkTest, ReplyLinesParseToTheirValues) {
    struct Case {
        const char* line;
        int count;
        int result;
        std::vector<uint16_t> values;
        const char* text;
        LinkFailure failure;
    } kCases[] = {
        {"12 -7 300\r", 3, 3, {12, 0xFFF9, 300}, nullptr, LinkFailure::None},  // the sign is kept
        {"-1,2;3\r", 3, 3, {0xFFFF, 2, 3}, nullptr, LinkFailure::None},
        {"4294967295 65536\r", 2, 2, {0xFFFF, 0}, nullptr, LinkFailure::None},  // low 16 bits
        {"1 2 3 4\r", 2, 0, {}, "Read reply too long", LinkFailure::StrayReply},
        {"12 34\r", 3, 0, {}, "Read reply too short", LinkFailure::StrayReply},
        {" 12 34 56\r", 3, 0, {}, "Read reply too short", LinkFailure::StrayReply},
        {"ERR 2\r", 1, 0, {}, "Read reply too short", LinkFailure::StrayReply},
        {"12 ERROR 9\r", 2, 0, {}, "Read reply too short", LinkFailure::StrayReply},
        // Longer than a packet: cut at its 263rd character, in the middle of
        // the 91st number.
        {"71 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20 21 22 23 24 25 26 27 28 29 3"
         "0 31 32 33 34 35 36 37 38 39 40 41 42 43 44 45 46 47 48 49 50 51 52 53 54 55 56 "
         "57 58 59 60 61 62 63 64 65 66 67 68 69 70 71 72 73 74 75 76 77 78 79 80 81 82 83"
         " 84 85 86 87 88 89 90 91 92 93 94 95 96 97 98 99 100\r",
         91,
         0,
         {},
         "Read reply too long",
         LinkFailure::StrayReply},
    };
    for (const Case& c : kCases) {
        auto read = Read(10, c.count);
        std::string command = Command();
        if (command == "A 100 5\r") {
            Answer("\r");
            command = Command();
        }
        EXPECT_EQ(command, "R 10 " + std::to_string(c.count) + "\r") << c.line;
        Answer(c.line);
        EXPECT_EQ(read.get(), c.result) << c.line;
        if (c.text) {
            EXPECT_STREQ(LinkErrorText(link_), c.text) << c.line;
            EXPECT_EQ(LinkFailureOf(link_), c.failure) << c.line;
        } else {
            EXPECT_EQ(std::vector<uint16_t>(values_, values_ + c.values.size()), c.values)
                << c.line;
        }
    }
}

// A line the gateway sends on its own while a read waits (an error line
// nobody asked for) is no answer: the read takes the line that fits.
TEST_F(GatewayLinkTest, ALineThatDoesNotFitIsDroppedAndTheAnswerTaken) {
    struct Case {
        const char* before;
        int count;
    } kCases[] = {{"ERROR 9\r", 1}, {"7 8\r", 1}, {"7\r", 2}, {"\r", 1}};
    for (const Case& c : kCases) {
        auto read = Read(20, c.count);
        std::string command = Command();
        if (command == "A 100 5\r") {
            Answer("\r");
            command = Command();
        }
        EXPECT_EQ(command, "R 20 " + std::to_string(c.count) + "\r");
        Answer(c.before);
        Answer(c.count == 1 ? "41\r" : "41 42\r");
        EXPECT_EQ(read.get(), c.count) << c.before << LinkErrorText(link_);
        EXPECT_EQ(values_[0], 41) << c.before;
    }
}

TEST_F(GatewayLinkTest, WriteSendsSignWidenedValues) {
    auto write = Write(10, {0xFFFF, 0x8000, 0x7FFF, 0});
    EXPECT_EQ(Command(), "A 100 5\r");
    Answer("\r");
    EXPECT_EQ(Command(), "W 10 4294967295 4294934528 32767 0\r");
    Answer("\r");
    EXPECT_EQ(write.get(), 4) << LinkErrorText(link_);
}

TEST_F(GatewayLinkTest, LongWriteIsSplitIntoCommandsThatFit) {
    std::vector<uint16_t> values(33, 0xFFFF);
    auto write = Write(100, values);
    EXPECT_EQ(Command(), "A 100 5\r");
    Answer("\r");
    int sent = 0;
    while (sent < 33) {
        std::string line = Command();
        ASSERT_LE(line.size(), 263u);
        ASSERT_EQ(line.rfind("W " + std::to_string(100 + sent) + " ", 0), 0u) << line;
        for (size_t at = 0; (at = line.find(" 4294967295", at)) != std::string::npos; ++at) ++sent;
        Answer("\r");
    }
    EXPECT_EQ(sent, 33);
    EXPECT_EQ(write.get(), 33) << LinkErrorText(link_);
}

TEST_F(GatewayLinkTest, ErrorLineBeforeTheAcknowledgeForgetsTheRoute) {
    auto write = Write(10, {1});
    EXPECT_EQ(Command(), "A 100 5\r");
    Answer("\r");
    EXPECT_EQ(Command(), "W 10 1\r");
    Answer("ERROR 3\r\r");
    EXPECT_EQ(write.get(), 1);
    auto read = Read(10, 1);
    EXPECT_EQ(Command(), "A 100 5\r");
    Answer("\r");
    EXPECT_EQ(Command(), "R 10 1\r");
    Answer("1\r");
    EXPECT_EQ(read.get(), 1);
}

TEST_F(GatewayLinkTest, MissingAnswersGiveTheirTextsAndForgetTheRoute) {
    struct Case {
        const char* name;
        bool write;
        bool answerRoute;
        const char* text;
        LinkFailure failure;
    } kCases[] = {
        {"no answer to A", false, false, "No valid reply to A command", LinkFailure::NoReply},
        {"no answer to R", false, true, "No reply to R command", LinkFailure::NoReply},
        {"no answer to W", true, true, "No valid reply to W command", LinkFailure::NoReply},
    };
    for (const Case& c : kCases) {
        auto op = c.write ? Write(10, {1}) : Read(10, 1);
        EXPECT_EQ(Command(), "A 100 5\r") << c.name;
        if (c.answerRoute) {
            Answer("\r");
            EXPECT_EQ(Command(), c.write ? "W 10 1\r" : "R 10 1\r") << c.name;
        }
        EXPECT_EQ(op.get(), 0) << c.name;
        EXPECT_STREQ(LinkErrorText(link_), c.text) << c.name;
        EXPECT_EQ(LinkFailureOf(link_), c.failure) << c.name;
    }
}

TEST_F(GatewayLinkTest, StatusPortionIsRefusedBeforeAnythingIsSent) {
    struct Case {
        bool write;
        int reg, count;
        const char* text;
        LinkFailure failure;
    } kCases[] = {
        {false, 8190, 4, "Gateway can't read status portion", LinkFailure::NotPossible},
        {false, 8193, 1, "Gateway can't read status portion", LinkFailure::NotPossible},
        {true, 8192, 2, "Gateway can't write status portion", LinkFailure::NotPossible},
    };
    for (const Case& c : kCases) {
        std::vector<uint16_t> values(size_t(c.count), 0);
        int result = c.write ? RegisterWrite(link_, c.reg, c.count, values.data())
                             : RegisterRead(link_, c.reg, c.count, values.data());
        EXPECT_EQ(result, 0);
        EXPECT_STREQ(LinkErrorText(link_), c.text);
        EXPECT_EQ(LinkFailureOf(link_), c.failure);
    }
    EXPECT_TRUE(pty_.Quiet(Millis(50)));
    // What the kind has no request for says so, nothing being sent.
    uint16_t v;
    EXPECT_EQ(InputRegisterRead(link_, 1, 1, &v), 0);
    EXPECT_STREQ(LinkErrorText(link_), "Input registers are not supported on a Gateway link");
    EXPECT_EQ(LinkFailureOf(link_), LinkFailure::NotPossible);
    EXPECT_EQ(InputRegisterWrite(link_, 1, 1, &v), 0);
    EXPECT_STREQ(LinkErrorText(link_), "Input register writes are not supported on a Gateway link");
    EXPECT_EQ(LinkFailureOf(link_), LinkFailure::NotPossible);
}

TEST_F(GatewayLinkTest, LinesWithoutACommandAndLineEndPairsAreNotTakenAsAnswers) {
    Answer("stray line\r");
    ASSERT_TRUE(pty_.Quiet(Millis(30)));
    auto read = Read(1, 2);
    EXPECT_EQ(Command(), "A 100 5\r");
    Answer("\r\n");
    EXPECT_EQ(Command(), "R 1 2\r");
    Answer("5 6\r\n");
    EXPECT_EQ(read.get(), 2) << LinkErrorText(link_);
    EXPECT_EQ(values_[1], 6);
}

// The receiver alone: one reply packet per line, its control character kept.
TEST(GatewayFraming, LinesBecomePacketsWhileACommandWaits) {
    Link link;
    link.framing = std::make_unique<SerialFraming>();
    link.framing->awaitingReply = 1;
    std::string input = "12 34\r\nX";
    for (char c : input) GatewayReceiveByte(&link, uint8_t(c | 0x80));  // the 8th bit is dropped
    std::vector<std::string> lines;
    while (Packet* p = RemovePacket(link.replyQueue)) {
        lines.emplace_back(reinterpret_cast<char*>(p->data), p->length);
        ReturnFreePacket(&link, p);
    }
    EXPECT_EQ(lines, (std::vector<std::string>{"12 34\r", "\n"}));
}

TEST(GatewayFraming, OverlongLineIsCutAndItsRestDropped) {
    struct Case {
        size_t length;
        std::vector<size_t> lines;
    } kCases[] = {
        {262, {263, 1}},  // fits with its CR; then the empty line
        {263, {263, 1}},  // its CR does not fit but still ends it
        {300, {263, 1}},  // the rest up to the CR is dropped
    };
    for (const Case& c : kCases) {
        Link link;
        link.framing = std::make_unique<SerialFraming>();
        link.framing->awaitingReply = 1;
        std::string input = std::string(c.length, '7') + "\r\r";
        for (char ch : input) GatewayReceiveByte(&link, uint8_t(ch));
        std::vector<size_t> lines;
        while (Packet* p = RemovePacket(link.replyQueue)) {
            lines.push_back(p->length);
            ReturnFreePacket(&link, p);
        }
        EXPECT_EQ(lines, c.lines) << c.length;
    }
}

}  // namespace
