// The CTS monitor on a Sy/Max link to the simulated module, drawn on the
// in-memory console: the state of each port from register 8187, "ERR" when
// the module stops answering, any key ending it.
#include "terminal/cts_monitor.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "common/sim_process.h"
#include "ui/busy_spinner.h"
#include "ui/console/keys.h"
#include "ui/text_flags.h"
#include "ui/toolkit_fixture.h"

namespace {

struct Shown {
    std::string text;
    uint8_t attribute;
};

class CtsMonitorTest : public ToolkitTest {
  protected:
    void SetUp() override {
        ToolkitTest::SetUp();
        // F1 takes a picture of the port rows while the monitor runs.
        AddHotKey(key::F1, [this](int, int) {
            snapshot.clear();
            for (int row = 10; row <= 13; ++row)
                snapshot.push_back(
                    {ImageRow(row - 1).substr(38, 15), ScreenAttr(row - 1, kStateCol - 1)});
            return 0;
        });
    }
    void TearDown() override {
        link.reset();
        ToolkitTest::TearDown();
    }
    // kova-sim on a new pty; the link opens the pty's other side.
    static std::vector<std::string> Sim(const char* cts) {
        return {"--protocol", "symax", "--cts", cts};
    }
    void Open(const SimProcess& sim) {
        link = OpenSyMaxLink(sim.SlavePath().c_str(), 0, LinkRoute{1, {1}});
        ASSERT_NE(nullptr, link);
        // Half a second: a module that stopped answering is noticed soon.
        ASSERT_NE(0, SetSerialParameters(link.get(), 9600, 1, 1, 50, 8));
    }
    // Runs the monitor until a picture has been taken and a key pressed.
    void RunMonitor(int ports) {
        console.TypeExtended(key::scan::F1);
        console.Type("x");
        CtsMonitor(link.get(), ports);
        EXPECT_EQ(0, ReadKey(0)) << "the key that ended the monitor was consumed";
        ASSERT_EQ(4u, snapshot.size());
    }

    static constexpr int kStateCol = 50;
    LinkHandle link;
    std::vector<Shown> snapshot;
};

TEST_F(CtsMonitorTest, ShowsEachPortFromTheCtsRegister) {
    SimProcess sim(Sim("5"));
    Open(sim);
    RunMonitor(4);
    const Shown expected[] = {
        {"Port 1 CTS ON  ", tf::Highlight},
        {"Port 2 CTS OFF ", tf::Normal},
        {"Port 3 CTS ON  ", tf::Highlight},
        {"Port 4 CTS OFF ", tf::Normal},
    };
    for (int p = 0; p < 4; ++p) {
        EXPECT_EQ(expected[p].text, snapshot[p].text) << "port " << p + 1;
        EXPECT_EQ(expected[p].attribute, snapshot[p].attribute) << "port " << p + 1;
    }
    // The window is gone and what it covered is back.
    EXPECT_EQ(std::string(80, ' '), ImageRow(9));
}

TEST_F(CtsMonitorTest, TwoPortsShowTwoRows) {
    SimProcess sim(Sim("15"));
    Open(sim);
    RunMonitor(2);
    EXPECT_EQ("Port 2 CTS ON  ", snapshot[1].text);
    EXPECT_EQ(std::string(15, ' '), snapshot[2].text);
    EXPECT_EQ(std::string(15, ' '), snapshot[3].text);
}

TEST_F(CtsMonitorTest, AModuleThatStopsAnsweringShowsErrOnEveryPort) {
    std::optional<SimProcess> sim;
    sim.emplace(Sim("5"));
    Open(*sim);
    sim.reset();
    RunMonitor(4);
    for (int p = 0; p < 4; ++p) {
        EXPECT_EQ("Port " + std::to_string(p + 1) + " CTS ERR ", snapshot[size_t(p)].text);
        EXPECT_EQ(tf::Alert, snapshot[size_t(p)].attribute);
    }
}

}  // namespace
