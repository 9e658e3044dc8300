// The whole program online against a simulated module on loopback Modbus
// TCP that starts with a plant's configuration: the online editor's writes
// reach the module's registers (only the values the user settles on, and
// after a failed write the editor says what it leaves), a fetch of all ports
// written to disk gives the module's configuration file back, the model mark
// shows, and a send that loses replies reports it without spoiling the next
// transfer.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <sstream>
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
        StartSim("127.0.0.1:0", faults);
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
    // The module (again) at the address given, with the plant's configuration.
    void StartSim(const std::string& address, const std::vector<std::string>& options = {}) {
        std::vector<std::string> all{"--tcp", address, "--config", t.Dir() + "/SIM.KOV"};
        all.insert(all.end(), options.begin(), options.end());
        sim = std::make_unique<SimProcess>(all);
    }
    // The module's writes from its log ("w FIRST COUNT"), in order, but for
    // the PLUS test of every fetch (register 7423 written and put back).
    std::vector<std::string> LoggedWrites() {
        std::vector<std::string> writes;
        std::istringstream log(ReadFile(LogPath()));
        for (std::string line; std::getline(log, line);)
            if (line.rfind("w ", 0) == 0 && line.rfind("w 7423 ", 0) != 0) writes.push_back(line);
        return writes;
    }
    std::string LogPath() const { return t.Dir() + "/requests.log"; }
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

// A list key shows each step at once; only the value the user settles on is
// written, once, and Esc before that writes nothing.
TEST_F(Online, OnlyTheListValueSettledOnIsWritten) {
    Start({"--log", LogPath()});
    t.Type("N");
    ASSERT_TRUE(t.WaitForRow(24, "Print/Prog baud rate 9600")) << t.ScreenText();
    t.Type("XXX");  // 300, 1200, 2400
    ASSERT_TRUE(t.WaitForRow(24, "Print/Prog baud rate 2400")) << t.ScreenText();
    t.SendKeys("Enter");
    EXPECT_TRUE(AwaitRegister(7421, "2"));
    EXPECT_EQ(LoggedWrites(), (std::vector<std::string>{"w 7421 1"}));

    t.Type("2");  // port 1's baud rate, 9600 in the module
    ASSERT_TRUE(t.WaitForRow(4, "Baud rate 14400")) << t.ScreenText();
    t.SendKeys("Escape");
    ASSERT_TRUE(t.WaitForRow(4, "Baud rate 9600 ")) << t.ScreenText();
    EXPECT_TRUE(t.WaitForRow(2, "Type 1 to select a port."));  // still in the editor
    t.SendKeys("Escape");
    ASSERT_TRUE(t.WaitFor("Use F10")) << t.ScreenText();
    // Out of the editor nothing more can be written.
    EXPECT_EQ(LoggedWrites(), (std::vector<std::string>{"w 7421 1"}));
    EXPECT_EQ("13", Register(2049));
}

// A write that fails leaves the editor open: while the error window is up
// row 25 already says the write failed and what Enter does, the port's
// values are blank, and other keys are refused until Enter has read the
// port again from the module, once it answers.
TEST_F(Online, AfterAFailedWriteTheEditorSaysSoAndEnterReadsThePortAgain) {
    Start();
    t.Type("N");
    ASSERT_TRUE(t.WaitForRow(4, "Baud rate 9600")) << t.ScreenText();
    const std::string address = "127.0.0.1:" + std::to_string(sim->TcpPort());
    sim.reset();  // the module goes away
    t.Type("2");
    t.SendKeys("Enter");
    ASSERT_TRUE(t.WaitForRow(22, "ERROR")) << t.ScreenText();
    EXPECT_TRUE(t.WaitForRow(23, "Write: Connection refused")) << t.ScreenText();
    EXPECT_TRUE(t.WaitForRow(25, "Write failed: Enter reads KOVA again")) << t.ScreenText();
    EXPECT_EQ("2  Baud rate", t.Row(4).substr(0, 12));
    EXPECT_EQ(std::string::npos, t.Row(4).find("14400")) << t.Row(4);
    t.SendKeys("F10");
    ASSERT_TRUE(t.WaitForGone("ERROR")) << t.ScreenText();
    EXPECT_NE(std::string::npos, t.Row(25).find("Write failed: Enter reads KOVA again"));
    StartSim(address);  // back, as it was
    t.SendKeys("Enter");
    ASSERT_TRUE(t.WaitForRow(4, "Baud rate 9600")) << t.ScreenText();
    EXPECT_TRUE(t.WaitForRow(25, "Press Esc to return to menu.")) << t.ScreenText();
    t.SendKeys("Escape");
    ASSERT_TRUE(t.WaitFor("Use F10")) << t.ScreenText();
    t.Type("Q");
    EXPECT_TRUE(t.WaitForExit());
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
