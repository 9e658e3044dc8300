// The register map and its encodings without a module: where each section
// lies, the byte-pair order, the forced zero register of a text, the high-
// then-low interval, and how untrusted register contents are stored.
#include "transfer/register_map.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>

#include "transfer/module_image.h"
#include "transfer/section_codec.h"

namespace {

TEST(RegisterMapTest, SectionsLieInsideTheirPortWithoutOverlap) {
    std::set<int> used;
    for (const PortSection& s : kPortSections) {
        EXPECT_LE(s.count, kMaxSectionRegisters);
        for (int r = s.offset; r < s.offset + s.count; ++r) {
            EXPECT_LT(r, kPortRegisterCount);
            EXPECT_TRUE(used.insert(r).second) << "offset " << r << " used twice";
        }
    }
    // 5 + 16 + 16 + 4 paths of 70 + 16 queries of 32 + 2 interval registers.
    EXPECT_EQ(used.size(), 5u + 32 + 280 + 512 + 2);
}

TEST(RegisterMapTest, RegisterNumbersOfThePorts) {
    struct Case {
        const char* what;
        int reg, expected;
    } kCases[] = {
        {"port 1 first", PortBase(1), 2049},
        {"port 3 first", PortBase(3), 4735},
        {"port 4 last", PortBase(4) + kPortRegisterCount - 1, 7420},
        {"port 2 accept", SectionRegister(2, AcceptSetSection()), 3392 + 5},
        {"port 2 term", SectionRegister(2, TerminateSetSection()), 3392 + 21},
        {"port 1 path 1 pattern", SectionRegister(1, PatternSection(0)), 2049 + 37},
        {"port 1 path 2 mask", SectionRegister(1, MaskSection(1)), 2049 + 37 + 70 + 33},
        {"port 1 path 4 numbers", SectionRegister(1, PathNumbersSection(3)), 2049 + 37 + 210 + 66},
        {"port 1 poll 1", SectionRegister(1, PollQuerySection(0)), 2049 + 317},
        {"port 1 poll 16", SectionRegister(1, PollQuerySection(15)), 2049 + 317 + 64 * 15},
        {"port 4 interval", SectionRegister(4, PollIntervalSection()), 6078 + 1341},
        {"PLUS test", kPlusTestRegister, 7423},
        {"port 3 terminate count", TerminateCountRegister(3), 7425},
        {"port 3 timeout", TerminateTimeoutRegister(3), 7429},
        {"port 3 trigger", TriggerInhibitRegister(3), 7433},
    };
    for (const Case& c : kCases) EXPECT_EQ(c.reg, c.expected) << c.what;
}

TEST(SectionCodecTest, ByteBlocksTravelFirstByteHigh) {
    PortConfig port{};
    for (int i = 0; i < 32; ++i) port.AcceptSet[i] = uint8_t(0x10 + i);
    uint16_t r[kMaxSectionRegisters];
    EncodeSection(port, AcceptSetSection(), r);
    EXPECT_EQ(r[0], 0x1011);
    EXPECT_EQ(r[15], 0x2E2F);

    PortConfig back{};
    DecodeSection(r, AcceptSetSection(), back);
    EXPECT_EQ(0, std::memcmp(back.AcceptSet, port.AcceptSet, 32));
}

TEST(SectionCodecTest, APatternOf64CharactersIs32FullRegistersAndAZeroRegister) {
    PortConfig port{};
    std::memset(port.Paths[1].Pattern, 'A', 64);
    port.Paths[1].Pattern[64] = 'Z';  // a damaged terminator never reaches the module
    port.Paths[1].Mask[0] = 'M';      // nor does the byte after the field
    uint16_t r[kMaxSectionRegisters];
    EncodeSection(port, PatternSection(1), r);
    for (int i = 0; i < 32; ++i) EXPECT_EQ(r[i], 0x4141) << i;
    EXPECT_EQ(r[32], 0);
}

TEST(SectionCodecTest, FetchedTextsAlwaysKeepTheirTerminator) {
    uint16_t r[kMaxSectionRegisters];
    for (auto& v : r) v = 0x4242;  // no zero anywhere, as a faulty module might answer
    PortConfig port{};
    std::memset(&port.Paths[2].Mask, 'x', 65);
    DecodeSection(r, PatternSection(2), port);
    EXPECT_EQ(port.Paths[2].Pattern[63], 'B');
    EXPECT_EQ(port.Paths[2].Pattern[64], 0);
    EXPECT_EQ(std::strlen(port.Paths[2].Pattern), 64u);
    EXPECT_EQ(port.Paths[2].Mask[0], 'x');  // the neighbour is untouched
}

TEST(SectionCodecTest, PollQueriesLeaveTheirLastByteAlone) {
    uint16_t r[kMaxSectionRegisters];
    for (int i = 0; i < 32; ++i) r[i] = uint16_t(0x3031 + i);
    PortConfig port{};
    port.PollQueries[4][64] = 0x55;
    DecodeSection(r, PollQuerySection(4), port);
    EXPECT_EQ(port.PollQueries[4][0], '0');
    EXPECT_EQ(port.PollQueries[4][1], '1');
    EXPECT_EQ(uint8_t(port.PollQueries[4][64]), 0x55);
    EXPECT_EQ(port.PollQueries[5][0], 0);
}

TEST(SectionCodecTest, PollIntervalHighThenLow) {
    PortConfig port{};
    port.PollInterval = 70000;
    uint16_t r[2];
    EncodeSection(port, PollIntervalSection(), r);
    EXPECT_EQ(r[0], 1);
    EXPECT_EQ(r[1], 4464);
    const uint16_t big[2] = {0xFFFF, 0xFFFE};
    DecodeSection(big, PollIntervalSection(), port);
    EXPECT_EQ(port.PollInterval, 0xFFFFFFFEu);
}

TEST(SectionCodecTest, NumbersAreStoredAsTheModuleHoldsThem) {
    // Values no editor would store come back unchanged, so a send writes
    // back what was read; the two byte fields keep the low byte.
    const uint16_t comms[5] = {99, 0xFFFB, 200, 7, 0x8000};
    PortConfig port{};
    DecodeSection(comms, CommsSection(), port);
    EXPECT_EQ(port.BaudRate, 99);
    EXPECT_EQ(port.DataBits, -5);
    EXPECT_EQ(port.Capitalize, -32768);
    uint16_t again[5];
    EncodeSection(port, CommsSection(), again);
    EXPECT_EQ(0, std::memcmp(again, comms, sizeof comms));

    const uint16_t numbers[4] = {40000, 5000, 0x01C8, 0xFF01};
    DecodeSection(numbers, PathNumbersSection(0), port);
    EXPECT_EQ(port.Paths[0].StartRegister, int16_t(40000 - 65536));
    EXPECT_EQ(port.Paths[0].RegisterCount, 5000);
    EXPECT_EQ(port.Paths[0].EditingMode, 0xC8);
    EXPECT_EQ(port.Paths[0].Continue, 1);
    uint16_t sent[4];
    EncodeSection(port, PathNumbersSection(0), sent);
    EXPECT_EQ(sent[2], 0xC8);  // zero-extended
    EXPECT_EQ(sent[3], 1);
}

TEST(ModuleImageTest, AFullSendWritesRackBaseFirstAndTheBaudLast) {
    ModuleConfig config{};
    config.Plus.RackBase = 100;
    config.Plus.TriggerInhibit[2] = 333;
    auto plus = FullSendImage(config, 2, true);
    ASSERT_FALSE(plus.empty());
    EXPECT_EQ(plus.front().first, kRackBaseRegister);
    EXPECT_EQ(plus.front().values, std::vector<uint16_t>{100});
    EXPECT_EQ(plus.back().first, kPrintProgBaudRegister);
    EXPECT_EQ(plus.back().values, std::vector<uint16_t>{2});
    bool sawTrigger = false;
    for (const RegisterBlock& b : plus)
        if (b.first == TriggerInhibitRegister(3)) sawTrigger = b.values[0] == 333;
    EXPECT_TRUE(sawTrigger);

    auto standard = FullSendImage(config, 2, false);
    EXPECT_EQ(plus.size(), standard.size() + 12);
    for (const RegisterBlock& b : standard) EXPECT_FALSE(b.first >= 7423 && b.first <= 7434);
}

}  // namespace

#include "transfer/section_transfer.h"

namespace {

// Numbers outside their range are refused before any table is read or any
// request made (no link is needed to see it).
TEST(SectionRangeTest, NumbersOutsideTheirRangeAreRefused) {
    PortConfig port{};
    EditPlus plus{};
    struct Case {
        const char* what;
        int (*call)(PortConfig&, EditPlus&, ModuleSession&);
        const char* error;
    } kCases[] = {
        {"module port 0",
         [](PortConfig& p, EditPlus&, ModuleSession& s) { return SendComms(s, p, 0); },
         "Module port 0 out of range."},
        {"path 0 (0-based by mistake)",
         [](PortConfig& p, EditPlus&, ModuleSession& s) { return FetchPath(s, p, 1, 0); },
         "Path 0 out of range."},
        {"query 17",
         [](PortConfig& p, EditPlus&, ModuleSession& s) { return SendPoll(s, p, 1, 17, true); },
         "Poll query 17 out of range."},
        {"memory port 5",
         [](PortConfig&, EditPlus& e, ModuleSession& s) { return FetchPlusValues(s, e, 5, 1); },
         "Memory port 5 out of range."},
    };
    for (const Case& c : kCases) {
        RecordingReporter reporter;
        ModuleSession unlinked{nullptr, reporter};
        EXPECT_EQ(c.call(port, plus, unlinked), 0) << c.what;
        EXPECT_EQ(reporter.Texts("error"), std::vector<std::string>{c.error}) << c.what;
    }
}

}  // namespace
