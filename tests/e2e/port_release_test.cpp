// The program gives its serial port back however it ends: after a signal
// the port, whose other side stays open as socat's or ser2net's would,
// opens for the next program of an ordinary user, with no TIOCEXCL left on
// it and no lock file.
#include <gtest/gtest.h>
#include <signal.h>

#include <filesystem>

#include "common/port_access.h"
#include "e2e/tmux_session.h"
#include "link/uucp_lock.h"

namespace {

class PortGivenBack : public testing::TestWithParam<int> {};

TEST_P(PortGivenBack, WhenTheProgramEndsBySignal) {
    TmuxSession t;
    t.Start();
    ASSERT_TRUE(t.WaitFor("Use F10"));
    const std::string port = t.DeviceRoot() + "/dev/ttyS0";
    std::string why;
    ASSERT_FALSE(OpensForAnUnprivilegedUser(port, &why)) << "the program does not hold " << port;
    ASSERT_EQ(kill(t.ProgramPid(), GetParam()), 0);
    ASSERT_TRUE(t.WaitForExit());
    EXPECT_EQ(t.ExitStatus(), 128 + GetParam());
    EXPECT_FALSE(std::filesystem::exists(UucpLockPath(port)));
    EXPECT_TRUE(OpensForAnUnprivilegedUser(port, &why)) << why;
}

TEST(PortGivenBack, WhenTheProgramQuits) {
    TmuxSession t;
    t.Start();
    ASSERT_TRUE(t.WaitFor("Use F10"));
    t.Type("Q");
    ASSERT_TRUE(t.WaitForExit());
    std::string why;
    EXPECT_TRUE(OpensForAnUnprivilegedUser(t.DeviceRoot() + "/dev/ttyS0", &why)) << why;
}

INSTANTIATE_TEST_SUITE_P(Signals, PortGivenBack, testing::Values(SIGTERM, SIGHUP, SIGINT));

}  // namespace
