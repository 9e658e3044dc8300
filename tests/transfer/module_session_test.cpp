// One session for a module's whole contact: what one transfer learnt about
// the module is there for the next, whoever runs it, and each transfer's
// reports go to the reporter it attached, not to the one before.
#include "transfer/module_session.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <sstream>
#include <string>

#include "config/disk_file.h"
#include "module_sim.h"
#include "setup/link_setup.h"
#include "transfer/module_writes.h"
#include "transfer/register_map.h"

namespace {

// How many requests of the sim's log read or wrote reg.
int RequestsOf(const std::string& log, int reg) {
    auto text = ReadFilePrefix(log, 1 << 20);
    EXPECT_TRUE(text);
    if (!text) return -1;
    std::istringstream lines(std::string(text->begin(), text->end()));
    std::string kind;
    int first = 0, count = 0, found = 0;
    while (lines >> kind >> first >> count)
        if (reg >= first && reg < first + count) ++found;
    return found;
}

// The editor learns the model while it fetches a port; the session it was
// given keeps it, so the next editing's path fetch reads the PLUS register
// without the PLUS test, and the reports of each went to its own reporter.
TEST(ModuleSessionTest, TheEditorsModelStaysInTheSessionForTheNextTransfer) {
    char dir[] = "/tmp/kova-session-XXXXXX";
    ASSERT_TRUE(mkdtemp(dir));
    const std::string log = std::string(dir) + "/requests";
    const int trigger = TriggerInhibitRegister(2);
    {
        // A PLUS module by its test register (port 1's terminate count), so
        // that the test is one read; the editing is on port 2.
        ModuleSim sim(SimWire::ModbusTcp,
                      {"--log", log, "--set", "7423=5", "--set", std::to_string(trigger) + "=33"});
        LinkSetup setup = DefaultSetupFor("KOVASW.STP");
        RecordingReporter before, editing;
        ModuleSession session{sim.link(), before};
        {
            SessionReports reports(session, editing);
            ModuleWrites writes(session, setup);
            ConfigDocuments documents{};
            ASSERT_TRUE(writes.FetchForEditor(1, documents));
        }
        EXPECT_EQ(session.model, kModelPlus);
        EXPECT_EQ(editing.Texts("model"), std::vector<std::string>{"1"});
        EXPECT_EQ(before.events, std::vector<std::string>{});
        EXPECT_EQ(&session.Reports(), &before);

        ModuleWrites writes(session, setup);
        ModuleConfig into{};
        ASSERT_TRUE(writes.FetchPaths(1, into));
        EXPECT_EQ(into.Plus.TriggerInhibit[1], 33);
        EXPECT_EQ(before.Texts("model"), std::vector<std::string>{});
    }
    EXPECT_EQ(RequestsOf(log, kPlusTestRegister), 1);
    EXPECT_EQ(RequestsOf(log, trigger), 2);  // with the port, then with the paths
    unlink(log.c_str());
    rmdir(dir);
}

}  // namespace
