// The whole program online against a simulated module on loopback Modbus
// TCP that starts with a plant's configuration: the online editor's writes
// reach the module's registers, a fetch of all ports written to disk gives
// the module's configuration file back, the model mark shows, and a send that
// loses replies reports it without spoiling the next transfer.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <string>

#include "common/file_contents.h"
#include "common/sim_process.h"
#include "common/wait_until.h"
#include "config/config_defaults.h"
#include "config/config_file_image.h"
#include "setup/link_setup.h"
#include "tmux_session.h"

namespace {

void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

// A barcode reader on port 1 and a polled scale on port 2 of a PLUS module.
std::vector<uint8_t> PlantConfigFile() {
    ModuleConfig config;
    FillDefaults(config);
    config.Plus.RackBase = 1;
    config.Ports[0].BaudRate = 13;  // 9600
    std::strcpy(config.Ports[0].Paths[0].Pattern, "==########");
    config.Ports[0].Paths[0].StartRegister = 10;
    config.Ports[0].Paths[0].RegisterCount = 5;
    PortConfig& scale = config.Ports[1];
    scale.BaudRate = 9;  // 2400
    std::strcpy(scale.Paths[0].Pattern, "=?###.##");
    std::strcpy(scale.Paths[0].Mask, "--###-##");
    scale.Paths[0].StartRegister = 20;
    scale.Paths[0].RegisterCount = 1;
    scale.Paths[0].EditingMode = 1;
    std::strcpy(scale.PollQueries[0], "P\r");
    scale.PollInterval = 250;
    config.Plus.TerminateCount[1] = 12;
    config.Plus.TriggerInhibit[1] = 30;
    ConfigFileContents contents;
    contents.version = kConfigFileVersion;
    contents.plus = config.Plus;
    std::memcpy(contents.ports, config.Ports, sizeof contents.ports);
    contents.printProgBaud = 3;  // 9600, as this computer's link: no question
    return EncodeConfigFile(contents);
}

class Online : public testing::Test {
  protected:
    void Start(const std::vector<std::string>& faults = {}, int16_t replyTimeout = 100,
               int16_t trapErrors = 0) {
        WriteFile(t.Dir() + "/SIM.KOV", PlantConfigFile());
        std::vector<std::string> options{"--tcp", "127.0.0.1:0", "--config", t.Dir() + "/SIM.KOV"};
        options.insert(options.end(), faults.begin(), faults.end());
        sim = std::make_unique<SimProcess>(options);
        LinkSetup setup = DefaultSetupFor("KOVASW.STP");
        setup.ConnectionType = LinkTypeModbusTcp;
        setup.LinkBaud = 13;
        setup.RouteCount = 1;
        setup.Route[0] = 1;  // the unit
        setup.TcpPort = uint16_t(sim->TcpPort());
        std::memset(setup.TcpHost, 0, sizeof setup.TcpHost);
        std::strcpy(setup.TcpHost, "127.0.0.1");
        setup.LinkTimeout = replyTimeout;
        setup.TrapErrors = trapErrors;
        WriteFile(t.Dir() + "/KOVASW.STP", EncodeSetup(setup));
        t.Start();
        ASSERT_TRUE(t.WaitFor("Use F10")) << t.ScreenText();
    }
    // One register as kova-link reads it, retried while a fault drops it.
    std::string Register(int reg) {
        for (int attempt = 0; attempt < 3; ++attempt) {
            int status = -1;
            std::string out = RunCommand({BuildDir() + "/kova-link", "--type", "tcp", "--host",
                                          "127.0.0.1", "--tcp-port", std::to_string(sim->TcpPort()),
                                          "--timeout", "50", "read", std::to_string(reg), "1"},
                                         &status);
            if (status == 0) return out.substr(0, out.find_last_not_of("\n") + 1);
        }
        return "unreadable";
    }
    bool AwaitRegister(int reg, const std::string& value) {
        // Each look runs kova-link: a slower step than the default.
        return WaitUntil([&] { return Register(reg) == value; }, waiting::kDeadline,
                         std::chrono::milliseconds(100));
    }
    // Waits until a window's title is gone again.
    bool AwaitClosed(const std::string& title) {
        return WaitUntil([&] { return t.ScreenText().find(title) == std::string::npos; },
                         std::chrono::seconds(20), std::chrono::milliseconds(50));
    }
    bool MarkShown() {
        auto cells = t.RowCells(1);
        if (t.Row(1).substr(13, 4) != "PLUS") return false;
        for (int c = 13; c < 17; ++c)  // reverse: the light background
            if (cells.at(size_t(c)).bg != 7) return false;
        return true;
    }
    TmuxSession t;
    std::unique_ptr<SimProcess> sim;
};

TEST_F(Online, EditorChangeReachesTheModuleAndTheMarkShows) {
    Start();
    EXPECT_EQ("    ", t.Row(1).substr(13, 4));  // no module contacted yet
    t.Type("N");
    ASSERT_TRUE(t.WaitForRow(4, "Baud rate 9600")) << t.ScreenText();
    EXPECT_TRUE(t.WaitForRow(3, "Port 1"));
    EXPECT_TRUE(MarkShown()) << t.Row(1);
    t.Type("2");
    ASSERT_TRUE(t.WaitForRow(4, "Baud rate 14400"));
    EXPECT_TRUE(AwaitRegister(2049, "14"));
    t.Type("8");  // a sub-editor redraws the editor screen when it ends
    ASSERT_TRUE(t.WaitFor("Editing Terminate character set"));
    t.SendKeys("Enter");
    ASSERT_TRUE(t.WaitForRow(6, "Terminate characters"));
    EXPECT_TRUE(MarkShown()) << t.Row(1);
    t.Type("1");  // the scale port, fetched with its own values
    ASSERT_TRUE(t.WaitForRow(4, "Baud rate 2400")) << t.ScreenText();
    EXPECT_TRUE(t.WaitForRow(4, "Terminate Count 12"));
    t.SendKeys("Escape");
    ASSERT_TRUE(t.WaitFor("Use F10"));
    t.Settle();
    EXPECT_TRUE(MarkShown()) << t.Row(1);  // the menu keeps it
}

TEST_F(Online, FetchOfAllPortsWrittenToDiskIsTheModulesFile) {
    Start();
    t.Type("FF");
    ASSERT_TRUE(t.WaitFor("KOVA TO OFFLINE"));
    EXPECT_NE(std::string::npos, t.Row(2).find("KOVA Port 1"));  // the identification
    t.Type("A");
    ASSERT_TRUE(AwaitClosed("KOVA TO OFFLINE")) << t.ScreenText();
    EXPECT_EQ(std::string::npos, t.ScreenText().find("ERROR"));
    EXPECT_TRUE(MarkShown());
    t.Type("FW");
    ASSERT_TRUE(t.WaitFor("File to write:"));
    t.Type("PLANT");
    t.SendKeys("Enter");
    ASSERT_TRUE(AwaitClosed("File to write:"));
    EXPECT_TRUE(WaitUntil(
        [&] { return ReadFile(t.Dir() + "/PLANT.KOV") == ReadFile(t.Dir() + "/SIM.KOV"); }));
    EXPECT_EQ(ReadFile(t.Dir() + "/SIM.KOV"), ReadFile(t.Dir() + "/PLANT.KOV"));
}

TEST_F(Online, ALostReplyIsSentAgainAndTheSendCompletes) {
    // Every 60th request goes unanswered: a send of all ports (some 180
    // requests) meets three, each sent once more.
    Start({"--drop-every", "60"}, 50);
    t.Type("FS");
    ASSERT_TRUE(t.WaitFor("OFFLINE TO KOVA"));
    t.Type("A");
    // The dialog closes after the last step: a failure would be shown by now.
    ASSERT_TRUE(AwaitClosed("OFFLINE TO KOVA")) << t.ScreenText();
    EXPECT_EQ(std::string::npos, t.ScreenText().find("ERROR")) << t.ScreenText();
    // Port 4's first path now has the pattern of this program's default
    // memory, "*", not the module's.
    EXPECT_EQ(std::to_string('*' << 8), Register(6078 + 37));
    t.Type("Q");
    EXPECT_TRUE(t.WaitForExit());
}

// With errors not trapped the status row is the only word of a failure: it
// stays when the menu comes back.
TEST_F(Online, AnUntrappedFailureStaysOnTheStatusRow) {
    Start({}, 50, 1);
    sim.reset();  // the module goes away
    t.Type("UW");
    ASSERT_TRUE(t.WaitForRow(25, "Unable to write 8174")) << t.ScreenText();
    ASSERT_TRUE(t.WaitFor("Use F10")) << t.ScreenText();
    t.Settle();
    EXPECT_NE(std::string::npos, t.Row(25).find("Unable to write 8174")) << t.ScreenText();
    t.Type("Q");
    EXPECT_TRUE(t.WaitForExit());
}

}  // namespace
