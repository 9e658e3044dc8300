// Reports gathered from one file read, shown together: the window waits for
// F10 or Esc like the single error window, with a bell as it opens and at
// every other key, and puts back what it covered.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editor_screen_fixture.h"
#include "editors/validation_reports.h"

namespace {

using namespace keys;

struct ReportsWindow : EditorScreen {};

TEST_F(ReportsWindow, WaitsForF10OrEscAndBeepsAtEveryOtherKey) {
    struct Case {
        std::string keys;
        int beeps;
    } cases[] = {
        {Esc, 1},       {F10, 1},         {"a" + Enter + Down + Esc, 4},
        {"x" + F10, 2}, {CtrlJ + Esc, 2},  // a line feed is no key of this window
    };
    const std::vector<std::string> reports = {"First report", "Second report"};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.keys));
        const ScreenSnapshot before = ImageNow();
        console.beeps = 0;
        Type(F1 + c.keys);  // F1: the window as it waits
        Snapshots().clear();
        ShowReportsTogether(reports);
        ExpectAllKeysRead();
        EXPECT_EQ(console.beeps, c.beeps);
        ASSERT_EQ(Snapshots().size(), 1u);
        EXPECT_NE(Snapshots()[0].chars[22].find("First report"), std::string::npos);
        EXPECT_NE(Snapshots()[0].chars[23].find("Second report"), std::string::npos);
        EXPECT_EQ(ImageNow().chars, before.chars);
    }
}

}  // namespace
