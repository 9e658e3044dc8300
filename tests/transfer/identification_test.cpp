// The identification check: the name block decoded on its own, and the
// check against the simulated module with its name block set by options.
#include "transfer/identification.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "module_sim.h"

namespace {

using Texts = std::vector<std::string>;

// Registers 8176-8188 for a name, the port information and the marker.
std::vector<uint16_t> Block(const char* name, uint16_t information, uint16_t marker = 0x9990) {
    std::vector<uint16_t> r(kIdentBlockCount, 0);
    r[0] = information;
    std::string padded(name);
    padded.resize(20, ' ');
    for (int i = 0; i < 10; ++i)
        r[size_t(1 + i)] =
            uint16_t(uint8_t(padded[size_t(2 * i)]) << 8 | uint8_t(padded[size_t(2 * i + 1)]));
    r[12] = marker;
    return r;
}

TEST(NameBlockTest, ShownNameAndAcceptance) {
    struct Case {
        const char* name;
        uint16_t information;
        const char* expected;
        bool accepted;
        const char* shown;
    } kCases[] = {
        {"KOVA", 0x8002, "KOVA", true, "KOVA Port 2"},
        {"KOVA", 0x0002, "KOVA", true, "KOVA"},
        {"VLXN 3", 0x8001, "KOVA", true, "VLXN 3 Port 1"},
        {"TLXN", 0, "KOVA", true, "TLXN"},
        {"WLXNOE", 0, "KOVA", true, "WLXN"},  // blanks, E and O trimmed from the end
        {"KOV", 0, "KOVA", false, "KOV"},     // compared over the expected name's length
        {"SOMETHING", 0, "", true, "SOMETHING"},
        {"SOMETHING", 0, nullptr, true, "SOMETHING"},
        {"KOVA", 0x800C, "KOVA", true, "KOVA Port 12"},  // no character after '9'
        {"KOVA", 0x80FF, "KOVA", true, "KOVA Port 255"},
        {"KO\x01VA", 0, "", true, "KO?VA"},
    };
    for (const Case& c : kCases) {
        NameBlock block = DecodeNameBlock(Block(c.name, c.information).data());
        EXPECT_TRUE(block.marked);
        EXPECT_EQ(NameAccepted(block, c.expected), c.accepted) << c.name;
        EXPECT_EQ(ShownName(block), c.shown) << c.name;
    }
}

TEST(NameBlockTest, ANulEndsTheName) {
    auto r = Block("KOVA", 0);
    r[3] = 0;  // characters 5 and 6
    r[4] = uint16_t('X' << 8 | 'Y');
    EXPECT_EQ(ShownName(DecodeNameBlock(r.data())), "KOVA");
    EXPECT_FALSE(DecodeNameBlock(Block("KOVA", 0, 0x9991).data()).marked);
}

std::string Reg(const char* pair) {
    return std::to_string(uint8_t(pair[0]) << 8 | uint8_t(pair[1]));
}

TEST(IdentificationTest, AgainstTheSimulatedModule) {
    struct Case {
        const char* what;
        std::vector<std::string> options;
        const char* expected;
        bool goOnAfterError;
        int goOn;
        NameRow row;
        const char* name;
        Texts errors;
    } kCases[] = {
        {"name and port", {}, "KOVA", true, 1, NameRow::Show, "KOVA Port 1", {}},
        {"no port bit", {"--set", "8176=2"}, "KOVA", true, 1, NameRow::Show, "KOVA", {}},
        {"no marker", {"--set", "8188=0"}, "KOVA", true, 1, NameRow::Blank, "", {}},
        {"accepted prefix",
         {"--set", "8177=" + Reg("VL"), "--set", "8178=" + Reg("XN")},
         "KOVA",
         true,
         1,
         NameRow::Show,
         "VLXN Port 1",
         {}},
        {"wrong name, F10",
         {"--set", "8177=" + Reg("AB")},
         "KOVA",
         true,
         1,
         NameRow::Unchanged,
         "",
         {"Connected module is not an KOVA"}},
        {"wrong name, Esc",
         {"--set", "8177=" + Reg("AB")},
         "KOVA",
         false,
         0,
         NameRow::Unchanged,
         "",
         {"Connected module is not an KOVA"}},
        {"wrong name, nothing expected",
         {"--set", "8177=" + Reg("AB")},
         "",
         false,
         1,
         NameRow::Show,
         "ABVA Port 1",
         {}},
        {"no reply, Esc",
         {"--drop-every", "1"},
         "KOVA",
         false,
         0,
         NameRow::Unchanged,
         "",
         {"Reply timeout"}},
        {"no reply, nothing expected",
         {"--drop-every", "1"},
         "",
         false,
         1,
         NameRow::Unchanged,
         "",
         {}},
    };
    for (const Case& c : kCases) {
        ModuleSim sim(SimWire::ModbusTcp, c.options);
        SetSerialParameters(sim.link(), 9600, 1, 1, 20, 8);
        RecordingReporter reporter;
        reporter.goOnAfterError = c.goOnAfterError;
        ModuleSession session{sim.link(), reporter};
        Identification id = CheckIdentification(session, c.expected);
        EXPECT_EQ(id.goOn, c.goOn) << c.what;
        EXPECT_EQ(id.row, c.row) << c.what;
        EXPECT_EQ(id.name, c.name) << c.what;
        EXPECT_EQ(reporter.Texts("error"), c.errors) << c.what;
    }
}

}  // namespace
