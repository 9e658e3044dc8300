// A serial adapter that goes away and comes back, played by the simulated
// module's pty under the device root: unplugged, the next online function
// says the port is gone (at once, not after a reply timeout); plugged back
// under the same name, the next one opens it again and goes on. And one
// plugged in after start is offered when a link form opens.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "common/sim_process.h"
#include "config/config_defaults.h"
#include "config/config_file_image.h"
#include "tmux_session.h"

namespace {

namespace fs = std::filesystem;

class LostPort : public testing::Test {
  protected:
    // A module holding the default configuration.
    std::vector<std::string> SimOptions() {
        ModuleConfig config;
        FillDefaults(config);
        ConfigFileContents contents;
        contents.version = kConfigFileVersion;
        contents.plus = config.Plus;
        std::memcpy(contents.ports, config.Ports, sizeof contents.ports);
        contents.printProgBaud = 3;
        const auto bytes = EncodeConfigFile(contents);
        const std::string path = t.DeviceRoot() + "/MODULE.KOV";
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        return {"--protocol", "symax", "--config", path};
    }
    // The adapter in: listed under sys, its node under dev leading to the pty.
    void PlugIn(const SimProcess& sim) {
        fs::create_directories(Sys() + "/device");
        fs::remove(Dev());
        fs::create_symlink(sim.SlavePath(), Dev());
    }
    void Unplug() {
        fs::remove_all(Sys());
        fs::remove(Dev());
    }
    std::string Sys() const { return t.DeviceRoot() + "/sys/class/tty/ttyS0"; }
    std::string Dev() const { return t.DeviceRoot() + "/dev/ttyS0"; }
    // oNline, the port editor on port 1 as the module holds it, then back.
    bool EditorOpensAndCloses() {
        t.Type("N");
        if (!t.WaitForRow(4, "Baud rate 9600")) return false;
        t.SendKeys("Escape");
        return t.WaitFor("Use F10");
    }

    TmuxSession t;
};

TEST_F(LostPort, AnUnpluggedPortIsNamedAndOpenedAgainWhenItIsBack) {
    std::optional<SimProcess> sim;
    sim.emplace(SimOptions());
    PlugIn(*sim);
    t.Start();
    ASSERT_TRUE(t.WaitFor("Use F10")) << t.ScreenText();
    ASSERT_TRUE(EditorOpensAndCloses()) << t.ScreenText();

    sim.reset();  // the adapter goes: its pty hangs up
    Unplug();
    t.Type("N");
    ASSERT_TRUE(t.WaitFor("Lost port ttyS0")) << t.ScreenText();
    t.SendKeys("F10");  // "Unable to establish link."
    ASSERT_TRUE(t.WaitFor("Use F10")) << t.ScreenText();

    sim.emplace(SimOptions());  // back, under the same name
    PlugIn(*sim);
    ASSERT_TRUE(EditorOpensAndCloses()) << t.ScreenText();
    t.Type("Q");
    EXPECT_TRUE(t.WaitForExit());
}

// An adapter plugged in while the program runs, listed before the link's
// port (ttyACM0 sorts before ttyS0): the form offers it, and the link's port
// field still names ttyS0 although its place in the list moved.
TEST_F(LostPort, APortPluggedInAfterStartIsOfferedAndTheLinkKeepsItsPort) {
    SimProcess sim(SimOptions());
    PlugIn(sim);
    t.Start();
    ASSERT_TRUE(t.WaitFor("Use F10")) << t.ScreenText();
    SimProcess other(SimOptions());
    fs::create_directories(t.DeviceRoot() + "/sys/class/tty/ttyACM0/device");
    fs::create_symlink(other.SlavePath(), t.DeviceRoot() + "/dev/ttyACM0");
    t.Type("SS");
    ASSERT_TRUE(t.WaitFor("CONFIGURE THIS COMPUTER")) << t.ScreenText();
    ASSERT_TRUE(t.WaitForRow(9, "Port ttyS0")) << t.ScreenText();
    t.SendKeys("Enter");
    t.Type(" ");  // past the last port: the entry for a device server
    EXPECT_TRUE(t.WaitForRow(9, "Port network: / then tcp:HOST:PORT")) << t.ScreenText();
    t.Type(" ");  // round to the first port of the list
    EXPECT_TRUE(t.WaitForRow(9, "Port ttyACM0")) << t.ScreenText();
    t.SendKeys("Escape");
    ASSERT_TRUE(t.WaitFor("Edit aborted by ESC. Modifications lost.")) << t.ScreenText();
    t.SendKeys("F10");
    ASSERT_TRUE(t.WaitFor("Use F10")) << t.ScreenText();
    ASSERT_TRUE(EditorOpensAndCloses()) << t.ScreenText();  // still the module on ttyS0
    t.Type("Q");
    EXPECT_TRUE(t.WaitForExit());
}

}  // namespace
