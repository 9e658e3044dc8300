// backup: several simulated modules fetched at once into a folder; a module
// that cannot be reached fails alone, with its text in the summary.
#include <filesystem>
#include <fstream>
#include <sstream>

#include "common/device_root_dir.h"
#include "kova-config/kova_config_fixture.h"
#include "setup/link_setup.h"

namespace {

using BackupTest = KovaConfigTest;

std::string ListLine(const std::string& name, const Sim& sim) {
    std::string line = name;
    for (const std::string& word : sim.Link()) line += " " + word;
    return line + "\n";
}

TEST_F(BackupTest, OneStoppedModuleFailsAloneAndTheOthersAreSaved) {
    ConfigFileContents north = SampleConfig(), south = SampleConfig();
    south.plus.RackBase = 200;
    WriteKov("NORTH.KOV", north);
    WriteKov("SOUTH.KOV", south);
    Sim a(Sim::Tcp, {"--config", Path("NORTH.KOV")});
    Sim b(Sim::Tcp, {"--model", "standard"});
    Sim c(Sim::Tcp, {"--config", Path("SOUTH.KOV")});
    WriteText("plant.list", "# three modules\n" + ListLine("north", a) + ListLine("east", b) +
                                "\n" + ListLine("south", c));
    b.Stop();

    const RunResult r = Run({"--jobs", "3", "backup", Path("plant.list"), Path("out")});
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_EQ(Entries("out"), (std::vector<std::string>{"north.KOV", "south.KOV"}));
    ExpectSameTransferredFields(north, ReadKov("out/north.KOV"), true);
    ExpectSameTransferredFields(south, ReadKov("out/south.KOV"), true);

    // The failure's text on standard error under the module's name, and in
    // the summary's row for it.
    const std::string refused = "Unable to establish link. Connect: Connection refused";
    EXPECT_NE(r.err.find("east: " + refused), std::string::npos) << r.err;
    std::istringstream rows(r.out);
    std::string header, row;
    std::getline(rows, header);
    EXPECT_EQ(header.find("NAME"), 0u) << r.out;
    for (const char* word : {"MODULE", "MODEL", "RESULT", "SECONDS"})
        EXPECT_NE(header.find(word), std::string::npos) << r.out;
    std::vector<std::string> lines;
    while (std::getline(rows, row)) lines.push_back(row);
    ASSERT_EQ(lines.size(), 4u) << r.out;
    EXPECT_EQ(lines[0].rfind("north ", 0), 0u) << lines[0];
    EXPECT_NE(lines[0].find("KOVA Port 1  PLUS"), std::string::npos) << lines[0];
    EXPECT_NE(lines[0].find("saved " + Path("out/north.KOV")), std::string::npos) << lines[0];
    EXPECT_EQ(lines[1].rfind("east ", 0), 0u) << lines[1];
    EXPECT_NE(lines[1].find(refused), std::string::npos) << lines[1];
    EXPECT_EQ(lines[2].rfind("south ", 0), 0u) << lines[2];
    EXPECT_EQ(lines[3], "2 of 3 modules saved, 1 failed");
}

TEST_F(BackupTest, AnExistingBackupIsKeptWithoutForce) {
    Sim sim(Sim::Tcp);
    WriteText("plant.list", ListLine("north", sim));
    const RunResult first = Run({"-q", "backup", Path("plant.list"), Path("out")});
    ASSERT_EQ(first.status, 0) << first.err;
    WriteText("out/north.KOV", "the last good backup");

    const RunResult again = Run({"-q", "backup", Path("plant.list"), Path("out")});
    EXPECT_EQ(again.status, 1);
    EXPECT_NE(again.err.find("north: " + Path("out/north.KOV") + " exists; --force replaces it"),
              std::string::npos)
        << again.err;
    std::ifstream in(Path("out/north.KOV"));
    std::string text;
    std::getline(in, text);
    EXPECT_EQ(text, "the last good backup");

    const RunResult forced = Run({"-q", "--force", "backup", Path("plant.list"), Path("out")});
    EXPECT_EQ(forced.status, 0) << forced.err;
    ReadKov("out/north.KOV");
    EXPECT_EQ(Entries("out"), (std::vector<std::string>{"north.KOV"}));
}

TEST_F(BackupTest, ModulesOnOneSerialPortTakeTurns) {
    // A multi-drop line: both entries reach the module over the same pty,
    // which one link at a time may hold.
    SimProcess sim({"--protocol", "rtu", "--drop", "3"});
    const std::string& pty = sim.SlavePath();
    WriteText("line.list", "first --type rtu --drop 3 --port " + pty +
                               "\nsecond --type rtu --drop 3 --port " + pty + "\n");
    const RunResult r = Run({"--jobs", "2", "backup", Path("line.list"), Path("out")});
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_EQ(Entries("out"), (std::vector<std::string>{"first.KOV", "second.KOV"}));
}

// Setup files name serial ports by their place in the port list: links opened
// side by side each look theirs up in a list read for that opening.
TEST_F(BackupTest, SetupFilesOnTwoSerialPortsAreFetchedSideBySide) {
    Sim first(Sim::RtuPty), second(Sim::RtuPty);
    DeviceRootDir root;
    root.AddPort("ttyS0", first.Link().back());
    root.AddPort("ttyS1", second.Link().back());
    WriteText("FIRST.STP", SetupFile(LinkTypeModbusRtu, "", 0));
    WriteText("SECOND.STP", SetupFile(LinkTypeModbusRtu, "", 1));
    WriteText("line.list", "first --setup " + Path("FIRST.STP") + "\nsecond --setup " +
                               Path("SECOND.STP") + "\n");
    const RunResult r = Run({"--device-root", root.Path(), "--jobs", "2", "-q", "backup",
                             Path("line.list"), Path("out")});
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_EQ(Entries("out"), (std::vector<std::string>{"first.KOV", "second.KOV"}));
}

// A list names its setup files as they lie beside it: a service runs in /,
// and a list moved with its setup files must still find them.
TEST_F(BackupTest, ARelativeSetupFileIsTakenFromTheListsFolder) {
    Sim sim(Sim::Tcp);
    std::filesystem::create_directories(Path("plant"));
    WriteText("plant/kiln.stp", SetupFile(LinkTypeModbusTcp, sim.Link().back()));
    WriteText("plant/plant.list", "kiln --setup kiln.stp\n");
    const RunResult r = Run({"-q", "backup", Path("plant/plant.list"), Path("out")});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Entries("out"), (std::vector<std::string>{"kiln.KOV"}));
}

}  // namespace
