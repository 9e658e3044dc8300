// The emulator in the real program, on the offline memory as it is at start:
// typed and hex-entered messages, the F2 timeout, an empty message, leaving.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <string>

#include "config/config_defaults.h"
#include "config/config_file_image.h"
#include "tmux_session.h"

namespace {

class EmulatorScenario : public testing::Test {
  protected:
    // Emulate > from oFfline memory, port 1.
    void SetUp() override {
        t.Start({"EF"});
        ASSERT_TRUE(t.WaitFor("Offline port to emulate"));
        t.SendKeys("Enter");
        ASSERT_TRUE(t.WaitFor("INSERT for hex entry."));
    }
    void TypeMessage(const std::string &text) {
        t.Type(text);
        t.SendKeys("Enter");
    }
    // Register cell c (0-5) of grid row r (1-12), as shown.
    std::string Cell(int r, int c) { return t.Row(12 + r).substr(8 + 12 * c, 11); }

    TmuxSession t;
};

TEST_F(EmulatorScenario, NumberEndsOnEnterAndTogglesTheSignalBit) {
    TypeMessage("123");
    ASSERT_TRUE(t.WaitFor("Ready for more data"));
    EXPECT_NE(t.Row(6).find("TERMINATOR 0D MATCHED"), std::string::npos);
    EXPECT_EQ(t.Row(8).substr(0, 17), "Pattern 1 MATCHED");
    EXPECT_EQ(t.Row(13).substr(0, 6), "     2");
    EXPECT_EQ(Cell(1, 0), "   123 007B");
    EXPECT_NE(t.Row(3).find("Signal Register (1) = 0000 0000 0000 0001"), std::string::npos);

    TypeMessage("123");
    ASSERT_TRUE(t.WaitFor("= 0000 0000 0000 0000"));
    EXPECT_EQ(Cell(1, 0), "   123 007B");
}

TEST_F(EmulatorScenario, HexCodesAreReceivedLikeTypedCharacters) {
    t.SendKeys("IC");  // Insert
    ASSERT_TRUE(t.WaitFor("HEX CODE ENTRY"));
    ASSERT_TRUE(t.WaitFor("Enter hex codes to simulate:"));
    t.Type("41 42 0d");
    t.SendKeys("Enter");
    ASSERT_TRUE(t.WaitFor("TERMINATOR 0D MATCHED"));
    ASSERT_TRUE(t.WaitFor("Ready for more data"));
    EXPECT_EQ(t.ScreenText().find("HEX CODE ENTRY"), std::string::npos);
    EXPECT_NE(t.Row(5).find("AB"), std::string::npos);
    EXPECT_EQ(t.Row(8).substr(0, 17), "Pattern 1 MATCHED");
    EXPECT_EQ(Cell(1, 0), "     0 0000");  // no digits: INTEGER gives 0
}

TEST_F(EmulatorScenario, F2IsIgnoredOnAPortWithoutTimeout) {
    t.Type("12");
    ASSERT_TRUE(t.WaitForRow(5, "12"));
    t.SendKeys("F2");
    t.Type("3");  // shown once F2 has been dealt with
    ASSERT_TRUE(t.WaitForRow(5, "123"));
    EXPECT_EQ(t.ScreenText().find("TIMEOUT"), std::string::npos);
    EXPECT_EQ(t.ScreenText().find("Pattern 1"), std::string::npos);
    t.SendKeys("Enter");
    ASSERT_TRUE(t.WaitFor("Ready for more data"));
    EXPECT_EQ(Cell(1, 0), "   123 007B");
}

TEST_F(EmulatorScenario, LoneTerminatorIsAnEmptyMessage) {
    t.SendKeys("Enter");
    ASSERT_TRUE(t.WaitFor("Message is empty."));
    ASSERT_TRUE(t.WaitFor("Ready for more data"));
    EXPECT_EQ(t.ScreenText().find("Pattern 1"), std::string::npos);
    t.Type("7");  // the key that ends the wait is the next message's first
    ASSERT_TRUE(t.WaitForRow(5, "7"));
    EXPECT_EQ(t.ScreenText().find("Message is empty."), std::string::npos);
    EXPECT_EQ(t.ScreenText().find("Ready for more data"), std::string::npos);
}

TEST_F(EmulatorScenario, F10GoesBackToTheMenuAndTheRegistersStay) {
    TypeMessage("42");
    ASSERT_TRUE(t.WaitFor("Ready for more data"));
    t.SendKeys("F10");
    ASSERT_TRUE(t.WaitFor("Use F10 to clear error window"));
    t.Type("EF");
    ASSERT_TRUE(t.WaitFor("Offline port to emulate"));
    t.SendKeys("Enter");
    ASSERT_TRUE(t.WaitFor("INSERT for hex entry."));
    EXPECT_EQ(Cell(1, 0), "    42 002A");
    EXPECT_NE(t.Row(3).find("= 0000 0000 0000 0001"), std::string::npos);
}

}  // namespace

namespace {

std::string FileText(const std::string &path) { return RunCommand({"cat", path}); }

TEST_F(EmulatorScenario, F1PrintsTheScreenInTheLoopAndInTheHexWindow) {
    TypeMessage("9");
    ASSERT_TRUE(t.WaitFor("Ready for more data"));
    t.SendKeys("F1");
    ASSERT_TRUE(t.WaitFor("PRINT SCREEN"));
    t.Type("LOOP.TXT");
    t.SendKeys("Enter");
    ASSERT_TRUE(t.WaitFor("Ready for more data"));
    t.SendKeys("IC");
    ASSERT_TRUE(t.WaitFor("HEX CODE ENTRY"));
    t.Type("35");
    t.SendKeys("F1");
    ASSERT_TRUE(t.WaitFor("PRINT SCREEN"));
    t.Type("HEX.TXT");
    t.SendKeys("Enter");
    ASSERT_TRUE(t.WaitForRow(9, "35"));  // back in the field with what was typed
    t.Type(" 0D");
    t.SendKeys("Enter");
    ASSERT_TRUE(t.WaitFor("     5 0005"));

    std::string loop = FileText(t.Dir() + "/LOOP.TXT");
    EXPECT_NE(loop.find("TERMINATOR 0D MATCHED"), std::string::npos);
    EXPECT_NE(loop.find("     9 0009"), std::string::npos);
    EXPECT_EQ(loop.find("PRINT SCREEN"), std::string::npos);
    std::string hex = FileText(t.Dir() + "/HEX.TXT");
    EXPECT_NE(hex.find("HEX CODE ENTRY"), std::string::npos);
}

}  // namespace

namespace {

// A port with a timeout exists only in a configuration file: read one, then
// emulate that port.
TEST(EmulatorTimeout, F2EndsTheMessageOnAPortWithATimeout) {
    TmuxSession t;
    ModuleConfig config;
    FillDefaults(config);
    config.Plus.TerminateTimeout[1] = 50;
    ConfigFileContents contents = DocumentOf(config, 3, 0);
    std::vector<uint8_t> bytes = EncodeConfigFile(contents);
    std::ofstream(t.Dir() + "/TIMEOUT.KOV", std::ios::binary)
        .write(reinterpret_cast<const char *>(bytes.data()), std::streamsize(bytes.size()));

    t.Start({"FR"});
    ASSERT_TRUE(t.WaitFor("TIMEOUT"));
    t.SendKeys("Enter");
    ASSERT_TRUE(t.WaitFor("Use F10 to clear error window"));
    t.Settle();
    t.Type("EF");
    ASSERT_TRUE(t.WaitFor("Offline port to emulate"));
    t.Type("2");
    t.SendKeys("Enter");
    ASSERT_TRUE(t.WaitFor("INSERT for hex entry."));
    t.Type("12");
    ASSERT_TRUE(t.WaitFor("Type F2 to simulate timeout"));
    t.SendKeys("F2");
    ASSERT_TRUE(t.WaitFor("TERMINATED BY TIMEOUT (F2)"));
    ASSERT_TRUE(t.WaitFor("Ready for more data"));
    EXPECT_EQ(t.Row(13).substr(8 + 12 * 4, 11), "    12 000C");  // register 6: port 2, path 1
    EXPECT_NE(t.Row(3).find("= 0000 0000 0001 0000"), std::string::npos);
}

}  // namespace
