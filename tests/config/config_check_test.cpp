// What stops a file from being sent as it holds it: every value a load would
// report or repair, named with its port, path, field and value; a file not
// exactly of its layout's size; and the overlapping register blocks that are
// only warned about.
#include "config/config_check.h"

#include <gtest/gtest.h>

#include <cstring>

#include "config/config_defaults.h"

namespace {

ConfigFileContents Sound() {
    ModuleConfig config;
    FillDefaults(config);
    return DocumentOf(config, 3, 0);
}

TEST(ConfigCheck, EachFaultOfAFileIsNamed) {
    struct Case {
        const char* name;
        void (*change)(ConfigFileContents&);
        std::vector<std::string> problems;
    } kCases[] = {
        {"count 65",
         [](ConfigFileContents& c) { c.ports[0].Paths[1].RegisterCount = 65; },
         {"Port 1, Path 2: Register Count 65 out of range 0-64"}},
        {"count -5",
         [](ConfigFileContents& c) { c.ports[1].Paths[0].RegisterCount = -5; },
         {"Port 2, Path 1: Register Count -5 out of range 0-64"}},
        {"data bits 5",
         [](ConfigFileContents& c) { c.ports[2].DataBits = 5; },
         {"Port 3: Data bits 5 out of range 0-1"}},
        {"Continue on path 4",
         [](ConfigFileContents& c) { c.ports[3].Paths[3].Continue = 1; },
         {"Port 4, Path 4: Continue 1 on the last path, which has none"}},
        {"start -300",
         [](ConfigFileContents& c) { c.ports[0].Paths[0].StartRegister = -300; },
         {"Port 1, Path 1: Start Register -300 out of range 1-8192",
          "Port 1, Path 1: Register (-300) < Rack Base (1) + 1"}},
        {"start 2049",
         [](ConfigFileContents& c) { c.ports[0].Paths[2].StartRegister = 2049; },
         {"Port 1, Path 3: Register (2049) > Rack Base (1) + 2047"}},
        {"block past the window",
         [](ConfigFileContents& c) {
             c.ports[1].Paths[3].StartRegister = 2048;
             c.ports[1].Paths[3].RegisterCount = 64;
         },
         {"Port 2, Path 4: Last Register (2111) > Rack Base (1) + 2047"}},
        {"Trigger/Inhibit 32767",
         [](ConfigFileContents& c) { c.plus.TriggerInhibit[2] = 32767; },
         {"Port 3: Trigger/Inhibit register 32767 out of range 0-10238",
          "Port 3: Trigger/Inhibit (32767) > 2048"}},
        {"Trigger/Inhibit below the rack base",
         [](ConfigFileContents& c) {
             c.plus.RackBase = 100;
             for (auto& port : c.ports)
                 for (auto& path : port.Paths) path.StartRegister = 101;
             c.plus.TriggerInhibit[0] = 50;
         },
         {"Port 1: Trigger/Inhibit (50) < EditPlus.RackBase (100)"}},
        {"65-character pattern",
         [](ConfigFileContents& c) { std::memset(c.ports[0].Paths[0].Pattern, 'A', 65); },
         {"Port 1, Path 1: Pattern \"" + std::string(65, 'A') +
          "\" (65 characters) has no terminating zero"}},
        {"a byte after a mask's end",
         [](ConfigFileContents& c) {
             c.ports[1].Paths[1].Mask[10] = 0;
             c.ports[1].Paths[1].Mask[64] = '\x1b';
         },
         {"Port 2, Path 2: Mask \"" + std::string(10, '_') +
          "\" holds 0x1B after its end, in byte 65"}},
        {"65-character poll query",
         [](ConfigFileContents& c) { std::memset(c.ports[3].PollQueries[15], '\r', 65); },
         {"Port 4, Query 16: \"" +
          [] {
              std::string s;
              for (int i = 0; i < 65; ++i) s += "\\x0D";
              return s;
          }() +
          "\" (65 characters) has no terminating zero"}},
        {"Print/Prog baud 4",
         [](ConfigFileContents& c) { c.printProgBaud = 4; },
         {"Print/Prog baud rate 4 out of range 0-3"}},
        {"rack base 0",
         [](ConfigFileContents& c) { c.plus.RackBase = 0; },
         {"Rack start address 0 out of range 1-8191"}},
    };
    for (const auto& k : kCases) {
        ConfigFileContents c = Sound();
        k.change(c);
        EXPECT_EQ(ConfigProblems(c), k.problems) << k.name;
    }
    EXPECT_TRUE(ConfigProblems(Sound()).empty());
}

TEST(ConfigCheck, EveryProblemIsListedInPortOrder) {
    ConfigFileContents c = Sound();
    c.printProgBaud = 9;
    c.ports[3].Parity = 3;
    c.ports[0].Paths[1].RegisterCount = 65;
    c.ports[0].Paths[3].Continue = 1;
    EXPECT_EQ(ConfigProblems(c), (std::vector<std::string>{
                                     "Print/Prog baud rate 9 out of range 0-3",
                                     "Port 1, Path 2: Register Count 65 out of range 0-64",
                                     "Port 1, Path 4: Continue 1 on the last path, which has none",
                                     "Port 4: Parity 3 out of range 0-2",
                                 }));
}

TEST(ConfigCheck, AFileMustHoldExactlyItsLayout) {
    struct Case {
        ConfigLayout layout;
        size_t size;
        std::string problem;
    } kCases[] = {
        {ConfigLayout::V1113, 6688, ""},
        {ConfigLayout::V1113, 6689, "more than 6688 bytes; the version 1113 layout holds 6688"},
        {ConfigLayout::V1112, 6686, ""},
        {ConfigLayout::V1111, 6662, ""},
        {ConfigLayout::UnversionedFull, 6660, ""},
        {ConfigLayout::UnversionedFull, 6687, "6687 bytes; the unversioned layout holds 6660"},
        {ConfigLayout::UnversionedShort, 2476, ""},
        {ConfigLayout::UnversionedShort, 3000,
         "3000 bytes; the unversioned short layout holds 2476"},
    };
    for (const Case& k : kCases) EXPECT_EQ(FileSizeProblem(k.layout, k.size), k.problem) << k.size;
}

TEST(ConfigCheck, OverlappingRegisterBlocksAreWarnedAbout) {
    ConfigFileContents c = Sound();
    // Defaults: port p's path 1 writes register 2 + 4p, the others nothing.
    EXPECT_TRUE(RegisterBlockOverlaps(c).empty());
    c.ports[0].Paths[1].StartRegister = 5;
    c.ports[0].Paths[1].RegisterCount = 6;  // 5-10 covers port 2's 6 and port 3's 10
    c.ports[3].Paths[2].StartRegister = 14;
    c.ports[3].Paths[2].RegisterCount = 1;  // port 4's own path 1
    EXPECT_EQ(RegisterBlockOverlaps(c),
              (std::vector<std::string>{
                  "Port 1, Path 2 (registers 5-10) overlaps Port 2, Path 1 (registers 6-6)",
                  "Port 1, Path 2 (registers 5-10) overlaps Port 3, Path 1 (registers 10-10)",
                  "Port 4, Path 1 (registers 14-14) overlaps Port 4, Path 3 (registers 14-14)",
              }));
    // Adjacent blocks touch, they do not overlap.
    c = Sound();
    c.ports[0].Paths[1].StartRegister = 3;
    c.ports[0].Paths[1].RegisterCount = 3;  // 3-5, next to port 2's 6
    EXPECT_TRUE(RegisterBlockOverlaps(c).empty());
}

}  // namespace
