// The menu entries that reach the module, dispatched as the main menu does:
// the identification first, then the copies between the offline memory and
// the working configuration that each entry's rule asks for.
#include <gtest/gtest.h>

#include <cstring>

#include "app/current_link.h"
#include "app/online_actions.h"
#include "app/shell.h"
#include "common/sim_process.h"
#include "editors/editor_screen_fixture.h"
#include "editors/port_editor.h"
#include "setup/link_setup.h"
#include "transfer/register_map.h"

namespace {

// The simulated module on a loopback Modbus TCP port, and a link to it.
class TcpModule {
  public:
    TcpModule()
        : process_({"--tcp", "127.0.0.1:0"}),
          owner_(OpenModbusTcpLink("127.0.0.1", process_.TcpPort(), 1)),
          link_(owner_.get()) {}
    Link* link() const { return link_; }
    // The shell takes the link over; the test goes on using it.
    LinkHandle TakeLink() { return std::move(owner_); }

  private:
    SimProcess process_;
    LinkHandle owner_;
    Link* link_;
};

struct OnlineMenu : EditorScreen {
    std::unique_ptr<TcpModule> sim;
    ShellState state;
    void SetUp() override {
        EditorScreen::SetUp();
        sim = std::make_unique<TcpModule>();
        ASSERT_NE(nullptr, sim->link());
        SetCurrentLink(state, sim->TakeLink());
        FillDefaults(state.documents.OfflineMemory);
        state.documents.OfflineDirty = false;
        state.documents.PrintProgBaud = 3;
        state.settings.CurrentSetup.LinkBaud = 13;
        state.editorPort = 0;
        state.module.model = 2;
        const uint16_t baud = 7;  // module port 2's baud rate
        ASSERT_TRUE(RegisterWrite(sim->link(), PortBase(2), 1, &baud));
    }
    void TearDown() override {
        SetCurrentLink(state, nullptr);  // the simulator's fixture closes it
        EditorScreen::TearDown();
    }
    uint16_t Register(int reg) {
        uint16_t value = 0xDEAD;
        EXPECT_TRUE(RegisterRead(sim->link(), reg, 1, &value));
        return value;
    }
    // Typed ahead, as the command line does: the spinner of the reply waits
    // reads only the keyboard, where an Esc would end the wait.
    void TypeAhead(const std::string& keys) { StuffKeys(keys); }
    bool OfflineIs(const ModuleConfig& config) {
        return std::memcmp(&state.documents.OfflineMemory, &config, sizeof config) == 0;
    }
};

TEST_F(OnlineMenu, FetchMarksTheOfflineMemoryEvenWhenAbandoned) {
    const ModuleConfig before = state.documents.OfflineMemory;
    TypeAhead(keys::Esc);
    DispatchChoice(state, 206);
    EXPECT_EQ(0, ReadKey(0));  // every key was read
    EXPECT_TRUE(state.documents.OfflineDirty);
    EXPECT_TRUE(OfflineIs(before));

    state.documents.OfflineDirty = false;
    TypeAhead("2\r1\r");
    DispatchChoice(state, 206);
    EXPECT_EQ(0, ReadKey(0));
    EXPECT_TRUE(state.documents.OfflineDirty);
    EXPECT_EQ(7, state.documents.OfflineMemory.Ports[0].BaudRate);
}

// Over unsaved work the fetch asks first: No fetches nothing, Yes fetches.
TEST_F(OnlineMenu, FetchOverUnsavedWorkAsksFirst) {
    state.documents.OfflineMemory.Ports[0].BaudRate = 11;
    state.documents.OfflineDirty = true;
    TypeAhead("n");
    DispatchChoice(state, 206);
    EXPECT_EQ(0, ReadKey(0));
    EXPECT_EQ(11, state.documents.OfflineMemory.Ports[0].BaudRate);
    EXPECT_EQ(2, state.module.model);  // the module was not asked
    TypeAhead("y2\r1\r");
    DispatchChoice(state, 206);
    EXPECT_EQ(0, ReadKey(0));
    EXPECT_EQ(7, state.documents.OfflineMemory.Ports[0].BaudRate);
    EXPECT_TRUE(state.documents.OfflineDirty);
}

TEST_F(OnlineMenu, SendAndOnlineEditLeaveTheOfflineMemoryAlone) {
    state.documents.OfflineMemory.Ports[0].DataBits = 5;  // repaired in the working copy only
    state.documents.OfflineMemory.Ports[0].BaudRate = 11;
    const ModuleConfig before = state.documents.OfflineMemory;
    TypeAhead("1\r\r");
    DispatchChoice(state, 205);
    EXPECT_EQ(11, Register(PortBase(1)));
    TypeAhead("2" + keys::Enter + keys::Esc);  // Enter settles the baud rate: written
    DispatchChoice(state, 100);
    EXPECT_EQ(0, ReadKey(0));
    EXPECT_EQ(12, Register(PortBase(1)));
    EXPECT_TRUE(OfflineIs(before));
    EXPECT_FALSE(state.documents.OfflineDirty);
}

TEST_F(OnlineMenu, ARefusedIdentificationRunsNothing) {
    // The name block with another device's name.
    const uint16_t name[2] = {'S' << 8 | 'C', 'A' << 8 | 'L'};
    ASSERT_TRUE(RegisterWrite(sim->link(), kDeviceNameRegister, 2, name));
    TypeAhead(keys::Esc + "2\r1\r");
    DispatchChoice(state, 206);
    EXPECT_FALSE(state.documents.OfflineDirty);
    EXPECT_EQ('2', ReadKey(0));  // the fetch dialog never asked
    while (ReadKey(0)) {
    }
    EXPECT_EQ(2, state.module.model);
}

}  // namespace
