// The baud change of the programming port with its question, and the EEPROM
// command, against the simulated module.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "module_sim.h"
#include "setup/link_setup.h"
#include "transfer/eeprom_write.h"
#include "transfer/print_prog_baud.h"
#include "transfer/register_map.h"

namespace {

using Texts = std::vector<std::string>;

class BaudChangeTest : public ::testing::TestWithParam<SimWire> {};

TEST_P(BaudChangeTest, QuestionOnlyWhenTheRatesDiffer) {
    struct Case {
        const char* what;
        int16_t printProgBaud;
        bool yes;
        Texts questions;
        int16_t linkBaud;  // afterwards, from 13 (9600)
    } kCases[] = {
        {"same rate", 3, true, {}, 13},
        {"1200, yes", 1, true, {"KOVA now at 1200 baud. Change computer port to match?"}, 7},
        {"1200, no", 1, false, {"KOVA now at 1200 baud. Change computer port to match?"}, 13},
        {"300, yes", 0, true, {"KOVA now at 300 baud. Change computer port to match?"}, 5},
    };
    ModuleSim sim(GetParam());
    // Over Modbus TCP no port of this computer carries the module's rate:
    // the value is written and nothing is asked.
    const bool serial = GetParam() != SimWire::ModbusTcp;
    for (const Case& c : kCases) {
        LinkSetup setup = DefaultSetupFor("KOVASW.STP");
        setup.LinkBaud = 13;
        RecordingReporter reporter;
        reporter.answerYes = c.yes;
        ModuleSession session{sim.link(), reporter};
        EXPECT_EQ(SendPrintProgBaud(session, c.printProgBaud, setup), 1) << c.what;
        EXPECT_EQ(reporter.Texts("confirm"), serial ? c.questions : Texts{}) << c.what;
        EXPECT_EQ(setup.LinkBaud, serial ? c.linkBaud : 13) << c.what;
        EXPECT_EQ(sim.Read(kPrintProgBaudRegister, 1),
                  std::vector<uint16_t>{uint16_t(c.printProgBaud)})
            << c.what;
        // The simulated module does not change its rate: put our link back.
        SetSerialParameters(sim.link(), 9600, 1, 1, 100, 8);
    }
}

// A rate outside the list would cut the module off its programming port.
TEST_P(BaudChangeTest, ARateOutsideTheListIsNeverWritten) {
    ModuleSim sim(GetParam(), {"--set", "7421=2"});
    for (int16_t index : {4, 7, -1, 9}) {
        LinkSetup setup = DefaultSetupFor("KOVASW.STP");
        RecordingReporter reporter;
        ModuleSession session{sim.link(), reporter};
        EXPECT_EQ(SendPrintProgBaud(session, index, setup), 0) << index;
        EXPECT_EQ(reporter.Texts("error"),
                  Texts{"Print/Prog baud rate " + std::to_string(index) + " out of range 0-3"});
        EXPECT_EQ(reporter.Texts("confirm"), Texts{});
    }
    EXPECT_EQ(sim.Read(kPrintProgBaudRegister, 1), std::vector<uint16_t>{2});
}

TEST_P(BaudChangeTest, AFailedWriteIsReportedAndAsksNothing) {
    ModuleSim sim(GetParam(), {"--drop-every", "1"});
    SetSerialParameters(sim.link(), 9600, 1, 1, 20, 8);
    LinkSetup setup = DefaultSetupFor("KOVASW.STP");
    RecordingReporter reporter;
    ModuleSession session{sim.link(), reporter};
    EXPECT_EQ(SendPrintProgBaud(session, 1, setup), 0);
    EXPECT_EQ(reporter.Texts("confirm"), Texts{});
    EXPECT_EQ(reporter.Texts("error").size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Wires, BaudChangeTest,
                         ::testing::Values(SimWire::SyMaxPty, SimWire::ModbusTcp),
                         [](const auto& info) {
                             return info.param == SimWire::SyMaxPty ? "SyMaxPty" : "ModbusTcp";
                         });

TEST(EepromWriteTest, TheOutcomes) {
    struct Case {
        const char* what;
        std::vector<std::string> options;
        EepromOutcome outcome;
        std::string message;
        bool alwaysShown;
    } kCases[] = {
        {"stored", {}, EepromOutcome::Stored, "", false},
        {"no EEPROM",
         {"--no-eeprom"},
         EepromOutcome::NoEeprom,
         "Module not equipped with EEPROM",
         true},
        {"status 1",
         {"--eeprom-status", "1"},
         EepromOutcome::Unexpected,
         "Unexpected result $0001",
         true},
        {"status 0xBEEF",
         {"--eeprom-status", "0xBEEF"},
         EepromOutcome::Unexpected,
         "Unexpected result $BEEF",
         true},
        {"command lost",
         {"--drop-every", "1"},
         EepromOutcome::WriteFailed,
         "Unable to write 8174",
         false},
        // The status read is asked again once; the command is never repeated.
        {"status lost once", {"--drop-after", "1:1"}, EepromOutcome::Stored, "", false},
        {"status lost twice",
         {"--drop-after", "1"},
         EepromOutcome::ReadFailed,
         "Unable to read 8174",
         false},
    };
    for (const Case& c : kCases) {
        ModuleSim sim(SimWire::ModbusTcp, c.options);
        SetSerialParameters(sim.link(), 9600, 1, 1, 20, 8);
        EepromResult result = RunEepromWrite(ModuleSession{sim.link(), SilentReports()});
        EXPECT_EQ(result.outcome, c.outcome) << c.what;
        EXPECT_EQ(result.Message(), c.message) << c.what;
        EXPECT_EQ(result.AlwaysShown(), c.alwaysShown) << c.what;
    }
}

}  // namespace
