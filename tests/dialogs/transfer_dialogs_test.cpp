// The "OFFLINE TO KOVA" and "KOVA TO OFFLINE" dialogs on the in-memory
// console against the simulated module over Modbus TCP: the keys the user
// types, what reaches the module's registers, and the screen around it.
#include "dialogs/transfer_dialogs.h"

#include <gtest/gtest.h>

#include <cstring>

#include "dialogs/screen_reporter.h"
#include "editors/editor_screen_fixture.h"
#include "module_sim.h"
#include "setup/link_setup.h"
#include "transfer/register_map.h"
#include "transfer_fixture.h"
#include "ui/boxes.h"
#include "ui/busy_spinner.h"
#include "ui/screen.h"
#include "ui/screen_hooks.h"

namespace {

void TrapErrors(bool trapped) {
    SetScreenHooks({.trapErrors = [trapped] { return trapped ? 0 : 1; }});
}

struct DialogTest : EditorScreen {
    std::unique_ptr<ModuleSim> sim;
    LinkSetup CurrentSetup{};  // the settings a Print/Prog baud change may move
    ModuleSession module;      // kept from one dialog to the next, as the shell keeps it
    void SetUp() override {
        EditorScreen::SetUp();
        StartSim({});
        CurrentSetup.LinkBaud = 13;  // 9600, the rate of Print/Prog index 3
        // The distinct configurations break every validation rule; their
        // reports go to the status line instead of waiting for a key.
        TrapErrors(false);
    }
    void TearDown() override {
        TrapErrors(true);
        EditorScreen::TearDown();
    }
    // The Print/Prog baud question is asked only where this computer's
    // serial port talks to the module: those tests use a pty.
    void StartSim(const std::vector<std::string>& options, SimWire wire = SimWire::ModbusTcp) {
        sim.reset();
        sim = std::make_unique<ModuleSim>(wire, options);
        ASSERT_NE(nullptr, sim->link());
    }
    // The dialogs on the fixture's documents, session and settings.
    int Send(Link* link) {
        module.link = link;
        return SendDialog(module, documents, CurrentSetup);
    }
    int Fetch(Link* link) {
        module.link = link;
        return FetchDialog(module, documents);
    }
    uint16_t Register(int reg) {
        uint16_t value = 0xDEAD;
        EXPECT_TRUE(RegisterRead(sim->link(), reg, 1, &value)) << LinkErrorText(sim->link());
        return value;
    }
    std::vector<uint16_t> Registers(int reg, int count) {
        std::vector<uint16_t> values;
        for (int done = 0; done < count; done += 100) {
            const int n = std::min(100, count - done);
            std::vector<uint16_t> part(size_t(n), 0xDEAD);
            EXPECT_TRUE(RegisterRead(sim->link(), reg + done, n, part.data()));
            values.insert(values.end(), part.begin(), part.end());
        }
        return values;
    }
};

// The registers one port of a full send leaves, moved to another module port.
std::vector<uint16_t> PortImage(const ModuleConfig& config, int memoryPort) {
    const auto all = ExpectedRegisters(config, 3, true);
    std::vector<uint16_t> values;
    for (int r = PortBase(memoryPort); r < PortBase(memoryPort) + kPortRegisterCount; ++r)
        values.push_back(all.count(r) ? all.at(r) : 0);
    return values;
}

TEST_F(DialogTest, SendsMemoryPortOneToModulePortThreeWithItsPlusValues) {
    WorkingConfig = DistinctConfig(1);
    PrintProgBaud = 3;
    Type("1\r3\r");
    EXPECT_EQ(1, Send(sim->link()));
    ExpectAllKeysRead();
    EXPECT_EQ(PortImage(WorkingConfig, 1), Registers(PortBase(3), kPortRegisterCount));
    EXPECT_EQ(std::vector<uint16_t>(kPortRegisterCount, 0),
              Registers(PortBase(1), kPortRegisterCount));
    const EditPlus& plus = WorkingConfig.Plus;
    EXPECT_EQ(uint16_t(plus.TerminateCount[0]), Register(7425));
    EXPECT_EQ(uint16_t(plus.TerminateTimeout[0]), Register(7429));
    EXPECT_EQ(uint16_t(plus.TriggerInhibit[0]), Register(7433));
    EXPECT_EQ(0, Register(7423));  // port 1's own value untouched (the PLUS test put it back)
    EXPECT_EQ(3, Register(kPrintProgBaudRegister));
    EXPECT_EQ(uint16_t(plus.RackBase), Register(kRackBaseRegister));
}

TEST_F(DialogTest, WholeModuleThereAndBackThroughTheDialogs) {
    StartSim({}, SimWire::ModbusRtuPty);
    WorkingConfig = DistinctConfig(2);
    PrintProgBaud = 1;  // 1200 while this computer runs at 9600: the question comes
    Type("A" + keys::F1 + "n");
    Send(sim->link());
    ExpectAllKeysRead();
    const ModuleConfig sent = WorkingConfig;  // as validated before sending
    ASSERT_EQ(1u, Snapshots().size());
    const ScreenSnapshot& asked = Snapshots()[0];
    EXPECT_EQ("ALL", asked.At(11, 54, 3));
    EXPECT_EQ("ALL", asked.At(12, 54, 3));
    EXPECT_EQ("Port 4", asked.At(1, 58, 6));
    EXPECT_NE(std::string::npos,
              asked.chars[23].find("KOVA now at 1200 baud. Change computer port to match?"));
    EXPECT_EQ(13, CurrentSetup.LinkBaud);  // answered no
    EXPECT_EQ(1, Register(kPrintProgBaudRegister));
    EXPECT_EQ(std::string(21, ' '), ImageNow().At(1, 58, 21));

    std::memset(&WorkingConfig, 0, sizeof WorkingConfig);
    PrintProgBaud = 0;
    Type("a");
    Fetch(sim->link());
    ExpectAllKeysRead();
    ModuleConfig expected = sent;
    ClearUntransferred(expected);
    EXPECT_TRUE(SameConfig(expected, WorkingConfig));
    EXPECT_EQ(1, PrintProgBaud);
    EXPECT_EQ(std::string(21, ' '), ImageNow().At(1, 58, 21));
}

TEST_F(DialogTest, FetchOfOneModulePortIntoAnotherMemoryPort) {
    WorkingConfig = DistinctConfig(3);
    PrintProgBaud = 2;
    CurrentSetup.LinkBaud = 9;  // 2400: no question
    Type("4\r\r");
    Send(sim->link());
    const ModuleConfig sent = WorkingConfig;

    std::memset(&WorkingConfig, 0, sizeof WorkingConfig);
    PrintProgBaud = 0;
    Type("4\r2\r");
    Fetch(sim->link());
    ExpectAllKeysRead();
    PortConfig expected = sent.Ports[3];
    for (DataPath& path : expected.Paths) path.Pattern[64] = path.Mask[64] = 0;
    expected.Reserved[0] = expected.Reserved[1] = 0;
    for (auto& query : expected.PollQueries) query[64] = 0;
    EXPECT_EQ(0, std::memcmp(&expected, &WorkingConfig.Ports[1], sizeof expected));
    EXPECT_EQ(sent.Plus.TerminateCount[3], WorkingConfig.Plus.TerminateCount[1]);
    EXPECT_EQ(sent.Plus.TriggerInhibit[3], WorkingConfig.Plus.TriggerInhibit[1]);
    EXPECT_EQ(sent.Plus.RackBase, WorkingConfig.Plus.RackBase);
    EXPECT_EQ(2, PrintProgBaud);
    PortConfig empty{};
    EXPECT_EQ(0, std::memcmp(&empty, &WorkingConfig.Ports[3], sizeof empty));
}

TEST_F(DialogTest, WindowsAndPromptsWhereTheUserLooksForThem) {
    struct Case {
        int (DialogTest::*dialog)(Link*);
        const char* title;
        int right;
        const char* first;
        int firstCol;
        const char* second;
        int secondCol;
        int fieldCol;
    } const kCases[] = {
        {&DialogTest::Send, "OFFLINE TO KOVA", 58, "Send which offline memory port", 23,
         "to which KOVA port", 34, 54},
        {&DialogTest::Fetch, "KOVA TO OFFLINE", 56, "Fetch which KOVA port", 29,
         "to which offline memory port", 23, 52},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.title);
        Snapshots().clear();
        Type(keys::F1 + "3\r" + keys::F1 + keys::Esc);
        (this->*c.dialog)(sim->link());
        ExpectAllKeysRead();
        ASSERT_EQ(2u, Snapshots().size());
        const ScreenSnapshot& asked = Snapshots()[0];
        const std::string frame = asked.At(10, 20, c.right - 19);
        EXPECT_NE(std::string::npos, frame.find(c.title)) << frame;
        EXPECT_EQ(c.first, asked.At(11, c.firstCol, int(std::strlen(c.first))));
        EXPECT_EQ(c.second, asked.At(12, c.secondCol, int(std::strlen(c.second))));
        EXPECT_EQ("Type A for all ports.", asked.At(13, 22, 21));
        EXPECT_EQ('2', asked.AttrAt(13, 27));  // the "A" in highlight
        EXPECT_EQ("?", asked.At(11, c.fieldCol, 1));
        // The second field starts with the first port; row 13 was blanked.
        const ScreenSnapshot& second = Snapshots()[1];
        EXPECT_EQ("3", second.At(12, c.fieldCol, 1));
        EXPECT_EQ(std::string(21, ' '), second.At(13, 22, 21));
    }
}

TEST_F(DialogTest, EscLeavesTheModuleAndTheScreenAsTheyWere) {
    const ScreenSnapshot before = ImageNow();
    for (const std::string& keys : {keys::Esc, "2" + keys::Esc}) {
        Type(keys);
        Send(sim->link());
        Type(keys);
        Fetch(sim->link());
        ExpectAllKeysRead();
    }
    EXPECT_EQ(before.chars, ImageNow().chars);
    EXPECT_EQ(0, Register(kRackBaseRegister));
    EXPECT_EQ(0, Register(kPrintProgBaudRegister));
    EXPECT_EQ(std::vector<uint16_t>(kPortRegisterCount, 0),
              Registers(PortBase(2), kPortRegisterCount));
    EXPECT_EQ(2, module.model);  // the module was never asked
}

TEST_F(DialogTest, EmptyOrOutOfRangePortsAreRefusedAfterThePlusTest) {
    struct Case {
        int (DialogTest::*dialog)(Link*);
        std::string keys;
        const char* message;
    } const kCases[] = {
        {&DialogTest::Send, "\r\r", "Attempt to send from memory out of range."},
        {&DialogTest::Send, "1\r5\r", "Attempt to send to port out of range."},
        {&DialogTest::Fetch, "\r\r", "Attempt to fetch port out of range."},
        {&DialogTest::Fetch, "3\r9\r", "Attempt to fetch to memory out of range."},
    };
    TrapErrors(true);
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.keys + c.message);
        Snapshots().clear();
        module.model = 2;
        Type(c.keys + keys::F1 + keys::F10);
        (this->*c.dialog)(sim->link());
        ExpectAllKeysRead();
        ASSERT_EQ(1u, Snapshots().size());
        EXPECT_NE(std::string::npos, Snapshots()[0].chars[23].find(c.message));
        EXPECT_EQ(1, module.model);
        EXPECT_EQ(0, Register(kRackBaseRegister));  // nothing was sent
    }
}

TEST_F(DialogTest, BaudQuestionAnsweredYesMovesThisComputersRate) {
    StartSim({}, SimWire::ModbusRtuPty);
    PrintProgBaud = 1;  // 1200
    Type("2\r\ry");
    Send(sim->link());
    ExpectAllKeysRead();
    EXPECT_EQ(7, CurrentSetup.LinkBaud);
    EXPECT_EQ(1, Register(kPrintProgBaudRegister));
}

TEST_F(DialogTest, ModelMarkAfterATransfer) {
    struct Case {
        std::vector<std::string> options;
        const char* mark;
        char attribute;  // reverse 1, highlight 2
        uint16_t plusValue;
    } const kCases[] = {
        {{}, "PLUS", '3', 77},
        {{"--model", "standard"}, "    ", '1', 0},
    };
    for (const Case& c : kCases) {
        StartSim(c.options);
        WorkingConfig.Plus.TerminateTimeout[0] = 77;
        Type("1\r\r");
        Send(sim->link());
        const ScreenSnapshot now = ImageNow();
        EXPECT_EQ(c.mark, now.At(1, 14, 4));
        for (int col = 14; col < 18; ++col) EXPECT_EQ(c.attribute, now.AttrAt(1, col));
        EXPECT_EQ(c.plusValue, Register(7427));  // sent only to a PLUS module
    }
}

TEST_F(DialogTest, EscDuringAReplyWaitStopsTheTransferAtThatStep) {
    StartSim({"--delay", "3000"});
    SetLinkIdleCallback(sim->link(), BusySpinner, nullptr);
    Link* link = sim->link();
    SetScreenHooks({.trapErrors = [] { return 1; }});
    Type("1\r\r" + keys::Esc);
    Send(link);
    ExpectAllKeysRead();
    EXPECT_EQ("Application idle abort", ImageNow().At(25, 40, 22));
    EXPECT_EQ(2, module.model);  // stopped in the PLUS test, before anything was sent
    SetLinkIdleCallback(link, nullptr, nullptr);
}

}  // namespace

namespace {

// Esc ends the wait and is queued again for the screen behind it; the report
// of where the transfer stopped must not be closed by that same Esc.
TEST_F(DialogTest, ATransferStoppedByEscSaysWhere) {
    TrapErrors(true);
    ScreenReporter reporter;
    reporter.Port("Port 2");
    reporter.Step("Send path 3");
    StuffKeys("\x1b");
    Type(keys::F1 + keys::F10);
    EXPECT_TRUE(reporter.Error("Application idle abort"));
    ExpectAllKeysRead();
    ASSERT_EQ(1u, Snapshots().size());
    EXPECT_NE(std::string::npos,
              Snapshots()[0].chars[23].find("Transfer stopped by Esc at Port 2, Send path 3"));
    EXPECT_FALSE(KeysQueued());
}

}  // namespace

namespace {

// A value outside its list stops "A" before its first write: the module keeps
// every register it had, the rack base first among them.
TEST_F(DialogTest, AValueOutsideItsListIsNeverSent) {
    WorkingConfig = DistinctConfig(3);
    WorkingConfig.Ports[2].BaudRate = 99;
    PrintProgBaud = 3;
    TrapErrors(true);
    Type("A" + keys::F1 + keys::F10);
    Send(sim->link());
    ExpectAllKeysRead();
    ASSERT_EQ(1u, Snapshots().size());
    EXPECT_NE(std::string::npos,
              Snapshots()[0].chars[23].find("Port 3: Baud rate 99 out of range 0-15"));
    EXPECT_EQ(0, Register(kRackBaseRegister));
    EXPECT_EQ(std::vector<uint16_t>(5, 0), Registers(PortBase(1), 5));
}

}  // namespace
