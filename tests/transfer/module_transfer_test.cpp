// The sequences of the transfer dialogs against the simulated module: a whole
// module sent with "A", checked register by register with kova-link, fetched
// back into an empty memory and written as a file; and what faults on the
// line leave behind.
#include "transfer/module_transfer.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "config/config_file_image.h"
#include "config/disk_file.h"
#include "module_sim.h"
#include "setup/link_setup.h"
#include "transfer/register_map.h"
#include "transfer/section_transfer.h"
#include "transfer_fixture.h"

namespace {

using Texts = std::vector<std::string>;

class ModuleTransferTest : public ::testing::TestWithParam<SimWire> {
  protected:
    void SetUp() override {
        setup_ = DefaultSetupFor("KOVASW.STP");
        setup_.LinkBaud = 13;  // 9600, the Print/Prog rate below: no question
    }
    LinkSetup setup_;
};

std::vector<uint8_t> FileOf(const ModuleConfig& config, int16_t printProgBaud, int16_t reserved) {
    ConfigFileContents contents;
    contents.version = kConfigFileVersion;
    contents.plus = config.Plus;
    for (int p = 0; p < 4; ++p) contents.ports[p] = config.Ports[p];
    contents.printProgBaud = printProgBaud;
    contents.reserved = reserved;
    return EncodeConfigFile(contents);
}

TEST_P(ModuleTransferTest, SendAllThenFetchAllGivesTheSameFile) {
    ModuleSim sim(GetParam());
    RecordingReporter reporter;
    ModuleConfig original = DistinctConfig(7);
    original.Plus.RackBase = 1201;
    ModuleSession session{sim.link(), reporter};
    ASSERT_EQ(SendAllPorts(session, original, 3, setup_), 1);
    EXPECT_EQ(reporter.Texts("error"), Texts{});
    EXPECT_EQ(reporter.Texts("port"), (Texts{"Port 1", "Port 2", "Port 3", "Port 4", ""}));
    EXPECT_EQ(reporter.Texts("step").size(), 4u * 23);

    // Every register of the map holds what the section table says.
    std::vector<uint16_t> held =
        sim.ReadWithKovaLink(PortBase(1), TriggerInhibitRegister(4) - PortBase(1) + 1);
    ASSERT_FALSE(held.empty());
    int wrong = 0;
    for (const auto& [reg, value] : ExpectedRegisters(original, 3, true))
        if (held[size_t(reg - PortBase(1))] != value && ++wrong <= 5)
            ADD_FAILURE() << "register " << reg;
    EXPECT_EQ(wrong, 0);

    ModuleConfig fetched{};
    int16_t printProgBaud = -1;
    RecordingReporter fetching;
    ModuleSession fetchSession{sim.link(), fetching};
    ASSERT_EQ(FetchAllPorts(fetchSession, fetched, printProgBaud), 1);
    EXPECT_EQ(fetching.Texts("error"), Texts{});

    // The file written from the fetched memory equals the original's except
    // for what never travels: the 65th byte of each pattern, mask and poll
    // query, each port's two reserved bytes and the file's reserved word.
    char dir[] = "/tmp/kova-transfer-XXXXXX";
    ASSERT_TRUE(mkdtemp(dir));
    const std::string path = std::string(dir) + "/FETCHED.KOV";
    ASSERT_EQ(SaveFileReplacing(path, FileOf(fetched, printProgBaud, 0)), SaveResult::Saved);
    auto onDisk = ReadFilePrefix(path, 100000);
    unlink(path.c_str());
    rmdir(dir);
    ASSERT_TRUE(onDisk);
    EXPECT_NE(*onDisk, FileOf(original, 3, 0x5A5A));
    ClearUntransferred(original);
    EXPECT_EQ(*onDisk, FileOf(original, 3, 0));
}

TEST_P(ModuleTransferTest, OnePortSendsThePortThenTheBaudThenTheRackBase) {
    ModuleSim sim(GetParam());
    RecordingReporter reporter;
    ModuleConfig config = DistinctConfig(8);
    config.Plus.RackBase = 77;
    setup_.LinkBaud = 7;  // 1200: the question comes after the port's last step
    reporter.answerYes = false;
    ModuleSession session{sim.link(), reporter};
    ASSERT_EQ(SendOnePort(session, config, 2, 3, 3, setup_), 1);
    // Over Modbus TCP no port of this computer follows the module: no question.
    Texts expectedTail = {"step: Send poll 16", "port: "};
    if (GetParam() != SimWire::ModbusTcp)
        expectedTail.insert(expectedTail.begin() + 1,
                            "confirm: KOVA now at 9600 baud. Change computer port to match?");
    ASSERT_GE(reporter.events.size(), expectedTail.size());
    EXPECT_EQ(Texts(reporter.events.end() - long(expectedTail.size()), reporter.events.end()),
              expectedTail);
    EXPECT_EQ(sim.Read(kPrintProgBaudRegister, 2), (std::vector<uint16_t>{3, 77}));
    EXPECT_EQ(sim.Read(PortBase(3), 1), std::vector<uint16_t>{uint16_t(config.Ports[1].BaudRate)});
}

// A module that stops answering during "A": the request is sent twice, then
// the error shows and the transfer stops at that step.
TEST_P(ModuleTransferTest, AModuleThatGoesSilentStopsTheTransferAtItsStep) {
    // Requests: rack base, PLUS test read, its write, read-back and write of
    // 0, comms, accept; the terminate set is the first to go unanswered.
    ModuleSim sim(GetParam(), {"--drop-after", "7"});
    SetSerialParameters(sim.link(), 9600, 1, 1, 20, 8);
    RecordingReporter reporter;
    ModuleConfig config = DistinctConfig(9);
    ModuleSession session{sim.link(), reporter};
    EXPECT_EQ(SendAllPorts(session, config, 3, setup_), 0);
    const Texts errors = reporter.Texts("error");
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_FALSE(errors[0].empty());
    const Texts lastEvents = {"model: 1", "step: Send Comms", "step: Send Accept",
                              "step: Send Term"};
    ASSERT_GE(reporter.events.size(), lastEvents.size() + 2);
    const Texts tail(reporter.events.end() - long(lastEvents.size() + 2),
                     reporter.events.end() - 2);
    EXPECT_EQ(tail, lastEvents);
    EXPECT_EQ(reporter.events.back(), "port: ");
}

INSTANTIATE_TEST_SUITE_P(Wires, ModuleTransferTest,
                         ::testing::Values(SimWire::SyMaxPty, SimWire::ModbusTcp),
                         [](const auto& info) {
                             return info.param == SimWire::SyMaxPty ? "SyMaxPty" : "ModbusTcp";
                         });

}  // namespace
