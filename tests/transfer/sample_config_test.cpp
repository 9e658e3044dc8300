// The demo's sample configuration: written by kova-sample-config through the
// program's file code, it does what its comments promise with a scale's
// message, and a simulated module started with it holds exactly that
// configuration, as a fetch of every port shows.
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "config/config_file_image.h"
#include "config/disk_file.h"
#include "emulator/editing_modes.h"
#include "emulator/mask.h"
#include "module_sim.h"
#include "text/pattern_match.h"
#include "transfer/module_transfer.h"
#include "transfer/section_transfer.h"
#include "transfer_fixture.h"

namespace {

class SampleConfigTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char dir[] = "/tmp/kova-sample-XXXXXX";
        ASSERT_TRUE(mkdtemp(dir));
        dir_ = dir;
        path_ = dir_ + "/PLANT.KOV";
        RunResult r = RunProgram({BuildProgram("kova-sample-config"), path_});
        ASSERT_EQ(r.status, 0) << r.err;
        auto bytes = ReadFilePrefix(path_, 100000);
        ASSERT_TRUE(bytes);
        EXPECT_EQ(bytes->size(), kConfigFileSize);
        auto decoded = DecodeConfigFile(bytes->data(), bytes->size());
        ASSERT_TRUE(decoded);
        contents_ = decoded->contents;
    }
    void TearDown() override {
        unlink(path_.c_str());
        rmdir(dir_.c_str());
    }
    std::string dir_, path_;
    ConfigFileContents contents_;
};

TEST_F(SampleConfigTest, TheScalePortTurnsAWeightIntoAnInteger) {
    EXPECT_EQ(contents_.version, kConfigFileVersion);
    const PortConfig& scale = contents_.ports[1];
    const DataPath& weight = scale.Paths[0];
    EXPECT_EQ(weight.EditingMode, uint8_t(EditingMode::Integer));
    EXPECT_STREQ(scale.PollQueries[0], "SI\r\n");
    EXPECT_EQ(scale.PollInterval, 100u);

    const char* stable = "S S     12.345 kg";
    ASSERT_TRUE(PatternMatch(weight.Pattern, stable));
    EXPECT_EQ(ConvertText(weight.EditingMode, ApplyMask(weight.Mask, stable), 1),
              std::vector<int16_t>{12345});
    EXPECT_FALSE(PatternMatch(weight.Pattern, "S D     12.345 kg"));
    const DataPath& status = scale.Paths[1];
    ASSERT_TRUE(PatternMatch(status.Pattern, "S D     12.345 kg"));
    EXPECT_EQ(ApplyMask(status.Mask, "S D     12.345 kg"), "D");

    const DataPath& barcode = contents_.ports[0].Paths[0];
    EXPECT_TRUE(PatternMatch(barcode.Pattern, "400638133393"));
    EXPECT_EQ(ConvertText(barcode.EditingMode, ApplyMask(barcode.Mask, "400638133393"), 6)[0],
              int16_t('4' << 8 | '0'));
}

TEST_F(SampleConfigTest, TheSimulatedModuleStartsWithIt) {
    ModuleSim sim(SimWire::ModbusTcp, {"--config", path_});
    ModuleConfig fetched{};
    int16_t printProgBaud = -1;
    RecordingReporter reporter;
    ModuleSession session{sim.link(), reporter};
    ASSERT_EQ(FetchAllPorts(session, fetched, printProgBaud), 1);
    EXPECT_EQ(printProgBaud, contents_.printProgBaud);
    ModuleConfig expected;
    expected.Plus = contents_.plus;
    for (int p = 0; p < 4; ++p) expected.Ports[p] = contents_.ports[p];
    ClearUntransferred(expected);
    EXPECT_TRUE(SameConfig(fetched, expected));
}

// The simulator reads configuration files as the program does: the name
// matches whatever its case.
TEST_F(SampleConfigTest, TheSimulatedModuleFindsItWhateverTheCaseOfItsName) {
    ModuleSim sim(SimWire::ModbusTcp, {"--config", dir_ + "/plant.kov"});
    int16_t printProgBaud = -1;
    RecordingReporter reporter;
    ModuleSession session{sim.link(), reporter};
    ASSERT_EQ(FetchPrintProgBaud(session, printProgBaud), 1);
    EXPECT_EQ(printProgBaud, contents_.printProgBaud);
    EditPlus plus{};
    ASSERT_EQ(FetchRackBase(session, plus), 1);
    EXPECT_EQ(plus.RackBase, contents_.plus.RackBase);
}

TEST(SimConfigOptionTest, AnUnreadableFileStopsTheSimulator) {
    RunResult r = RunProgram({BuildProgram("kova-sim"), "--protocol", "tcp", "--listen",
                              "127.0.0.1:0", "--config", "/nonexistent/NONE.KOV"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "kova-sim: /nonexistent/NONE.KOV is not a readable configuration file\n");
}

}  // namespace

namespace {

// The benchmark's request log: what the transfer asked, as kova-link replays it.
TEST(SimRequestLogTest, TheLogNamesEachRequestAndReplays) {
    char dir[] = "/tmp/kova-log-XXXXXX";
    ASSERT_TRUE(mkdtemp(dir));
    const std::string log = std::string(dir) + "/requests";
    {
        ModuleSim sim(SimWire::ModbusTcp, {"--log", log});
        RecordingReporter reporter;
        ModuleSession session{sim.link(), reporter};
        EditPlus plus{};
        plus.RackBase = 9;
        ASSERT_EQ(SendRackBase(session, plus), 1);
        PortConfig port{};
        ASSERT_EQ(FetchComms(session, port, 2), 1);
    }
    auto text = ReadFilePrefix(log, 1000);
    ASSERT_TRUE(text);
    EXPECT_EQ(std::string(text->begin(), text->end()), "w 7422 1\nr 3392 5\n");

    ModuleSim again(SimWire::ModbusTcp);
    RunResult r = RunProgram(again.KovaLink({"replay", log}));
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.rfind("2 requests in ", 0), 0u) << r.out;
    unlink(log.c_str());
    rmdir(dir);
}

}  // namespace
