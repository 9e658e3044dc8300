// Which picture rows a terminal of 24 lines shows, and the way out of one
// too small to show them.
#include "ui/console/screen_size.h"

#include <gtest/gtest.h>

namespace {

TEST(ScreenSize, PlansTheRowsOfAShortTerminal) {
    struct Case {
        const char* name;
        int termRows;
        con::RowsInUse rows;
        int top, lastLine;
    } cases[] = {
        {"25 lines show everything", 25, {true, true, true, 24}, 0, 24},
        {"more lines too", 40, {false, false, false, 0}, 0, 24},
        {"a quiet status line leaves row 24", 24, {true, false, false, 0}, 0, 23},
        {"a status line with text covers a blank row 24", 24, {false, true, false, 23}, 0, 24},
        {"both with text move the picture up", 24, {true, true, false, 0}, 1, 24},
        {"so does the cursor working on row 24", 24, {false, true, true, 23}, 1, 24},
        {"a hidden cursor there does not count", 24, {false, true, false, 23}, 0, 24},
        {"unless the cursor works on the top row", 24, {true, true, true, 0}, 0, 24},
        {"a cursor on the status line moves the picture up", 24, {false, false, true, 24}, 1, 24},
        {"a cursor in the middle changes nothing", 24, {false, true, true, 5}, 0, 24},
    };
    for (const Case& c : cases) {
        const con::RowPlan plan = con::PlanRows(c.termRows, c.rows);
        EXPECT_EQ(plan.top, c.top) << c.name;
        EXPECT_EQ(plan.lastLine, c.lastLine) << c.name;
    }
}

TEST(ScreenSize, LeavesOnQuitKeysOnly) {
    for (int key : {int('q'), int('Q'), 27, 3, 0x1C})
        EXPECT_TRUE(con::LeavesTooSmallTerminal(key)) << key;
    for (int key : {int('x'), 13, 0, 0x1A, int(' ')})
        EXPECT_FALSE(con::LeavesTooSmallTerminal(key)) << key;
}

TEST(ScreenSize, TheLeaveTextNamesTheSizeAndBothWaysOn) {
    const std::string text = con::TooSmallLeaveText(80, 24 - 1);
    EXPECT_NE(text.find("80 x 23"), std::string::npos) << text;
    EXPECT_NE(text.find("LINES=25 kovasw"), std::string::npos) << text;
    EXPECT_NE(text.find("stty rows 25"), std::string::npos) << text;
}

}  // namespace
