// Comparing configurations: each kind of field named as the print-out names
// it, with both values as shown; what the print-out does not show is not a
// difference.
#include "config/config_diff.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "config/config_defaults.h"

namespace {

ConfigFileContents Defaults() {
    ModuleConfig config;
    FillDefaults(config);
    ConfigFileContents c;
    c.plus = config.Plus;
    std::memcpy(c.ports, config.Ports, sizeof c.ports);
    c.printProgBaud = 3;
    return c;
}

std::vector<std::string> Lines(const ConfigFileContents& a, const ConfigFileContents& b,
                               bool plus = true) {
    std::vector<std::string> lines;
    for (const auto& d : CompareConfigs(a, b, plus)) lines.push_back(DifferenceLine(d));
    return lines;
}

struct Case {
    const char* name;
    std::function<void(ConfigFileContents&)> change;
    std::vector<std::string> lines;
};

TEST(ConfigDiffTest, NamesEachKindOfFieldWithBothValues) {
    const Case kCases[] = {
        {"baud", [](auto& c) { c.printProgBaud = 1; }, {"Print/Prog baud rate: 9600 -> 1200"}},
        {"rack base", [](auto& c) { c.plus.RackBase = 100; }, {"Rack base address: 1 -> 100"}},
        {"port list value",
         [](auto& c) { c.ports[1].Parity = 2; },
         {"Port 2 Parity: NONE -> EVEN"}},
        {"value outside its list",
         [](auto& c) { c.ports[0].BaudRate = 40; },
         {"Port 1 Baud rate: 9600 -> INVALID (40)"}},
        {"plus value",
         [](auto& c) { c.plus.TerminateTimeout[3] = 250; },
         {"Port 4 Terminate timeout: 0 -> 250"}},
        {"character set",
         [](auto& c) { CharSetPut(c.ports[2].TerminateSet, 0x03, true); },
         {"Port 3 Terminate: 0A 0D 8A 8D -> 03 0A 0D 8A 8D"}},
        {"pattern with control characters",
         [](auto& c) { std::strcpy(c.ports[0].Paths[1].Pattern, "\x02\"A\\*\r"); },
         {"Port 1 Path 2 Pattern: \"\" -> \"\\x02\\\"A\\\\*\\x0D\""}},
        {"path numbers",
         [](auto& c) {
             c.ports[3].Paths[3].StartRegister = 300;
             c.ports[3].Paths[3].EditingMode = 3;
         },
         {"Port 4 Path 4 Start Register: 17 -> 300", "Port 4 Path 4 Editing Mode: ASCII -> FLOAT"}},
        {"continue",
         [](auto& c) { c.ports[0].Paths[2].Continue = 1; },
         {"Port 1 Path 3 Continue: NO -> YES"}},
        {"poll interval and query",
         [](auto& c) {
             c.ports[1].PollInterval = 250;
             std::strcpy(c.ports[1].PollQueries[15], "?V");
         },
         {"Port 2 Poll Interval: 0.00 -> 2.50", "Port 2 Query 16: \"\" -> \"?V\""}},
        {"trigger/inhibit",
         [](auto& c) { c.plus.TriggerInhibit[2] = 40; },
         {"Port 3 Trigger/Inhibit: 0 -> 40"}},
    };
    const ConfigFileContents base = Defaults();
    for (const Case& k : kCases) {
        ConfigFileContents changed = base;
        k.change(changed);
        EXPECT_EQ(Lines(base, changed), k.lines) << k.name;
        EXPECT_TRUE(Lines(changed, changed).empty()) << k.name;
    }
}

TEST(ConfigDiffTest, WhatThePrintOutDoesNotShowIsNoDifference) {
    const ConfigFileContents base = Defaults();
    ConfigFileContents other = base;
    // Bytes after a text's terminator, the reserved words, the version word.
    other.ports[0].Paths[0].Pattern[10] = 'X';
    other.ports[0].PollQueries[3][64] = 'Y';
    other.ports[2].Reserved[1] = 7;
    other.reserved = 9;
    other.version = 1111;
    EXPECT_TRUE(Lines(base, other).empty());
    // Without a PLUS module on both sides, the PLUS values are not compared.
    other.plus.TerminateCount[0] = 5;
    other.plus.TriggerInhibit[1] = 50;
    EXPECT_TRUE(Lines(base, other, false).empty());
    EXPECT_EQ(Lines(base, other, true).size(), 2u);
}

// A module keeps 64 characters of a text: a file whose text has no
// terminator says more than any module holds, and the two differ.
TEST(ConfigDiffTest, ATextWithoutItsTerminatorDiffersFromItsFirst64Characters) {
    ConfigFileContents a = Defaults(), b = Defaults();
    std::memset(a.ports[0].Paths[0].Mask, 'M', 65);  // no terminator at all
    std::memset(b.ports[0].Paths[0].Mask, 'M', 64);
    b.ports[0].Paths[0].Mask[64] = 0;
    EXPECT_EQ(Lines(a, b),
              std::vector<std::string>{"Port 1 Path 1 Mask: \"" + std::string(65, 'M') +
                                       "\" -> \"" + std::string(64, 'M') + "\""});
    // Bytes after a terminator are no part of the text.
    a.ports[0].Paths[0].Mask[3] = 0;
    b.ports[0].Paths[0].Mask[3] = 0;
    EXPECT_TRUE(Lines(a, b).empty());
}

}  // namespace
