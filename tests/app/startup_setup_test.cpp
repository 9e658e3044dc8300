// Start-up reads KOVASW.STP from the working directory before the offline
// defaults, so the Print/Prog baud follows this computer's link baud rate.
#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <filesystem>
#include <fstream>

#include "app/shell.h"
#include "config/module_config.h"
#include "setup/link_setup.h"
#include "ui/console/keys.h"
#include "ui/console/memory_console.h"

namespace fs = std::filesystem;

namespace {

class StartupSetup : public testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/kova-startup-XXXXXX";
        ASSERT_TRUE(mkdtemp(pattern));
        dir = pattern;
        ASSERT_TRUE(getcwd(previous, sizeof previous));
        ASSERT_EQ(0, chdir(dir.c_str()));
    }
    void TearDown() override {
        (void)chdir(previous);
        fs::remove_all(dir);
    }
    std::string dir;
    char previous[PATH_MAX];
};

TEST_F(StartupSetup, PrintProgBaudFollowsTheLinkBaud) {
    struct Case {
        int16_t linkBaud;
        int16_t printProg;
    } cases[] = {{5, 0}, {7, 1}, {9, 2}, {13, 3}, {15, 3}};  // 300 1200 2400 9600 19200
    for (const auto& c : cases) {
        LinkSetup s = DefaultSetupFor("KOVASW.STP");
        s.ConnectionType = LinkTypeNone;  // nothing to open: one error window
        s.LinkBaud = c.linkBaud;
        auto bytes = EncodeSetup(s);
        std::ofstream("KOVASW.STP", std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        con::MemoryConsole console;
        console.TypeExtended(key::scan::F10);
        console.Type("Q");
        ShellState state;
        state.documents.PrintProgBaud = -1;
        EXPECT_EQ(0, RunShell(console, {}, state));
        EXPECT_EQ(c.printProg, state.documents.PrintProgBaud) << c.linkBaud;
        EXPECT_EQ(c.linkBaud, state.settings.CurrentSetup.LinkBaud);
    }
}

}  // namespace
