// The port editor, the rack base change and the poll editor online: the
// module writes go through the transfers to the simulated module, whose
// registers the test reads back.
#include <gtest/gtest.h>

#include <cstring>
#include <optional>

#include "dialogs/screen_reporter.h"
#include "editors/editor_screen_fixture.h"
#include "editors/port_editor.h"
#include "module_sim.h"
#include "setup/link_setup.h"
#include "transfer/module_writes.h"
#include "transfer/port_transfer.h"
#include "transfer/register_map.h"
#include "transfer/section_transfer.h"
#include "transfer/transfer_reporter.h"
#include "ui/boxes.h"

namespace {

Link* gLink = nullptr;

constexpr char kCutQuestion[] =
    "Link runs via Print/Prog port: at 300 baud KOVA stops answering. Write?";
constexpr char kFollowQuestion[] = "KOVA now at 300 baud. Change computer port to match?";

struct OnlineEditor : EditorScreen {
    std::unique_ptr<ModuleSim> sim;
    RecordingReporter reporter;
    LinkSetup setup = DefaultSetupFor("KOVASW.STP");
    std::optional<ModuleSession> session;  // the simulated module's, for the editing
    std::optional<ModuleWrites> writes;    // over that session
    ModuleConfig module;                   // what the module holds at the start

    // The editor's writes over a new session on link, reporting to reports.
    void WritesOver(Link* link, TransferReporter& reports) {
        writes.reset();
        session.emplace(link, reports);
        writes.emplace(*session, setup);
    }

    void SetUp() override { Start({}); }
    // The module gets the configuration below on its first ports (port 1
    // alone is quicker over a pty).
    void Start(const std::vector<std::string>& simOptions, SimWire wire = SimWire::ModbusTcp,
               int portsFilled = 4) {
        EditorScreen::SetUp();
        sim = std::make_unique<ModuleSim>(wire, simOptions);
        gLink = sim->link();
        ASSERT_NE(nullptr, gLink);
        FillDefaults(module);
        module.Plus.RackBase = 1;
        module.Ports[0].BaudRate = 9;
        module.Ports[1].BaudRate = 4;
        module.Ports[1].Paths[2].StartRegister = 40;
        std::strcpy(module.Ports[1].PollQueries[4], "@001004D");
        module.Plus.TriggerInhibit[1] = 30;
        ModuleSession filling{gLink, reporter};
        for (int p = 1; p <= portsFilled; ++p) ASSERT_TRUE(SendPort(filling, module, p, p, true));
        ASSERT_TRUE(SendRackBase(filling, module.Plus));
        const uint16_t ppb = 2;
        ASSERT_TRUE(RegisterWrite(gLink, kPrintProgBaudRegister, 1, &ppb));
        // The editor's memory starts as something else entirely.
        std::memset(&WorkingConfig, 0, sizeof WorkingConfig);
        WorkingConfig.Plus.RackBase = 1;
        PrintProgBaud = 0;
        CurrentPort = 0;
        reporter.events.clear();
        WritesOver(gLink, reporter);
    }
    void TearDown() override {
        gLink = nullptr;
        EditorScreen::TearDown();
    }
    uint16_t Register(int reg) {
        uint16_t value = 0xDEAD;
        EXPECT_TRUE(RegisterRead(gLink, reg, 1, &value));
        return value;
    }
};

TEST_F(OnlineEditor, OpensOnTheModulesPortAndWritesEachChangeAtOnce) {
    Type("2" + std::string("0") + "12\r" + "-" + "345\r" + "z" + "100\r" + keys::Esc);
    EditPorts(documents, *writes, CurrentPort);
    ExpectAllKeysRead();
    EXPECT_EQ(2, PrintProgBaud);
    EXPECT_EQ(0, std::memcmp(&module.Ports[0].AcceptSet, &WorkingConfig.Ports[0].AcceptSet, 32));
    EXPECT_EQ(0, std::memcmp(&module.Ports[0].Paths, &WorkingConfig.Ports[0].Paths,
                             sizeof module.Ports[0].Paths));
    EXPECT_EQ(10, WorkingConfig.Ports[0].BaudRate);
    EXPECT_EQ(10, Register(PortBase(1)));
    EXPECT_EQ(12, Register(7423));
    EXPECT_EQ(345, Register(7427));
    EXPECT_EQ(100, Register(7431));
    EXPECT_TRUE(reporter.Texts("error").empty());
    // The start-up fetch: the PLUS test, then the port without its polls.
    EXPECT_EQ((std::vector<std::string>{"1"}), reporter.Texts("model"));
    EXPECT_EQ((std::vector<std::string>{"Fetch Comms", "Fetch Accept", "Fetch Term", "Fetch path 1",
                                        "Fetch path 2", "Fetch path 3", "Fetch path 4"}),
              reporter.Texts("step"));
}

TEST_F(OnlineEditor, PortChangeFetchesTheNextPort) {
    Type("1" + std::string("2") + keys::Enter + keys::Esc);
    EditPorts(documents, *writes, CurrentPort);
    EXPECT_EQ(1, CurrentPort);
    EXPECT_EQ(5, WorkingConfig.Ports[1].BaudRate);
    EXPECT_EQ(5, Register(PortBase(2)));
    EXPECT_EQ(30, WorkingConfig.Plus.TriggerInhibit[1]);
}

TEST_F(OnlineEditor, RackBaseMoveFetchesWritesBackAndMovesTheQueryReference) {
    WorkingConfig.Plus.TriggerInhibit[2] = 500;  // stale: the module holds 0 for port 3
    Type("y" + std::string("101\r") + "y" + "y" + keys::Esc);
    EditPorts(documents, *writes, CurrentPort);
    ExpectAllKeysRead();
    EXPECT_EQ(101, Register(kRackBaseRegister));
    const int path3 = PortBase(2) + 37 + 70 * 2 + 66;  // port 2, path 3's numbers
    EXPECT_EQ(140, Register(path3));
    EXPECT_EQ(130, Register(7432));  // port 2's Trigger/Inhibit, PLUS
    EXPECT_EQ(0, Register(7433));
    uint16_t query[4];
    ASSERT_TRUE(RegisterRead(gLink, PortBase(2) + 317 + 64 * 4, 4, query));
    EXPECT_EQ(('@' << 8) | '0', query[0]);
    EXPECT_EQ(('1' << 8) | '1', query[1]);  // @011004D: register 10 is now 110
    EXPECT_EQ(('0' << 8) | '0', query[2]);
    EXPECT_EQ(('4' << 8) | 'D', query[3]);
}

TEST_F(OnlineEditor, PollEditorFetchesEachQueryAndSendsWhatChanged) {
    Type("9" + std::string("1.5") + keys::Down + keys::Down + "ABC\r" + keys::Esc);
    EditPorts(documents, *writes, CurrentPort);
    ExpectAllKeysRead();
    EXPECT_EQ(0, Register(PortBase(1) + 1341));
    EXPECT_EQ(150, Register(PortBase(1) + 1342));
    uint16_t query[3];
    ASSERT_TRUE(RegisterRead(gLink, PortBase(1) + 317 + 64, 3, query));
    EXPECT_EQ(('A' << 8) | 'B', query[0]);
    EXPECT_EQ('C' << 8, query[1]);
    const auto steps = reporter.Texts("step");
    EXPECT_EQ(7u, steps.size());  // the poll editor's own fetches show no step
}

// The module goes quiet while the editor moves to port 2 and comes back: the
// port is shown unread, Capitalize is refused, Enter fetches it, and then
// only the change typed after the fetch reaches the module; port 2's baud
// rate stays the module's, not the memory's.
TEST_F(OnlineEditor, NothingOfAPortThatWasNotReadIsWritten) {
    // 182 requests fill the module and open the editor on port 1; the
    // next two (port 2's first read and its retry) go unanswered.
    sim.reset();
    gLink = nullptr;
    EditorScreen::TearDown();
    Start({"--drop-after", "182:2"});
    SetSerialParameters(gLink, 9600, 1, 1, 20, 8);
    WorkingConfig.Ports[1].BaudRate = 13;  // the memory's, not the module's 4
    Type("1" + std::string("6") + keys::F1 + keys::Enter + "6" + keys::Enter + keys::Esc);
    EditPorts(documents, *writes, CurrentPort);
    ExpectAllKeysRead();
    EXPECT_EQ(1, console.beeps);
    EXPECT_EQ(1, CurrentPort);
    EXPECT_EQ(Snapshots().at(0).At(25, 1, 18), "Not read from KOVA");
    EXPECT_EQ(4, Register(PortBase(2)));      // baud rate: the module's own
    EXPECT_EQ(1, Register(PortBase(2) + 4));  // Capitalize, typed after the fetch
    EXPECT_EQ(reporter.Texts("error").size(), 1u);
}

// Writes of a port the editor did not read are refused at the module side
// too, whatever asks for them.
TEST_F(OnlineEditor, TheModuleWritesRefuseASectionThatWasNotRead) {
    ASSERT_TRUE(writes->FetchForEditor(0, documents));
    WorkingConfig.Ports[2].BaudRate = 13;
    EXPECT_FALSE(writes->WriteCommParameters(2, WorkingConfig.Ports[2]));
    EXPECT_FALSE(writes->WritePath(2, 0, WorkingConfig.Ports[2]));
    // not fetched by the poll editor
    EXPECT_FALSE(writes->SendPollQuery(0, 3, WorkingConfig.Ports[0]));
    EXPECT_EQ(reporter.Texts("error"),
              (std::vector<std::string>{"Port 3 was not read from KOVA: nothing written",
                                        "Port 3 was not read from KOVA: nothing written",
                                        "Port 1 was not read from KOVA: nothing written"}));
    EXPECT_EQ(module.Ports[2].BaudRate, Register(PortBase(3)));
    EXPECT_TRUE(writes->WriteCommParameters(0, WorkingConfig.Ports[0]));
}

// The screen behind the error window already says what the failure leaves:
// the port blank, and on row 25 why and what Enter does. After F10 the editor
// stays, and Enter reads the port again once the module answers.
TEST_F(OnlineEditor, TheScreenSaysThePortIsUnreadWhileTheFailureIsShown) {
    struct Case {
        const char* what;
        std::vector<std::string> simOptions;
        std::string typed;  // up to the failure
        const char* note;
    } kCases[] = {
        // 182 requests fill the module and open the editor; port 2's
        // first read and its retry go unanswered.
        {"fetch", {"--drop-after", "182:2"}, "1", "Not read from KOVA: Enter tries again"},
        // From then on the module answers nothing.
        {"write",
         {"--drop-after", "182"},
         "2" + keys::Enter,
         "Write failed: Enter reads KOVA again"},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.what);
        sim.reset();
        gLink = nullptr;
        EditorScreen::TearDown();
        Start(c.simOptions);
        SetSerialParameters(gLink, 9600, 1, 1, 20, 8);
        ScreenReporter screen;
        WritesOver(gLink, screen);
        Type(c.typed + keys::F1 + keys::F10 + "3" + keys::F1 + keys::Esc);
        EditPorts(documents, *writes, CurrentPort);
        ExpectAllKeysRead();
        ASSERT_EQ(Snapshots().size(), 2u);
        const ScreenSnapshot& during = Snapshots()[0];
        EXPECT_EQ(during.At(25, 1, 39).find(c.note), 0u) << during.chars[25];
        EXPECT_NE(during.chars[22].find("ERROR"), std::string::npos) << "the error window is up";
        EXPECT_EQ(during.At(4, 14, 5), "     ");
        const ScreenSnapshot& after = Snapshots()[1];
        EXPECT_EQ(after.At(25, 1, 39).find(c.note), 0u) << after.chars[25];
        EXPECT_EQ(console.beeps, 2);  // the window's, then the 3 refused
    }
}

// Where the link runs through the module's Print/Prog port, a rate that
// would leave this computer's port behind is asked about before it is
// written. The module holds 2400 and the link runs at 9600.
TEST_F(OnlineEditor, APrintProgBaudThatCutsTheLinkIsAskedAboutFirst) {
    const std::string kAsk = keys::F1;  // a snapshot of the question on the screen
    struct Case {
        const char* what;
        SimWire wire;
        std::string typed;
        std::vector<std::string> questions;  // as the confirm box shows them
        uint16_t written;                    // what register 7421 holds after
        int16_t shown;
    } kCases[] = {
        {"declined", SimWire::SyMaxPty, "XX\r" + kAsk + "n", {kCutQuestion}, 2, 2},
        {"accepted, the PC stays",
         SimWire::SyMaxPty,
         "XX\r" + kAsk + "y" + kAsk + "n",
         {kCutQuestion, kFollowQuestion},
         0,
         0},
        {"the link's own rate", SimWire::SyMaxPty, "X\r", {}, 3, 3},
        {"over TCP", SimWire::ModbusTcp, "XX\r", {}, 0, 0},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.what);
        sim.reset();
        gLink = nullptr;
        EditorScreen::TearDown();
        Start({}, c.wire, 1);
        ScreenReporter screen;
        WritesOver(gLink, screen);
        Type(c.typed + keys::Esc);
        EditPorts(documents, *writes, CurrentPort);
        ExpectAllKeysRead();
        ASSERT_EQ(Snapshots().size(), c.questions.size());
        for (size_t i = 0; i < c.questions.size(); ++i)
            EXPECT_NE(Snapshots()[i].chars[23].find(c.questions[i]), std::string::npos)
                << Snapshots()[i].chars[23];
        EXPECT_EQ(Register(kPrintProgBaudRegister), c.written);
        EXPECT_EQ(PrintProgBaud, c.shown);
    }
}

TEST_F(OnlineEditor, FailedStartFetchLeavesTheEditorAtOnce) {
    WritesOver(nullptr, reporter);
    Type("2" + keys::Esc);
    EditPorts(documents, *writes, CurrentPort);
    EXPECT_EQ((std::vector<std::string>{"Handle not valid"}), reporter.Texts("error"));
    EXPECT_EQ(2u, console.keys.size());  // no key was read
    console.keys.clear();
}

}  // namespace
