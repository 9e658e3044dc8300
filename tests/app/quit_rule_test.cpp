// Quitting asks first only when the offline memory holds unsaved changes.
#include <gtest/gtest.h>

#include "app/shell.h"
#include "ui/console/memory_console.h"
#include "ui/screen.h"
#include "ui/screen_state.h"

namespace {

class QuitRule : public testing::Test {
  protected:
    void SetUp() override { ScreenInit(console, screenState); }
    void TearDown() override { ScreenDone(); }
    con::MemoryConsole console;
    ScreenState screenState;
    ShellState state;
    bool& OfflineDirty = state.documents.OfflineDirty;
};

TEST_F(QuitRule, QuitsAtOnceWhenNothingChanged) {
    OfflineDirty = false;
    EXPECT_EQ(DispatchChoice(state, kQuitCode), kEndOfLoop);
    EXPECT_EQ(console.Row(22).find("CONFIRM"), std::string::npos);
}

TEST_F(QuitRule, AsksWhenEditedAndReturnsToTheFirstTitleOnNo) {
    OfflineDirty = true;
    console.Type("n");
    EXPECT_EQ(DispatchChoice(state, kQuitCode), 0);
    console.Type("y");
    EXPECT_EQ(DispatchChoice(state, kQuitCode), kEndOfLoop);
}

TEST_F(QuitRule, ShowsTheQuestion) {
    OfflineDirty = true;
    static std::string row;
    static con::MemoryConsole* active;
    active = &console;
    AddHotKey('?', [](int, int) {
        row = active->Row(22);
        return 0;
    });
    console.Type("?\x1b");
    EXPECT_EQ(DispatchChoice(state, kQuitCode), 0);
    EXPECT_EQ(row.substr(0, 53), "\xBA  Edited or Fetched but not Written. Quit anyway? \xBA ");
}

}  // namespace
