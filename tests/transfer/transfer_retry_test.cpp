// One lost, late or damaged reply during a whole-module transfer costs a
// second request, not the transfer: on every wire the module ends up holding
// exactly what a clean send leaves, and a fetch brings back exactly what a
// clean fetch does. Two failures in a row still stop it, with the damage
// named as damage.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "module_sim.h"
#include "setup/link_setup.h"
#include "transfer/identification.h"
#include "transfer/module_registers.h"
#include "transfer/module_transfer.h"
#include "transfer/register_map.h"
#include "transfer_fixture.h"

namespace {

using Texts = std::vector<std::string>;

class CountingReporter : public RecordingReporter {
  public:
    void Retried() override { ++retries; }
    int retries = 0;
};

// Thirty registers a request: a Gateway reply line holds at most 263 characters.
std::vector<uint16_t> ReadWithRetry(ModuleSim& sim, int reg, int count) {
    std::vector<uint16_t> values(static_cast<size_t>(count));
    for (int done = 0; done < count; done += 30)
        if (!ReadRegistersQuietly(sim.link(), reg + done, std::min(30, count - done),
                                  &values[size_t(done)]))
            return {};
    return values;
}

class TransferRetryTest : public ::testing::TestWithParam<SimWire> {};

struct Fault {
    const char* what;
    std::vector<std::string> options;
    bool damage;  // Sy/Max answers a damaged frame with NAK: no retry at this level
};

const Fault kFaults[] = {
    {"one reply in 50 lost", {"--drop-every", "50"}, false},
    {"the first reply fails its check", {"--corrupt-first", "1"}, true},
    {"a reply later than the timeout", {"--delay", "300", "--delay-every", "40"}, false},
};

TEST_P(TransferRetryTest, ALostOrDamagedReplyIsSentAgainAndTheTransferCompletes) {
    for (const Fault& f : kFaults) {
        SCOPED_TRACE(std::string(WireName(GetParam())) + ": " + f.what);
        ModuleSim sim(GetParam(), f.options);
        SetSerialParameters(sim.link(), 9600, 1, 1, 20, 8);
        LinkSetup setup = DefaultSetupFor("KOVASW.STP");
        setup.LinkBaud = 13;
        ModuleConfig original = DistinctConfig(11);
        CountingReporter sending;
        ModuleSession sendSession{sim.link(), sending};
        ASSERT_EQ(SendAllPorts(sendSession, original, 3, setup), 1)
            << testing::PrintToString(sending.Texts("error"));

        ModuleConfig fetched{};
        int16_t printProgBaud = -1;
        CountingReporter fetching;
        ModuleSession fetchSession{sim.link(), fetching};
        ASSERT_EQ(FetchAllPorts(fetchSession, fetched, printProgBaud), 1);
        EXPECT_EQ(fetching.Texts("error"), Texts{});
        if (!(f.damage && GetParam() == SimWire::SyMaxPty)) {
            EXPECT_GE(sending.retries + fetching.retries, 1);
        }
        EXPECT_EQ(printProgBaud, 3);
        ClearUntransferred(original);
        EXPECT_TRUE(SameConfig(fetched, original));

        // What the module holds, as another program reads it.
        // kova-link asks once while the fault goes on; when one of its
        // requests met it, the registers are read again with the retry.
        const int count = TriggerInhibitRegister(4) - PortBase(1) + 1;
        std::vector<uint16_t> held = sim.ReadWithKovaLink(PortBase(1), count);
        if (held.empty()) held = ReadWithRetry(sim, PortBase(1), count);
        ASSERT_FALSE(held.empty());
        int wrong = 0;
        for (const auto& [reg, value] : ExpectedRegisters(original, 3, true))
            if (reg >= PortBase(1) && held[size_t(reg - PortBase(1))] != value && ++wrong <= 5)
                ADD_FAILURE() << "register " << reg;
        EXPECT_EQ(wrong, 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Wires, TransferRetryTest,
                         ::testing::Values(SimWire::SyMaxPty, SimWire::ModbusRtuPty,
                                           SimWire::ModbusAsciiPty, SimWire::ModbusTcp,
                                           SimWire::GatewayPty),
                         [](const auto& info) {
                             switch (info.param) {
                                 case SimWire::GatewayPty:
                                     return "GatewayPty";
                                 case SimWire::SyMaxPty:
                                     return "SyMaxPty";
                                 case SimWire::ModbusRtuPty:
                                     return "RtuPty";
                                 case SimWire::ModbusAsciiPty:
                                     return "AsciiPty";
                                 default:
                                     return "ModbusTcp";
                             }
                         });

// The identification read is the first request of every transfer: a lost
// or damaged reply to it costs a second request, and the fetch goes on.
TEST(IdentificationRetryTest, ALostOrDamagedIdentificationReplyIsAskedAgain) {
    struct Case {
        SimWire wire;
        const char* what;
        std::vector<std::string> options;
    } kCases[] = {
        {SimWire::ModbusTcp, "lost", {"--drop-after", "0:1"}},
        {SimWire::ModbusTcp, "damaged", {"--corrupt-first", "1"}},
        {SimWire::ModbusRtuPty, "lost", {"--drop-after", "0:1"}},
        {SimWire::ModbusRtuPty, "damaged", {"--corrupt-first", "1"}},
        {SimWire::ModbusAsciiPty, "lost", {"--drop-after", "0:1"}},
        {SimWire::ModbusAsciiPty, "damaged", {"--corrupt-first", "1"}},
        // The gateway's route command goes first.
        {SimWire::GatewayPty, "lost", {"--drop-after", "1:1"}},
        {SimWire::GatewayPty, "damaged", {"--corrupt-first", "1"}},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(std::string(WireName(c.wire)) + ": " + c.what);
        ModuleSim sim(c.wire, c.options);
        SetSerialParameters(sim.link(), 9600, 1, 1, 20, 8);
        RecordingReporter reporter;
        reporter.goOnAfterError = false;
        ModuleSession session{sim.link(), reporter};
        const Identification id = CheckIdentification(session, "KOVA");
        EXPECT_EQ(reporter.Texts("error"), Texts{});
        EXPECT_EQ(id.goOn, 1);
        EXPECT_EQ(id.row, NameRow::Show);
        EXPECT_EQ(id.name.rfind("KOVA", 0), 0u) << id.name;
        ModuleConfig fetched{};
        int16_t printProgBaud = -1;
        EXPECT_EQ(FetchAllPorts(session, fetched, printProgBaud), 1);
        EXPECT_EQ(reporter.Texts("error"), Texts{});
    }
}

// A Gateway write whose acknowledge is lost is written again (the same
// values twice are harmless) and the module holds them.
TEST(GatewayWriteRetryTest, ALostWriteAcknowledgeIsWrittenAgain) {
    ModuleSim sim(SimWire::GatewayPty, {"--drop-after", "1:1"});  // the route, then the W
    SetSerialParameters(sim.link(), 9600, 1, 1, 20, 8);
    CountingReporter reporter;
    const uint16_t value = 0x1234;
    EXPECT_EQ(WriteModuleRegisters(sim.link(), reporter, kRackBaseRegister, 1, &value), 1);
    EXPECT_EQ(reporter.Texts("error"), Texts{});
    EXPECT_EQ(reporter.retries, 1);
    EXPECT_EQ(sim.ReadWithKovaLink(kRackBaseRegister, 1), std::vector<uint16_t>{0x1234});
}

// Both tries damaged: the failure says the reply was spoiled, not missing.
TEST(DamagedReplyTest, TwoDamagedRepliesAreNamedAsDamage) {
    struct Case {
        SimWire wire;
        const char* text;
    } kCases[] = {{SimWire::ModbusRtuPty, "Reply failed its CRC check"},
                  {SimWire::ModbusAsciiPty, "Reply failed its LRC check"}};
    for (const Case& c : kCases) {
        ModuleSim sim(c.wire, {"--corrupt-first", "2"});
        SetSerialParameters(sim.link(), 9600, 1, 1, 20, 8);
        CountingReporter reporter;
        uint16_t value = 0;
        EXPECT_EQ(ReadModuleRegisters(sim.link(), reporter, kRackBaseRegister, 1, &value), 0);
        EXPECT_EQ(reporter.Texts("error"), Texts{c.text}) << WireName(c.wire);
        EXPECT_EQ(reporter.retries, 1);
        // The third request meets a sound reply.
        EXPECT_EQ(ReadModuleRegisters(sim.link(), reporter, kRackBaseRegister, 1, &value), 1);
    }
}

// The Print/Prog baud change may switch the module's line at once, so its
// write is never repeated.
TEST(NoRetryTest, TheBaudChangeIsWrittenOnce) {
    ModuleSim sim(SimWire::ModbusTcp, {"--drop-every", "1"});
    SetSerialParameters(sim.link(), 9600, 1, 1, 20, 8);
    CountingReporter reporter;
    const uint16_t value = 1;
    EXPECT_EQ(WriteModuleRegistersOnce(sim.link(), reporter, kPrintProgBaudRegister, 1, &value), 0);
    EXPECT_EQ(reporter.retries, 0);
    EXPECT_EQ(WriteModuleRegisters(sim.link(), reporter, kRackBaseRegister, 1, &value), 0);
    EXPECT_EQ(reporter.retries, 1);
}

}  // namespace
