// Serial ports by their adapters, as the tools meet them: a udev name
// (/dev/serial/by-id/..., by-path/...) given as the port, and a setup file
// saved with an adapter that must open that adapter after the kernel names
// changed, and never another port when it is missing. Two simulated modules
// on ptys stand for two USB adapters in a made-up /dev and /sys.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/child_process.h"
#include "common/device_root_dir.h"
#include "common/sim_process.h"
#include "setup/link_setup.h"
#include "setup/setup_file.h"

namespace {

using Args = std::vector<std::string>;

class AdapterSetup : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(HaveProgram(BuildProgram("kova-link"))) << "kova-link is not built";
        // The adapter that was ttyUSB0 when the setup was saved is ttyUSB1
        // now; another adapter took ttyUSB0.
        root.AddPort("ttyUSB0", other.SlavePath());
        root.AddPort("ttyUSB1", moved.SlavePath());
        byId = root.AddAdapter("by-id", "usb-FTDI_FT232R_A50285BI-if00-port0", "ttyUSB1");
        byPath = root.AddAdapter("by-path", "pci-0000:00:14.0-usb-0:2:1.0-port0", "ttyUSB1");
        setupFile = root.Path() + "/KOVASW.STP";
    }

    void SaveSetup(const SetupAdapters& adapters) {
        LinkSetup setup = DefaultSetupFor("HOLV.STP");  // Modbus RTU, drop 1
        setup.LinkPort = 0;                             // where the adapter was
        ASSERT_EQ(SaveSetupFile(setupFile, setup, adapters), SaveResult::Saved);
    }

    RunResult Read(const Args& link) {
        Args argv = {BuildProgram("kova-link"), "--device-root", root.Path()};
        argv.insert(argv.end(), link.begin(), link.end());
        argv.insert(argv.end(), {"read", "20", "1"});
        return RunProgram(argv);
    }

    SimProcess moved{{"--protocol", "rtu", "--set", "20=111"}};
    SimProcess other{{"--protocol", "rtu", "--set", "20=222"}};
    DeviceRootDir root;
    std::string byId, byPath, setupFile;
};

TEST_F(AdapterSetup, EveryNameOfAPortReachesIt) {
    for (const std::string& port :
         {byId, byPath, std::string("/dev/ttyUSB1"), std::string("ttyUSB1")}) {
        SCOPED_TRACE(port);
        const RunResult r = Read({"--type", "rtu", "--port", port});
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.out, "111\n");
    }
}

TEST_F(AdapterSetup, ASetupFindsItsAdapterUnderItsNewKernelName) {
    SaveSetup({byId, ""});
    RunResult r = Read({"--setup", setupFile});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "111\n");
    // A setup without an adapter names the port by its place, as always.
    SaveSetup({});
    r = Read({"--setup", setupFile});
    EXPECT_EQ(r.out, "222\n") << r.err;
}

TEST_F(AdapterSetup, AMissingAdapterIsNamedAndNoOtherPortOpened) {
    SaveSetup({byId, ""});
    root.RemoveAdapter("by-id", "usb-FTDI_FT232R_A50285BI-if00-port0");
    const RunResult r = Read({"--setup", setupFile});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "kova-link: Unable to establish link. Not connected: " + byId + "\n");
}

}  // namespace
