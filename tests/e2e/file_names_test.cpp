// The whole program on file names as Linux has them: a name is typed and
// opened as it stands, and the picker tells apart files whose names an
// eight-character, upper-cased list made look the same.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#include "common/file_contents.h"
#include "common/wait_until.h"
#include "config/config_defaults.h"
#include "config/config_file_image.h"
#include "tmux_session.h"

namespace {

// A configuration told apart from others by the baud rate of port 1.
std::vector<uint8_t> ConfigWithBaud(int16_t baudOfPort1) {
    ModuleConfig c;
    FillDefaults(c);
    c.Ports[0].BaudRate = baudOfPort1;
    ConfigFileContents contents;
    contents.plus = c.Plus;
    std::memcpy(contents.ports, c.Ports, sizeof c.Ports);
    contents.printProgBaud = 2;
    return EncodeConfigFile(contents);
}

struct FileNames : testing::Test {
    TmuxSession t;
    void Put(const std::string& name, const std::vector<uint8_t>& bytes) {
        std::ofstream(t.Dir() + "/" + name, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    }
    void StartReading() {
        t.Start();
        ASSERT_TRUE(t.WaitFor("Use F10"));
        t.Type("FR");
        ASSERT_TRUE(t.WaitFor("LOAD OFFLINE FROM DISK"));
    }
    // Writes memory out under a new name: what was read, byte for byte.
    std::vector<uint8_t> WrittenBack() {
        EXPECT_TRUE(t.WaitForGone("LOAD OFFLINE FROM DISK"));
        t.Type("FW");
        EXPECT_TRUE(t.WaitFor("SAVE OFFLINE TO DISK"));
        t.Type("written-back");
        t.SendKeys("Enter");
        const std::string path = t.Dir() + "/written-back.KOV";
        WaitUntil([&] { return ReadFileBytes(path).size() == 6688u; });
        return ReadFileBytes(path);
    }
};

// kova-config backup names a module's file line3-north.KOV; an older
// module's LINE3NOR.KOV stands beside it.
TEST_F(FileNames, ATypedNameOpensTheFileOfThatName) {
    Put("LINE3NOR.KOV", ConfigWithBaud(5));
    Put("line3-north.KOV", ConfigWithBaud(7));
    StartReading();
    ASSERT_TRUE(t.WaitForRow(14, " line3-north")) << t.ScreenText();  // whole
    EXPECT_EQ(" LINE3NOR", t.Row(15));
    t.SendKeys("Down");  // the highlight away from the file to be typed
    t.Type("line3-north");
    t.SendKeys("Enter");
    EXPECT_EQ(ConfigWithBaud(7), WrittenBack());
}

TEST_F(FileNames, ThePickerListsNamesDifferingByCaseAsTwo) {
    Put("PLANT.KOV", ConfigWithBaud(3));
    Put("plant.kov", ConfigWithBaud(9));
    StartReading();
    ASSERT_TRUE(t.WaitForRow(15, " plant")) << t.ScreenText();
    EXPECT_EQ(" PLANT", t.Row(14));
    t.SendKeys("Down");
    t.SendKeys("Enter");
    EXPECT_EQ(ConfigWithBaud(9), WrittenBack());
}

}  // namespace
