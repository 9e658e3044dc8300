// Validation reports and repairs, and the pattern check.
#include "config/validate.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "config/config_defaults.h"

namespace {

struct Validation : testing::Test {
    ModuleConfig c;
    std::vector<std::string> reports;
    ConfigReporter collect = [this](const std::string& m) { reports.push_back(m); };
    void SetUp() override { FillDefaults(c); }
};

TEST_F(Validation, DefaultsPassSilently) {
    ModuleConfig before = c;
    ValidatePortsOf(c, 0, 3, collect);
    EXPECT_TRUE(reports.empty());
    EXPECT_EQ(0, std::memcmp(&before, &c, sizeof c));
}

TEST_F(Validation, PathRegisterRange) {
    struct Case {
        int16_t reg;
        const char* report;  // nullptr: none
        int16_t after;
    } kCases[] = {
        {2, nullptr, 2},
        {1, "Port 2, Path 3: Register (1) < Rack Base (1) + 1", 1},
        {2048, nullptr, 2048},
        {2049, "Port 2, Path 3: Register (2049) > Rack Base (1) + 2047", 2049},
        {9000, "Port 2, Path 3: Register (9000) > Rack Base (1) + 2047", 8192},
        {-5, "Port 2, Path 3: Register (-5) < Rack Base (1) + 1", 1},
    };
    for (const auto& k : kCases) {
        SetUp();
        reports.clear();
        c.Ports[1].Paths[2].StartRegister = k.reg;
        ValidatePortsOf(c, 1, 1, collect);
        if (k.report)
            EXPECT_EQ(std::vector<std::string>{k.report}, reports) << k.reg;
        else
            EXPECT_TRUE(reports.empty()) << k.reg;
        EXPECT_EQ(k.after, c.Ports[1].Paths[2].StartRegister) << k.reg;
    }
}

TEST_F(Validation, TriggerInhibitRange) {
    struct Case {
        int16_t value;
        const char* report;
        int16_t after;
    } kCases[] = {
        {0, nullptr, 0},
        {50, "Trigger/Inhibit (50) < EditPlus.RackBase (100)", 100},
        {2147, nullptr, 2147},
        {2148, "Trigger/Inhibit > 2147", 0},
        {-3, "Trigger/Inhibit (-3) < EditPlus.RackBase (100)", 100},
    };
    for (const auto& k : kCases) {
        SetUp();
        reports.clear();
        c.Plus.RackBase = 100;
        for (int p = 0; p < 4; ++p)
            for (auto& path : c.Ports[p].Paths) path.StartRegister = 101;
        c.Plus.TriggerInhibit[3] = k.value;
        ValidatePortsOf(c, 3, 3, collect);
        if (k.report)
            EXPECT_EQ(std::vector<std::string>{k.report}, reports) << k.value;
        else
            EXPECT_TRUE(reports.empty()) << k.value;
        EXPECT_EQ(k.after, c.Plus.TriggerInhibit[3]) << k.value;
    }
}

// A block that starts inside the window but runs past its top is cut to
// what fits, and said; one that starts outside is reported for its start.
TEST_F(Validation, PathBlockPastTheWindow) {
    struct Case {
        int16_t reg, count;
        std::vector<std::string> reports;
        int16_t countAfter;
    } kCases[] = {
        {1985, 64, {}, 64},
        {1986, 64, {"Port 2, Path 3: Last Register (2049) > Rack Base (1) + 2047"}, 63},
        {2048, 64, {"Port 2, Path 3: Last Register (2111) > Rack Base (1) + 2047"}, 1},
        {2048, 1, {}, 1},
        {2048, 0, {}, 0},
        {2040, 200, {"Port 2, Path 3: Last Register (2103) > Rack Base (1) + 2047"}, 9},
        {2049, 64, {"Port 2, Path 3: Register (2049) > Rack Base (1) + 2047"}, 64},
    };
    for (const auto& k : kCases) {
        SetUp();
        reports.clear();
        c.Ports[1].Paths[2].StartRegister = k.reg;
        c.Ports[1].Paths[2].RegisterCount = k.count;
        ValidatePortsOf(c, 1, 1, collect);
        EXPECT_EQ(k.reports, reports) << k.reg << " " << k.count;
        EXPECT_EQ(k.countAfter, c.Ports[1].Paths[2].RegisterCount) << k.reg << " " << k.count;
    }
    // The window moves with the rack base.
    SetUp();
    reports.clear();
    c.Plus.RackBase = 100;
    for (auto& path : c.Ports[0].Paths) path.StartRegister = 101;
    c.Ports[0].Paths[1].StartRegister = 2140;
    c.Ports[0].Paths[1].RegisterCount = 10;
    ValidatePortsOf(c, 0, 0, collect);
    EXPECT_EQ(
        std::vector<std::string>{"Port 1, Path 2: Last Register (2149) > Rack Base (100) + 2047"},
        reports);
    EXPECT_EQ(8, c.Ports[0].Paths[1].RegisterCount);
    // A damaged negative rack base: the start read lies in its window, the
    // start kept (1) does not, and the count stays a count.
    SetUp();
    reports.clear();
    c.Plus.RackBase = -5000;
    c.Ports[2].Paths[0].StartRegister = -3000;
    c.Ports[2].Paths[0].RegisterCount = 64;
    ValidatePortsOf(c, 2, 2, [](const std::string&) {});
    EXPECT_EQ(1, c.Ports[2].Paths[0].StartRegister);
    EXPECT_EQ(64, c.Ports[2].Paths[0].RegisterCount);
}

// The editor checks the Trigger/Inhibit field alone: the paths of the same
// port and the other ports' registers stay as they are, reported or not.
TEST_F(Validation, TriggerInhibitOfOnePortAlone) {
    c.Plus.RackBase = 100;
    c.Plus.TriggerInhibit[1] = 50;
    c.Plus.TriggerInhibit[2] = 60;
    c.Ports[1].Paths[0].StartRegister = 9000;
    ValidateTriggerInhibitOf(c, 1, collect);
    EXPECT_EQ(std::vector<std::string>{"Trigger/Inhibit (50) < EditPlus.RackBase (100)"}, reports);
    EXPECT_EQ(100, c.Plus.TriggerInhibit[1]);
    EXPECT_EQ(60, c.Plus.TriggerInhibit[2]);
    EXPECT_EQ(9000, c.Ports[1].Paths[0].StartRegister);
    reports.clear();
    const ModuleConfig before = c;
    ValidateTriggerInhibitOf(c, 4, collect);
    ValidateTriggerInhibitOf(c, -1, collect);
    EXPECT_TRUE(reports.empty());
    EXPECT_EQ(0, std::memcmp(&before, &c, sizeof c));
}

TEST_F(Validation, RepairsWithoutReport) {
    c.Ports[0].DataBits = 5;
    c.Ports[1].DataBits = -1;
    c.Ports[2].DataBits = 0;
    c.Ports[0].Paths[1].RegisterCount = 200;
    c.Ports[0].Paths[2].RegisterCount = -4;
    std::memset(c.Ports[3].Paths[0].Pattern, 'A', 65);
    std::memset(c.Ports[3].Paths[0].Mask, 'B', 65);
    std::memset(c.Ports[3].PollQueries[15], 'Q', 65);
    ValidatePortsOf(c, 0, 3, collect);
    EXPECT_TRUE(reports.empty());
    EXPECT_EQ(1, c.Ports[0].DataBits);
    EXPECT_EQ(1, c.Ports[1].DataBits);
    EXPECT_EQ(0, c.Ports[2].DataBits);
    EXPECT_EQ(64, c.Ports[0].Paths[1].RegisterCount);
    EXPECT_EQ(0, c.Ports[0].Paths[2].RegisterCount);
    EXPECT_EQ(std::string(64, 'A'), c.Ports[3].Paths[0].Pattern);
    EXPECT_EQ(std::string(64, 'B'), c.Ports[3].Paths[0].Mask);
    EXPECT_EQ(std::string(64, 'Q'), c.Ports[3].PollQueries[15]);
}

TEST_F(Validation, OnlyTheNamedPortsAreTouched) {
    c.Ports[0].DataBits = 7;
    c.Ports[2].DataBits = 7;
    c.Ports[0].Paths[0].StartRegister = 0;
    ValidatePortsOf(c, 1, 2, collect);
    EXPECT_EQ(7, c.Ports[0].DataBits);
    EXPECT_EQ(1, c.Ports[2].DataBits);
    EXPECT_TRUE(reports.empty());
}

TEST_F(Validation, ReportsComeInPortAndPathOrder) {
    c.Ports[0].Paths[3].StartRegister = 0;
    c.Ports[0].Paths[1].StartRegister = 3000;
    c.Plus.TriggerInhibit[0] = 5000;
    c.Ports[1].Paths[0].StartRegister = 0;
    ValidatePortsOf(c, 0, 3, collect);
    std::vector<std::string> expected = {
        "Port 1, Path 2: Register (3000) > Rack Base (1) + 2047",
        "Port 1, Path 4: Register (0) < Rack Base (1) + 1",
        "Trigger/Inhibit > 2048",
        "Port 2, Path 1: Register (0) < Rack Base (1) + 1",
    };
    EXPECT_EQ(expected, reports);
}

TEST(PatternCheck, Cases) {
    CharSet letters{}, upper{};
    for (unsigned ch = 'A'; ch <= 'Z'; ++ch) {
        CharSetPut(letters, ch, true);
        CharSetPut(letters, ch + 32, true);
        CharSetPut(upper, ch, true);
    }
    CharSet highOnly{};
    CharSetPut(highOnly, 'X' | 0x80, true);
    struct Case {
        const char* pattern;
        const CharSet* set;
        bool capitalize;
        bool passes;
    } kCases[] = {
        {"AB)", &letters, false, false}, {"(AB)", &letters, false, true},
        {"AB]", &letters, false, false}, {"[AB]", &letters, false, true},
        {"abc", &upper, true, true},     {"abc", &upper, false, false},
        {"#*?=-", &upper, false, true},  {"A1", &letters, false, false},
        {"X", &highOnly, false, true},   {"", &upper, false, true},
    };
    for (const auto& k : kCases) {
        std::vector<std::string> reports;
        bool passed = CheckPatternWith(k.pattern, *k.set, k.capitalize,
                                       [&](const std::string& m) { reports.push_back(m); });
        EXPECT_EQ(k.passes, passed) << k.pattern;
        if (k.passes)
            EXPECT_TRUE(reports.empty()) << k.pattern;
        else
            EXPECT_EQ(std::vector<std::string>{"Pattern requires character not in Accept Set"},
                      reports)
                << k.pattern;
    }
}

}  // namespace
