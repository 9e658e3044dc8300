// The ranges a send checks: every list field and every number, named by
// port, path and field; a sound configuration passes whole.
#include "config/config_ranges.h"

#include <gtest/gtest.h>

#include "config/config_defaults.h"

namespace {

ModuleConfig Sound() {
    ModuleConfig config;
    FillDefaults(config);
    return config;
}

TEST(ConfigRanges, EachFieldOutsideItsRangeIsNamed) {
    struct Case {
        void (*change)(ModuleConfig&);
        int16_t printProgBaud;
        const char* text;
    } kCases[] = {
        {[](ModuleConfig& c) { c.Ports[0].BaudRate = 16; }, 3,
         "Port 1: Baud rate 16 out of range 0-15"},
        {[](ModuleConfig& c) { c.Ports[1].DataBits = -1; }, 3,
         "Port 2: Data bits -1 out of range 0-1"},
        {[](ModuleConfig& c) { c.Ports[2].StopBits = 2; }, 3,
         "Port 3: Stop bits 2 out of range 0-1"},
        {[](ModuleConfig& c) { c.Ports[3].Capitalize = 5; }, 3,
         "Port 4: Capitalize 5 out of range 0-1"},
        {[](ModuleConfig& c) { c.Ports[0].Paths[3].StartRegister = 0; }, 3,
         "Port 1, Path 4: Start Register 0 out of range 1-8192"},
        {[](ModuleConfig& c) { c.Ports[0].Paths[2].RegisterCount = 65; }, 3,
         "Port 1, Path 3: Register Count 65 out of range 0-64"},
        {[](ModuleConfig& c) { c.Ports[1].Paths[0].Continue = 2; }, 3,
         "Port 2, Path 1: Continue 2 out of range 0-1"},
        {[](ModuleConfig& c) { c.Ports[1].PollInterval = 0xFFFFFFFFu; }, 3,
         "Port 2: Poll interval 4294967295 out of range 0-99999900"},
        {[](ModuleConfig& c) { c.Plus.TerminateTimeout[3] = 10000; }, 3,
         "Port 4: Terminate Timeout 10000 out of range 0-9999"},
        {[](ModuleConfig& c) { c.Plus.TriggerInhibit[0] = -5; }, 3,
         "Port 1: Trigger/Inhibit register -5 out of range 0-10238"},
        {[](ModuleConfig& c) { c.Plus.RackBase = 0; }, 3,
         "Rack start address 0 out of range 1-8191"},
        {[](ModuleConfig&) {}, 4, "Print/Prog baud rate 4 out of range 0-3"},
    };
    EXPECT_EQ(ModuleOutOfRange(Sound(), 3), std::nullopt);
    for (const Case& k : kCases) {
        ModuleConfig config = Sound();
        k.change(config);
        EXPECT_EQ(ModuleOutOfRange(config, k.printProgBaud).value_or("passed"), k.text);
    }
}

// A single-port send looks at that port only, with the module-wide values.
TEST(ConfigRanges, APortSendChecksItsOwnPort) {
    ModuleConfig config = Sound();
    config.Ports[2].Parity = 7;
    EXPECT_EQ(PortSendOutOfRange(config, 1, 3), std::nullopt);
    EXPECT_EQ(PortSendOutOfRange(config, 3, 3).value_or(""), "Port 3: Parity 7 out of range 0-2");
    EXPECT_EQ(PortSendOutOfRange(config, 1, 9).value_or(""),
              "Print/Prog baud rate 9 out of range 0-3");
}

}  // namespace
