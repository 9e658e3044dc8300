// Configurations as a damaged file or a module's registers may hold them: any
// value in any field. Every reader (the editor screens, the print-out, the
// emulator, validation, the file image) stays inside its tables and buffers,
// shows each field in a form that cannot be mistaken for another value, and
// leaves the record as it was read.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "config/config_file_image.h"
#include "config/config_listing.h"
#include "config/validate.h"
#include "editor_screen_fixture.h"
#include "editors/char_set_editor.h"
#include "editors/poll_editor.h"
#include "editors/port_editor.h"
#include "editors/port_editor_screen.h"
#include "editors/rack_base_change.h"
#include "emulator/register_image.h"
#include "emulator_screen/emulator.h"
#include "recording_writes.h"
#include "ui/boxes.h"
#include "ui/screen_hooks.h"

namespace {

struct Hostile {
    const char* name;
    void (*apply)(ModuleConfig& c, int16_t& printProgBaud);
};

template <typename F>
void EachPort(ModuleConfig& c, F f) {
    for (PortConfig& p : c.Ports) f(p);
}
template <typename F>
void EachPath(ModuleConfig& c, F f) {
    for (PortConfig& p : c.Ports)
        for (DataPath& d : p.Paths) f(d);
}

// clang-format off
const Hostile kHostile[] = {
    {"baud 99", [](ModuleConfig& c, int16_t&) { EachPort(c, [](PortConfig& p) { p.BaudRate = 99; }); }},
    {"baud -5", [](ModuleConfig& c, int16_t&) { EachPort(c, [](PortConfig& p) { p.BaudRate = -5; }); }},
    {"baud 16", [](ModuleConfig& c, int16_t&) { EachPort(c, [](PortConfig& p) { p.BaudRate = 16; }); }},
    {"baud -32768", [](ModuleConfig& c, int16_t&) { EachPort(c, [](PortConfig& p) { p.BaudRate = -32768; }); }},
    {"data bits 2", [](ModuleConfig& c, int16_t&) { EachPort(c, [](PortConfig& p) { p.DataBits = 2; }); }},
    {"data bits -1", [](ModuleConfig& c, int16_t&) { EachPort(c, [](PortConfig& p) { p.DataBits = -1; }); }},
    {"parity -5", [](ModuleConfig& c, int16_t&) { EachPort(c, [](PortConfig& p) { p.Parity = -5; }); }},
    {"parity 3", [](ModuleConfig& c, int16_t&) { EachPort(c, [](PortConfig& p) { p.Parity = 3; }); }},
    {"stop bits 32767", [](ModuleConfig& c, int16_t&) { EachPort(c, [](PortConfig& p) { p.StopBits = 32767; }); }},
    {"capitalize -1", [](ModuleConfig& c, int16_t&) { EachPort(c, [](PortConfig& p) { p.Capitalize = -1; }); }},
    {"every code accepted and terminating", [](ModuleConfig& c, int16_t&) { EachPort(c, [](PortConfig& p) {
        std::memset(p.AcceptSet, 0xFF, 32); std::memset(p.TerminateSet, 0xFF, 32); }); }},
    {"nothing accepted", [](ModuleConfig& c, int16_t&) { EachPort(c, [](PortConfig& p) { std::memset(p.AcceptSet, 0, 32); }); }},
    {"pattern and mask without terminator", [](ModuleConfig& c, int16_t&) { EachPath(c, [](DataPath& d) {
        std::memset(d.Pattern, 'A', 65); std::memset(d.Mask, 'X', 65); }); }},
    {"pattern of 0xFF", [](ModuleConfig& c, int16_t&) { EachPath(c, [](DataPath& d) { std::memset(d.Pattern, 0xFF, 65); }); }},
    {"pattern of stars", [](ModuleConfig& c, int16_t&) { EachPath(c, [](DataPath& d) { std::memset(d.Pattern, '*', 65); }); }},
    {"pattern of open ranges", [](ModuleConfig& c, int16_t&) { EachPath(c, [](DataPath& d) { std::memset(d.Pattern, '(', 65); }); }},
    {"pattern of open classes", [](ModuleConfig& c, int16_t&) { EachPath(c, [](DataPath& d) { std::memset(d.Pattern, '[', 65); }); }},
    {"mask of deletes", [](ModuleConfig& c, int16_t&) { EachPath(c, [](DataPath& d) {
        std::strcpy(d.Pattern, "*"); std::memset(d.Mask, 0x7F, 65); }); }},
    {"control characters in texts", [](ModuleConfig& c, int16_t&) { EachPort(c, [](PortConfig& p) {
        for (int i = 0; i < 64; ++i) p.Paths[1].Mask[i] = p.PollQueries[3][i] = char(1 + i % 31); }); }},
    {"start register -32768", [](ModuleConfig& c, int16_t&) { EachPath(c, [](DataPath& d) { d.StartRegister = -32768; }); }},
    {"start register 32767", [](ModuleConfig& c, int16_t&) { EachPath(c, [](DataPath& d) { d.StartRegister = 32767; }); }},
    {"register count 5000", [](ModuleConfig& c, int16_t&) { EachPath(c, [](DataPath& d) { d.RegisterCount = 5000; }); }},
    {"register count -1", [](ModuleConfig& c, int16_t&) { EachPath(c, [](DataPath& d) { d.RegisterCount = -1; }); }},
    {"register count -32768", [](ModuleConfig& c, int16_t&) { EachPath(c, [](DataPath& d) { d.RegisterCount = -32768; }); }},
    {"editing mode 8", [](ModuleConfig& c, int16_t&) { EachPath(c, [](DataPath& d) { d.EditingMode = 8; }); }},
    {"editing mode 200", [](ModuleConfig& c, int16_t&) { EachPath(c, [](DataPath& d) { d.EditingMode = 200; }); }},
    {"continue 255", [](ModuleConfig& c, int16_t&) { EachPath(c, [](DataPath& d) {
        std::strcpy(d.Pattern, "*"); d.Continue = 255; d.RegisterCount = 64; }); }},
    {"queries without terminator", [](ModuleConfig& c, int16_t&) { EachPort(c, [](PortConfig& p) {
        std::memset(p.PollQueries, '@', sizeof p.PollQueries); std::memset(p.Reserved, 0xFF, 2); }); }},
    {"poll interval 0xFFFFFFFF", [](ModuleConfig& c, int16_t&) { EachPort(c, [](PortConfig& p) { p.PollInterval = 0xFFFFFFFF; }); }},
    {"poll interval 1234.56 s", [](ModuleConfig& c, int16_t&) { EachPort(c, [](PortConfig& p) { p.PollInterval = 123456; }); }},
    {"rack base -32768", [](ModuleConfig& c, int16_t&) { c.Plus.RackBase = -32768; }},
    {"rack base 0", [](ModuleConfig& c, int16_t&) { c.Plus.RackBase = 0; }},
    {"rack base 32767", [](ModuleConfig& c, int16_t&) { c.Plus.RackBase = 32767; }},
    {"rack base 10000", [](ModuleConfig& c, int16_t&) { c.Plus.RackBase = 10000; }},
    {"terminate count -1", [](ModuleConfig& c, int16_t&) { std::fill_n(c.Plus.TerminateCount, 4, int16_t(-1)); }},
    {"terminate count 5000", [](ModuleConfig& c, int16_t&) { std::fill_n(c.Plus.TerminateCount, 4, int16_t(5000)); }},
    {"terminate timeout -1", [](ModuleConfig& c, int16_t&) { std::fill_n(c.Plus.TerminateTimeout, 4, int16_t(-1)); }},
    {"trigger/inhibit -32768", [](ModuleConfig& c, int16_t&) { std::fill_n(c.Plus.TriggerInhibit, 4, int16_t(-32768)); }},
    {"trigger/inhibit 32767", [](ModuleConfig& c, int16_t&) { std::fill_n(c.Plus.TriggerInhibit, 4, int16_t(32767)); }},
    {"print/prog baud 77", [](ModuleConfig&, int16_t& b) { b = 77; }},
    {"print/prog baud -32768", [](ModuleConfig&, int16_t& b) { b = -32768; }},
    {"all at once", [](ModuleConfig& c, int16_t& b) {
        EachPort(c, [](PortConfig& p) {
            p.BaudRate = -32768; p.DataBits = 9; p.Parity = -5; p.StopBits = 2; p.Capitalize = 7;
            std::memset(p.AcceptSet, 0xFF, 32); std::memset(p.TerminateSet, 0x55, 32);
            std::memset(p.PollQueries, 0xFF, sizeof p.PollQueries); p.PollInterval = 4000000000u;
        });
        EachPath(c, [](DataPath& d) {
            std::memset(d.Pattern, '*', 65); std::memset(d.Mask, 0xFE, 65);
            d.StartRegister = -1; d.RegisterCount = 32767; d.EditingMode = 255; d.Continue = 9; });
        c.Plus.RackBase = -32768;
        std::fill_n(c.Plus.TerminateCount, 4, int16_t(-32768));
        std::fill_n(c.Plus.TerminateTimeout, 4, int16_t(-32768));
        std::fill_n(c.Plus.TriggerInhibit, 4, int16_t(-2));
        b = 32767;
    }},
};
// clang-format on

bool SameRecord(const ModuleConfig& a, const ModuleConfig& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

size_t Count(const std::string& s, char c) { return size_t(std::count(s.begin(), s.end(), c)); }

struct HostileValues : EditorScreen {
    EmulatorRegisters registers{};
    void SetUp() override {
        EditorScreen::SetUp();
        // Validation reports go to the status line instead of waiting for a key.
        SetScreenHooks({.trapErrors = [] { return 1; }});
        ClearEmulatorRegisters(registers);
        ResetGridOrigin(registers);
    }
    void TearDown() override {
        SetScreenHooks({});
        EditorScreen::TearDown();
    }
    ModuleConfig Make(const Hostile& h, int16_t& printProgBaud) {
        ModuleConfig c;
        FillDefaults(c);
        printProgBaud = 3;
        h.apply(c, printProgBaud);
        return c;
    }
    static bool ScreenHas(const char* text) {
        const ScreenSnapshot s = ImageNow();
        for (int r = 1; r <= 25; ++r)
            if (s.chars[r].find(text) != std::string::npos) return true;
        return false;
    }
};

TEST_F(HostileValues, EveryReaderStaysInBoundsAndKeepsTheRecord) {
    ModuleConfig defaults;
    FillDefaults(defaults);
    const std::string sane = ConfigListing(defaults, 3, 1, "01/Jan/26 00:00");
    for (const Hostile& h : kHostile) {
        SCOPED_TRACE(h.name);
        console.ClearCalls();
        int16_t baud;
        const ModuleConfig hostile = Make(h, baud);
        WorkingConfig = hostile;
        PrintProgBaud = baud;
        for (int port = 0; port < 4; ++port) {
            // The sub-editors draw their fields; Enter leaves each at once.
            Type(keys::Enter);
            EXPECT_EQ(EditPolling(WorkingConfig.Ports[port], port, Offline()), 1);
            Type(keys::Enter);
            EditCharSet(WorkingConfig.Ports[port].TerminateSet, port, "Terminate", Offline());
        }
        for (int16_t model : {0, 1}) {
            ModuleModel = model;
            for (int port = 0; port < 4; ++port) {
                DrawPortEditorScreen(Offline());
                ShowPortValues(documents, port, model);
                EXPECT_FALSE(ScreenHas("INVALID"));
            }
            const std::string listing = ConfigListing(hostile, baud, model, "01/Jan/26 00:00");
            const std::string sameModel = ConfigListing(defaults, 3, model, "01/Jan/26 00:00");
            EXPECT_EQ(listing.find("INVALID"), std::string::npos);
            // Every value stays on its own line: control characters show as hex.
            EXPECT_EQ(Count(listing, '\n'), Count(sameModel, '\n'));
            EXPECT_EQ(Count(listing, '\f'), Count(sane, '\f'));
        }
        ExpectAllKeysRead();
        EXPECT_TRUE(SameRecord(WorkingConfig, hostile));
        EXPECT_EQ(PrintProgBaud, baud);

        // The file image carries every byte as read.
        const auto image = EncodeConfigFile(DocumentOf(hostile, baud, 0));
        ASSERT_EQ(image.size(), kConfigFileSize);
        const auto decoded = DecodeConfigFile(image.data(), image.size());
        ASSERT_TRUE(decoded);
        EXPECT_TRUE(SameRecord(ModuleConfigOf(decoded->contents), hostile));
        EXPECT_EQ(decoded->contents.printProgBaud, baud);

        // Validation repairs what it names and leaves sound strings.
        ModuleConfig validated = hostile;
        ValidatePortsOf(validated, 0, 3, [](const std::string&) {});
        for (const PortConfig& p : validated.Ports) {
            for (const DataPath& d : p.Paths) {
                EXPECT_LE(strnlen(d.Pattern, 65), 64u);
                EXPECT_LE(strnlen(d.Mask, 65), 64u);
                EXPECT_LE(d.RegisterCount, 64);
            }
            for (const auto& q : p.PollQueries) EXPECT_LE(strnlen(q, 65), 64u);
            EXPECT_EQ(p.BaudRate, hostile.Ports[&p - validated.Ports].BaudRate);
        }
    }
}

TEST_F(HostileValues, TheEmulatorRunsEveryPortOfAHostileConfiguration) {
    for (const Hostile& h : kHostile) {
        SCOPED_TRACE(h.name);
        int16_t baud;
        OfflineMemory = Make(h, baud);
        const ModuleConfig before = OfflineMemory;
        for (char port = '1'; port <= '4'; ++port) {
            console.ClearCalls();
            Type(std::string(1, port) + keys::Enter);
            Type("A1b2-3.5e1 x\r" + std::string(70, '7') + "\r");
            console.TypeExtended(60);  // F2, the timeout
            console.TypeExtended(68);  // F10 leaves
            Emulate(registers, documents, 0);
            ExpectAllKeysRead();
            EXPECT_FALSE(ScreenHas("INVALID"));
        }
        EXPECT_TRUE(SameRecord(OfflineMemory, before));
    }
}

TEST_F(HostileValues, EditorShowsEachFieldInASoundForm) {
    PortConfig& p = WorkingConfig.Ports[0];
    p.BaudRate = 99;
    p.DataBits = 2;
    p.Parity = -5;
    p.StopBits = 32767;
    p.Capitalize = 7;
    p.Paths[0].EditingMode = 200;
    p.Paths[0].Continue = 255;
    p.Paths[0].RegisterCount = 5000;
    p.Paths[1].RegisterCount = -1;
    p.Paths[1].Continue = 2;
    p.Paths[2].StartRegister = 12345;
    p.Paths[3].StartRegister = -999;
    PrintProgBaud = -32768;
    WorkingConfig.Plus.RackBase = 10000;
    WorkingConfig.Plus.TerminateCount[0] = 5000;
    WorkingConfig.Plus.TerminateTimeout[0] = -1;  // 65535 as the screen reads it
    WorkingConfig.Plus.TriggerInhibit[0] = 9999;
    DrawPortEditorScreen(Offline());
    ShowPortValues(documents, 0, ModuleModel);
    PrintProgBaud = 77;  // a shorter text replaces a longer one whole
    ShowPortValues(documents, 0, ModuleModel);
    const ScreenSnapshot s = ImageNow();
    struct Cell {
        int row, col;
        std::string shown;
    } kCells[] = {
        {4, 14, "99?  "},    {5, 14, "?"},        {6, 11, "-5? "},  {3, 43, "?"},
        {4, 44, "7? "},      {10, 55, "200?   "}, {10, 77, "???"},  {10, 42, "??"},
        {14, 42, "-1"},      {14, 77, "2? "},     {18, 18, "????"}, {22, 18, "-999"},
        {24, 24, "77?    "}, {24, 61, "????"},    {4, 74, "??"},    {5, 76, "????"},
        {25, 67, "9999"},
    };
    for (const Cell& c : kCells)
        EXPECT_EQ(s.At(c.row, c.col, int(c.shown.size())), c.shown) << c.row << "," << c.col;
}

TEST_F(HostileValues, PrintOutShowsTheNumberOfAnUnlistedValue) {
    ModuleConfig c;
    FillDefaults(c);
    c.Ports[1].BaudRate = 99;
    c.Ports[1].DataBits = -1;
    c.Ports[1].Parity = 3;
    c.Ports[1].StopBits = 2;
    c.Ports[1].Capitalize = 32767;
    c.Ports[1].Paths[2].EditingMode = 200;
    c.Ports[1].Paths[2].Continue = 255;
    c.Ports[1].PollInterval = 0xFFFFFFFF;
    const std::string listing = ConfigListing(c, 77, 1, "01/Jan/26 00:00");
    for (const char* line : {
             "Print/Prog baud rate = 77?     Rack base address = 1\n",
             "Baud rate 99?       Data bits -1?    Parity 3?      Stop bits 2?    Capitalize "
             "32767?\n",
             "  Editing Mode 200?  Continue 255?\n",
             "Poll Interval 42949672.95 seconds.",
         })
        EXPECT_NE(listing.find(line), std::string::npos) << line;
}

// A value too wide for its field shows as question marks; Enter on them
// without typing keeps the value and writes nothing to the module, while a
// typed value is taken as usual.
TEST_F(HostileValues, NumberFieldsKeepAValueTheyCannotShow) {
    RecordingWrites online{EditMode::Online};
    WorkingConfig.Plus.TerminateCount[0] = 5000;
    WorkingConfig.Plus.TerminateTimeout[0] = -1;
    WorkingConfig.Plus.RackBase = 10000;
    for (DataPath& d : WorkingConfig.Ports[0].Paths) d.StartRegister = 8000;
    const ModuleConfig before = WorkingConfig;
    CurrentPort = 0;
    Type("0" + keys::Enter + "-" + keys::Enter + "Y" + keys::Enter + keys::Esc);
    EditPorts(documents, online, CurrentPort);
    ExpectAllKeysRead();
    EXPECT_TRUE(SameRecord(WorkingConfig, before));
    EXPECT_EQ(online.calls, std::vector<std::string>{"FetchForEditor 0"});

    Type("0" + std::string("12") + keys::Enter + keys::Esc);
    EditPorts(documents, online, CurrentPort);
    EXPECT_EQ(WorkingConfig.Plus.TerminateCount[0], 12);
    EXPECT_EQ(online.calls.back(), "WriteTerminateCount 0");
    EXPECT_EQ(online.plusWritten.TerminateCount[0], 12);
}

TEST_F(HostileValues, PollIntervalFieldShowsOnlyWhatReadsBackTheSame) {
    RecordingWrites online{EditMode::Online};
    PortConfig& port = WorkingConfig.Ports[2];
    struct Case {
        uint32_t interval;
        const char* shown;
    } kCases[] = {
        {99999, "999.99"},  {500000, "  5000"},     {99999900, "999999"},
        {123456, "??????"}, {0xFFFFFFFF, "??????"},
    };
    for (const Case& c : kCases) {
        port.PollInterval = c.interval;
        online.calls.clear();
        // Down leaves the interval field as Enter would, and stays in the editor.
        Type(keys::Down + keys::F1 + keys::Enter);
        Snapshots().clear();
        EXPECT_EQ(EditPolling(port, 2, online), 1);
        ASSERT_FALSE(Snapshots().empty());
        EXPECT_EQ(Snapshots().back().At(6, 24, 6), c.shown) << c.interval;
        EXPECT_EQ(uint32_t(port.PollInterval), c.interval);  // a copy: the field is packed
        EXPECT_EQ(std::count(online.calls.begin(), online.calls.end(), "SendPollInterval 2"), 0);
    }
    port.PollInterval = 0xFFFFFFFF;
    Type("7" + keys::Enter);
    EXPECT_EQ(EditPolling(port, 2, online), 1);
    EXPECT_EQ(uint32_t(port.PollInterval), 700u);
    EXPECT_EQ(online.calls.back(), "SendPollInterval 2");
}

TEST_F(HostileValues, ValidationNamesTheLimitOfANegativeRackBase) {
    ModuleConfig c;
    FillDefaults(c);
    c.Plus.RackBase = -32768;
    c.Plus.TriggerInhibit[2] = 5;
    std::vector<std::string> reports;
    ValidatePortsOf(c, 2, 2, [&](const std::string& m) { reports.push_back(m); });
    EXPECT_NE(std::find(reports.begin(), reports.end(), "Trigger/Inhibit > -30721"), reports.end());
    EXPECT_EQ(c.Plus.TriggerInhibit[2], 0);
}

// A module whose rack base register held -32768: moving to a sound base keeps
// each path where it was relative to the rack, and queries without a
// terminator are scanned only inside their fields.
TEST_F(HostileValues, RackBaseMovesFromADamagedBase) {
    WorkingConfig.Plus.RackBase = -32768;
    for (PortConfig& p : WorkingConfig.Ports) {
        for (int k = 0; k < 4; ++k) p.Paths[k].StartRegister = int16_t(-32767 + k);
        std::memset(p.PollQueries, '@', sizeof p.PollQueries);
    }
    std::memcpy(WorkingConfig.Ports[0].PollQueries[0], "@000020D", 8);  // no terminator
    const ModuleConfig before = WorkingConfig;
    Type("yy");
    EXPECT_EQ(ChangeRackBase(WorkingConfig, -32768, 1, Offline()), 1);
    ExpectAllKeysRead();
    for (const PortConfig& p : WorkingConfig.Ports)
        for (int k = 0; k < 4; ++k) EXPECT_EQ(p.Paths[k].StartRegister, 2 + k);
    // The reference would land past 9999: it stays, and so does every query
    // (validation gives each its terminator in the last byte).
    for (int p = 0; p < 4; ++p)
        for (int q = 0; q < 16; ++q)
            EXPECT_EQ(std::string(WorkingConfig.Ports[p].PollQueries[q], 64),
                      std::string(before.Ports[p].PollQueries[q], 64));
}

}  // namespace
