// A fixture that runs the toolkit on the in-memory console.
#pragma once
#include <gtest/gtest.h>

#include "common/screen_image.h"
#include "ui/console/memory_console.h"
#include "ui/screen.h"
#include "ui/screen_state.h"

class ToolkitTest : public testing::Test {
  protected:
    void SetUp() override {
        ScreenInit(console, screenState);
        console.ClearCalls();
    }
    void TearDown() override { ScreenDone(); }

    // The 0-based image row as text, first `width` columns.
    static std::string ImageRow(int row, int width = 80) { return ImageText(row + 1, 1, width); }
    con::MemoryConsole console;
    ScreenState screenState;
};
