// kova-config on files alone: print gives the program's print-out, diff
// names every differing field (exit status 3 when there are any), and bad input
// (a damaged list, file or setup file) is refused with a message that names
// the line or the file.
#include <cstring>
#include <ctime>

#include "config/config_listing.h"
#include "kova-config/kova_config_fixture.h"

namespace {

using FileCommandsTest = KovaConfigTest;

// The listing without its second line, which carries the time of printing.
std::string WithoutDateLine(const std::string& listing) {
    const size_t first = listing.find('\n');
    const size_t second = listing.find('\n', first + 1);
    if (second == std::string::npos) return listing;
    return listing.substr(0, first + 1) + listing.substr(second + 1);
}

TEST_F(FileCommandsTest, PrintGivesTheProgramsPrintOut) {
    const ConfigFileContents sample = SampleConfig();
    WriteKov("X.KOV", sample);
    const RunResult r = Run({"print", Path("X.KOV")});
    ASSERT_EQ(r.status, 0) << r.err;
    ModuleConfig config;
    config.Plus = sample.plus;
    std::memcpy(config.Ports, sample.ports, sizeof config.Ports);
    // A file does not say which model it is for: the PLUS lines are printed.
    const std::string expected = ConfigListing(config, sample.printProgBaud, 2, "");
    EXPECT_EQ(WithoutDateLine(r.out), WithoutDateLine(expected));
    EXPECT_EQ(r.err, "");
}

// Files come from installations whose file systems did not tell "PLANT.KOV"
// from "plant.kov": the tool finds them as the program does.
TEST_F(FileCommandsTest, AFileIsFoundWhateverTheCaseOfItsName) {
    ConfigFileContents a = SampleConfig(), b = SampleConfig();
    b.plus.RackBase = 41;
    WriteKov("north.kov", a);
    WriteKov("South.Kov", b);
    const RunResult r = Run({"diff", Path("NORTH.KOV"), Path("south.KOV")});
    EXPECT_EQ(r.status, 3) << r.err;
    EXPECT_EQ(r.out, "Rack base address: 40 -> 41\n");
}

TEST_F(FileCommandsTest, DiffNamesEveryDifferenceAndExitsThreeWhenTheyDiffer) {
    ConfigFileContents a = SampleConfig(), b = SampleConfig();
    WriteKov("A.KOV", a);
    WriteKov("SAME.KOV", a);
    b.plus.RackBase = 41;
    b.ports[2].Paths[1].EditingMode = 3;
    std::strcpy(b.ports[1].PollQueries[15], "?W");
    WriteKov("B.KOV", b);

    RunResult same = Run({"diff", Path("A.KOV"), Path("SAME.KOV")});
    EXPECT_EQ(same.status, 0) << same.err;
    EXPECT_EQ(same.out, "");

    RunResult differ = Run({"diff", Path("A.KOV"), Path("B.KOV")});
    EXPECT_EQ(differ.status, 3) << differ.err;
    EXPECT_EQ(differ.out,
              "Rack base address: 40 -> 41\n"
              "Port 2 Query 16: \"?V\" -> \"?W\"\n"
              "Port 3 Path 2 Editing Mode: ASCII -> FLOAT\n");

    RunResult missing = Run({"diff", Path("A.KOV"), Path("NONE.KOV")});
    EXPECT_EQ(missing.status, 2);
    EXPECT_NE(missing.err.find(Path("NONE.KOV")), std::string::npos) << missing.err;
}

TEST_F(FileCommandsTest, DamagedFilesAreNamedAndNothingIsSent) {
    WriteText("SHORT.KOV", std::string(2000, '\0'));
    WriteText("SHORT.STP", std::string(149, '\0'));
    WriteKov("GOOD.KOV", SampleConfig());
    // A module that would show any write: its rack base register is read
    // back at the end.
    Sim sim(Sim::Tcp);
    struct Case {
        const char* name;
        Args args;
        std::string message;
    } kCases[] = {
        {"short .KOV", Join(sim.Link(), {"send", Path("SHORT.KOV")}),
         Path("SHORT.KOV") + ": Can't read disk file."},
        {"missing .KOV", Join(sim.Link(), {"send", Path("NONE.KOV")}),
         "Can't open file \"" + Path("NONE.KOV") + "\" for read."},
        {"short setup file",
         {"--setup", Path("SHORT.STP"), "send", Path("GOOD.KOV")},
         Path("SHORT.STP") + ": Can't read setup file: 149 bytes"},
        {"missing setup file",
         {"--setup", Path("NONE.STP"), "send", Path("GOOD.KOV")},
         Path("NONE.STP") + ": Can't locate setup file."},
        {"no link", {"send", Path("GOOD.KOV")}, "no link given"},
        {"unknown option", Join(sim.Link(), {"--bauds", "9600", "send", Path("GOOD.KOV")}),
         "unknown option --bauds"},
    };
    for (const Case& c : kCases) {
        const RunResult r = Run(c.args);
        EXPECT_EQ(r.status, 2) << c.name << ": " << r.err;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << c.name << ": " << r.err;
    }
    const RunResult rack =
        RunProgram(Join(Join({BuildProgram("kova-link")}, sim.Link()), {"read", "7422", "1"}));
    EXPECT_EQ(rack.out, "0\n") << "something was sent";
}

// Each command's row says whether it needs the command line's link: the
// module commands always, the file commands only on the operand "module"
// (emulate only on its first), backup, history, check and import never.
TEST_F(FileCommandsTest, OnlyTheCommandsThatTalkToTheModuleAskForALink) {
    WriteKov("GOOD.KOV", SampleConfig());
    const std::string good = Path("GOOD.KOV");
    struct Case {
        Args args;
        bool needsLink;
    } const kCases[] = {
        {{"identify"}, true},
        {{"fetch", Path("NEW.KOV")}, true},
        {{"send", good}, true},
        {{"eeprom"}, true},
        {{"watch"}, true},
        {{"print", good}, false},
        {{"print", "module"}, true},
        {{"diff", good, good}, false},
        {{"diff", good, "module"}, true},
        {{"export", good}, false},
        {{"export", "module", Path("OUT.toml")}, true},
        {{"emulate", good, "1", Path("NONE.IN")}, false},
        {{"emulate", "module", "1"}, true},
        {{"emulate", good, "1", "module"}, false},  // an input file by that name
        {{"check", good}, false},
        {{"import", Path("NONE.toml"), Path("NEW.KOV")}, false},
        {{"history", Path(""), "north"}, false},
        {{"backup", Path("NONE.list"), Path("")}, false},
    };
    for (const Case& c : kCases) {
        const RunResult r = Run(c.args);
        const bool asked = r.err.find("no link given") != std::string::npos;
        EXPECT_EQ(asked, c.needsLink)
            << c.args[0] << " " << c.args[1 % c.args.size()] << ": " << r.err;
        if (c.needsLink) {
            EXPECT_EQ(r.status, 2) << c.args[0];
        }
    }
}

TEST_F(FileCommandsTest, ABadBackupListIsRefusedWholeNamingEachLine) {
    WriteText("plant.list",
              "# the north line\n"
              "\n"
              "north1 --type tcp --host 127.0.0.1 --tcp-port 1   # first\n"
              "north2 --type tcp --tcp-port 2\n"
              "north3 --type tcp --host 127.0.0.1 --bauds 9600\n"
              "north/4 --type tcp --host 127.0.0.1\n"
              "NORTH1 --type symax --port /dev/null\n"
              "north5 --type symax --port\n");
    const RunResult r = Run({"backup", Path("plant.list"), Path("out")});
    EXPECT_EQ(r.status, 2);
    const std::string list = Path("plant.list");
    EXPECT_EQ(r.err, "kova-config: " + list + ":4: no --host given\n" + "kova-config: " + list +
                         ":5: unknown option --bauds\n" + "kova-config: " + list +
                         ":6: \"north/4\" is not a module name" + " (letters, digits, - _ . )\n" +
                         "kova-config: " + list + ":7: the name NORTH1 is taken by line 3\n" +
                         "kova-config: " + list + ":8: --port needs a value (DEVICE)\n" +
                         "kova-config: nothing fetched\n");
    EXPECT_EQ(r.out, "");
    EXPECT_FALSE(Exists("out"));
}

}  // namespace
