// Every command of kova-config ends with the same statuses for the same
// kinds of outcome: 0 done, 1 the link or the module failed, 2 a bad command
// line or bad input (a damaged file, a destination that exists without
// --force or cannot be written), 3 changes found. One table: each command
// done, against a link nobody answers, and with bad input.
#include <cstddef>

#include "common/file_contents.h"
#include "kova-config/kova_config_fixture.h"
#include "setup/link_setup.h"
#include "transfer/register_map.h"

namespace {

using ExitStatusTest = KovaConfigTest;

std::string ListLine(const std::string& name, const Args& link) {
    std::string line = name;
    for (const std::string& word : link) line += " " + word;
    return line + "\n";
}

TEST_F(ExitStatusTest, EveryCommandEndsWithTheStatusOfItsOutcome) {
    Sim sim(Sim::Tcp);
    Sim noEeprom(Sim::Tcp, {"--no-eeprom"});
    Sim odd(Sim::Tcp, {"--eeprom-status", "1"});
    Sim gone(Sim::Tcp);
    const Args live = sim.Link(), dead = gone.Link();
    gone.Stop();

    // A module that holds a configuration which passes every check.
    WriteKov("SAMPLE.KOV", SampleConfig());
    ASSERT_EQ(Run(Join(live, {"-q", "send", Path("SAMPLE.KOV")})).status, 0);
    ASSERT_EQ(Run(Join(live, {"-q", "fetch", Path("MODULE.KOV")})).status, 0);
    ConfigFileContents other = SampleConfig();
    other.plus.RackBase = 41;
    WriteKov("OTHER.KOV", other);
    WriteText("DAMAGED.KOV", std::string(100, '\x07'));
    WriteText("good.list", ListLine("m1", live));
    WriteText("dead.list", ListLine("m1", live) + ListLine("m2", dead));
    WriteText("bad.list", "m1 --type nonsense\n");
    ASSERT_EQ(Run({"--history", "backup", Path("good.list"), Path("kept")}).status, 0);
    const Args backupKept = {"-q", "--history", "backup", Path("good.list"), Path("kept")};

    struct Case {
        const char* what;
        Args args;
        int status;
    } const cases[] = {
        // done
        {"identify", Join(live, {"identify"}), 0},
        {"fetch", Join(live, {"fetch", Path("NEW.KOV")}), 0},
        {"print a file", {"print", Path("MODULE.KOV")}, 0},
        {"print the module", Join(live, {"print", "module"}), 0},
        {"diff, equal", Join(live, {"diff", Path("MODULE.KOV"), "module"}), 0},
        {"send", Join(live, {"send", Path("MODULE.KOV")}), 0},
        {"eeprom", Join(live, {"eeprom"}), 0},
        {"backup", {"-q", "backup", Path("good.list"), Path("plain")}, 0},
        {"backup --history, unchanged", backupKept, 0},
        {"history", {"history", Path("kept"), "m1"}, 0},
        // the link or the module failed
        {"identify, no answer", Join(dead, {"identify"}), 1},
        {"fetch, no answer", Join(dead, {"fetch", Path("NONE.KOV")}), 1},
        {"print the module, no answer", Join(dead, {"print", "module"}), 1},
        {"diff with the module, no answer", Join(dead, {"diff", Path("MODULE.KOV"), "module"}), 1},
        {"send, no answer", Join(dead, {"send", Path("MODULE.KOV")}), 1},
        {"eeprom, none in the module", Join(noEeprom.Link(), {"eeprom"}), 1},
        {"eeprom, an unexpected result", Join(odd.Link(), {"eeprom"}), 1},
        {"backup, one module does not answer", {"-q", "backup", Path("dead.list"), Path("d")}, 1},
        // bad command line or input
        {"no command", {}, 2},
        {"an unknown command", {"fly"}, 2},
        {"an unknown option", {"--fly", "print", Path("MODULE.KOV")}, 2},
        {"an operand missing", {"print"}, 2},
        {"print a damaged file", {"print", Path("DAMAGED.KOV")}, 2},
        {"print a missing file", {"print", Path("NONE.KOV")}, 2},
        {"diff a damaged file", {"diff", Path("MODULE.KOV"), Path("DAMAGED.KOV")}, 2},
        {"send a damaged file", Join(live, {"send", Path("DAMAGED.KOV")}), 2},
        {"fetch over a file without --force", Join(live, {"fetch", Path("MODULE.KOV")}), 2},
        {"fetch into a missing folder", Join(live, {"fetch", Path("none/X.KOV")}), 2},
        {"backup of a bad list", {"-q", "backup", Path("bad.list"), Path("b")}, 2},
        {"history of no backup", {"history", Path("kept"), "m9"}, 2},
        // changes found
        {"diff, different", {"diff", Path("MODULE.KOV"), Path("OTHER.KOV")}, 3},
    };
    for (const Case& c : cases) {
        const RunResult r = Run(c.args);
        EXPECT_EQ(r.status, c.status) << c.what << "\n" << r.out << r.err;
    }
}

// The one change that backup --history finds is status 3, the next run 0.
TEST_F(ExitStatusTest, BackupWithHistoryIsThreeWhenAFileChanged) {
    Sim sim(Sim::Tcp);
    WriteText("plant.list", ListLine("m1", sim.Link()));
    const Args backup = {"-q", "--history", "backup", Path("plant.list"), Path("out")};
    EXPECT_EQ(Run(backup).status, 0);
    const RunResult written = RunProgram(Join(Join({BuildProgram("kova-link")}, sim.Link()),
                                              {"write", std::to_string(kRackBaseRegister), "40"}));
    ASSERT_EQ(written.status, 0) << written.err;
    EXPECT_EQ(Run(backup).status, 3);
    EXPECT_EQ(Run(backup).status, 0);
}

// Bad input found on the command line costs no link traffic: the module's
// request log stays empty.
TEST_F(ExitStatusTest, BadOperandsAndDropsAreRefusedBeforeTheLinkOpens) {
    const std::string log = Path("requests.log");
    Sim sim(Sim::Tcp, {"--log", log});
    const Args link = sim.Link();
    const std::string port = link.back();
    std::string setup = SetupFile(LinkTypeModbusTcp, port);
    setup[offsetof(LinkSetup, Route)] = 0;  // the first drop of the route: the unit
    setup[offsetof(LinkSetup, Route) + 1] = 0;
    WriteText("DROP0.STP", setup);
    struct Case {
        const char* what;
        Args args;
        std::string err;
    } const cases[] = {
        {"fetch of an empty name", Join(link, {"fetch", ""}),
         "kova-config: no file name given (\"\")\n"},
        {"drop 0", Join(link, {"--drop", "0", "identify"}),
         "kova-config: the Modbus drop (slave address) must be 1-247, not 0 (0 is broadcast, "
         "which no slave answers)\n"},
        {"drop 248", Join(link, {"--drop", "248", "fetch", Path("X.KOV")}),
         "kova-config: the Modbus drop (slave address) must be 1-247, not 248 (reserved)\n"},
        {"a setup file's drop 0",
         {"--setup", Path("DROP0.STP"), "identify"},
         "kova-config: " + Path("DROP0.STP") +
             ": the Modbus drop (slave address) must be 1-247, not 0 (0 is broadcast, which no "
             "slave answers)\n"},
    };
    for (const Case& c : cases) {
        const RunResult r = Run(c.args);
        EXPECT_EQ(r.status, 2) << c.what;
        EXPECT_EQ(r.err, c.err) << c.what;
    }
    sim.Stop();
    EXPECT_EQ(ReadFile(log), "");
}

}  // namespace
