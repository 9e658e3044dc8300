// The keys waiting to be read: what is kept, what is dropped, and in which
// order they come out.
#include "ui/input_queue.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Drain(InputQueue& q) {
    std::string out;
    for (uint8_t c; q.Take(c);) out += char(c);
    return out;
}

TEST(InputQueue, TypeAheadStopsAtTheRingButKeysThatMustArriveAllDo) {
    InputQueue typed;
    for (int i = 0; i < 150; ++i) typed.Stuff(uint8_t('a' + i % 26));
    EXPECT_EQ(Drain(typed).size(), size_t(InputQueue::kRingSize));

    InputQueue given;
    std::string all;
    for (int i = 0; i < 150; ++i) all += char('a' + i % 26);
    for (char c : all) given.StuffAll(uint8_t(c));
    given.Stuff('!');  // typed meanwhile: behind what was given, not lost
    EXPECT_EQ(Drain(given), all + "!");
    EXPECT_TRUE(given.Empty());
}

TEST(InputQueue, AKeyPutBackComesFirstUnlessTheRingIsFull) {
    InputQueue q;
    q.Stuff('b');
    q.Stuff('c');
    ASSERT_TRUE(q.PutBack('a'));
    EXPECT_EQ(Drain(q), "abc");

    for (int i = 0; i < InputQueue::kRingSize; ++i) q.Stuff('x');
    EXPECT_FALSE(q.PutBack('y'));
    EXPECT_EQ(Drain(q), std::string(InputQueue::kRingSize, 'x'));
    q.Stuff('z');
    q.Clear();
    EXPECT_TRUE(q.Empty());
}

}  // namespace
