// The whole program with its setup file and link forms: start-up messages
// for missing and damaged files, the link form's type cycling, undo and
// checks, saving, loading another file, and links to a simulated module on
// pty ports (offered through --device-root) and over loopback TCP.
#include <arpa/inet.h>
#include <dirent.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <climits>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "common/device_root_dir.h"
#include "common/file_contents.h"
#include "common/sim_process.h"
#include "common/wait_until.h"
#include "setup/link_setup.h"
#include "setup/setup_choices.h"
#include "tmux_session.h"

namespace {

using Bytes = std::vector<uint8_t>;

void WriteFile(const std::string& path, const Bytes& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

// A settings file for a Sy/Max link on the port at index port.
Bytes SyMaxSetup(int16_t port) {
    LinkSetup s = DefaultSetupFor("KOVASW.STP");
    s.LinkPort = port;
    return EncodeSetup(s);
}

std::string FieldText(std::string cells) { return cells.substr(0, cells.find_first_of(". ")); }

// A terminal baud rate index one past the list.
Bytes BaudPastTheList() {
    LinkSetup s = DefaultSetupFor("KOVASW.STP");
    s.TerminalBaud = kSetupBaudCount;
    return EncodeSetup(s);
}

Bytes ShortSetup() {
    Bytes b = SyMaxSetup(0);
    b.pop_back();
    return b;
}

// What the program holds open: the targets of its descriptors.
std::set<std::string> OpenFiles(int pid) {
    std::set<std::string> targets;
    std::string dir = "/proc/" + std::to_string(pid) + "/fd";
    for (const auto& e : std::filesystem::directory_iterator(dir)) {
        std::error_code error;
        auto target = std::filesystem::read_symlink(e.path(), error);
        if (!error) targets.insert(target.string());
    }
    return targets;
}

std::set<std::string> Threads(int pid) {
    std::set<std::string> ids;
    for (const auto& e :
         std::filesystem::directory_iterator("/proc/" + std::to_string(pid) + "/task"))
        ids.insert(e.path().filename().string());
    return ids;
}

// Waits until the program holds (or no longer holds) a file open.
bool AwaitOpen(int pid, const std::string& path, bool open) {
    return WaitUntil([&] { return (OpenFiles(pid).count(path) > 0) == open; });
}

class SetupScenario : public testing::Test {
  protected:
    // In the C locale frames are the line-drawing set's ASCII letters (x the
    // vertical bar), so byte offsets in a row are columns.
    void Start(const std::vector<std::string>& keys = {}) {
        t.SetLocale("C");
        std::vector<std::string> args{"--device-root", root.Path()};
        args.insert(args.end(), keys.begin(), keys.end());
        t.Start(args);
    }
    void RemoveSetup() { std::filesystem::remove(File("KOVASW.STP")); }
    std::string File(const std::string& name) const { return t.Dir() + "/" + name; }
    void Dismiss(const std::string& message) {
        ASSERT_TRUE(t.WaitFor(message)) << t.ScreenText();
        t.SendKeys("F10");
    }
    // Row text from the value column of the link form.
    std::string Value(int row) { return t.Row(row).substr(45, 21); }
    void Quit() {
        t.Settle();
        t.Type("Q");
        ASSERT_TRUE(t.WaitForExit()) << t.ScreenText();
        EXPECT_EQ(0, t.ExitStatus());
    }

    TmuxSession t;
    DeviceRootDir root;
};

TEST_F(SetupScenario, NoSetupFileGivesTheMessageAndTheLinkForm) {
    RemoveSetup();
    Start();
    Dismiss("Can't locate setup file.");
    ASSERT_TRUE(t.WaitFor("CONFIGURE THIS COMPUTER"));
    EXPECT_EQ("Connection type Sy/Max COM:", t.Row(8).substr(29, 27));
    EXPECT_EQ("Timeout 500", t.Row(15).substr(37, 11));
    t.SendKeys("Escape");  // nothing changed: closes silently
    ASSERT_TRUE(t.WaitFor("Use F10"));
    EXPECT_EQ(std::string::npos, t.ScreenText().find("Edit aborted"));
    Quit();
    EXPECT_FALSE(std::filesystem::exists(File("KOVASW.STP")));
}

TEST_F(SetupScenario, DamagedOrForeignSetupFilesGiveTheirMessage) {
    struct Case {
        const char* what;
        Bytes file;
        const char* message;
    } cases[] = {
        {"149 bytes", ShortSetup(), "Can't read setup file. Use SETUP to change it"},
        {"baud index past the list", BaudPastTheList(), "Can't read setup file. Use SETUP to change it"},
        {"port 4 of 1", SyMaxSetup(3), "The saved link is not in current choices."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TmuxSession session;
        DeviceRootDir ports;
        ports.AddPort("ttyUSB0", "/dev/null-port-that-is-not-there");
        WriteFile(session.Dir() + "/KOVASW.STP", c.file);
        session.SetLocale("C");
        session.Start({"--device-root", ports.Path()});
        ASSERT_TRUE(session.WaitFor(c.message)) << session.ScreenText();
        session.SendKeys("F10");
        ASSERT_TRUE(session.WaitFor("CONFIGURE THIS COMPUTER"));
        session.SendKeys("Escape");
        session.Settle();
        session.Type("Q");
        ASSERT_TRUE(session.WaitForExit());
        EXPECT_EQ(c.file, ReadFileBytes(session.Dir() + "/KOVASW.STP"));  // left as it was
    }
}

TEST_F(SetupScenario, TypeCyclesWithPlusAndMinusAndTheDropFollows) {
    RemoveSetup();
    Start();
    Dismiss("Can't locate setup file.");
    ASSERT_TRUE(t.WaitFor("CONFIGURE THIS COMPUTER"));
    struct Step {
        const char* key;
        const char* type;
        int row;            // a row that shows what the type edits
        const char* label;  // its text from column 30
    } steps[] = {
        {"+", "Net-to-Net COM:", 17, "          Route NONE"},
        {"+", "Gateway COM:", 14, "          Route NONE"},
        {"+", "Modbus RTU", 17, "           Drop 1"},  // no slave answers to 255
        {"+", "Modbus ASCII", 17, "           Drop 1"},
        {"+", "Modbus TCP", 17, "          Index 1"},
        {"+", "Sy/Max COM:", 17, "          Route NONE"},
        {"-", "Modbus TCP", 9, "           Host"},
        {"-", "Modbus ASCII", 11, "      Data bits 8"},
        {"-", "Modbus RTU", 17, "           Drop 1"},
        {"-", "Gateway COM:", 17, ""},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.type);
        t.Type(s.key);
        ASSERT_TRUE(t.WaitForRow(8, s.type)) << t.ScreenText();
        t.Settle(60);
        std::string row = t.Row(s.row).substr(29);
        row = row.substr(0, row.find_last_not_of(" x") + 1);  // the frame's right edge
        if (*s.label) {
            EXPECT_EQ(s.label, row.substr(0, std::strlen(s.label))) << t.ScreenText();
        } else {
            EXPECT_EQ("", row) << t.ScreenText();
        }
    }
    // From Gateway with the route NONE, Esc undoes the type change.
    t.SendKeys("Escape");
    Dismiss("Edit aborted by ESC. Modifications lost.");
    ASSERT_TRUE(t.WaitFor("Use F10"));
    t.Type("SS");  // Setup, Sy/Max communications: the record is back
    ASSERT_TRUE(t.WaitForRow(8, "Sy/Max COM:"));
    t.SendKeys("Escape");
    Quit();
}

TEST_F(SetupScenario, RegisterViewerFormChecksSizeAndStart) {
    RemoveSetup();
    Start();
    Dismiss("Can't locate setup file.");
    ASSERT_TRUE(t.WaitFor("CONFIGURE THIS COMPUTER"));
    t.SendKeys("Escape");
    t.Settle();
    t.Type("SR");
    ASSERT_TRUE(t.WaitFor("CONFIGURE REGISTER VIEWER"));
    t.SendKeys(std::vector<std::string>{"Down", "Down"});  // to Screen Size
    struct Case {
        const char* typed;
        const char* message;
        int row;
        const char* shown;
    } cases[] = {
        {"25", "Register Viewer size must be <= 20", 9, "20"},
        {"0", "Register Viewer size must be >= 1", 9, "1"},
    };
    for (const auto& c : cases) {
        t.Type(c.typed);
        t.SendKeys("Enter");
        Dismiss(c.message);
        t.Settle();
        // The field is being edited again: the corrected value, then fill dots.
        EXPECT_EQ(c.shown, FieldText(t.Row(c.row).substr(47, 2))) << t.ScreenText();
    }
    t.SendKeys("Enter");  // 1 is accepted: on to the start register
    t.Type("0");
    t.SendKeys("Enter");
    Dismiss("Register Viewer start must be >= 1");
    t.Settle();
    EXPECT_EQ("1", FieldText(t.Row(10).substr(47, 4)));
    t.SendKeys("Escape");
    Dismiss("Edit aborted by ESC. Modifications lost.");
    Quit();
}

class SimulatedModule : public SetupScenario {
  protected:
    SimProcess simA, simB;
};

TEST_F(SimulatedModule, AcceptedFormConnectsAndSavesExactly150Bytes) {
    root.AddPort("ttyUSB0", simA.SlavePath());
    RemoveSetup();
    Start();
    Dismiss("Can't locate setup file.");
    ASSERT_TRUE(t.WaitFor("CONFIGURE THIS COMPUTER"));
    t.SendKeys("Enter");                              // into the fields
    for (int i = 0; i < 8; ++i) t.SendKeys("Enter");  // the last one accepts
    ASSERT_TRUE(t.WaitFor("Write setup to startup file?")) << t.ScreenText();
    int pid = t.ProgramPid();
    EXPECT_TRUE(AwaitOpen(pid, simA.SlavePath(), true));
    t.Type("y");
    // The menu stays drawn behind the question: wait for the file instead.
    EXPECT_TRUE(WaitUntil([&] { return ReadFileBytes(File("KOVASW.STP")).size() == 150; }));
    ASSERT_TRUE(t.WaitFor("Use F10"));
    Bytes saved = ReadFileBytes(File("KOVASW.STP"));
    ASSERT_EQ(150u, saved.size());
    struct Word {
        size_t offset;
        uint16_t value;
    } words[] = {{0, 1},   {2, 0},  {6, 13},  {8, 1},     {12, 1},   {16, 0},
                 {94, 20}, {96, 1}, {100, 0}, {102, 500}, {104, 502}};
    for (const auto& w : words)
        EXPECT_EQ(w.value, saved[w.offset] | saved[w.offset + 1] << 8) << "offset " << w.offset;
    EXPECT_EQ("EDIT.COM", std::string(reinterpret_cast<const char*>(&saved[48])));
    Quit();
}

TEST_F(SimulatedModule, BaudChangeKeepsTheLinkAndPortChangeReopensIt) {
    root.AddPort("ttyUSB0", simA.SlavePath());
    root.AddPort("ttyUSB1", simB.SlavePath());
    WriteFile(File("KOVASW.STP"), SyMaxSetup(0));
    Start();
    ASSERT_TRUE(t.WaitFor("Use F10"));
    int pid = t.ProgramPid();
    ASSERT_TRUE(AwaitOpen(pid, simA.SlavePath(), true));
    auto threads = Threads(pid);

    t.Type("SS");
    ASSERT_TRUE(t.WaitFor("CONFIGURE THIS COMPUTER"));
    t.SendKeys(std::vector<std::string>{"Enter", "Down"});  // to the baud rate
    t.Type("+");                                            // 14400
    for (int i = 0; i < 7; ++i) t.SendKeys("Enter");
    ASSERT_TRUE(t.WaitFor("Write setup to startup file?"));
    t.Type("n");
    ASSERT_TRUE(t.WaitFor("Use F10"));
    EXPECT_TRUE(AwaitOpen(pid, simA.SlavePath(), true));
    EXPECT_EQ(threads, Threads(pid)) << "the link's reader thread was replaced";

    t.Type("SS");
    ASSERT_TRUE(t.WaitFor("CONFIGURE THIS COMPUTER"));
    t.SendKeys("Enter");
    t.Type(" ");  // ttyUSB1
    ASSERT_TRUE(t.WaitForRow(9, "ttyUSB1"));
    for (int i = 0; i < 8; ++i) t.SendKeys("Enter");
    ASSERT_TRUE(t.WaitFor("Write setup to startup file?"));
    t.Type("n");
    EXPECT_TRUE(AwaitOpen(pid, simA.SlavePath(), false));
    EXPECT_TRUE(AwaitOpen(pid, simB.SlavePath(), true));
    EXPECT_NE(threads, Threads(pid));
    Quit();
    EXPECT_EQ(SyMaxSetup(0), ReadFileBytes(File("KOVASW.STP")));  // both offers declined
}

TEST_F(SimulatedModule, LoadFromFileClosesTheOldLinkFirst) {
    root.AddPort("ttyUSB0", simA.SlavePath());
    root.AddPort("ttyUSB1", simB.SlavePath());
    WriteFile(File("KOVASW.STP"), SyMaxSetup(0));
    WriteFile(File("OTHER.STP"), SyMaxSetup(1));
    Bytes shortFile = SyMaxSetup(1);
    shortFile.pop_back();
    WriteFile(File("SHORT.STP"), shortFile);
    Start();
    ASSERT_TRUE(t.WaitFor("Use F10"));
    int pid = t.ProgramPid();
    ASSERT_TRUE(AwaitOpen(pid, simA.SlavePath(), true));

    t.Type("SL");
    ASSERT_TRUE(t.WaitFor("LOAD SETUP FROM FILE"));
    t.Type("OTHER");
    t.SendKeys("Enter");
    ASSERT_TRUE(t.WaitFor("Use F10"));
    EXPECT_TRUE(AwaitOpen(pid, simA.SlavePath(), false));
    EXPECT_TRUE(AwaitOpen(pid, simB.SlavePath(), true));

    // A file that then fails to load: the link is already closed.
    t.Type("SL");
    ASSERT_TRUE(t.WaitFor("LOAD SETUP FROM FILE"));
    t.Type("SHORT");
    t.SendKeys("Enter");
    ASSERT_TRUE(t.WaitFor("Can't read setup file. Use SETUP to change it"));
    EXPECT_TRUE(AwaitOpen(pid, simB.SlavePath(), false));
    t.SendKeys("F10");
    ASSERT_TRUE(t.WaitFor("CONFIGURE THIS COMPUTER"));
    t.SendKeys("Escape");
    Quit();
}

TEST_F(SetupScenario, AMissingDeviceGivesTheWindowAndTheReason) {
    root.AddPort("ttyUSB0", root.Path() + "/dev/unplugged");
    WriteFile(File("KOVASW.STP"), SyMaxSetup(0));
    Start();
    ASSERT_TRUE(t.WaitFor("Unable to establish link."));
    EXPECT_TRUE(t.WaitForRow(25, "not found")) << t.ScreenText();
    t.SendKeys("F10");
    Quit();
}

// The reason of a failed connect goes once a later connect succeeds, also
// from the main screen the menu comes back to.
TEST_F(SimulatedModule, TheStatusRowClearsWhenALinkOpens) {
    root.AddPort("ttyUSB0", root.Path() + "/dev/unplugged");
    root.AddPort("ttyUSB1", simA.SlavePath());
    WriteFile(File("KOVASW.STP"), SyMaxSetup(0));
    Start();
    Dismiss("Unable to establish link.");
    ASSERT_TRUE(t.WaitFor("Use F10"));
    ASSERT_TRUE(t.WaitForRow(25, "not found")) << t.ScreenText();
    t.Type("SS");
    ASSERT_TRUE(t.WaitFor("CONFIGURE THIS COMPUTER"));
    t.SendKeys("Enter");
    t.Type(" ");  // ttyUSB1
    ASSERT_TRUE(t.WaitForRow(9, "ttyUSB1"));
    for (int i = 0; i < 8; ++i) t.SendKeys("Enter");
    ASSERT_TRUE(t.WaitFor("Write setup to startup file?")) << t.ScreenText();
    t.Type("n");
    ASSERT_TRUE(t.WaitFor("Use F10"));
    EXPECT_TRUE(AwaitOpen(t.ProgramPid(), simA.SlavePath(), true));
    EXPECT_TRUE(WaitUntil([&] { return t.Row(25).find("not found") == std::string::npos; }))
        << t.ScreenText();
    t.Type("F");  // a menu opened and left: the main screen comes back clean
    ASSERT_TRUE(t.WaitFor("Read from disk to memory"));
    t.SendKeys("Escape");
    ASSERT_TRUE(t.WaitForGone("Read from disk to memory"));  // the screen under it is back
    EXPECT_EQ(std::string::npos, t.Row(25).find("not found")) << t.ScreenText();
    Quit();
}

TEST_F(SetupScenario, ModbusTcpConnectsOverLoopback) {
    int listener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof a;
    ASSERT_EQ(0, bind(listener, reinterpret_cast<sockaddr*>(&a), size));
    ASSERT_EQ(0, listen(listener, 2));
    ASSERT_EQ(0, getsockname(listener, reinterpret_cast<sockaddr*>(&a), &size));
    LinkSetup s = DefaultSetupFor("KOVASW.STP");
    s.ConnectionType = LinkTypeModbusTcp;
    std::strcpy(s.TcpHost, "127.0.0.1");
    s.TcpPort = ntohs(a.sin_port);
    s.RouteCount = 1;
    s.Route[0] = 1;
    s.LinkPort = 5;  // no serial ports at all: a TCP link does not need one
    WriteFile(File("KOVASW.STP"), EncodeSetup(s));
    Start();
    pollfd p{listener, POLLIN, 0};
    ASSERT_EQ(1, poll(&p, 1, 10000));
    int peer = accept(listener, nullptr, nullptr);
    ASSERT_GE(peer, 0);
    ASSERT_TRUE(t.WaitFor("Use F10"));
    // A pull-down that opens shows the program past its start-up: a failure
    // of the connection would be on the screen.
    t.Type("U");
    ASSERT_TRUE(t.WaitFor("View registers")) << t.ScreenText();
    EXPECT_EQ(std::string::npos, t.ScreenText().find("ERROR"));
    t.SendKeys("Escape");
    ASSERT_TRUE(t.WaitForGone("View registers"));
    Quit();
    char byte;
    EXPECT_EQ(0, read(peer, &byte, 1));  // closed at quit
    close(peer);
    close(listener);
}

}  // namespace

namespace {

// A serial kind whose line is behind a serial device server: "/" on the
// port field takes tcp:HOST:PORT, the link connects and identifies, and the
// setup file keeps it in the Modbus TCP fields so that the next start reads
// it back and connects again.
TEST_F(SetupScenario, ASerialKindReachesAModuleBehindADeviceServer) {
    SimProcess sim({"--protocol", "rtu", "--listen", "127.0.0.1:0", "--set", "1=0x1234"});
    const std::string server = "tcp:127.0.0.1:" + sim.Where();
    RemoveSetup();
    Start();
    Dismiss("Can't locate setup file.");
    ASSERT_TRUE(t.WaitFor("CONFIGURE THIS COMPUTER"));
    while (Value(8).find("Modbus RTU") != 0) {
        t.Type(" ");
        t.Settle();
    }
    t.SendKeys("Enter");  // into the fields: the port first
    ASSERT_TRUE(t.WaitFor("network: / then tcp:HOST:PORT")) << t.ScreenText();
    t.Type("/");
    ASSERT_TRUE(t.WaitFor("OR tcp:HOST:PORT OF A DEVICE SERVER")) << t.ScreenText();
    t.SendKeys("BSpace");
    t.Type(server);
    t.SendKeys("Enter");
    ASSERT_TRUE(t.WaitForRow(9, server)) << t.ScreenText();
    for (int i = 0; i < 8; ++i) t.SendKeys("Enter");  // the last field accepts
    ASSERT_TRUE(t.WaitFor("Write setup to startup file?")) << t.ScreenText();
    t.Type("y");
    EXPECT_TRUE(WaitUntil([&] { return ReadFileBytes(File("KOVASW.STP")).size() == 150; }));
    ASSERT_TRUE(t.WaitFor("Use F10"));
    const Bytes saved = ReadFileBytes(File("KOVASW.STP"));
    ASSERT_EQ(150u, saved.size());
    EXPECT_EQ(kNetworkLinkPort, int16_t(saved[2] | saved[3] << 8));
    EXPECT_EQ(sim.TcpPort(), saved[104] | saved[105] << 8);
    EXPECT_EQ("127.0.0.1", std::string(reinterpret_cast<const char*>(&saved[106])));
    Quit();

    // Read back: the viewer reads the module through the server at once.
    t.Tmux({"kill-session", "-t", "kova"});
    Start({"UV"});
    EXPECT_TRUE(t.WaitForRow(5, "    4x1  1234")) << t.ScreenText();
}

TEST_F(SetupScenario, UntrappedErrorsGoToTheStatusLineWithoutWaiting) {
    root.AddPort("ttyUSB0", root.Path() + "/dev/unplugged");
    LinkSetup s = DefaultSetupFor("KOVASW.STP");
    s.TrapErrors = 1;  // NO
    WriteFile(File("KOVASW.STP"), EncodeSetup(s));
    Start();
    ASSERT_TRUE(t.WaitFor("Use F10"));
    ASSERT_TRUE(t.WaitForRow(25, "not found")) << t.ScreenText();
    EXPECT_EQ(std::string::npos, t.ScreenText().find("ERROR"));
    Quit();
}

TEST_F(SetupScenario, AnEntryThatNeedsTheModuleAsksForALinkFirst) {
    root.AddPort("ttyUSB0", root.Path() + "/dev/unplugged");
    WriteFile(File("KOVASW.STP"), SyMaxSetup(0));
    Start();
    Dismiss("Unable to establish link.");
    ASSERT_TRUE(t.WaitFor("Use F10"));
    t.Settle();
    t.Type("EN");  // Emulate, from oNline port
    ASSERT_TRUE(t.WaitFor("CONFIGURE THIS COMPUTER"));
    t.SendKeys("Escape");  // no link: the entry does nothing more
    ASSERT_TRUE(t.WaitFor("Use F10"));
    EXPECT_TRUE(t.WaitForGone("CONFIGURE THIS COMPUTER"));
    t.Type("EN");  // asked again, since there still is no link
    ASSERT_TRUE(t.WaitFor("CONFIGURE THIS COMPUTER"));
    t.SendKeys("Escape");
    Quit();
}

}  // namespace
