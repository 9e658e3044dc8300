// The setup forms on the in-memory console with pty ports: which changes
// reconnect, when the save is offered and what it writes, undo with Esc,
// and the start-up load's fallbacks.
#include "forms/link_forms.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#include "forms/fresh_link.h"
#include "forms/pty_ports.h"
#include "forms/setup_file_dialogs.h"
#include "link/link_state.h"
#include "link/serial_port.h"
#include "setup/link_setup.h"
#include "setup/setup_file.h"
#include "setup/setup_in_force.h"
#include "ui/console/keys.h"
#include "ui/fields.h"
#include "ui/toolkit_fixture.h"

namespace fs = std::filesystem;

namespace {

class Forms : public ToolkitTest {
  protected:
    SetupInForce settings;  // the settings in force, as the shell holds them
    LinkSetup& CurrentSetup = settings.CurrentSetup;
    std::string& StartupSetupName = settings.StartupSetupName;
    void SetUp() override {
        ToolkitTest::SetUp();
        ports.Add("ttyUSB0");
        ports.Add("ttyUSB1");
        ports.Use(settings);
        dir = ports.Root() + "/work";
        fs::create_directories(dir);
        StartupSetupName = dir + "/KOVASW.STP";
        CurrentSetup = DefaultSetupFor("KOVASW.STP");
    }
    void TearDown() override {
        link.reset();
        ToolkitTest::TearDown();
    }
    void Keys(const std::string& keys) { console.Type(keys); }
    void Extended(uint8_t scan) { console.TypeExtended(scan); }
    void F10() { Extended(key::scan::F10); }
    bool Saved() const { return fs::exists(StartupSetupName); }
    std::string PortOf(Link* l) const { return fs::path(l->port->device.path).filename(); }
    // Enter into the Sy/Max fields and through all eight: the form accepts.
    void AcceptSyMaxForm() { Keys("\r\r\r\r\r\r\r\r\r"); }

    PtyPorts ports;
    std::string dir;
    LinkHandle link;
};

TEST_F(Forms, AcceptingConnectsAndTheSaveWritesTheRecord) {
    AcceptSyMaxForm();
    Keys("y");
    link = ConfigureFresh(settings);
    ASSERT_NE(nullptr, link);
    std::ifstream in(StartupSetupName, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), {});
    ASSERT_EQ(150u, bytes.size());
    auto expected = EncodeSetup(DefaultSetupFor("KOVASW.STP"));
    for (size_t i = 0; i < 150; ++i) EXPECT_EQ(expected[i], uint8_t(bytes[i])) << "offset " << i;
}

TEST_F(Forms, BaudChangeKeepsTheLinkPortChangeReopensIt) {
    AcceptSyMaxForm();
    Keys("n");
    link = ConfigureFresh(settings);
    ASSERT_NE(nullptr, link);
    EXPECT_EQ("ttyUSB0", PortOf(link.get()));

    Keys("\r");
    Extended(key::scan::Down);  // to the baud rate
    Keys("+\r\r\r\r\r\r\r");    // 14400, then accept
    Keys("n");
    console.ClearCalls();
    Link* before = link.get();
    ConfigureLink(settings, link);
    EXPECT_EQ(before, link.get());
    EXPECT_EQ(14, CurrentSetup.LinkBaud);
    EXPECT_EQ(14400u, link->port->settings.baud);

    Keys("\r \r\r\r\r\r\r\r\r");  // ttyUSB1, accept
    Keys("n");
    ConfigureLink(settings, link);
    ASSERT_NE(nullptr, link);
    EXPECT_EQ("ttyUSB1", PortOf(link.get()));
    EXPECT_FALSE(Saved());
}

TEST_F(Forms, EscUndoesChangesWithTheMessageAndLeavesTheLink) {
    struct Case {
        const char* keys;
        bool message;
    } cases[] = {
        {"\x1b", false},    // nothing changed: silent
        {"+\x1b", true},    // type changed
        {"-+\x1b", true},   // and back: the drop 255 stays in the unused route
        {"\r \x1b", true},  // port changed in the fields
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.keys);
        LinkSetup before = CurrentSetup;
        Keys(c.keys);
        if (c.message) F10();
        console.ClearCalls();
        EXPECT_EQ(nullptr, ConfigureFresh(settings));
        EXPECT_EQ(0, std::memcmp(&before, &CurrentSetup, sizeof before));
        bool shown = false;
        for (const auto& call : console.calls)
            shown = shown || call.text.find("Modifications lost.") != std::string::npos;
        EXPECT_EQ(c.message, shown);
        EXPECT_TRUE(console.keys.empty());
    }
}

// The TCP port takes five digits; 0 is refused with a message and numbers a
// 16-bit field cannot hold are refused, never wrapped round.
TEST_F(Forms, NumberFieldsRefuseWhatTheirRecordCannotHold) {
    int probe = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof a;
    ASSERT_EQ(0, bind(probe, reinterpret_cast<sockaddr*>(&a), size));
    ASSERT_EQ(0, getsockname(probe, reinterpret_cast<sockaddr*>(&a), &size));
    close(probe);  // a port nothing listens on: the connect fails
    const uint16_t port = ntohs(a.sin_port);
    ASSERT_GT(port, 9999) << "an ephemeral port has five digits";
    Keys("-\r");  // Modbus TCP, into its fields
    Keys("127.0.0.1\r");
    Keys("0\r");
    F10();
    Keys(std::to_string(port) + "\r");
    Keys("99999\r");
    F10();
    Keys("800\r\r\r");
    F10();  // Unable to establish link.
    console.ClearCalls();
    EXPECT_EQ(nullptr, ConfigureFresh(settings));
    EXPECT_TRUE(console.keys.empty());
    EXPECT_EQ(LinkTypeModbusTcp, CurrentSetup.ConnectionType);
    EXPECT_EQ(port, CurrentSetup.TcpPort);
    EXPECT_EQ(800, CurrentSetup.LinkTimeout);
    std::string written;
    for (const auto& call : console.calls) written += call.text + "\n";
    EXPECT_NE(std::string::npos, written.find("TCP port must be 1 to 65535")) << written;
    EXPECT_NE(std::string::npos, written.find("Unacceptable format of data")) << written;
}

TEST_F(Forms, ASaveThatCannotOpenItsFileSaysSo) {
    StartupSetupName = dir + "/missing-directory/KOVASW.STP";
    AcceptSyMaxForm();
    Keys("y");
    F10();
    console.ClearCalls();
    link = ConfigureFresh(settings);
    ASSERT_NE(nullptr, link);
    bool shown = false;
    for (const auto& call : console.calls)
        shown = shown || call.text.find("Can't open setup file") != std::string::npos;
    EXPECT_TRUE(shown);
    EXPECT_FALSE(Saved());
}

// A question or window the keys do not answer ends the test with OutOfKeys.
TEST_F(Forms, TerminalFormOffersTheSaveOnlyAfterAChange) {
    struct Case {
        const char* keys;
        bool offerSave;
        int16_t port;
        bool saved;
    } cases[] = {
        {"\r\r\r\r\r", true, 0, false},    // no change: no question
        {" \r\r\r\r\rn", true, 1, false},  // declined: kept in force, not written
        {"\r\r\r\r ", false, 1, false},    // parity changed, no offer: just kept
        {" \r\r\r\r\ry", true, 0, true},   // back to ttyUSB0, written
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.keys);
        Keys(c.keys);
        if (!c.offerSave) Keys("\r");
        ConfigureTerminal(settings, c.offerSave);
        EXPECT_TRUE(console.keys.empty());
        EXPECT_EQ(c.port, CurrentSetup.TerminalPort);
        EXPECT_EQ(c.saved, Saved());
    }
    std::ifstream in(StartupSetupName, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), {});
    ASSERT_EQ(150u, bytes.size());
    EXPECT_EQ(1, bytes[46]);  // the parity changed without an offer went along
}

// The terminal's form takes a typed path as the link's does, and the
// adapter it leads to is kept for the save.
TEST_F(Forms, TerminalFormTakesAPortPathAndKeepsItsAdapter) {
    const std::string adapter =
        ports.AddAdapter("by-path", "pci-0000:00:14.0-usb-0:2:1.0-port0", "ttyUSB1");
    ports.Use(settings);
    Keys("/dev/serial/by-path/pci-0000:00:14.0-usb-0:2:1.0-port0\r");
    Keys("\r\r\r\r\ry");  // from the port through the five fields, and save
    ConfigureTerminal(settings, true);
    EXPECT_TRUE(console.keys.empty());
    EXPECT_EQ(1, CurrentSetup.TerminalPort);
    const SetupFileContents saved = ReadSetupFile(StartupSetupName);
    ASSERT_EQ(saved.outcome, SetupFileRead::Read);
    EXPECT_EQ(saved.adapters.terminal, adapter);
    EXPECT_EQ(saved.adapters.link, "");
}

// A device server's name is for the link; the terminal says so and keeps its port.
TEST_F(Forms, TerminalFormRefusesADeviceServer) {
    const int16_t before = CurrentSetup.TerminalPort;
    Keys("/tcp:127.0.0.1:4001\r");
    F10();
    Keys("\x1b");
    ConfigureTerminal(settings, false);
    EXPECT_EQ(before, CurrentSetup.TerminalPort);
    bool said = false;
    for (const auto& call : console.calls)
        said = said || call.text.find("The terminal takes a port of this computer only") !=
                           std::string::npos;
    EXPECT_TRUE(said);
}

TEST_F(Forms, TerminalFormEscPutsTheRecordBack) {
    LinkSetup before = CurrentSetup;
    Keys(" \x1b");
    F10();
    ConfigureTerminal(settings, true);
    EXPECT_EQ(0, std::memcmp(&before, &CurrentSetup, sizeof before));
    EXPECT_TRUE(console.keys.empty());
}

TEST_F(Forms, ViewerFormAsksToSaveEvenWithoutAChange) {
    Keys("\r\r\r\r\r\rn");
    ConfigureRegisterViewer(settings, true);
    EXPECT_TRUE(console.keys.empty());
    Keys("\r\r\r\r\r\r");
    ConfigureRegisterViewer(settings, false);
    EXPECT_TRUE(console.keys.empty());
}

TEST_F(Forms, ViewerChecksCorrectTheValue) {
    struct Case {
        int16_t value;
        int result;
        int16_t after;
        int (*check)(void*, int, const FieldDescriptor*);
    } cases[] = {
        {25, 0, 20, CheckViewerScreenSize},  {21, 0, 20, CheckViewerScreenSize},
        {20, 1, 20, CheckViewerScreenSize},  {1, 1, 1, CheckViewerScreenSize},
        {0, 0, 1, CheckViewerScreenSize},    {0, 0, 1, CheckViewerStartRegister},
        {1, 1, 1, CheckViewerStartRegister}, {9999, 1, 9999, CheckViewerStartRegister},
    };
    for (const auto& c : cases) {
        int16_t v = c.value;
        if (!c.result) F10();
        EXPECT_EQ(c.result, c.check(&v, 2, nullptr)) << c.value;
        EXPECT_EQ(c.after, v) << c.value;
    }
}

TEST_F(Forms, StartupLoadFallsBackToTheDefaultsAndTheForm) {
    struct Case {
        const char* what;
        std::vector<uint8_t> file;  // empty: no file
        const char* message;
    } cases[] = {
        {"missing", {}, "Can't locate setup file."},
        {"short", std::vector<uint8_t>(149, 0), "Can't read setup file. Use SETUP to change it"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove(dir + "/KOVASW.STP");
        if (!c.file.empty())
            std::ofstream(dir + "/KOVASW.STP", std::ios::binary)
                .write(reinterpret_cast<const char*>(c.file.data()),
                       std::streamsize(c.file.size()));
        F10();
        Keys("\x1b");  // leave the form
        console.ClearCalls();
        EXPECT_EQ(nullptr, LoadStartupSetup(settings, dir + "/KOVASW.STP"));
        auto expected = EncodeSetup(DefaultSetupFor("KOVASW.STP"));
        EXPECT_EQ(expected, EncodeSetup(CurrentSetup));
        bool shown = false, form = false;
        for (const auto& call : console.calls) {
            shown = shown || call.text.find(c.message) != std::string::npos;
            form = form || call.text.find("CONFIGURE") != std::string::npos;
        }
        EXPECT_TRUE(shown);
        EXPECT_TRUE(form);
    }
}

// The link form lists each port with its adapter; "/" takes a path typed
// as the tools take it, which picks the port it leads to, and the save keeps
// the adapter after the record. A path that leads to no port is named and
// changes nothing.
TEST_F(Forms, APortPathTypedInTheFormPicksItsPortAndTheSaveKeepsTheAdapter) {
    const std::string adapter =
        ports.AddAdapter("by-id", "usb-FTDI_FT232R_A50285BI-if00-port0", "ttyUSB1");
    ports.Use(settings);
    Keys("\r/dev/serial/by-id/usb-Prolific_gone-port0\r");  // leads nowhere
    F10();
    Keys("/dev/serial/by-id/usb-FTDI_FT232R_A50285BI-if00-port0\r");
    Keys("\r\r\r\r\r\r\r\r");  // from the port through the eight fields: accepted
    Keys("y");
    link = ConfigureFresh(settings);
    ASSERT_NE(nullptr, link);
    EXPECT_EQ("ttyUSB1", PortOf(link.get()));
    bool named = false, listed = false;
    for (const auto& call : console.calls) {
        named =
            named || call.text.find("Not connected: usb-Prolific_gone-port0") != std::string::npos;
        listed = listed || call.text.find("ttyUSB1 ~32R_A50285BI-if00-port0") != std::string::npos;
    }
    EXPECT_TRUE(named);
    EXPECT_TRUE(listed);
    const SetupFileContents saved = ReadSetupFile(StartupSetupName);
    ASSERT_EQ(saved.outcome, SetupFileRead::Read);
    EXPECT_EQ(saved.adapters.link, adapter);
    EXPECT_EQ(saved.setup.LinkPort, 1);
}

// At start the setup's adapter is found under its kernel name of today; a
// missing one is named and the form opens, the port left unset rather than
// pointing at the adapter that stands at the saved place now.
TEST_F(Forms, StartupFindsTheSavedAdapterAndNamesAMissingOne) {
    const std::string adapter =
        ports.AddAdapter("by-id", "usb-FTDI_FT232R_A50285BI-if00-port0", "ttyUSB1");
    LinkSetup saved = DefaultSetupFor("KOVASW.STP");
    saved.LinkPort = 0;  // where the adapter was when it was saved
    ASSERT_EQ(SaveSetupFile(StartupSetupName, saved, {adapter, ""}), SaveResult::Saved);
    link = LoadStartupSetup(settings, StartupSetupName);
    ASSERT_NE(nullptr, link);
    EXPECT_EQ("ttyUSB1", PortOf(link.get()));
    link.reset();

    ports.RemoveAdapter("by-id", "usb-FTDI_FT232R_A50285BI-if00-port0");
    F10();
    Keys("\x1b");  // leave the form
    console.ClearCalls();
    EXPECT_EQ(nullptr, LoadStartupSetup(settings, StartupSetupName));
    EXPECT_EQ(-1, CurrentSetup.LinkPort);
    EXPECT_EQ(adapter, settings.adapters.link);
    bool named = false, form = false;
    for (const auto& call : console.calls) {
        named = named || call.text.find("Not connected: usb-FTDI_FT232R_A50285BI-if00-port0") !=
                             std::string::npos;
        form = form || call.text.find("CONFIGURE") != std::string::npos;
    }
    EXPECT_TRUE(named);
    EXPECT_TRUE(form);
}

}  // namespace
