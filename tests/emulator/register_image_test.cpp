// The emulator register image: block writes that stay inside it, the signal
// bits and the register grid's origin rules.
#include "emulator/register_image.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

class RegisterImageTest : public ::testing::Test {
  protected:
    void SetUp() override {
        for (int i = 0; i < kImageRegisters; ++i) s.image[i] = -7;  // marks untouched cells
    }
    EmulatorRegisters s{};
};

TEST_F(RegisterImageTest, BlockOutsideTheImageIsClipped) {
    struct Case {
        int rackBase, start, count;
        int written;
        int firstIndex;  // image index of the first register written
    } kCases[] = {
        {1, 2, 3, 3, 1},
        {1, 1, 2, 2, 0},        // register RackBase itself is index 0
        {1, 2047, 4, 2, 2046},  // runs past the end: the last two are dropped
        {1, 2049, 2, 0, -1},
        {100, 50, 60, 10, 0},  // starts below the rack: the first 50 are dropped
        {1, -5, 3, 0, -1},
        {8191, 10238, 2, 1, 2047},
    };
    for (const Case& c : kCases) {
        SetUp();
        std::vector<int16_t> regs;
        for (int i = 0; i < c.count; ++i) regs.push_back(int16_t(1000 + i));
        EXPECT_EQ(WriteBlock(s, c.rackBase, c.start, regs), c.written) << c.start;
        int changed = 0;
        for (int i = 0; i < kImageRegisters; ++i) {
            if (s.image[i] == -7) continue;
            ++changed;
            EXPECT_EQ(s.image[i], 1000 + (i + c.rackBase - c.start)) << "index " << i;
        }
        EXPECT_EQ(changed, c.written);
        if (c.firstIndex >= 0) {
            int16_t v = 0;
            ASSERT_TRUE(ReadImageRegister(s, c.rackBase, c.rackBase + c.firstIndex, v));
            EXPECT_NE(v, -7);
        }
    }
}

TEST_F(RegisterImageTest, ReadOutsideTheImageFails) {
    int16_t v = 42;
    EXPECT_FALSE(ReadImageRegister(s, 10, 9, v));
    EXPECT_FALSE(ReadImageRegister(s, 10, 10 + kImageRegisters, v));
    EXPECT_EQ(v, 42);
    EXPECT_TRUE(ReadImageRegister(s, 10, 10 + kImageRegisters - 1, v));
    EXPECT_EQ(v, -7);
}

TEST(SignalRegister, OneBitPerPortAndPath) {
    struct Case {
        int port, path;
        uint16_t bit;
    } kCases[] = {
        {1, 1, 0x0001}, {1, 4, 0x0008}, {2, 3, 0x0040}, {3, 1, 0x0100}, {4, 4, 0x8000},
    };
    for (const Case& c : kCases) EXPECT_EQ(SignalBit(c.port, c.path), c.bit);
}

TEST(GridOrigin, BroughtIntoRangeAtStart) {
    struct Case {
        int origin, rackBase, result;
    } kCases[] = {
        {0, 1, 2},    {1, 1, 2},         {2, 1, 2},          {50, 1, 50},        {1976, 1, 1976},
        {1977, 1, 2}, {500, 1000, 1001}, {2975, 1000, 2975}, {2976, 1000, 1001},
    };
    for (const Case& c : kCases)
        EXPECT_EQ(OriginAtStart(c.origin, c.rackBase), c.result) << c.origin << " " << c.rackBase;
}

TEST(GridOrigin, MovesOnlyWhenTheBlockIsNotFullyShown) {
    struct Case {
        int origin, rackBase, start, count, result;
    } kCases[] = {
        {2, 1, 2, 1, 2},        // shown
        {2, 1, 73, 1, 2},       // the last cell (origin + 71)
        {2, 1, 70, 4, 2},       // ends on the last cell
        {2, 1, 70, 5, 68},      // runs past it: row of 68 (2 + 6 * 11)
        {2, 1, 74, 1, 74},      // just beyond
        {2, 1, 100, 1, 98},     // aligned to rows that start at RackBase + 1
        {98, 1, 10, 2, 8},      // below the origin
        {2, 1, 2040, 8, 1976},  // capped so the grid stays in the image
        {2, 1, 1, 1, 2},        // below the rack: first row of the rack
        {2, 1, -20, 3, 2},     {101, 100, 200, 64, 197}, {2, 1, 2, 0, 2},
    };
    for (const Case& c : kCases)
        EXPECT_EQ(OriginAfterBlock(c.origin, c.rackBase, c.start, c.count), c.result)
            << "origin " << c.origin << " start " << c.start << " count " << c.count;
}

TEST(EmulatorRegisters, ClearZeroesImageAndSignalButKeepsOrigin) {
    EmulatorRegisters registers{};
    registers.image[5] = 9;
    registers.signal = 0xFFFF;
    registers.origin = 44;
    ClearEmulatorRegisters(registers);
    EXPECT_EQ(registers.image[5], 0);
    EXPECT_EQ(registers.signal, 0);
    EXPECT_EQ(registers.origin, 44);
    ResetGridOrigin(registers);
    EXPECT_EQ(registers.origin, 0);
}

}  // namespace
