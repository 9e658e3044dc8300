// Hex-code entry: parsing the typed text and the queue of codes it fills.
#include "emulator/hex_codes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(HexCodes, Parses) {
    struct Case {
        const char* text;
        std::vector<uint8_t> codes;
    } kCases[] = {
        {"41 42 0D", {0x41, 0x42, 0x0D}},
        {" 7  41", {0x07, 0x41}},
        {"123", {0x23}},
        {"1FF", {0xFF}},
        {"", {}},
        {"    ", {}},
        {"a b", {0x0A, 0x0B}},
        {"00 1", {0x00, 0x01}},
        {"FFFFFFFFFFFFFFFFFFFF01", {0x01}},
    };
    for (const Case& c : kCases) EXPECT_EQ(ParseHexCodes(c.text), c.codes) << c.text;
}

TEST(HexCodes, QueueDropsNulAndKeepsAtMost100) {
    HexCodeQueue q;
    EXPECT_EQ(q.Append({0x41, 0x00, 0x42}), 2u);
    EXPECT_EQ(q.Append({0x43}), 1u);
    std::string taken;
    while (!q.Empty()) taken += char(q.Take());
    EXPECT_EQ(taken, "ABC");

    std::vector<uint8_t> many(150, 0x31);
    EXPECT_EQ(q.Append(many), 100u);
    EXPECT_EQ(q.Size(), 100u);
    q.Take();
    EXPECT_EQ(q.Append({0x32, 0x33}), 1u);
    EXPECT_EQ(q.Size(), 100u);
}

}  // namespace
