// The poll editor: reading the interval as typed, walking the fields, and
// which fields go to the module when the editor runs online.
#include "editors/poll_editor.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "editor_screen_fixture.h"
#include "recording_writes.h"

namespace {

TEST(PollInterval, ReadAsSecondsAndHundredths) {
    struct Case {
        const char* text;
        uint32_t interval;
    } kCases[] = {
        {"2.50", 250}, {"2.5", 250},         {"2", 200},     {".5", 50},
        {"12.", 1200}, {"1.x5", 105},        {"1.234", 123}, {"  2.50", 250},
        {"", 0},       {"999999", 99999900}, {"3..4", 304},  // the second dot is no digit: it
                                                             // counts as 0
    };
    for (const auto& c : kCases) EXPECT_EQ(ParsePollInterval(c.text), c.interval) << c.text;
}

TEST(PollInterval, Text) {
    EXPECT_EQ(PollIntervalText(250), "2.50");
    EXPECT_EQ(PollIntervalText(5), "0.05");
    EXPECT_EQ(PollIntervalText(0), "0.00");
}

struct PollEditor : EditorScreen {
    PortConfig& port = WorkingConfig.Ports[1];
    RecordingWrites online{EditMode::Online};
};

TEST_F(PollEditor, FieldsAndTheirKeys) {
    using namespace keys;
    // Interval 2.5, down to query 1 (typed), down to query 2 (typed, then Esc
    // restores it and stays), up twice to the interval, Enter leaves.
    std::strcpy(port.PollQueries[1], "OLD");
    Type("2.5" + Down + "Q1" + Down + "XYZ" + Esc + Up + Up + Enter);
    EXPECT_EQ(EditPolling(port, 1, Offline()), 1);
    ExpectAllKeysRead();
    EXPECT_EQ(uint32_t(port.PollInterval), 250u);
    EXPECT_STREQ(port.PollQueries[0], "Q1");
    EXPECT_STREQ(port.PollQueries[1], "OLD");
}

TEST_F(PollEditor, EscKeepsTheIntervalAndUpStopsAtIt) {
    using namespace keys;
    port.PollInterval = 123;
    Type("77" + Esc + Up + Enter);
    EXPECT_EQ(EditPolling(port, 1, Offline()), 1);
    EXPECT_EQ(uint32_t(port.PollInterval), 123u);
    // Down stops at query 16.
    Type(Times(20, Down) + "LAST" + Enter);
    EXPECT_EQ(EditPolling(port, 1, Offline()), 1);
    EXPECT_STREQ(port.PollQueries[15], "LAST");
}

TEST_F(PollEditor, ScreenLayout) {
    using namespace keys;
    port.PollInterval = 250;
    std::strcpy(port.PollQueries[2], "ab");
    Type(Down + F1 + Enter);  // the snapshot is taken while query 1 is edited
    EditPolling(port, 1, Offline());
    const ScreenSnapshot& s = Snapshots().at(0);
    EXPECT_EQ(s.chars[4], std::string(79, '-') + " ");
    EXPECT_EQ(s.chars[5].find("Editing Periodic Polling parameters"), 22u);
    EXPECT_EQ(s.At(6, 5, 34), "Send a query every   2.50 seconds.");
    EXPECT_EQ(s.At(10, 5, 13),
              "Query  3 \xF9"
              "ab\xF9");
    EXPECT_EQ(s.At(10, 78, 2), "\xF9\xF9");
    EXPECT_EQ(s.At(23, 1, 15), "    Query 16 \xF9\xF9");
    EXPECT_EQ(s.At(25, 1, 49), "Use UP and DOWN arrows to select field.  Press EN");
    EXPECT_EQ(s.At(25, 50, 31), "Press F9 to edit in hexadecimal");  // over the help line
    EXPECT_NE(ImageNow().chars[7].find(" DATA PATH 1 "), std::string::npos);
}

TEST_F(PollEditor, OnlineFetchesEveryQueryAndSendsOnlyChangedFields) {
    using namespace keys;
    std::strcpy(port.PollQueries[1], "SAME");
    // Interval unchanged (typed as it stands), query 1 changed, query 2
    // retyped identically, query 3 changed then Esc.
    Type("0.00" + Down + "NEW" + Down + "SAME" + Down + "X" + Esc + Enter);
    EXPECT_EQ(EditPolling(port, 1, online), 1);
    std::vector<std::string> expected;
    for (int q = 0; q < 16; ++q) expected.push_back("FetchPollQuery 1 " + std::to_string(q));
    expected.push_back("SendPollQuery 1 0");
    EXPECT_EQ(online.calls, expected);
}

TEST_F(PollEditor, FailedTransferEndsWithZero) {
    using namespace keys;
    online.failOn = "SendPollInterval";
    Type("5" + Enter);
    EXPECT_EQ(EditPolling(port, 2, online), 0);
    online.failOn = "FetchPollQuery 2 3";
    online.calls.clear();
    EXPECT_EQ(EditPolling(port, 2, online), 0);
    EXPECT_EQ(online.calls.back(), "FetchPollQuery 2 3");
    EXPECT_NE(ImageNow().chars[7].find(" DATA PATH 1 "), std::string::npos);
}

}  // namespace
