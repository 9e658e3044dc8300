// The register viewer's moves: scrolling at both ends of the rows, the
// clamps near register 1 and register 65536, pages, Home and typing a
// register number.
#include "viewer/viewer_position.h"

#include <gtest/gtest.h>

#include "ui/console/keys.h"

namespace {

struct At {
    int start, row;
};

TEST(ViewerPosition, MovementKeys) {
    struct Case {
        const char* what;
        int size;
        At from;
        int key;
        At to;
    } kCases[] = {
        {"Down inside the rows", 20, {1, 5}, key::Down, {1, 6}},
        {"Down past the last row scrolls to the next register", 20, {1, 24}, key::Down, {4, 22}},
        {"Down on a one-row screen", 1, {7, 5}, key::Down, {8, 5}},
        {"Down on a two-row screen", 2, {7, 6}, key::Down, {9, 5}},
        {"Down at register 65536 stays there", 20, {65517, 24}, key::Down, {65517, 24}},
        {"Up inside the rows", 20, {1, 9}, key::Up, {1, 8}},
        {"Up above row 5 scrolls back three", 20, {100, 5}, key::Up, {97, 7}},
        {"Up at row 5 with start 2 reaches register 1", 20, {2, 5}, key::Up, {1, 5}},
        {"Up at row 5 with start 3 goes one register up", 20, {3, 5}, key::Up, {1, 6}},
        {"Up at register 1 stays there", 20, {1, 5}, key::Up, {1, 5}},
        {"Up on a one-row screen", 1, {7, 5}, key::Up, {6, 5}},
        {"PgDn by half a screen", 20, {1, 9}, key::PgDn, {11, 9}},
        {"PgDn on 19 rows", 19, {1, 9}, key::PgDn, {11, 9}},
        {"PgUp clamps at register 1", 20, {5, 9}, key::PgUp, {1, 9}},
        {"PgDn at the top end keeps the new register", 20, {65510, 9}, key::PgDn, {65517, 12}},
        {"Home goes to the setting's start", 20, {500, 12}, key::Home, {40, 5}},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.what);
        ViewerPosition p;
        p.size = c.size;
        p.start = c.from.start;
        p.cursorRow = c.from.row;
        EXPECT_TRUE(MoveViewer(p, c.key, 40));
        EXPECT_EQ(c.to.start, p.start);
        EXPECT_EQ(c.to.row, p.cursorRow);
        EXPECT_GE(p.cursorRow, kFirstViewerRow);
        EXPECT_LE(p.cursorRow, p.LastRow());
        EXPECT_LE(p.start + p.size - 1, kLastRegister);
    }
}

TEST(ViewerPosition, ColumnsStopAtBothEnds) {
    ViewerPosition p;
    EXPECT_EQ(ColumnHex, p.column);
    for (int i = 0; i < 6; ++i) MoveViewer(p, key::Right, 1);
    EXPECT_EQ(ColumnBinary, p.column);
    for (int i = 0; i < 6; ++i) MoveViewer(p, key::Left, 1);
    EXPECT_EQ(ColumnRegister, p.column);
    EXPECT_FALSE(MoveViewer(p, key::Enter, 1));
    EXPECT_FALSE(MoveViewer(p, 'x', 1));
}

TEST(ViewerPosition, TypedRegisterAppearsOnTheCursorRow) {
    struct Case {
        long typed;
        int row;
        At to;
        int selected;
    } kCases[] = {
        {100, 7, {98, 7}, 100},          // the third row shows register 100
        {1, 7, {1, 5}, 1},               // too near the top for the row: the cursor moves
        {0, 7, {1, 5}, 1},               // no register 0
        {65536, 7, {65517, 24}, 65536},  // the last register, on the last row
        {9999999, 5, {65517, 24}, 65536},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.typed);
        ViewerPosition p;
        p.cursorRow = c.row;
        ShowRegisterOnCursorRow(p, c.typed);
        EXPECT_EQ(c.to.start, p.start);
        EXPECT_EQ(c.to.row, p.cursorRow);
        EXPECT_EQ(c.selected, p.SelectedRegister());
    }
}

}  // namespace
