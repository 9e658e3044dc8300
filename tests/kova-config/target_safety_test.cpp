// Where fetch and backup write: never through a symbolic link planted at the
// target (a backup run as root in a folder others can write to would replace
// any file of the system), and a destination that cannot take the file is
// refused before the link is opened.
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "common/file_contents.h"
#include "kova-config/kova_config_fixture.h"

namespace {

using TargetSafetyTest = KovaConfigTest;

std::string ListLine(const std::string& name, const Sim& sim) {
    std::string line = name;
    for (const std::string& word : sim.Link()) line += " " + word;
    return line + "\n";
}

TEST_F(TargetSafetyTest, FetchNeverWritesThroughALink) {
    Sim sim(Sim::Tcp);
    std::filesystem::create_directory(Path("out"));
    WriteText("victim.txt", "victim");
    ASSERT_EQ(symlink("../victim.txt", Path("out/T.KOV").c_str()), 0);
    ASSERT_EQ(symlink("../planted.txt", Path("out/D.KOV").c_str()), 0);
    struct Case {
        const char* what;
        Args options;
        const char* target;
    } kCases[] = {
        {"a link to a file", {}, "out/T.KOV"},
        {"a link to a file, --force", {"--force"}, "out/T.KOV"},
        {"a dangling link, --force", {"--force"}, "out/D.KOV"},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.what);
        const RunResult r = RunOn(sim, Join(c.options, {"fetch", Path(c.target)}));
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.err, "kova-config: " + Path(c.target) + " is a symbolic link\n");
    }
    EXPECT_EQ(ReadFile(Path("victim.txt")), "victim");
    EXPECT_EQ(Entries(), (std::vector<std::string>{"out", "victim.txt"}));
    EXPECT_EQ(Entries("out"), (std::vector<std::string>{"D.KOV", "T.KOV"}));
}

TEST_F(TargetSafetyTest, BackupFailsTheLinkedModuleAndSavesTheOthers) {
    Sim north(Sim::Tcp), south(Sim::Tcp);
    WriteText("plant.list", ListLine("north", north) + ListLine("south", south));
    std::filesystem::create_directory(Path("out"));
    WriteText("victim.txt", "victim");
    ASSERT_EQ(symlink("../victim.txt", Path("out/north.KOV").c_str()), 0);
    for (const Args& mode : {Args{"--force"}, Args{"--history"}}) {
        SCOPED_TRACE(mode[0]);
        const RunResult r = Run(Join(mode, {"-q", "backup", Path("plant.list"), Path("out")}));
        EXPECT_EQ(r.status, 1) << r.out;
        EXPECT_NE(r.err.find("north: " + Path("out/north.KOV") + " is a symbolic link"),
                  std::string::npos)
            << r.err;
        EXPECT_NE(r.out.find("1 of 2 modules saved"), std::string::npos) << r.out;
        EXPECT_EQ(ReadFile(Path("victim.txt")), "victim");
        ReadKov("out/south.KOV");
        EXPECT_TRUE(std::filesystem::is_symlink(Path("out/north.KOV")));
    }
}

// The destination is looked at first: the link named here leads nowhere, so
// any word of it on standard error would mean it had been opened.
TEST_F(TargetSafetyTest, FetchRefusesADestinationThatCannotTakeTheFileBeforeTheLink) {
    Sim sim(Sim::Tcp);
    sim.Stop();
    WriteText("plain.txt", "a file, not a folder");
    std::filesystem::create_directory(Path("sub"));
    WriteText("OLD.KOV", "the last good backup");
    struct Case {
        const char* target;
        Args options;
        std::string err;
    } kCases[] = {
        {"none/X.KOV",
         {},
         "cannot write into the folder " + Path("none") + " (No such file or directory)"},
        {"plain.txt/X.KOV",
         {"--force"},
         "cannot write into the folder " + Path("plain.txt") + " (Not a directory)"},
        {"sub", {"--force"}, Path("sub") + " is a folder"},
        {"OLD.KOV", {}, Path("OLD.KOV") + " exists; --force replaces it"},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.target);
        const RunResult r = RunOn(sim, Join(c.options, {"fetch", Path(c.target)}));
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.err, "kova-config: " + c.err + "\n");
    }
    EXPECT_EQ(Entries(), (std::vector<std::string>{"OLD.KOV", "plain.txt", "sub"}));
    EXPECT_EQ(ReadFile(Path("OLD.KOV")), "the last good backup");
}

// Root may write anywhere, so the folder's own write permission is tried as
// an unprivileged user when the test runs as root.
TEST_F(TargetSafetyTest, FetchRefusesAFolderItMayNotWriteTo) {
    Sim sim(Sim::Tcp);
    sim.Stop();
    std::filesystem::create_directory(Path("ro"));
    ASSERT_EQ(chmod(Path("ro").c_str(), 0555), 0);
    ASSERT_EQ(chmod(dir_.c_str(), 0755), 0);
    Args argv = Join(Join({BuildProgram("kova-config")}, sim.Link()), {"fetch", Path("ro/X.KOV")});
    if (geteuid() == 0)
        argv = Join({"/usr/bin/setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"}, argv);
    const RunResult r = RunProgram(argv);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err,
              "kova-config: cannot write into the folder " + Path("ro") + " (Permission denied)\n");
}

}  // namespace
