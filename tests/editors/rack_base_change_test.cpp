// The rack base change dialog: the questions, and what moves, offline and
// on the module.
#include "editors/rack_base_change.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "editor_screen_fixture.h"
#include "recording_writes.h"

namespace {

struct RackBase : EditorScreen {
    void SetUp() override {
        EditorScreen::SetUp();
        std::strcpy(WorkingConfig.Ports[2].PollQueries[5], "@001004D");
    }
};

TEST_F(RackBase, SameBaseDoesNothing) {
    const ModuleConfig before = WorkingConfig;
    Type(keys::F1);
    EXPECT_EQ(ChangeRackBase(WorkingConfig, 1, 1, Offline()), 0);
    EXPECT_EQ(0, std::memcmp(&before, &WorkingConfig, sizeof before));
    EXPECT_EQ(console.keys.size(), 2u);  // no window, no question read a key
}

TEST_F(RackBase, AnswersDecideWhatMoves) {
    struct Case {
        const char* name;
        int16_t model;
        std::string answers;
        int16_t path1Register;
        const char* query;
    } kCases[] = {
        {"both yes", 1, "yy", 102, "@011004D"},
        {"paths only", 1, "yn", 102, "@001004D"},
        {"no moves nothing", 1, "n", 2, "@001004D"},
        {"standard module: no second question", 0, "y", 102, "@001004D"},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        SetUp();
        WorkingConfig.Plus.TriggerInhibit[1] = 50;
        ModuleModel = c.model;
        Type(c.answers);
        EXPECT_EQ(ChangeRackBase(WorkingConfig, 1, 101, Offline()), 1);
        ExpectAllKeysRead();
        EXPECT_EQ(WorkingConfig.Plus.RackBase, 101);
        EXPECT_EQ(WorkingConfig.Ports[0].Paths[0].StartRegister, c.path1Register);
        EXPECT_EQ(WorkingConfig.Ports[3].Paths[3].StartRegister, c.path1Register + 15);
        EXPECT_EQ(WorkingConfig.Plus.TriggerInhibit[0], 0);  // none stays none
        EXPECT_STREQ(WorkingConfig.Ports[2].PollQueries[5], c.query);
        TearDown();
    }
}

TEST_F(RackBase, DialogAndValidationReports) {
    // Moving down by 100 pushes the Trigger/Inhibit register below the new
    // base: validation reports and repairs it (F10 clears the report).
    for (auto& port : WorkingConfig.Ports)
        for (auto& path : port.Paths) path.StartRegister += 200;
    WorkingConfig.Plus.TriggerInhibit[0] = 150;
    Type(keys::F1 + "y" + keys::F1 + keys::F10 + "n");
    EXPECT_EQ(ChangeRackBase(WorkingConfig, 201, 101, Offline()), 1);
    ExpectAllKeysRead();
    EXPECT_EQ(WorkingConfig.Plus.TriggerInhibit[0], 101);
    EXPECT_EQ(WorkingConfig.Ports[0].Paths[0].StartRegister, 102);
    EXPECT_NE(Snapshots().at(1).chars[23].find("Trigger/Inhibit (50) < EditPlus.RackBase (101)"),
              std::string::npos);
    const ScreenSnapshot& s = Snapshots().at(0);
    EXPECT_NE(s.chars[10].find("RACK BASE CHANGED"), std::string::npos);
    EXPECT_EQ(s.At(11, 22, 17), "Rack base was 201");
    EXPECT_EQ(s.At(12, 22, 17), "Rack base now 101");
}

TEST_F(RackBase, ReferenceThatWouldLeaveFourDigitsIsKeptAndReported) {
    std::strcpy(WorkingConfig.Ports[2].PollQueries[5], "@999904D@000104D");
    Type("yy" + keys::F1 + keys::F10);
    EXPECT_EQ(ChangeRackBase(WorkingConfig, 1, 101, Offline()), 1);
    ExpectAllKeysRead();
    EXPECT_STREQ(WorkingConfig.Ports[2].PollQueries[5], "@999904D@010104D");
    EXPECT_NE(Snapshots().at(0).chars[23].find(
                  "Port 3, Query 6: register outside 0-9999 after the move, left as it was"),
              std::string::npos);
}

TEST_F(RackBase, OnlineWritesEveryPathAndReference) {
    RecordingWrites online(EditMode::Online);
    WorkingConfig.Plus.TriggerInhibit[3] = 20;
    Type("yy");
    EXPECT_EQ(ChangeRackBase(WorkingConfig, 1, 101, online), 1);
    std::vector<std::string> expected;
    for (int p = 0; p < 4; ++p) {
        expected.push_back("FetchPaths " + std::to_string(p));
        for (int k = 0; k < 4; ++k)
            expected.push_back("WritePath " + std::to_string(p) + " " + std::to_string(k));
    }
    expected.push_back("WriteTriggerInhibit 3");
    // The probe fetches queries until the first reference (port 3, query 6).
    for (int q = 0; q < 16 + 16 + 6; ++q)
        expected.push_back("FetchPollQuery " + std::to_string(q / 16) + " " +
                           std::to_string(q % 16));
    for (int q = 0; q < 64; ++q) {
        expected.push_back("FetchPollQuery " + std::to_string(q / 16) + " " +
                           std::to_string(q % 16));
        if (q == 2 * 16 + 5) expected.push_back("SendPollQuery 2 5");
    }
    EXPECT_EQ(online.calls, expected);
}

TEST_F(RackBase, FailedOnlineTransferStops) {
    RecordingWrites online(EditMode::Online);
    online.failOn = "WritePath 1 2";
    Type("y");
    EXPECT_EQ(ChangeRackBase(WorkingConfig, 1, 101, online), 0);
    EXPECT_EQ(online.calls.back(), "WritePath 1 2");
    EXPECT_EQ(WorkingConfig.Ports[2].Paths[0].StartRegister, 10);  // port 3 was not reached
}

}  // namespace
