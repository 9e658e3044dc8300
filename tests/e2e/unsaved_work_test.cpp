// The whole program keeps unsaved work: reading a file or fetching from the
// module over it asks first (No keeps it, Yes replaces it), a file with
// values outside their lists is refused and leaves memory as it was, and the
// reports of one load come in one window. The memory is looked at through
// the offline editor, as a user would.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <memory>
#include <string>

#include "common/file_contents.h"
#include "common/sim_process.h"
#include "common/wait_until.h"
#include "config/config_defaults.h"
#include "config/config_file_image.h"
#include "setup/link_setup.h"
#include "tmux_session.h"

namespace {

constexpr char kQuestion[] = "Edited or Fetched but not Written. Replace anyway?";

void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

// The defaults with port 2's baud rate and the rack base given.
std::vector<uint8_t> ConfigFile(int16_t port2Baud, int16_t rackBase = 1) {
    ModuleConfig config;
    FillDefaults(config);
    config.Ports[1].BaudRate = port2Baud;
    config.Plus.RackBase = rackBase;
    ConfigFileContents contents;
    contents.plus = config.Plus;
    std::memcpy(contents.ports, config.Ports, sizeof contents.ports);
    contents.printProgBaud = 3;
    return EncodeConfigFile(contents);
}

struct UnsavedWork : testing::Test {
    TmuxSession t;
    std::unique_ptr<SimProcess> sim;

    // Optionally on loopback Modbus TCP to a module holding the file.
    void Start(const std::vector<uint8_t>& moduleFile = {}) {
        if (!moduleFile.empty()) {
            WriteFile(t.Dir() + "/SIM.KOV", moduleFile);
            sim = std::make_unique<SimProcess>(
                std::vector<std::string>{"--tcp", "127.0.0.1:0", "--config", t.Dir() + "/SIM.KOV"});
            LinkSetup setup = DefaultSetupFor("KOVASW.STP");
            setup.ConnectionType = LinkTypeModbusTcp;
            setup.LinkBaud = 13;
            setup.RouteCount = 1;
            setup.Route[0] = 1;
            setup.TcpPort = uint16_t(sim->TcpPort());
            std::memset(setup.TcpHost, 0, sizeof setup.TcpHost);
            std::strcpy(setup.TcpHost, "127.0.0.1");
            setup.LinkTimeout = 100;
            WriteFile(t.Dir() + "/KOVASW.STP", EncodeSetup(setup));
        }
        t.Start();
        ASSERT_TRUE(t.WaitFor("Use F10")) << t.ScreenText();
    }
    // Port 2's baud rate in memory, as the offline editor shows it, then
    // back to the menu. The editor marks the memory as edited.
    std::string Port2BaudInMemory() {
        t.Type("FE");
        EXPECT_TRUE(t.WaitFor("Type 1 to select a port.")) << t.ScreenText();
        t.Type("1");
        EXPECT_TRUE(t.WaitForRow(3, "Port 2"));
        std::string row = t.Row(4);
        t.Type("1112");  // back to port 1, and an edit there so memory is unsaved
        EXPECT_TRUE(t.WaitForRow(3, "Port 1"));
        t.SendKeys("Escape");
        EXPECT_TRUE(t.WaitForGone("Type 1 to select a port."));
        t.Settle();
        const size_t at = row.find("Baud rate ");
        if (at == std::string::npos) return row;
        row = row.substr(at + 10, 5);
        return row.substr(0, row.find(' '));
    }
    // Opens the entry and answers the question.
    void Answer(const std::string& entry, const std::string& answer) {
        t.Type(entry);
        ASSERT_TRUE(t.WaitFor(kQuestion)) << t.ScreenText();
        t.Type(answer);
        ASSERT_TRUE(t.WaitForGone(kQuestion));
    }
};

TEST_F(UnsavedWork, ReadOverUnsavedWorkAsksAndNoKeepsIt) {
    WriteFile(t.Dir() + "/OTHER.KOV", ConfigFile(4));  // 150
    Start();
    ASSERT_EQ("9600", Port2BaudInMemory());  // and now edited
    Answer("FR", "n");
    t.Settle();
    EXPECT_EQ(std::string::npos, t.ScreenText().find("LOAD OFFLINE FROM DISK"));
    EXPECT_EQ("9600", Port2BaudInMemory());
    Answer("FR", "y");
    ASSERT_TRUE(t.WaitFor("LOAD OFFLINE FROM DISK"));
    t.Type("OTHER");
    t.SendKeys("Enter");
    ASSERT_TRUE(t.WaitForGone("LOAD OFFLINE FROM DISK"));
    EXPECT_EQ("150", Port2BaudInMemory());
}

TEST_F(UnsavedWork, FetchOverUnsavedWorkAsksAndNoKeepsIt) {
    Start(ConfigFile(9));  // the module's port 2 at 2400
    ASSERT_EQ("9600", Port2BaudInMemory());
    Answer("FF", "n");
    t.Settle();
    EXPECT_EQ(std::string::npos, t.ScreenText().find("KOVA TO OFFLINE"));
    EXPECT_EQ("9600", Port2BaudInMemory());
    Answer("FF", "y");
    ASSERT_TRUE(t.WaitFor("KOVA TO OFFLINE")) << t.ScreenText();
    t.Type("2");
    t.SendKeys("Enter");
    t.Type("2");
    t.SendKeys("Enter");
    ASSERT_TRUE(t.WaitForGone("KOVA TO OFFLINE", 20000)) << t.ScreenText();
    EXPECT_EQ(std::string::npos, t.ScreenText().find("ERROR"));
    EXPECT_EQ("2400", Port2BaudInMemory());
}

// 6688 bytes of 0xFF: every list value is -1 or 255. The file is refused in
// one window with the first reason on row 25, and memory keeps its values.
TEST_F(UnsavedWork, AFileOfFFIsRefusedAndMemoryKept) {
    WriteFile(t.Dir() + "/FF.KOV", std::vector<uint8_t>(6688, 0xFF));
    WriteFile(t.Dir() + "/GOOD.KOV", ConfigFile(7));  // 1200
    Start();
    t.Type("FR");
    ASSERT_TRUE(t.WaitFor("LOAD OFFLINE FROM DISK"));
    t.Type("GOOD");
    t.SendKeys("Enter");
    ASSERT_TRUE(t.WaitForGone("LOAD OFFLINE FROM DISK"));
    t.Settle();
    t.Type("FR");
    ASSERT_TRUE(t.WaitFor("LOAD OFFLINE FROM DISK"));
    t.Type("FF");
    t.SendKeys("Enter");
    ASSERT_TRUE(t.WaitFor("Can't read disk file.")) << t.ScreenText();
    EXPECT_EQ(0u, t.Row(25).find("Port 1: Baud rate -1 out of range 0-15")) << t.Row(25);
    t.SendKeys("F10");
    ASSERT_TRUE(t.WaitForGone("Can't read disk file."));
    EXPECT_TRUE(t.WaitForGone("LOAD OFFLINE FROM DISK"));
    // No second window: the refusal was the only one.
    t.Settle();
    EXPECT_EQ(std::string::npos, t.ScreenText().find("ERROR")) << t.ScreenText();
    EXPECT_EQ("1200", Port2BaudInMemory());
    t.Type("FE");
    ASSERT_TRUE(t.WaitFor("Type 1 to select a port."));
    EXPECT_NE(std::string::npos, t.Row(24).find("Rack start address    1")) << t.Row(24);
    EXPECT_NE(std::string::npos, t.Row(10).find("Editing INTEGER")) << t.Row(10);
}

// A rack base of 100 puts all sixteen default paths below the rack: one
// window lists every report, and one F10 clears it.
TEST_F(UnsavedWork, TheReportsOfALoadComeInOneWindow) {
    WriteFile(t.Dir() + "/LOW.KOV", ConfigFile(13, 100));
    Start();
    t.Type("FR");
    ASSERT_TRUE(t.WaitFor("LOAD OFFLINE FROM DISK"));
    t.Type("LOW");
    t.SendKeys("Enter");
    ASSERT_TRUE(t.WaitFor("Port 4, Path 4: Register (17) < Rack Base (100) + 1")) << t.ScreenText();
    const std::string screen = t.ScreenText();
    EXPECT_NE(std::string::npos, screen.find("Port 1, Path 1: Register (2) < Rack Base (100) + 1"));
    t.SendKeys("F10");
    ASSERT_TRUE(t.WaitForGone("Rack Base (100)"));
    t.Settle();
    EXPECT_EQ(std::string::npos, t.ScreenText().find("ERROR")) << t.ScreenText();
    // Read as it was: written out again it is the same file.
    t.Type("FW");
    ASSERT_TRUE(t.WaitFor("File to write:"));
    t.Type("AGAIN");
    t.SendKeys("Enter");
    EXPECT_TRUE(
        WaitUntil([&] { return ReadFileBytes(t.Dir() + "/AGAIN.KOV") == ConfigFile(13, 100); }));
}

}  // namespace
