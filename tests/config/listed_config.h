// A configuration with a value off its default in every kind of field and
// control characters in its strings, and the listings of it kept as fixture
// files: shared by the listing's tests and the print dialog's.
#pragma once
#include <cstring>
#include <string>

#include "common/file_contents.h"
#include "config/config_defaults.h"
#include "config/module_config.h"

// The fixtures sit beside this file in the source tree.
inline std::string Fixture(const char* name) {
    // The build names the source tree: __FILE__ may be relative to a build
    // folder that is not the one the test runs in (a compiler cache rewrites it).
    return ReadFile(std::string(KOVA_SOURCE_DIR) + "/tests/config/fixtures/" + name);
}

// Defaults with control characters in patterns, masks and queries and a
// value off its default in every kind of field.
inline ModuleConfig ListedConfig() {
    ModuleConfig c;
    FillDefaults(c);
    c.Plus.RackBase = 100;
    c.Plus.TerminateCount[0] = 12;
    c.Plus.TerminateTimeout[0] = 300;
    c.Plus.TriggerInhibit[0] = 117;
    PortConfig& p1 = c.Ports[0];
    std::strcpy(p1.Paths[0].Pattern,
                "\x02"
                "AB*\r");
    std::strcpy(p1.Paths[0].Mask, "__\x1b__");
    p1.Paths[1].Continue = 1;
    p1.Paths[3].EditingMode = 7;
    p1.Paths[0].StartRegister = 101;
    std::strcpy(p1.PollQueries[0], "@001004D\r\n");
    std::strcpy(p1.PollQueries[15], "\x05");
    p1.PollInterval = 250;
    CharSetPut(p1.AcceptSet, 0x0D, true);
    CharSetPut(p1.TerminateSet, 0x03, true);
    PortConfig& p2 = c.Ports[1];
    p2.BaudRate = 3;
    p2.DataBits = 0;
    p2.Parity = 1;
    p2.StopBits = 0;
    p2.Capitalize = 1;
    p2.PollInterval = 12345;
    return c;
}
