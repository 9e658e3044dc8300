// A fixture that runs the toolkit on the in-memory console.
#pragma once
#include <gtest/gtest.h>

#include "ui/console/memory_console.h"
#include "ui/screen.h"

class ToolkitTest : public testing::Test {
  protected:
    void SetUp() override {
        ScreenInit(console);
        console.ClearCalls();
    }
    void TearDown() override { ScreenDone(); }

    // The 0-based image row as text, first `width` columns.
    static std::string ImageRow(int row, int width = 80) {
        std::string s;
        for (int c = 0; c < width; ++c) s += char(ScreenChar(row, c));
        return s;
    }
    con::MemoryConsole console;
};
