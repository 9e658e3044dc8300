// A screen on the in-memory console for field entry tests, with the keys
// written as the keyboard sends them.
#pragma once
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "common/keys.h"
#include "common/screen_image.h"
#include "ui/console/memory_console.h"
#include "ui/screen.h"
#include "ui/screen_state.h"

struct FieldScreen : testing::Test {
    con::MemoryConsole console;
    ScreenState screenState;
    void SetUp() override { ScreenInit(console, screenState); }
    void TearDown() override { ScreenDone(); }
    void Type(const std::string& bytes) { console.Type(bytes); }
    // Characters of a 1-based row and column range as the image holds them.
    std::string Image(int row, int col, int width) const { return ImageText(row, col, width); }
};

// The same, run in a fresh current directory of its own that is removed after.
struct FieldScreenInTempDir : FieldScreen {
    std::string dir, oldDir;
    void SetUp() override {
        FieldScreen::SetUp();
        char templ[] = "/tmp/kova-ui-XXXXXX";
        ASSERT_NE(nullptr, ::mkdtemp(templ));
        dir = templ;
        char cwd[4096];
        ASSERT_NE(nullptr, ::getcwd(cwd, sizeof cwd));
        oldDir = cwd;
        ASSERT_EQ(0, ::chdir(dir.c_str()));
    }
    void TearDown() override {
        ASSERT_EQ(0, ::chdir(oldDir.c_str()));
        std::error_code ignored;
        std::filesystem::remove_all(dir, ignored);
        FieldScreen::TearDown();
    }
};
