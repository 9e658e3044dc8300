// The hexadecimal line: what it sends and where it stops.
#include "terminal/hex_sequence.h"

#include <gtest/gtest.h>

namespace {

struct Case {
    std::string line;
    std::vector<uint8_t> bytes;
    int invalid;
};

const Case kCases[] = {
    {"1B 5B 41", {0x1B, 0x5B, 0x41}, -1},
    {"41 ", {0x41}, -1},
    {"41  42", {0x41, 0x00, 0x42}, -1},
    {"   7e", {0x7E}, -1},
    {"123", {0x23}, -1},
    {"0g", {}, 'g'},
    {"41 0g 42", {0x41}, 'g'},
    {"", {}, -1},
    {"    ", {}, -1},
    {"fF", {0xFF}, -1},
    {"4\xE9", {}, 0xE9},
};

TEST(HexSequence, SendsEachCodeAndStopsAtAStrangeCharacter) {
    for (const Case& c : kCases) {
        HexSequence s = ParseHexSequence(c.line);
        EXPECT_EQ(s.bytes, c.bytes) << '"' << c.line << '"';
        EXPECT_EQ(s.invalid, c.invalid) << '"' << c.line << '"';
    }
}

}  // namespace
