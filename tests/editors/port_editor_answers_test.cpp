// The port editor driven key by key through its screen of the key loop: what
// it answers to each key, and what it holds, writes and reads afterwards.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editor_screen_fixture.h"
#include "editors/port_editor.h"
#include "recording_writes.h"

namespace {

using R = KeyResult;

struct Step {
    int key;
    std::string typed;  // what a field the key opens reads
    KeyResult result;
};

struct Case {
    const char* what;
    EditMode mode;
    int16_t model;
    const char* failOn;
    std::vector<Step> steps;
    bool heldAfter, portReadAfter;
    int baudAfter;                     // port 1's baud rate index (13 is the default)
    std::vector<std::string> written;  // the writes after the opening fetch
};

constexpr EditMode kOff = EditMode::Offline, kOn = EditMode::Online;
constexpr int kEsc = key::Esc, kEnter = key::Enter;

// clang-format off
const Case kCases[] = {
    {"offline a list value steps and is written at once", kOff, kModelPlus, "",
     {{'2', "", R::Changed}}, false, true, 14, {"WriteCommParameters 0"}},
    {"a key no field has is refused", kOff, kModelPlus, "",
     {{'#', "", R::Ignored}, {'2', "", R::Changed}}, false, true, 14, {"WriteCommParameters 0"}},
    {"a PLUS key on a standard module is refused", kOff, kModelStandard, "",
     {{'0', "", R::Ignored}}, false, true, 13, {}},
    {"Esc in a field changes nothing but shows the port again", kOff, kModelPlus, "",
     {{'C', keys::Esc, R::Redraw}}, false, true, 13, {}},
    {"Enter on a read port only repaints", kOff, kModelPlus, "",
     {{kEnter, "", R::Handled}}, false, true, 13, {}},
    {"Esc leaves", kOff, kModelPlus, "",
     {{kEsc, "", R::Leave}}, false, true, 13, {}},
    {"online a stepped value is held until Enter settles it", kOn, kModelPlus, "",
     {{'2', "", R::Changed}, {'2', "", R::Changed}, {kEnter, "", R::Redraw}},
     false, true, 15, {"WriteCommParameters 0"}},
    {"online the held value waits for the next key", kOn, kModelPlus, "",
     {{'2', "", R::Changed}}, true, true, 14, {}},
    {"Esc drops the held value and stays", kOn, kModelPlus, "",
     {{'2', "", R::Changed}, {kEsc, "", R::Redraw}}, false, true, 13, {}},
    {"another key writes the held value and is answered", kOn, kModelPlus, "",
     {{'2', "", R::Changed}, {'3', "", R::Changed}}, true, true, 14,
     {"WriteCommParameters 0"}},
    {"a failed held write leaves the port unread", kOn, kModelPlus, "WriteCommParameters 0",
     {{'2', "", R::Changed}, {kEnter, "", R::Failed}, {'2', "", R::Ignored}},
     false, false, 14, {"WriteCommParameters 0"}},
    {"Enter reads an unread port again", kOn, kModelPlus, "WriteCommParameters 0",
     {{'2', "", R::Changed}, {kEnter, "", R::Failed}, {kEnter, "", R::Redraw},
      {'2', "", R::Changed}},
     true, true, 15, {"WriteCommParameters 0", "FetchForEditor 0"}},
    {"a failed write of a field", kOn, kModelPlus, "WriteTerminateCount 0",
     {{'0', "12" + keys::Enter, R::Failed}}, false, false, 13, {"WriteTerminateCount 0"}},
};
// clang-format on

struct PortEditorAnswers : EditorScreen {};

TEST_F(PortEditorAnswers, EachKeyGetsItsResultAndLeavesItsFlags) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.what);
        SetUp();
        RecordingWrites writes(c.mode, c.model);
        writes.failOn = c.failOn;
        writes.failures = 1;
        PortEditorScreen screen(documents, writes, CurrentPort);
        ASSERT_TRUE(screen.Open());
        writes.calls.clear();
        for (const Step& step : c.steps) {
            Type(step.typed);
            EXPECT_EQ(screen.OnKey(step.key), step.result) << "key " << step.key;
        }
        ExpectAllKeysRead();
        EXPECT_EQ(screen.Editing().held.has_value(), c.heldAfter);
        EXPECT_EQ(writes.PortRead(0), c.portReadAfter);
        EXPECT_EQ(WorkingConfig.Ports[0].BaudRate, c.baudAfter);
        EXPECT_EQ(writes.calls, c.written);
        TearDown();
    }
}

}  // namespace
