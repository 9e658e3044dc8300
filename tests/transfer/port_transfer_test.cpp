// Whole ports and the PLUS test against the simulated module, over a pty
// (Sy/Max) and over Modbus TCP: what lands in which register, what comes
// back, and the order of the steps.
#include "transfer/port_transfer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "module_sim.h"
#include "transfer/module_model.h"
#include "transfer/register_map.h"
#include "transfer/section_transfer.h"
#include "transfer_fixture.h"

namespace {

using Texts = std::vector<std::string>;

class PortTransferTest : public ::testing::TestWithParam<SimWire> {};

std::string WireLabel(const ::testing::TestParamInfo<SimWire>& info) {
    return info.param == SimWire::SyMaxPty ? "SyMaxPty" : "ModbusTcp";
}

// Each register from first on that the expectation names, compared with what
// the module holds.
void ExpectRegisters(ModuleSim& sim, const std::map<int, uint16_t>& expected, int first, int last) {
    std::vector<uint16_t> held = sim.ReadWithKovaLink(first, last - first + 1);
    ASSERT_EQ(int(held.size()), last - first + 1);
    int wrong = 0;
    for (const auto& [reg, value] : expected) {
        if (reg < first || reg > last) continue;
        if (held[size_t(reg - first)] != value && ++wrong <= 5)
            ADD_FAILURE() << "register " << reg << " holds " << held[size_t(reg - first)]
                          << ", expected " << value;
    }
    EXPECT_EQ(wrong, 0);
}

// Over Modbus TCP only: the whole module over the pty is the "A" round trip.
TEST(PortByPortTest, EveryPortSentArrivesInTheMapAndFetchesBackIntoAnEmptyMemory) {
    ModuleSim sim(SimWire::ModbusTcp);
    RecordingReporter reporter;
    ModuleSession session{sim.link(), reporter};
    ModuleConfig original = DistinctConfig(1);
    for (int p = 1; p <= 4; ++p) ASSERT_EQ(SendPort(session, original, p, p, true), 1) << p;
    EXPECT_TRUE(reporter.Texts("error").empty());
    EXPECT_EQ(session.model, kModelPlus);

    // Port by port moves neither the rack base nor the Print/Prog baud rate.
    auto expected = ExpectedRegisters(original, 0, true);
    expected.erase(kRackBaseRegister);
    expected.erase(kPrintProgBaudRegister);
    ExpectRegisters(sim, expected, PortBase(1), TriggerInhibitRegister(4));

    ModuleConfig fetched{};
    for (int p = 1; p <= 4; ++p) ASSERT_EQ(FetchPort(session, fetched, p, p, true), 1) << p;
    ClearUntransferred(original);
    fetched.Plus.RackBase = original.Plus.RackBase;
    EXPECT_TRUE(SameConfig(fetched, original));
}

TEST_P(PortTransferTest, MemoryPort1GoesToModulePort3AndItsPlusRegisters) {
    ModuleSim sim(GetParam());
    RecordingReporter reporter;
    ModuleConfig config = DistinctConfig(2);
    config.Plus.TerminateCount[0] = 11;
    config.Plus.TerminateTimeout[0] = 22;
    config.Plus.TriggerInhibit[0] = 33;
    ModuleSession session{sim.link(), reporter};
    ASSERT_EQ(SendPort(session, config, 1, 3, false), 1);

    std::vector<uint16_t> comms = sim.Read(4735, 5);
    std::vector<uint16_t> expected(5);
    for (int i = 0; i < 5; ++i) expected[size_t(i)] = uint16_t((&config.Ports[0].BaudRate)[i]);
    EXPECT_EQ(comms, expected);
    EXPECT_EQ(sim.Read(7423, 12), (std::vector<uint16_t>{0, 0, 11, 0, 0, 0, 22, 0, 0, 0, 33, 0}));
    EXPECT_EQ(sim.Read(PortBase(1), 5), std::vector<uint16_t>(5, 0));
    // Without polls the poll registers stay as they were.
    EXPECT_EQ(sim.Read(SectionRegister(3, PollIntervalSection()), 2), std::vector<uint16_t>(2, 0));
}

TEST_P(PortTransferTest, StepsAndTheirProgressTexts) {
    ModuleSim sim(GetParam());
    RecordingReporter reporter;
    ModuleConfig config{};
    ModuleSession fetching{sim.link(), reporter};
    ASSERT_EQ(FetchPort(fetching, config, 2, 4, true), 1);
    Texts steps = {"Fetch Comms",  "Fetch Accept", "Fetch Term",  "Fetch path 1",
                   "Fetch path 2", "Fetch path 3", "Fetch path 4"};
    for (int q = 1; q <= 16; ++q) steps.push_back("Fetch poll " + std::to_string(q));
    EXPECT_EQ(reporter.Texts("step"), steps);
    EXPECT_EQ(reporter.Texts("model"), Texts{"1"});

    // A fresh module holds 0 in every start register, which no send writes.
    for (DataPath& path : config.Ports[3].Paths) path.StartRegister = 2;
    RecordingReporter sending;
    ModuleSession session{sim.link(), sending};
    ASSERT_EQ(SendPort(session, config, 4, 2, false), 1);
    EXPECT_EQ(sending.Texts("step"), (Texts{"Send Comms", "Send Accept", "Send Term", "Send path 1",
                                            "Send path 2", "Send path 3", "Send path 4"}));
}

TEST_P(PortTransferTest, PortsOutOfRangeAreRefusedAfterThePlusTest) {
    struct Case {
        bool send;
        int from, to;
        const char* message;
    } kCases[] = {
        {true, 0, 1, "Attempt to send from memory out of range."},
        {true, 1, 5, "Attempt to send to port out of range."},
        {true, 5, 0, "Attempt to send from memory out of range."},
        {false, 0, 1, "Attempt to fetch port out of range."},
        {false, 1, -1, "Attempt to fetch to memory out of range."},
    };
    ModuleSim sim(GetParam());
    ModuleConfig config = DistinctConfig(3);
    for (const Case& c : kCases) {
        RecordingReporter reporter;
        ModuleSession session{sim.link(), reporter};
        int result = c.send ? SendPort(session, config, c.from, c.to, true)
                            : FetchPort(session, config, c.from, c.to, true);
        EXPECT_EQ(result, 0);
        EXPECT_EQ(reporter.events, (Texts{"model: 1", std::string("error: ") + c.message}));
    }
    EXPECT_EQ(sim.Read(PortBase(1), 5), std::vector<uint16_t>(5, 0));
}

TEST_P(PortTransferTest, PlusTestTellsTheModels) {
    struct Case {
        const char* name;
        std::vector<std::string> options;
        int model;
        uint16_t testRegisterAfter;
    } kCases[] = {
        {"PLUS takes the test write and gets its 0 back", {}, 1, 0},
        // A standard module refuses the write: PLUS is then impossible, so a
        // PLUS result proves the non-zero register was enough on its own.
        {"standard refuses the write", {"--model", "standard"}, 0, 0},
        {"non-zero test register, no write", {"--model", "standard", "--set", "7423=5"}, 1, 5},
    };
    for (const Case& c : kCases) {
        ModuleSim sim(GetParam(), c.options);
        RecordingReporter reporter;
        ModuleSession session{sim.link(), reporter};
        EXPECT_EQ(DetectModuleModel(session), 1) << c.name;
        EXPECT_EQ(session.model, c.model) << c.name;
        EXPECT_EQ(reporter.events, Texts{"model: " + std::to_string(c.model)}) << c.name;
        EXPECT_EQ(sim.Read(kPlusTestRegister, 1), std::vector<uint16_t>{c.testRegisterAfter})
            << c.name;
    }
}

TEST_P(PortTransferTest, AStandardModuleGetsNoPlusRegisters) {
    ModuleSim sim(GetParam(), {"--model", "standard"});
    RecordingReporter reporter;
    ModuleConfig config = DistinctConfig(4);
    ModuleSession session{sim.link(), reporter};
    ASSERT_EQ(SendPort(session, config, 2, 2, false), 1);
    EXPECT_TRUE(reporter.Texts("error").empty());
    EXPECT_EQ(sim.Read(7423, 12), std::vector<uint16_t>(12, 0));
    EXPECT_NE(sim.Read(PortBase(2), 1), std::vector<uint16_t>{0});

    ModuleConfig fetched{};
    fetched.Plus.TerminateCount[1] = 77;  // not touched by a standard fetch
    ASSERT_EQ(FetchPort(session, fetched, 2, 2, false), 1);
    EXPECT_EQ(fetched.Plus.TerminateCount[1], 77);
    EXPECT_EQ(fetched.Ports[1].BaudRate, config.Ports[1].BaudRate);
}

TEST_P(PortTransferTest, ModuleWideValues) {
    ModuleSim sim(GetParam(), {"--set", "7421=2"});
    RecordingReporter reporter;
    ModuleSession session{sim.link(), reporter};
    EditPlus plus{};
    plus.RackBase = 4097;
    ASSERT_EQ(SendRackBase(session, plus), 1);
    EditPlus back{};
    ASSERT_EQ(FetchRackBase(session, back), 1);
    EXPECT_EQ(back.RackBase, 4097);
    int16_t baud = -1;
    ASSERT_EQ(FetchPrintProgBaud(session, baud), 1);
    EXPECT_EQ(baud, 2);
}

TEST_P(PortTransferTest, ALongPatternAndALongIntervalInTheModule) {
    ModuleSim sim(GetParam());
    RecordingReporter reporter;
    ModuleSession session{sim.link(), reporter};
    PortConfig port{};
    std::memset(port.Paths[2].Pattern, 'P', 64);
    std::memset(port.Paths[2].Mask, '_', 64);
    port.PollInterval = 70000;
    port.Paths[2].StartRegister = 2;
    std::strcpy(port.PollQueries[0], "SI\r\n");
    ASSERT_EQ(SendPath(session, port, 2, 3), 1);
    ASSERT_EQ(SendPoll(session, port, 2, 1, true), 1);

    std::vector<uint16_t> pattern(33, 0x5050);
    pattern[32] = 0;
    EXPECT_EQ(sim.Read(SectionRegister(2, PatternSection(2)), 33), pattern);
    EXPECT_EQ(sim.Read(SectionRegister(2, PollIntervalSection()), 2),
              (std::vector<uint16_t>{1, 4464}));
    EXPECT_EQ(sim.Read(SectionRegister(2, PollQuerySection(0)), 3),
              (std::vector<uint16_t>{0x5349, 0x0D0A, 0}));

    PortConfig back{};
    ASSERT_EQ(FetchPath(session, back, 2, 3), 1);
    ASSERT_EQ(FetchPoll(session, back, 2, 1, true), 1);
    EXPECT_EQ(std::string(back.Paths[2].Pattern), std::string(64, 'P'));
    EXPECT_EQ(back.PollInterval, 70000u);
    EXPECT_STREQ(back.PollQueries[0], "SI\r\n");
}

INSTANTIATE_TEST_SUITE_P(Wires, PortTransferTest,
                         ::testing::Values(SimWire::SyMaxPty, SimWire::ModbusTcp), WireLabel);

}  // namespace
