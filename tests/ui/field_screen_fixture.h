// A screen on the in-memory console for field entry tests, with the keys
// written as the keyboard sends them.
#pragma once
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "ui/console/memory_console.h"
#include "ui/screen.h"

namespace keys {
inline const std::string Left = "\xE0\x4B", Right = "\xE0\x4D", Up = "\xE0\x48", Down = "\xE0\x50",
                         Home = "\xE0\x47", End = "\xE0\x4F", Insert = "\xE0\x52", Del = "\xE0\x53",
                         PgDn = "\xE0\x51", PgUp = "\xE0\x49", F1 = "\xE0\x3B", F10 = "\xE0\x44";
inline const std::string Enter = "\r", Esc = "\x1b", Backspace = "\x08", CtrlY = "\x19",
                         CtrlD = "\x04", CtrlU = "\x15", CtrlF = "\x06", CtrlR = "\x12";
}  // namespace keys

struct FieldScreen : testing::Test {
    con::MemoryConsole console;
    void SetUp() override { ScreenInit(console); }
    void TearDown() override { ScreenDone(); }
    void Type(const std::string& bytes) { console.Type(bytes); }
    // Characters of a 1-based row and column range as the image holds them.
    std::string Image(int row, int col, int width) const {
        std::string s;
        for (int c = col; c < col + width; ++c) s += char(ScreenChar(row - 1, c - 1));
        return s;
    }
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
