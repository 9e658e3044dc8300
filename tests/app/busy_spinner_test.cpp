// The busy spinner installed on connected links: Esc ends a real wait on a
// link whose far end never answers.
#include "ui/busy_spinner.h"

#include <gtest/gtest.h>

#include "forms/connect_link.h"
#include "forms/fresh_link.h"
#include "forms/pty_ports.h"
#include "link/link_state.h"
#include "setup/link_setup.h"
#include "setup/setup_in_force.h"
#include "ui/console/keys.h"
#include "ui/screen_hooks.h"
#include "ui/toolkit_fixture.h"

namespace {

class Spinner : public ToolkitTest {
  protected:
    SetupInForce settings;  // the settings in force, as the shell holds them
    LinkSetup& CurrentSetup = settings.CurrentSetup;
    std::string& StartupSetupName = settings.StartupSetupName;
};

// A Modbus RTU link on a pty whose far end never answers: Esc ends the wait.
TEST_F(Spinner, EscAbortsAReplyWaitOnASyMaxLink) {
    PtyPorts ports;
    ports.Add("ttyUSB0");
    ports.Use(settings);
    CurrentSetup = DefaultSetupFor("KOVASW.STP");
    SetScreenHooks({.connectIdle = BusySpinner});
    LinkHandle link = ConnectFresh(settings);
    ASSERT_NE(nullptr, link);
    console.Type("\x1b");
    uint16_t value = 0;
    EXPECT_EQ(0, RegisterRead(link.get(), 1, 1, &value));
    EXPECT_STREQ("Application idle abort", LinkErrorText(link.get()));
    link.reset();
    SetScreenHooks({});
}

// A screen that polls the link puts its own spinner there and learns from it
// why the wait ended.
TEST_F(Spinner, EscAbortsAReplyWaitOnAConnectedLink) {
    PtyPorts ports;
    ports.Add("ttyUSB0");
    ports.Use(settings);
    CurrentSetup = DefaultSetupFor("HOLV.STP");  // Modbus RTU, drop 255
    SetScreenHooks({.connectIdle = BusySpinner});
    LinkHandle link = ConnectFresh(settings);
    ASSERT_NE(nullptr, link);
    EXPECT_EQ(&BusySpinner, link->idleCallback);
    ::Spinner watched;
    SetLinkIdleCallback(link.get(), BusySpinner, &watched);
    console.Type("\x1b");
    uint16_t value = 0;
    EXPECT_EQ(0, RegisterRead(link.get(), 1, 1, &value));
    EXPECT_STREQ("Application idle abort", LinkErrorText(link.get()));
    EXPECT_EQ(WaitInterrupt::Screen, watched.Interrupt());
    EXPECT_EQ(key::Esc, ReadKey(0));
    link.reset();
    SetScreenHooks({});
}

}  // namespace
