// The port editor on the in-memory console: its screen for both models, what
// every key changes, and which module write follows each change online.
#include "editors/port_editor.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "editor_screen_fixture.h"
#include "recording_writes.h"

namespace {

std::string Trimmed(std::string s) {
    while (!s.empty() && s.back() == ' ') s.pop_back();
    return s;
}

struct PortEditor : EditorScreen {
    RecordingWrites online{EditMode::Online};
    void SetUp() override {
        EditorScreen::SetUp();
        CurrentPort = 0;
    }
    // Runs the editor on the keys, then Esc, and returns the screen it left.
    ScreenSnapshot Edit(const std::string& typed, OnlineWrites& writes) {
        Type(typed + keys::F1 + keys::Esc);
        EditPorts(documents, writes, CurrentPort);
        return Snapshots().empty() ? ScreenSnapshot{} : Snapshots().back();
    }
};

TEST_F(PortEditor, ScreenOfThePlusModel) {
    const ScreenSnapshot s = Edit("", Offline());
    const std::vector<std::string> expected = {
        "",
        "Vornakel R&D         K O V A    A S C I I    M O D U L E              OFFLINE",
        "Type 1 to select a port. Type 2 through 9, -, or A through Z change parameters.",
        "1  Port 1                    5  Stop bits 2           9  Periodic Poll",
        "2  Baud rate 9600            6  Capitalize NO         0  Terminate Count 0",
        "3  Data bits 8               7  Accept characters     -  Terminate Timeout 0",
        "4  Parity NONE               8  Terminate characters",
        "--------------------------------- DATA PATH 1 ----------------------------------",
        "A Pattern \xF9*" + std::string(64, '\xF9'),
        "B Mask    \xF9" + std::string(64, '_') + "\xF9",
        "C Start Register 2      D Register Count 1  E Editing INTEGER    F Continue NO",
    };
    for (size_t r = 1; r < expected.size(); ++r) EXPECT_EQ(Trimmed(s.chars[r]), expected[r]) << r;
    EXPECT_EQ(Trimmed(s.chars[22]), "U Start Register 5      V Register Count 0  W Editing ASCII");
    EXPECT_EQ(s.chars[23], std::string(80, '-'));
    EXPECT_EQ(Trimmed(s.chars[24]),
              "X Print/Prog baud rate 9600            Y Rack start address    1");
    EXPECT_EQ(Trimmed(s.chars[25]),
              "Press Esc to return to menu.           Z Trigger/Inhibit register 0");
    // Key letters in reverse, labels normal, the title highlighted.
    for (auto [row, col] : {std::pair{2, 6},
                            {2, 31},
                            {2, 60},
                            {3, 1},
                            {4, 55},
                            {8, 1},
                            {22, 25},
                            {24, 40},
                            {25, 7},
                            {25, 40}})
        EXPECT_EQ(s.AttrAt(row, col), '1') << row << "," << col;
    EXPECT_EQ(s.AttrAt(3, 4), '0');
    EXPECT_EQ(s.AttrAt(1, 22), '2');
}

TEST_F(PortEditor, StandardModelHidesAndRefusesThePlusItems) {
    ModuleModel = 0;
    WorkingConfig.Plus.TerminateCount[0] = 5;
    const ModuleConfig before = WorkingConfig;
    const ScreenSnapshot s = Edit("0-Zz", Offline());
    EXPECT_EQ(console.beeps, 4);
    EXPECT_EQ(0, std::memcmp(&before, &WorkingConfig, sizeof before));
    EXPECT_EQ(Trimmed(s.chars[4]), "2  Baud rate 9600            6  Capitalize NO");
    EXPECT_EQ(Trimmed(s.chars[5]), "3  Data bits 8               7  Accept characters");
    EXPECT_EQ(Trimmed(s.chars[25]), "Press Esc to return to menu.");
}

// One case per key: the keys typed, the value they leave and, online, the
// write that follows.
TEST_F(PortEditor, EveryKeyChangesItsFieldAndWritesIt) {
    using namespace keys;
    using Get = std::function<int()>;
    PortConfig& p = WorkingConfig.Ports[0];
    EditPlus& plus = WorkingConfig.Plus;
    struct Case {
        std::string typed;
        Get value;
        int expected;
        std::vector<std::string> writes;
    } kCases[] = {
        // A list key's write waits until the user settles (here with Enter).
        {"2" + Enter, [&] { return p.BaudRate; }, 14, {"WriteCommParameters 0"}},
        {Times(16, "2") + Enter, [&] { return p.BaudRate; }, 13, {}},  // round: nothing
        {"3" + Enter, [&] { return p.DataBits; }, 0, {"WriteCommParameters 0"}},
        {"444" + Enter, [&] { return p.Parity; }, 0, {}},
        {"44" + Enter, [&] { return p.Parity; }, 2, {"WriteCommParameters 0"}},
        {"5" + Enter, [&] { return p.StopBits; }, 0, {"WriteCommParameters 0"}},
        {"6" + Enter, [&] { return p.Capitalize; }, 1, {"WriteCommParameters 0"}},
        {"7 " + Enter, [&] { return CharSetHas(p.AcceptSet, 0); }, 1, {"WriteAcceptSet 0"}},
        {"8 " + Enter, [&] { return CharSetHas(p.TerminateSet, 0); }, 1, {"WriteTerminateSet 0"}},
        {"012" + Enter, [&] { return plus.TerminateCount[0]; }, 12, {"WriteTerminateCount 0"}},
        {"090" + Enter + F10,
         [&] { return plus.TerminateCount[0]; },
         80,
         {"WriteTerminateCount 0"}},
        {"01" + Esc, [&] { return plus.TerminateCount[0]; }, 0, {}},
        {"-9999" + Enter,
         [&] { return plus.TerminateTimeout[0]; },
         9999,
         {"WriteTerminateTimeout 0"}},
        {"A" + std::string("X*") + Enter,
         [&] { return int(std::strcmp(p.Paths[0].Pattern, "X*")); },
         0,
         {"WritePath 0 0"}},
        {"a" + std::string("X*") + Esc,
         [&] { return int(std::strcmp(p.Paths[0].Pattern, "*")); },
         0,
         {}},
        {"H" + std::string("##") + Enter,
         [&] { return int(std::strcmp(p.Paths[1].Mask, "##")); },
         0,
         {"WritePath 0 1"}},
        {"O" + std::string("30") + Enter,
         [&] { return p.Paths[2].StartRegister; },
         30,
         {"WritePath 0 2"}},
        {"O" + std::string("0") + Enter + F10,
         [&] { return p.Paths[2].StartRegister; },
         2,
         {"WritePath 0 2"}},
        {"O" + std::string("3000") + Enter + F10,
         [&] { return p.Paths[2].StartRegister; },
         2048,
         {"WritePath 0 2"}},
        {"V" + std::string("99") + Enter,
         [&] { return p.Paths[3].RegisterCount; },
         64,
         {"WritePath 0 3"}},
        {"v" + std::string("9") + Esc, [&] { return p.Paths[3].RegisterCount; }, 0, {}},
        // The block of registers stays inside the rack: 2040 to 2048.
        {"C2040" + Enter + "D64" + Enter + F10,
         [&] { return p.Paths[0].RegisterCount; },
         9,
         {"WritePath 0 0", "WritePath 0 0"}},
        {"D64" + Enter + "C2040" + Enter + F10,
         [&] { return p.Paths[0].RegisterCount; },
         9,
         {"WritePath 0 0", "WritePath 0 0"}},
        {"C3000" + Enter + F10 + "D64" + Enter + F10,
         [&] { return p.Paths[0].RegisterCount; },
         1,
         {"WritePath 0 0", "WritePath 0 0"}},
        {"C2040" + Enter + "D9" + Enter,
         [&] { return p.Paths[0].RegisterCount; },
         9,
         {"WritePath 0 0", "WritePath 0 0"}},
        {"EE" + Enter, [&] { return p.Paths[0].EditingMode; }, 4, {"WritePath 0 0"}},
        {Times(8, "W") + Enter, [&] { return p.Paths[3].EditingMode; }, 0, {}},
        {"l" + Enter, [&] { return p.Paths[1].Continue; }, 1, {"WritePath 0 1"}},
        {"RR" + Enter, [&] { return p.Paths[2].Continue; }, 0, {}},
        {"X" + Enter, [&] { return PrintProgBaud; }, 0, {"ChangePrintProgBaud"}},
        {"Y" + std::string("0") + Enter, [&] { return plus.RackBase; }, 1, {"WriteRackBase"}},
        {"Y" + std::string("9000") + Enter + "n",
         [&] { return plus.RackBase; },
         8191,
         {"WriteRackBase"}},
        {"Z" + std::string("7") + Enter,
         [&] { return plus.TriggerInhibit[0]; },
         7,
         {"WriteTriggerInhibit 0"}},
        {"Z" + std::string("3000") + Enter + F10,
         [&] { return plus.TriggerInhibit[0]; },
         0,
         {"WriteTriggerInhibit 0"}},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(testing::PrintToString(c.typed));
        for (RecordingWrites* writes : {static_cast<RecordingWrites*>(nullptr), &online}) {
            SetUp();
            online.calls.clear();
            if (writes)
                Edit(c.typed, *writes);
            else
                Edit(c.typed, Offline());
            ExpectAllKeysRead();
            EXPECT_EQ(c.value(), c.expected);
            if (writes) {
                std::vector<std::string> expected = {"FetchForEditor 0"};
                expected.insert(expected.end(), c.writes.begin(), c.writes.end());
                EXPECT_EQ(online.calls, expected);
            }
            TearDown();
        }
    }
}

TEST_F(PortEditor, RangeMessages) {
    using namespace keys;
    struct Case {
        std::string typed;
        const char* message;
    } kCases[] = {
        {"090" + Enter, "Longest message is 80 bytes."},
        {"C0" + Enter, "Register (0) is less than Rack Base (1) + 1. Changing."},
        {"C3000" + Enter, "Register (3000) is greater than Rack Base (1) + 2047. Changing."},
        {"C2040" + Enter + "D64" + Enter,
         "Last register (2103) is greater than Rack Base (1) + 2047. Changing."},
    };
    for (const auto& c : kCases) {
        SetUp();
        Type(c.typed + F1 + F10 + Esc);
        EditPorts(documents, Offline(), CurrentPort);
        EXPECT_NE(Snapshots().at(0).chars[23].find(c.message), std::string::npos) << c.message;
        TearDown();
    }
}

TEST_F(PortEditor, PortKeyWalksThePortsAndIsKept) {
    WorkingConfig.Ports[1].BaudRate = 2;
    CurrentPort = 7;  // out of range: the first port
    Type("12" + keys::Esc);
    EditPorts(documents, Offline(), CurrentPort);
    EXPECT_EQ(CurrentPort, 1);
    EXPECT_EQ(WorkingConfig.Ports[1].BaudRate, 3);
    EXPECT_EQ(WorkingConfig.Ports[0].BaudRate, 13);
    const ScreenSnapshot s = Edit("111", Offline());  // 1 -> 2 -> 3 -> 0
    EXPECT_EQ(CurrentPort, 0);
    EXPECT_EQ(s.At(3, 1, 9), "1  Port 1");
}

// A port whose fetch failed is shown blank and takes no change: nothing of
// it reaches the module until Enter has fetched it.
TEST_F(PortEditor, APortThatWasNotReadIsBlankAndRefusesChanges) {
    WorkingConfig.Ports[1].BaudRate = 5;  // in memory, not in the module
    online.failOn = "FetchForEditor 1";
    online.failures = 1;
    Type("1" + keys::F1 + "2C6" + keys::F1 + keys::Enter + keys::F1 + "2" + keys::Enter +
         keys::Esc);
    EditPorts(documents, online, CurrentPort);
    EXPECT_EQ(online.calls,
              (std::vector<std::string>{"FetchForEditor 0", "FetchForEditor 1", "FetchForEditor 1",
                                        "WriteCommParameters 1"}));
    EXPECT_EQ(console.beeps, 3);                    // 2, C and 6 refused
    EXPECT_EQ(WorkingConfig.Ports[1].BaudRate, 6);  // only the change after the fetch
    EXPECT_EQ(online.portWritten.BaudRate, 6);      // and the write carried it
    for (int shot : {0, 1}) {
        const ScreenSnapshot& s = Snapshots().at(size_t(shot));
        EXPECT_EQ(s.At(3, 1, 9), "1  Port 2") << shot;
        EXPECT_EQ(s.At(4, 1, 20), "2  Baud rate" + std::string(8, ' ')) << shot;
        EXPECT_EQ(s.At(10, 1, 22), "C Start Register" + std::string(6, ' ')) << shot;
        EXPECT_EQ(Trimmed(s.chars[25].substr(0, 39)), "Not read from KOVA: Enter tries again")
            << shot;
        EXPECT_EQ(s.At(1, 70, 8), "  ONLINE") << shot;
        EXPECT_EQ(s.At(1, 65, 5), "     ") << shot;  // the status is blanked
    }
    const ScreenSnapshot& read = Snapshots().at(2);
    EXPECT_EQ(read.At(4, 1, 19), "2  Baud rate 300   ");
    EXPECT_EQ(Trimmed(read.chars[25].substr(0, 39)), "Press Esc to return to menu.");
}

// The PLUS-only labels follow the model the fetch found, both ways.
TEST_F(PortEditor, PlusLabelsFollowTheModelTheFetchFound) {
    struct Case {
        int16_t before, found;
        bool labels;
    } kCases[] = {{2, 0, false}, {1, 0, false}, {0, 1, true}, {2, 1, true}};
    for (const Case& c : kCases) {
        SCOPED_TRACE(std::to_string(c.before) + " -> " + std::to_string(c.found));
        SetUp();
        online = RecordingWrites(EditMode::Online, c.before);
        online.modelFound = c.found;
        const ScreenSnapshot s = Edit("", online);
        EXPECT_EQ(s.At(4, 55, 18) == "0  Terminate Count", c.labels) << s.At(4, 55, 18);
        EXPECT_EQ(s.At(25, 40, 26) == "Z Trigger/Inhibit register", c.labels);
        TearDown();
    }
}

TEST_F(PortEditor, AFailedFetchOnOpeningLeavesTheEditorAtOnce) {
    online.failOn = "FetchForEditor 0";
    Type("2");
    EditPorts(documents, online, CurrentPort);
    EXPECT_EQ(console.keys.size(), 1u);  // no key was read
    console.keys.clear();
}

// Online, a list key shows each step at once and writes only the value the
// user settles on: once, when another key comes or the user pauses; Esc
// before that writes nothing and shows the module's value again.
TEST_F(PortEditor, AListValueIsWrittenOnceTheUserSettlesOnIt) {
    using namespace keys;
    PortConfig& p = WorkingConfig.Ports[0];
    struct Case {
        const char* what;
        std::vector<std::string> typed;  // a pause between the parts
        int baud, dataBits, printProgBaud;
        std::vector<std::string> writes;
    } kCases[] = {
        {"Enter settles", {"XXX" + Enter}, 13, 1, 2, {"ChangePrintProgBaud"}},
        {"a pause settles", {"222", ""}, 0, 1, 3, {"WriteCommParameters 0"}},
        {"Esc puts the module's value back", {"2222" + Esc}, 13, 1, 3, {}},
        {"another key settles and is handled", {"23" + Esc}, 14, 1, 3, {"WriteCommParameters 0"}},
        {"the port key settles first",
         {"21"},
         14,
         1,
         3,
         {"WriteCommParameters 0", "FetchForEditor 1"}},
        {"stepped round to the module's value", {Times(4, "X"), ""}, 13, 1, 3, {}},
        {"after a pause a new step is held again",
         {"2", "2" + Esc},
         14,
         1,
         3,
         {"WriteCommParameters 0"}},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.what);
        SetUp();
        online.calls.clear();
        for (const std::string& part : c.typed) {
            Type(part);
            Pause();
        }
        const ScreenSnapshot s = Edit("", online);
        ExpectAllKeysRead();
        EXPECT_EQ(p.BaudRate, c.baud);
        EXPECT_EQ(p.DataBits, c.dataBits);
        EXPECT_EQ(PrintProgBaud, c.printProgBaud);
        std::vector<std::string> expected = {"FetchForEditor 0"};
        expected.insert(expected.end(), c.writes.begin(), c.writes.end());
        EXPECT_EQ(online.calls, expected);
        if (!c.writes.empty() && c.writes[0] == "ChangePrintProgBaud") {
            EXPECT_EQ(online.printProgBaudWritten, c.printProgBaud);
        }
        if (c.baud == 13) {
            EXPECT_EQ(s.At(4, 14, 5), "9600 ");  // shown as the module has it
        }
        TearDown();
    }
}

// Each step shows at once, before anything is written.
TEST_F(PortEditor, AHeldValueShowsAtOnce) {
    Type("XX" + keys::F1);
    Pause();
    Edit("", online);
    EXPECT_EQ(Snapshots().at(0).At(24, 24, 7), "1200   ");
    EXPECT_EQ(online.calls, (std::vector<std::string>{"FetchForEditor 0", "ChangePrintProgBaud"}));
}

// A failed write leaves the editor open, with the port shown unread and row
// 25 saying so and what Enter does; keys other than Enter, 1 and Esc are
// refused until Enter has read the port again.
TEST_F(PortEditor, AfterAFailedWriteThePortIsUnreadUntilEnterReadsIt) {
    struct Case {
        std::string failOn, typed;
    } kCases[] = {
        {"WriteCommParameters 0", "2" + keys::Enter},
        {"WritePath 0 0", "E3"},  // the key that settles it is dropped
        {"WriteTerminateCount 0", "012" + keys::Enter},
        {"SendPollQuery 0 0", "9" + keys::Down + "Q" + keys::Enter},
        {"WritePath 0 0", "Y101" + keys::Enter + "y"},  // moving the paths: no rack base written
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.failOn);
        SetUp();
        online.calls.clear();
        online.failOn = c.failOn;
        online.failures = 1;
        Type(c.typed + keys::F1 + "2" + keys::Enter + keys::F1);
        const ScreenSnapshot& back = Edit("", online);
        ExpectAllKeysRead();
        EXPECT_EQ(console.beeps, 1);  // the 2 after the failure
        EXPECT_EQ(online.calls.back(), "FetchForEditor 0");
        EXPECT_EQ(std::count(online.calls.begin(), online.calls.end(), "WriteRackBase"), 0);
        const ScreenSnapshot& failed = Snapshots().at(0);
        EXPECT_EQ(Trimmed(failed.chars[25].substr(0, 39)), "Write failed: Enter reads KOVA again");
        EXPECT_EQ(failed.At(4, 1, 20), "2  Baud rate" + std::string(8, ' '));
        EXPECT_EQ(Trimmed(back.chars[25].substr(0, 39)), "Press Esc to return to menu.");
        EXPECT_NE(back.At(4, 14, 5), "     ");  // the values are back
        TearDown();
    }
}

TEST_F(PortEditor, PatternIsCheckedAgainstTheAcceptSet) {
    using namespace keys;
    // A control character typed in hex is not in the default accept set.
    Type("A" + End + F9 + "07" + Enter + Enter + F1 + F10 + Esc);
    EditPorts(documents, Offline(), CurrentPort);
    EXPECT_STREQ(WorkingConfig.Ports[0].Paths[0].Pattern, "*\x07");  // kept as entered
    EXPECT_NE(Snapshots().at(0).chars[23].find("Pattern requires character not in Accept Set"),
              std::string::npos);
}

}  // namespace
