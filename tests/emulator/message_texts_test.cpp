// Acquiring a message: the received text scrolls after 64 characters, the
// accepted text holds 63 in order and then overwrites the 64th place.
#include "emulator/message_texts.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Letters(int n) {
    std::string s;
    for (int i = 0; i < n; ++i) s += char('A' + i % 26);
    return s;
}

TEST(MessageTexts, ReceivedTextKeepsTheLast64) {
    struct Case {
        int typed;
    } kCases[] = {{1}, {63}, {64}, {65}, {100}};
    for (const Case& c : kCases) {
        MessageTexts t;
        std::string all = Letters(c.typed);
        for (char ch : all) t.Receive(ch);
        std::string expected = all.size() > 64 ? all.substr(all.size() - 64) : all;
        EXPECT_EQ(std::string(t.received), expected) << c.typed;
    }
}

TEST(MessageTexts, AcceptedTextStopsCountingAt63) {
    struct Case {
        int typed;
        int count;
        const char* last;  // the character in the last place held
    } kCases[] = {{1, 1, "A"}, {63, 63, "K"}, {64, 63, "L"}, {65, 63, "M"}, {90, 63, "L"}};
    for (const Case& c : kCases) {
        MessageTexts t;
        std::string all = Letters(c.typed);
        for (char ch : all) t.Accept(ch);
        EXPECT_EQ(t.acceptedCount, c.count) << c.typed;
        std::string held(t.accepted);
        size_t inOrder = std::min<size_t>(all.size(), 63);
        EXPECT_EQ(held.substr(0, inOrder), all.substr(0, inOrder));
        EXPECT_EQ(held.size(), all.size() > 63 ? 64u : all.size());
        EXPECT_EQ(held.back(), c.last[0]);
    }
}

class AcquireTest : public ::testing::Test {
  protected:
    void SetUp() override {
        for (int c = 'A'; c <= 'Z'; ++c) CharSetPut(port.AcceptSet, c, true);
        CharSetPut(port.AcceptSet, ';', true);
        CharSetPut(port.TerminateSet, '\r', true);
        CharSetPut(port.TerminateSet, ';', true);
        CharSetPut(port.TerminateSet, 0xE9, true);
    }
    PortConfig port{};
    MessageTexts t;
};

TEST_F(AcquireTest, AcceptAndTerminateSets) {
    struct Case {
        uint8_t c;
        bool accepted, terminator;
    } kCases[] = {
        {'A', true, false},  {'a', false, false},
        {'\r', false, true}, {';', true, true},  // a terminator that is also accepted is kept first
        {0xE9, false, true}, {0x41 | 0x80, false, false},
    };
    for (const Case& c : kCases) {
        t.Clear();
        EXPECT_EQ(AcquireCharacter(t, port, c.c), c.terminator) << int(c.c);
        EXPECT_EQ(t.receivedCount, 1);
        EXPECT_EQ(uint8_t(t.received[0]), c.c);
        EXPECT_EQ(!t.AcceptedEmpty(), c.accepted) << int(c.c);
    }
}

TEST_F(AcquireTest, TerminateCount) {
    struct Case {
        int limit;
        int accepted;
        bool reached;
    } kCases[] = {{0, 63, false},    {5, 4, false},  {5, 5, true},
                  {64, 63, false},   {63, 63, true}, {-1, 63, false},  // a damaged -1 reads 65535
                  {-32768, 1, false}};
    for (const Case& c : kCases) {
        t.Clear();
        for (int i = 0; i < c.accepted + 10; ++i) {
            if (t.acceptedCount >= c.accepted) break;
            AcquireCharacter(t, port, 'A');
        }
        EXPECT_EQ(CountReached(t, uint16_t(c.limit)), c.reached) << c.limit << " " << c.accepted;
    }
}

}  // namespace
