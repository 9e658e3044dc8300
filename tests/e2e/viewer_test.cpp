// The register viewer in the whole program against the simulated module:
// over a pty (Sy/Max with status registers, Modbus RTU) and over Modbus TCP.
// Every write made from the table is read back independently with kova-link.
#include <gtest/gtest.h>
#include <poll.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "common/sim_process.h"
#include "common/wait_until.h"
#include "setup/link_setup.h"
#include "tmux_session.h"

namespace {

constexpr int kHighlightFg = 11;  // yellow on blue
constexpr int kNormalFg = 7;

std::string KovaLink(const std::vector<std::string>& args) {
    std::vector<std::string> argv{BuildDir() + "/kova-link"};
    argv.insert(argv.end(), args.begin(), args.end());
    int status = -1;
    std::string out = RunCommand(argv, &status);
    EXPECT_EQ(0, status) << out;
    return out;
}

// kova-sim answering Modbus TCP on a free loopback port (or on the one
// given, where a module comes back).
class TcpSim {
  public:
    explicit TcpSim(const std::string& address = "127.0.0.1:0") : process_({"--tcp", address}) {}
    std::string Address() const { return "127.0.0.1:" + std::to_string(Port()); }
    int Port() const { return process_.TcpPort(); }
    // Settings that start the program connected to this simulator.
    LinkSetup Setup() const {
        LinkSetup s = DefaultSetupFor("KOVASW.STP");
        s.ConnectionType = LinkTypeModbusTcp;
        s.RouteCount = 1;
        s.Route[0] = 1;
        s.TcpPort = uint16_t(Port());
        snprintf(s.TcpHost, sizeof s.TcpHost, "127.0.0.1");
        return s;
    }
    // A kova-link command run against this simulator; its output.
    std::string Link(const std::vector<std::string>& command) const {
        std::vector<std::string> args{"--type",    "tcp",        "--host",
                                      "127.0.0.1", "--tcp-port", std::to_string(Port())};
        args.insert(args.end(), command.begin(), command.end());
        return KovaLink(args);
    }

  private:
    SimProcess process_;
};

class Viewer : public testing::Test {
  protected:
    Viewer() { t.SetLocale("C"); }  // frames in the line-drawing set: byte offsets are columns

    // The program's ttyS0 leads to the simulator's pty.
    void UseSerialSim(const SimProcess& sim) {
        std::string node = t.DeviceRoot() + "/dev/ttyS0";
        std::filesystem::remove(node);
        std::filesystem::create_symlink(sim.SlavePath(), node);
    }
    void WriteSetup(const LinkSetup& s) {
        auto bytes = EncodeSetup(s);
        std::ofstream(t.Dir() + "/KOVASW.STP", std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    }
    // Utility, View registers.
    void StartViewer(int lastRow = 24) {
        t.Start({"UV"});
        ASSERT_TRUE(t.WaitForRow(lastRow, "x")) << t.ScreenText();
    }
    // Keys, then a row that shows the text.
    void Expect(const std::vector<std::string>& keys, int row, const std::string& text) {
        t.SendKeys(keys);
        EXPECT_TRUE(t.WaitForRow(row, text)) << "row " << row << ": " << t.ScreenText();
    }
    void Typed(const std::string& literal, int row, const std::string& text) {
        t.Type(literal);
        Expect({"Enter"}, row, text);
    }
    // The error window's lower right corner at row 24, column 79.
    bool ErrorWindowShown() {
        std::string row = t.Row(24);
        return row.size() >= 79 && row[78] == 'j';  // the line-drawing set's lower right corner
    }
    bool WaitForErrorWindow(bool shown = true) {
        return WaitUntil([&] { return ErrorWindowShown() == shown; }, waiting::kDeadline,
                         std::chrono::milliseconds(50));
    }
    // Rows come without their trailing blanks.
    std::string Cells(int row, int col, int width) {
        return (t.Row(row) + std::string(80, ' ')).substr(size_t(col - 1), size_t(width));
    }
    int Fg(int row, int col) {
        auto cells = t.RowCells(row);
        return size_t(col) <= cells.size() ? cells[size_t(col - 1)].fg : -1;
    }
    // The screen changes with every pass (the spinner): wait for a colour.
    int FgOnceSettled(int row, int col, int expected) {
        int fg = Fg(row, col);
        WaitUntil([&] { return (fg = Fg(row, col)) == expected; }, std::chrono::seconds(5),
                  std::chrono::milliseconds(50));
        return fg;
    }
    void LeaveAndQuit() {
        t.SendKeys("Escape");
        ASSERT_TRUE(t.WaitForRow(4, "oNline")) << t.ScreenText();
        t.Type("Q");
        ASSERT_TRUE(t.WaitForExit()) << t.ScreenText();
    }

    TmuxSession t;
};

TEST_F(Viewer, SyMaxTableMovesWritesAndStatusRegisters) {
    SimProcess sim;
    // The status register of 4x102 (8192 above it), set before the program runs.
    KovaLink({"--type", "symax", "--port", sim.SlavePath(), "write", "8294", "0xBEEF"});
    UseSerialSim(sim);
    StartViewer();
    EXPECT_TRUE(t.WaitForRow(5, "    4x1  0000       0       0  0000 0000 0000 0000    0000"))
        << t.ScreenText();
    EXPECT_EQ("   4x20", Cells(24, 1, 7));
    EXPECT_TRUE(t.WaitForRow(2, "KOVA")) << "the identification names the device on row 2";
    EXPECT_EQ(kHighlightFg, FgOnceSettled(5, 11, kHighlightFg));  // HEX on the first row
    EXPECT_EQ(kNormalFg, Fg(6, 11));

    // Down past the last row: 4x4 to 4x23, the cursor on 4x21 (row 22).
    for (int i = 0; i < 19; ++i) t.SendKeys("Down");
    Expect({"Down"}, 5, "    4x4 ");
    EXPECT_TRUE(t.WaitForRow(24, "   4x23"));
    EXPECT_EQ("   4x21", Cells(22, 1, 7));
    EXPECT_EQ(kHighlightFg, FgOnceSettled(22, 11, kHighlightFg));
    EXPECT_EQ(kNormalFg, Fg(21, 11));

    // PgUp from start 5 stops at register 1.
    Expect({"Home", "PgDn"}, 5, "   4x11");
    Expect({"Up", "Up", "Up", "Up"}, 5, "    4x5");
    Expect({"PgUp"}, 5, "    4x1");
    // 100 typed in the register column on the third row shows there.
    Expect({"Home", "Left", "Down", "Down"}, 7, "4x3    ");  // left-aligned when selected
    Typed("100", 7, "4x100");
    EXPECT_EQ("   4x98", Cells(5, 1, 7));

    // One write per value column; the table reads each back.
    t.SendKeys("Right");
    Typed("1a2f", 7, " 1A2F    6703    6703  0001 1010 0010 1111");
    Expect({"Down", "Right", "Right", "Right"}, 8, "  4x101");
    Typed("1", 8, " 8000   32768  -32768  1000 0000 0000 0000");  // BINARY: the top bit
    Expect({"Down", "Left"}, 9, "  4x102");
    Typed("-1", 9, " FFFF   65535      -1  1111 1111 1111 1111    BEEF");
    Expect({"Left"}, 9, "  4x102");
    Typed("4660", 9, " 1234    4660    4660");
    LeaveAndQuit();
    EXPECT_EQ("6703 32768 4660\n",
              KovaLink({"--type", "symax", "--port", sim.SlavePath(), "read", "100", "3"}));
}

TEST_F(Viewer, ModbusRtuHasNoStatusColumnAndClampsNearRegisterOne) {
    SimProcess sim({"--protocol", "rtu"});
    UseSerialSim(sim);
    LinkSetup s = DefaultSetupFor("KOVASW.STP");
    s.ConnectionType = LinkTypeModbusRtu;
    s.RouteCount = 1;
    s.Route[0] = 1;
    s.ViewerStartRegister = 2;
    s.ViewerScreenSize = 6;
    WriteSetup(s);
    StartViewer(10);
    EXPECT_EQ("    4x2", Cells(5, 1, 7));
    EXPECT_EQ("    4x7", Cells(10, 1, 7));
    t.WaitForRow(10, "    4x7  0000");
    EXPECT_EQ("    ", Cells(5, 55, 4));  // status registers forced off
    EXPECT_EQ(std::string(54, ' '), Cells(11, 1, 54)) << "nothing below the six rows";
    // Up on row 5 with start 2: register 1 on row 5.
    Expect({"Up"}, 5, "    4x1");
    EXPECT_EQ(kHighlightFg, FgOnceSettled(5, 11, kHighlightFg));
    // PgUp (three registers on six rows) from start 3 stops at register 1.
    t.SendKeys("Left");
    Typed("3", 5, "4x3    ");  // left-aligned: the register column is selected
    Expect({"PgUp"}, 5, "4x1    ");
    Expect({"Right", "Right", "Down"}, 6, "    4x2");
    Typed("65535", 6, " FFFF   65535      -1");
    // The forced setting is what the form shows.
    t.SendKeys("F8");
    ASSERT_TRUE(t.WaitFor("CONFIGURE REGISTER VIEWER"));
    EXPECT_EQ("NO ", Cells(8, 48, 3));
    Expect({"Escape"}, 5, "    4x1");
    LeaveAndQuit();
    EXPECT_EQ("65535\n", KovaLink({"--type", "rtu", "--port", sim.SlavePath(), "--drop", "1",
                                   "read", "2", "1"}));
}

TEST_F(Viewer, ModbusTcpInputRegistersShowDashesInTheStatusColumn) {
    TcpSim sim;
    LinkSetup s = sim.Setup();
    s.ViewerRegisterSet = 1;  // 3x
    WriteSetup(s);
    sim.Link({"input-write", "3", "0x0102"});
    StartViewer();
    EXPECT_EQ("    3x1", Cells(5, 1, 7));
    EXPECT_TRUE(t.WaitForRow(5, "----"));
    EXPECT_EQ(" 0102     258     258", Cells(7, 9, 21));
    // A change made elsewhere shows at the next pass.
    sim.Link({"input-write", "4", "0x0304"});
    EXPECT_TRUE(t.WaitForRow(8, " 0304")) << t.ScreenText();
    Expect({"Down", "Down"}, 7, "    3x3");
    Typed("beef", 7, " BEEF   48879  -16657");
    EXPECT_EQ("48879\n", sim.Link({"input-read", "3", "1"}));
    LeaveAndQuit();
}

// F9 moves the viewer to another module; F2's help window, opened while a
// value is typed, hands the field an Enter, so the value goes to that module.
TEST_F(Viewer, F9ChangesTheLinkAndF2HelpCommitsTheValueBeingTyped) {
    TcpSim first, second;
    second.Link({"write", "1", "0xB0B0"});
    WriteSetup(first.Setup());
    StartViewer();
    ASSERT_TRUE(t.WaitForRow(5, "    4x1  0000")) << t.ScreenText();

    t.SendKeys("F9");
    ASSERT_TRUE(t.WaitFor("CONFIGURE THIS COMPUTER")) << t.ScreenText();
    t.SendKeys(std::vector<std::string>{"Enter", "Down"});  // the host, then the port
    t.Type(std::to_string(second.Port()));
    for (int i = 0; i < 4; ++i) t.SendKeys("Enter");  // the last field accepts
    ASSERT_TRUE(t.WaitFor("Write setup to startup file?")) << t.ScreenText();
    t.Type("n");
    EXPECT_TRUE(t.WaitForRow(5, "    4x1  B0B0   45232  -20304")) << t.ScreenText();

    t.Type("12");
    t.SendKeys("F2");
    ASSERT_TRUE(t.WaitFor("REGISTER VIEWER HELP")) << t.ScreenText();
    EXPECT_TRUE(t.WaitFor("Press any key to close help window."));
    EXPECT_TRUE(t.WaitFor("or Ctrl-T 0 on a terminal without F10,")) << t.ScreenText();
    t.Type("7");  // closes the window, and is not typed into the field
    EXPECT_TRUE(t.WaitForRow(5, "    4x1  0012      18      18")) << t.ScreenText();
    EXPECT_EQ(std::string::npos, t.ScreenText().find("REGISTER VIEWER HELP"));
    LeaveAndQuit();
    EXPECT_EQ("18\n", second.Link({"read", "1", "1"}));
    EXPECT_EQ("0\n", first.Link({"read", "1", "1"}));
}

TEST_F(Viewer, FailedReadsShowErrorRowsUntilEsc) {
    std::optional<SimProcess> sim;
    sim.emplace();
    UseSerialSim(*sim);
    LinkSetup s = DefaultSetupFor("KOVASW.STP");
    s.LinkTimeout = 50;  // half a second
    WriteSetup(s);
    StartViewer();
    sim.reset();  // the module goes away
    ASSERT_TRUE(t.WaitForRow(5, "ERROR")) << t.ScreenText();
    ASSERT_TRUE(WaitForErrorWindow()) << t.ScreenText();
    EXPECT_EQ("    4x1  ERROR", t.Row(5).substr(0, 14));
    EXPECT_EQ(kHighlightFg, FgOnceSettled(5, 10, kHighlightFg));  // the cursor row
    EXPECT_EQ(9, Fg(6, 10));                                      // the others in alert (light red)
    // F10 polls again: the next failure brings the window back.
    t.SendKeys("F10");
    ASSERT_TRUE(WaitForErrorWindow(false)) << t.ScreenText();
    ASSERT_TRUE(WaitForErrorWindow()) << t.ScreenText();
    // So does Ctrl-T 0, the help window's F10 where a terminal has none.
    t.SendKeys("C-t");
    t.Type("0");
    ASSERT_TRUE(WaitForErrorWindow(false)) << t.ScreenText();
    ASSERT_TRUE(WaitForErrorWindow()) << t.ScreenText();
    // Esc at the window leaves the viewer.
    t.SendKeys("Escape");
    ASSERT_TRUE(t.WaitForRow(4, "oNline")) << t.ScreenText();
    t.Type("Q");
    ASSERT_TRUE(t.WaitForExit()) << t.ScreenText();
}

// A module gone from Modbus TCP fails every read at once. After F10 the
// keyboard still comes first, for as long as a user takes to answer: a new
// first register can be typed while the reads go on failing.
TEST_F(Viewer, AfterAFailedReadTheUserCanTypeBeforeTheNextOne) {
    std::optional<TcpSim> sim;
    sim.emplace();
    WriteSetup(sim->Setup());
    StartViewer();
    sim.reset();  // connections are refused from now on
    ASSERT_TRUE(WaitForErrorWindow()) << t.ScreenText();
    t.SendKeys("F10");
    ASSERT_TRUE(WaitForErrorWindow(false)) << t.ScreenText();
    poll(nullptr, 0, 500);  // a user reading the screen before typing
    t.SendKeys("Left");     // from the HEX column to the register column
    t.Type("7");
    t.SendKeys("Enter");
    ASSERT_TRUE(t.WaitForRow(6, "    4x8  ERROR")) << t.ScreenText();
    ASSERT_TRUE(WaitForErrorWindow()) << t.ScreenText();
    t.SendKeys("Escape");
    ASSERT_TRUE(t.WaitForRow(4, "oNline")) << t.ScreenText();
    t.Type("Q");
    ASSERT_TRUE(t.WaitForExit()) << t.ScreenText();
}

// A screen watched from across the room: while the error window is up the
// viewer keeps reading, and when the module answers again the window closes
// by itself, the values come back and the status line says so. The failure
// names the operation: nothing was sent to the module.
TEST_F(Viewer, TheErrorWindowClosesByItselfWhenTheModuleIsBack) {
    std::optional<TcpSim> sim;
    sim.emplace();
    sim->Link({"write", "1", "0x1234"});
    WriteSetup(sim->Setup());
    StartViewer();
    ASSERT_TRUE(t.WaitForRow(5, "    4x1  1234")) << t.ScreenText();
    const std::string address = sim->Address();
    sim.reset();  // connections are refused from now on
    ASSERT_TRUE(WaitForErrorWindow()) << t.ScreenText();
    EXPECT_TRUE(t.WaitForRow(23, "Read: Connection refused")) << t.ScreenText();
    EXPECT_EQ("    4x1  ERROR", t.Row(5).substr(0, 14));
    sim.emplace(address);  // the module back where it was
    sim->Link({"write", "1", "0x5678"});
    ASSERT_TRUE(WaitForErrorWindow(false)) << t.ScreenText();
    EXPECT_TRUE(t.WaitForRow(5, "    4x1  5678")) << t.ScreenText();
    EXPECT_TRUE(t.WaitForRow(25, "Reading again since")) << t.ScreenText();
    LeaveAndQuit();
}

// A start register set with F8 moves the table at once.
TEST_F(Viewer, F8StartRegisterTakesEffectAtOnce) {
    TcpSim sim;
    WriteSetup(sim.Setup());
    StartViewer();
    ASSERT_TRUE(t.WaitForRow(5, "    4x1  0000")) << t.ScreenText();
    t.SendKeys("F8");
    ASSERT_TRUE(t.WaitFor("CONFIGURE REGISTER VIEWER")) << t.ScreenText();
    t.SendKeys(std::vector<std::string>{"Down", "Down", "Down"});  // to Starting Register
    t.Type("100");
    for (int i = 0; i < 3; ++i) t.SendKeys("Enter");  // the last field accepts
    ASSERT_TRUE(t.WaitFor("Write setup to startup file?")) << t.ScreenText();
    t.Type("n");
    EXPECT_TRUE(t.WaitForRow(5, "  4x100  0000")) << t.ScreenText();
    EXPECT_EQ("  4x119", Cells(24, 1, 7));
    LeaveAndQuit();
}

// Errors on the status line: the table can still be moved, and every row
// names the register that failed, also before any read has succeeded.
TEST_F(Viewer, ErrorRowsNameTheirRegistersWhereverTheTableMoves) {
    SimProcess sim({"--protocol", "symax", "--error", "3"});
    UseSerialSim(sim);
    LinkSetup s = DefaultSetupFor("KOVASW.STP");
    s.TrapErrors = 1;  // NO
    s.LinkTimeout = 50;
    WriteSetup(s);
    t.Start({"UV"});
    ASSERT_TRUE(t.WaitForRow(5, "    4x1  ERROR")) << t.ScreenText();
    EXPECT_TRUE(t.WaitForRow(24, "   4x20  ERROR")) << t.ScreenText();
    EXPECT_TRUE(t.WaitForRow(25, "Illegal Address")) << t.ScreenText();
    t.SendKeys("PgDn");
    EXPECT_TRUE(t.WaitForRow(5, "   4x11  ERROR")) << t.ScreenText();
    EXPECT_TRUE(t.WaitForRow(24, "   4x30  ERROR")) << t.ScreenText();
    EXPECT_FALSE(ErrorWindowShown());
    LeaveAndQuit();
}

TEST_F(Viewer, EscDuringASlowReplyLeavesWithoutTheErrorWindow) {
    SimProcess sim({"--protocol", "symax", "--delay", "4000"});
    UseSerialSim(sim);
    t.Start({"UV"});
    ASSERT_TRUE(t.WaitForRow(4, "REGSTR")) << t.ScreenText();
    t.SendKeys("Escape");
    // Back in the menu long before the reply would have come.
    ASSERT_TRUE(t.WaitForRow(4, "oNline", 3000)) << t.ScreenText();
    t.Settle();
    EXPECT_EQ(std::string::npos, t.ScreenText().find("ERROR")) << t.ScreenText();
    t.Type("Q");
    ASSERT_TRUE(t.WaitForExit()) << t.ScreenText();
}

// Utility, CTS monitor: the module check, then the ports from register 8187.
TEST_F(Viewer, CtsMonitorShowsThePortsUntilAKeyWhichItConsumes) {
    std::optional<SimProcess> sim;
    sim.emplace(std::vector<std::string>{"--protocol", "symax", "--cts", "5"});
    UseSerialSim(*sim);
    LinkSetup s = DefaultSetupFor("KOVASW.STP");
    s.LinkTimeout = 50;  // half a second
    WriteSetup(s);
    t.Start({"UC"});
    ASSERT_TRUE(t.WaitFor("CTS MONITOR")) << t.ScreenText();
    const char* const shown[] = {"Port 1 CTS ON", "Port 2 CTS OFF", "Port 3 CTS ON",
                                 "Port 4 CTS OFF"};
    for (int p = 0; p < 4; ++p) EXPECT_TRUE(t.WaitForRow(10 + p, shown[p])) << t.ScreenText();
    EXPECT_EQ(kHighlightFg, FgOnceSettled(10, 50, kHighlightFg));
    EXPECT_EQ(kNormalFg, Fg(11, 50));
    sim.reset();  // the module stops answering
    for (int p = 0; p < 4; ++p) EXPECT_TRUE(t.WaitForRow(10 + p, "CTS ERR")) << t.ScreenText();
    // Q ends the monitor and goes no further: the menu does not quit on it.
    // The monitor ends after the read under way, which may still be waiting
    // out a dead module's reply time: wait for its window to go.
    t.Type("Q");
    ASSERT_TRUE(WaitUntil([&] { return t.ScreenText().find("CTS MONITOR") == std::string::npos; }))
        << t.ScreenText();
    ASSERT_TRUE(t.WaitForRow(4, "oNline")) << t.ScreenText();
    EXPECT_EQ(-1, t.ExitStatus());
    t.Type("Q");
    ASSERT_TRUE(t.WaitForExit()) << t.ScreenText();
}

}  // namespace
