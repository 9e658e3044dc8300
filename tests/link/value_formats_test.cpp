// kova-link's typed values against the simulated module: each written with
// --format, then read back raw and typed. The registers expected are worked
// out here from the definitions (IEEE 754 singles, packed BCD, two's
// complement, two characters a register), not by the tool's own code.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/child_process.h"
#include "common/sim_process.h"

namespace {

using Args = std::vector<std::string>;

template <class T>
std::vector<T> Join(std::vector<T> a, const std::vector<T>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

RunResult KovaLink(const SimProcess& sim, const Args& args) {
    return RunProgram(Join<std::string>({BuildProgram("kova-link"), "--type", "tcp", "--host",
                                         "127.0.0.1", "--tcp-port", sim.Where()},
                                        args));
}

// An IEEE 754 single's bits from its sign, unbiased exponent and fraction.
uint32_t Ieee(bool negative, int exponent, uint32_t fraction) {
    return uint32_t(negative) << 31 | uint32_t(exponent + 127) << 23 | fraction;
}

// The two registers of a 32-bit word in the order given.
std::vector<unsigned> Pair(uint32_t word, bool lowFirst) {
    const unsigned low = word & 0xFFFF, high = word >> 16;
    return lowFirst ? std::vector<unsigned>{low, high} : std::vector<unsigned>{high, low};
}

// Decimal digits packed a nibble each, the last digit in the bottom nibble.
unsigned Bcd(const std::string& digits) {
    unsigned v = 0;
    for (char c : digits) v = v << 4 | unsigned(c - '0');
    return v;
}

std::vector<unsigned> Packed(const std::string& text) {
    std::vector<unsigned> block((text.size() + 1) / 2, 0);
    for (size_t i = 0; i < text.size(); ++i) block[i / 2] |= uint8_t(text[i]) << (i % 2 ? 0 : 8);
    return block;
}

std::string Line(const std::vector<unsigned>& registers) {
    std::string line;
    for (unsigned r : registers) line += (line.empty() ? "" : " ") + std::to_string(r);
    return line + "\n";
}

struct TypedCase {
    Args format;                   // --format and --word-order
    Args written;                  // the values written
    std::vector<unsigned> stored;  // the registers they make
    std::string read;              // read back with the same options
};

TEST(ValueFormatsTest, TypedValuesAreWrittenAndReadBackThroughTheSimulatedModule) {
    SimProcess sim({"--protocol", "tcp", "--listen", "127.0.0.1:0"});
    const uint32_t u32 = 0x12345678u;
    const uint32_t minusTwo = uint32_t(-2);
    const TypedCase cases[] = {
        {{"--format", "f32"}, {"12.5"}, Pair(Ieee(false, 3, 0x480000), true), "12.5"},
        {{"--format", "f32"}, {"-0.25"}, Pair(Ieee(true, -2, 0), true), "-0.25"},
        {{"--format", "f32", "--word-order", "high-first"},
         {"12.5", "-0.25"},
         Join(Pair(Ieee(false, 3, 0x480000), false), Pair(Ieee(true, -2, 0), false)),
         "12.5 -0.25"},
        {{"--format", "s16"},
         {"-1", "-32768", "32767"},
         {0xFFFF, 0x8000, 0x7FFF},
         "-1 -32768 32767"},
        {{"--format", "u32"}, {"305419896"}, Pair(u32, true), "305419896"},
        {{"--format", "u32", "--word-order", "high-first"},
         {"305419896"},
         Pair(u32, false),
         "305419896"},
        {{"--format", "s32"}, {"-2"}, Pair(minusTwo, true), "-2"},
        {{"--format", "s32", "--word-order", "high-first"}, {"-2"}, Pair(minusTwo, false), "-2"},
        {{"--format", "bcd"}, {"1234", "905", "0"}, {Bcd("1234"), Bcd("905"), 0}, "1234 905 0"},
        {{"--format", "hex"}, {"BEEF", "0x1a"}, {0xBEEF, 0x1A}, "0xBEEF 0x001A"},
        {{"--format", "bin"},
         {"1010000000000001", "11"},
         {0xA001, 3},
         "1010000000000001 0000000000000011"},
        {{"--format", "text"}, {"KOVA-1", "ok"}, Packed("KOVA-1 ok"), "KOVA-1 ok"},
    };
    int reg = 100;
    for (const TypedCase& c : cases) {
        const std::string where = std::to_string(reg);
        const std::string count = std::to_string(c.stored.size());
        RunResult r = KovaLink(sim, Join(Join<std::string>(c.format, {"write", where}), c.written));
        ASSERT_EQ(r.status, 0) << c.format[1] << ": " << r.err;
        r = KovaLink(sim, {"read", where, count});
        EXPECT_EQ(r.out, Line(c.stored)) << c.format[1] << " " << c.written[0];
        r = KovaLink(sim, Join<std::string>(c.format, {"read", where, count}));
        EXPECT_EQ(r.out, c.read + "\n") << c.format[1] << " " << c.written[0];
        reg += 10;
    }
}

TEST(ValueFormatsTest, TypedValuesTheFormatCannotHoldAreRefused) {
    SimProcess sim({"--protocol", "tcp", "--listen", "127.0.0.1:0"});
    const Args refused[] = {
        {"--format", "f32", "read", "100", "3"},  // half a value
        {"--format", "u32", "dump", "100", "5"},        {"--format", "f32", "write", "100", "12,5"},
        {"--format", "s16", "write", "100", "40000"},   {"--format", "u32", "write", "100", "-1"},
        {"--format", "bcd", "write", "100", "12345"},   {"--format", "bin", "write", "100", "102"},
        {"--format", "hex", "write", "100", "10000"},   {"--format", "f64", "read", "100", "2"},
        {"--word-order", "middle", "read", "100", "2"},
    };
    for (const Args& args : refused) {
        const RunResult r = KovaLink(sim, args);
        EXPECT_EQ(r.status, 2) << args[1] << " " << args.back();
        EXPECT_EQ(r.out, "");
    }
    // Nothing was written by the refused writes.
    EXPECT_EQ(KovaLink(sim, {"read", "100", "2"}).out, "0 0\n");
}

}  // namespace
