// The whole program on configuration files: the picker over a directory of
// 100 files, reading, writing with the overwrite question, copying ports with
// the quit question after it, deleting, and F1 print screen.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "common/file_contents.h"
#include "common/wait_until.h"
#include "config/config_defaults.h"
#include "config/config_file_image.h"
#include "tmux_session.h"

namespace {

namespace fs = std::filesystem;

std::vector<uint8_t> ConfigBytes(int16_t baudOfPort1, int16_t printProgBaud = 2) {
    ModuleConfig c;
    FillDefaults(c);
    c.Ports[0].BaudRate = baudOfPort1;
    ConfigFileContents contents;
    contents.plus = c.Plus;
    std::memcpy(contents.ports, c.Ports, sizeof c.Ports);
    contents.printProgBaud = printProgBaud;
    return EncodeConfigFile(contents);
}

void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

struct OfflineFiles : testing::Test {
    TmuxSession t;
    void StartAtMenu() {
        t.Start();
        ASSERT_TRUE(t.WaitFor("Use F10"));
    }
    // The name field on row 12 (the row also holds the window's frame).
    bool FieldShows(const std::string& text) {
        return t.Row(12).find(" " + text) != std::string::npos;
    }
};

TEST_F(OfflineFiles, PickerPagesThroughAHundredFilesAndReadsOne) {
    for (int i = 0; i < 100; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "f%03d.kov", i);
        WriteFile(t.Dir() + "/" + name, {1, 2, 3});
    }
    WriteFile(t.Dir() + "/f095.kov", ConfigBytes(5));
    fs::create_directory(t.Dir() + "/subdir");
    StartAtMenu();
    t.Type("FR");
    ASSERT_TRUE(t.WaitFor("LOAD OFFLINE FROM DISK"));
    ASSERT_TRUE(t.WaitForRow(25, "f011"));
    EXPECT_EQ(" f000      f012      f024", t.Row(14).substr(0, 25));
    EXPECT_EQ(" f011", t.Row(25).substr(0, 5));
    EXPECT_EQ(std::string::npos, t.ScreenText().find("subdir")) << "no directories here";
    EXPECT_TRUE(FieldShows("f000....")) << t.Row(12);
    t.SendKeys("NPage");
    ASSERT_TRUE(t.WaitForRow(14, " f096"));
    EXPECT_EQ(" f097", t.Row(15).substr(0, 5));
    EXPECT_EQ(" f099", t.Row(17).substr(0, 5));
    EXPECT_EQ("", t.Row(18));
    t.SendKeys("PPage");
    ASSERT_TRUE(t.WaitForRow(14, " f000"));
    EXPECT_TRUE(WaitUntil([&] { return FieldShows("f095...."); })) << t.Row(12);
    t.SendKeys("Enter");
    ASSERT_TRUE(t.WaitForRow(14, ""));
    EXPECT_TRUE(t.WaitForGone("LOAD OFFLINE FROM DISK"));
    // What was read is in memory: writing it out gives the same bytes back.
    t.Type("FW");
    ASSERT_TRUE(t.WaitFor("SAVE OFFLINE TO DISK"));
    t.Type("COPY");
    t.SendKeys("Enter");
    EXPECT_TRUE(WaitUntil([&] { return ReadFileBytes(t.Dir() + "/COPY.KOV") == ConfigBytes(5); }));
    EXPECT_EQ(ConfigBytes(5), ReadFileBytes(t.Dir() + "/COPY.KOV"));
}

TEST_F(OfflineFiles, ReadingAShortFileReportsIt) {
    WriteFile(t.Dir() + "/short.kov", std::vector<uint8_t>(100, 0));
    StartAtMenu();
    t.Type("FR");
    ASSERT_TRUE(t.WaitFor("short"));
    t.SendKeys("Enter");
    ASSERT_TRUE(t.WaitFor("Can't read disk file."));
    t.SendKeys("F10");
    ASSERT_TRUE(t.WaitFor("Use F10"));
    EXPECT_TRUE(t.WaitForGone("LOAD OFFLINE FROM DISK"));
}

TEST_F(OfflineFiles, WritingOverAnExistingFileAsksFirst) {
    WriteFile(t.Dir() + "/mine.kov", {9, 9, 9});
    StartAtMenu();
    t.Type("FW");
    ASSERT_TRUE(t.WaitFor("File to write:"));
    t.Type("mine");
    t.SendKeys("Enter");
    ASSERT_TRUE(t.WaitFor("File exists, overwrite it?"));
    t.Type("n");
    ASSERT_TRUE(t.WaitFor("SAVE OFFLINE TO DISK"));
    EXPECT_TRUE(t.WaitForGone("overwrite"));
    EXPECT_EQ((std::vector<uint8_t>{9, 9, 9}), ReadFileBytes(t.Dir() + "/mine.kov"));
    t.SendKeys("Enter");  // the highlighted MINE
    ASSERT_TRUE(t.WaitFor("File exists, overwrite it?"));
    t.Type("y");
    // The menu stays drawn behind the question: wait for the file instead.
    // The defaults, with the Print/Prog baud of a computer at 9600.
    EXPECT_TRUE(
        WaitUntil([&] { return ReadFileBytes(t.Dir() + "/mine.kov") == ConfigBytes(13, 3); }));
    EXPECT_EQ(ConfigBytes(13, 3), ReadFileBytes(t.Dir() + "/mine.kov"));
    EXPECT_FALSE(fs::exists(t.Dir() + "/MINE.KOV"));
}

TEST_F(OfflineFiles, CopyingPortsMakesQuitAsk) {
    StartAtMenu();
    t.Type("FC");
    ASSERT_TRUE(t.WaitFor("COPY PORT CONFIGURATION"));
    EXPECT_NE(std::string::npos, t.Row(11).find("Copy which offline port"));
    t.Type("1");
    t.SendKeys("Enter");
    t.Type("2");
    t.SendKeys("Enter");
    ASSERT_TRUE(t.WaitFor("Type Esc to exit"));
    t.SendKeys("Escape");
    ASSERT_TRUE(t.WaitFor("Use F10"));
    t.Settle();
    t.Type("Q");
    ASSERT_TRUE(t.WaitFor("Edited or Fetched but not Written. Quit anyway?"));
    t.Type("n");
    t.Settle();
    EXPECT_EQ(-1, t.ExitStatus());
    // Writing clears the question.
    t.Type("FW");
    ASSERT_TRUE(t.WaitFor("File to write:"));
    t.Type("SAVED");
    t.SendKeys("Enter");
    ASSERT_TRUE(t.WaitFor("Use F10"));
    t.Settle();
    t.Type("Q");
    ASSERT_TRUE(t.WaitForExit());
    EXPECT_EQ(0, t.ExitStatus());
    EXPECT_EQ(6688u, ReadFileBytes(t.Dir() + "/SAVED.KOV").size());
}

TEST_F(OfflineFiles, DeletesAFileAndReportsAMissingOne) {
    WriteFile(t.Dir() + "/gone.kov", {1});
    WriteFile(t.Dir() + "/stay.txt", {1});
    StartAtMenu();
    t.Type("FD");
    ASSERT_TRUE(t.WaitFor("DELETE CONFIGURATION FILE"));
    ASSERT_TRUE(t.WaitFor("gone"));
    t.Type("GONE");  // no GONE.KOV: the same name in another case
    t.SendKeys("Enter");
    t.Type("NOPE");
    t.SendKeys("Enter");
    ASSERT_TRUE(t.WaitFor("Can't find file \"NOPE.KOV\""));
    EXPECT_FALSE(fs::exists(t.Dir() + "/gone.kov"));
    EXPECT_TRUE(fs::exists(t.Dir() + "/stay.txt"));
    t.SendKeys("F10");
    t.SendKeys("Escape");
    ASSERT_TRUE(t.WaitFor("Use F10"));
}

TEST_F(OfflineFiles, DeleteDialogEntersDirectories) {
    fs::create_directory(t.Dir() + "/sub");
    WriteFile(t.Dir() + "/sub/inner.kov", {1});
    WriteFile(t.Dir() + "/top.kov", {1});
    StartAtMenu();
    t.Type("FD");
    ASSERT_TRUE(t.WaitFor("[ parent ]"));
    // Sorted by name: "..", "sub", "top".
    EXPECT_EQ("[sub     ]", t.Row(15).substr(0, 10));
    EXPECT_EQ(" top", t.Row(16).substr(0, 4));
    t.SendKeys("Down");
    t.SendKeys("Enter");
    ASSERT_TRUE(t.WaitForRow(15, " inner"));
    EXPECT_EQ("", t.Row(16));
    t.Type("INNER");
    t.SendKeys("Enter");
    ASSERT_TRUE(t.WaitForRow(15, ""));
    t.SendKeys("Escape");
    ASSERT_TRUE(t.WaitFor("Use F10"));
    EXPECT_TRUE(WaitUntil([&] { return !fs::exists(t.Dir() + "/sub/inner.kov"); }));
    EXPECT_TRUE(fs::exists(t.Dir() + "/top.kov"));
}

// F1 to a file writes the screen as text: read back, each row is there as it
// was shown, with no printer's overstrike line and no form feed.
TEST_F(OfflineFiles, F1ToAFileWritesTheScreenAsText) {
    StartAtMenu();
    t.Type("FW");
    ASSERT_TRUE(t.WaitFor("File to write:"));
    const std::vector<std::string> shown = t.Screen();
    t.SendKeys("F1");
    ASSERT_TRUE(t.WaitFor("PRINT SCREEN"));
    ASSERT_TRUE(t.WaitFor("LPT1:"));
    t.Type("page.txt");
    t.SendKeys("Enter");
    std::string text;
    ASSERT_TRUE(WaitUntil([&] {
        const std::vector<uint8_t> page = ReadFileBytes(t.Dir() + "/page.txt");
        text.assign(page.begin(), page.end());
        return std::count(text.begin(), text.end(), '\n') == 25;
    })) << text;
    EXPECT_TRUE(t.WaitForGone("PRINT SCREEN"));
    EXPECT_EQ(std::string::npos, text.find_first_of("\r\f"));
    std::vector<std::string> lines;
    for (size_t at = 0, end; (end = text.find('\n', at)) != std::string::npos; at = end + 1)
        lines.push_back(text.substr(at, end - at));
    ASSERT_EQ(25u, lines.size());
    // Row 10 holds the top frame of the write window with its title.
    EXPECT_EQ('+', lines[9].at(19)) << lines[9];
    EXPECT_NE(std::string::npos, lines[9].find("SAVE OFFLINE TO DISK"));
    EXPECT_NE(std::string::npos, lines[10].find("File to write:"));
    // The rows without frames read as the screen showed them: the banner
    // and the menu bar.
    for (size_t row = 0; row < 4; ++row) EXPECT_EQ(shown.at(row), lines[row]) << row;
    EXPECT_EQ(0u, lines[3].find("oNline        oFfline")) << lines[3];
    t.SendKeys("Escape");
    ASSERT_TRUE(t.WaitFor("Use F10"));
}

}  // namespace
