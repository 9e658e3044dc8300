// The poll editor driven field by field through its screen of the key loop:
// the key that ended each field, what it answers, the field it moves to and
// which transfers it asked for.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editor_screen_fixture.h"
#include "editors/poll_editor.h"
#include "recording_writes.h"

namespace {

using R = KeyResult;
using namespace keys;

struct Step {
    std::string typed;  // into the field in turn, with the key that ends it
    KeyResult result;
    int fieldAfter;  // 0 the interval, 1-16 the queries
};

struct Case {
    const char* what;
    const char* failOn;
    std::vector<Step> steps;
    bool failedAfter;
    std::vector<std::string> sent;
};

// clang-format off
const Case kCases[] = {
    {"a changed interval is sent before Down moves on", "",
     {{"5" + Down, R::Handled, 1}}, false, {"SendPollInterval 1"}},
    {"a field left as it was sends nothing", "",
     {{Down, R::Handled, 1}, {Down, R::Handled, 2}, {Up, R::Handled, 1}}, false, {}},
    {"Up stops at the interval", "",
     {{Up, R::Handled, 0}}, false, {}},
    {"Down stops at query 16", "",
     {{Down, R::Handled, 1}, {Down, R::Handled, 2}, {Down, R::Handled, 3}, {Down, R::Handled, 4},
      {Down, R::Handled, 5}, {Down, R::Handled, 6}, {Down, R::Handled, 7}, {Down, R::Handled, 8},
      {Down, R::Handled, 9}, {Down, R::Handled, 10}, {Down, R::Handled, 11},
      {Down, R::Handled, 12}, {Down, R::Handled, 13}, {Down, R::Handled, 14},
      {Down, R::Handled, 15}, {Down, R::Handled, 16}, {Down, R::Handled, 16}},
     false, {}},
    {"Esc drops what was typed and stays on the field", "",
     {{"77" + Esc, R::Handled, 0}}, false, {}},
    {"a query is sent as the query it is", "",
     {{Down, R::Handled, 1}, {Down, R::Handled, 2}, {"AB" + Up, R::Handled, 1}},
     false, {"SendPollQuery 1 1"}},
    {"Enter sends the field and leaves", "",
     {{Down, R::Handled, 1}, {"Q" + Enter, R::Leave, 1}}, false, {"SendPollQuery 1 0"}},
    {"a failed send leaves whatever the key", "SendPollInterval 1",
     {{"5" + Down, R::Leave, 0}}, true, {"SendPollInterval 1"}},
};
// clang-format on

struct PollEditorAnswers : EditorScreen {};

TEST_F(PollEditorAnswers, EachFieldsEndingKeyGetsItsResult) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.what);
        SetUp();
        RecordingWrites online(EditMode::Online);
        online.failOn = c.failOn;
        PollEditorScreen screen(WorkingConfig.Ports[1], 1, online);
        for (const Step& step : c.steps) {
            SCOPED_TRACE(step.fieldAfter);
            Type(step.typed);
            EXPECT_EQ(screen.OnKey(screen.NextKey()), step.result);
            EXPECT_EQ(screen.Field(), step.fieldAfter);
        }
        ExpectAllKeysRead();
        EXPECT_EQ(screen.Failed(), c.failedAfter);
        EXPECT_EQ(online.calls, c.sent);
        TearDown();
    }
}

}  // namespace
