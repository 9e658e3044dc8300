// Where an escape sequence ends, and what a whole one is.
#include "ui/console/escape_keys.h"

#include <gtest/gtest.h>

namespace {

TEST(EscapeKeys, KnowsWhereASequenceEnds) {
    struct Case {
        const char* afterEsc;
        bool complete;
    } cases[] = {
        {"[", false},    {"O", false},     {"[4", false},  {"[4~", true},   {"[1;5", false},
        {"[1;5F", true}, {"[[", false},    {"[[A", true},  {"OP", true},    {"[F", true},
        {"[8^", true},   {"[?1;2c", true}, {"[99~", true}, {"[1;2", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(con::SequenceComplete(c.afterEsc), c.complete) << c.afterEsc;
    EXPECT_TRUE(con::SequenceComplete(std::string(con::kMaxSequence, '1')));
}

TEST(EscapeKeys, UnknownSequencesGiveNothing) {
    for (const char* s : {"[99~", "[?1;2c", "OZ", "[1;7H", "[I"})
        EXPECT_TRUE(con::SequenceKeyBytes(s).empty()) << s;
    EXPECT_EQ(con::SequenceKeyBytes("[4~"), (std::vector<int>{0, 0x4F}));
    EXPECT_EQ(con::SequenceKeyBytes("OM"), (std::vector<int>{'\r'}));
}

}  // namespace
