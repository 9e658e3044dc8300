// backup --history records a change whole or not at all: the old file kept
// in DIR/history/NAME, its diff, and the new DIR/NAME.KOV, whatever stops the
// run part-way (a full disk, SIGTERM between any two of the steps), and one
// change is recorded once however many runs find it. The module is kova-sim
// over Modbus TCP; a change is made in it with kova-link.
#include <fcntl.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "common/file_contents.h"
#include "common/wait_until.h"
#include "kova-config/kova_config_fixture.h"
#include "transfer/register_map.h"

namespace {

using HistorySafetyTest = KovaConfigTest;

std::string ListLine(const std::string& name, const Sim& sim) {
    std::string line = name;
    for (const std::string& word : sim.Link()) line += " " + word;
    return line + "\n";
}

// Port 1's terminate timeout, a PLUS value: one field of the configuration.
void ChangeModule(const Sim& sim, int value) {
    const RunResult r = RunProgram(
        Join(Join({BuildProgram("kova-link")}, sim.Link()),
             {"write", std::to_string(TerminateTimeoutRegister(1)), std::to_string(value)}));
    ASSERT_EQ(r.status, 0) << r.err;
}

// What a history folder holds: kept files and diffs by their endings, and
// anything else (a temporary file left behind).
struct Kept {
    int kov = 0, diff = 0, other = 0;
};
Kept KeptIn(const std::vector<std::string>& entries) {
    Kept k;
    for (const std::string& e : entries) {
        const auto ends = [&e](const std::string& tail) {
            return e.size() > tail.size() &&
                   e.compare(e.size() - tail.size(), tail.size(), tail) == 0;
        };
        (ends(".KOV") ? k.kov : ends(".diff") ? k.diff : k.other)++;
    }
    return k;
}

// The rows of `kova-config history` after its title.
int HistoryRows(const RunResult& r) {
    int lines = 0;
    for (char c : r.out) lines += c == '\n';
    return lines - 1;
}

// A small tmpfs at path for a test run as root, unmounted when done.
class SmallDisk {
  public:
    explicit SmallDisk(const std::string& path) : path_(path) {
        ::mkdir(path.c_str(), 0755);
        mounted_ = ::mount("tmpfs", path.c_str(), "tmpfs", 0, "size=64k") == 0;
        if (!mounted_) why_ = std::strerror(errno);
    }
    ~SmallDisk() {
        if (mounted_) ::umount2(path_.c_str(), MNT_DETACH);
    }
    bool Mounted() const { return mounted_; }
    const std::string& Why() const { return why_; }

    // Fills the disk, then gives back `room` bytes of it.
    void Fill(long room) {
        const std::string filler = path_ + "/filler";
        const int fd = ::open(filler.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ASSERT_GE(fd, 0);
        const std::vector<char> block(4096, 'x');
        off_t size = 0;
        for (ssize_t n; (n = ::write(fd, block.data(), block.size())) > 0;) size += n;
        ASSERT_EQ(::ftruncate(fd, size > room ? size - room : 0), 0);
        ::close(fd);
    }
    void Empty() { ::unlink((path_ + "/filler").c_str()); }

  private:
    std::string path_, why_;
    bool mounted_ = false;
};

TEST_F(HistorySafetyTest, AFullDiskRecordsNoChangeAndKeepsTheLatestFile) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to mount a small tmpfs that fills up";
    struct Case {
        const char* what;
        long room;  // bytes left on the disk for the second backup
    } const cases[] = {
        {"no room for the diff", 0},
        {"room for the diff, not for the new file", 4096},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SmallDisk disk(Path("disk"));
        if (!disk.Mounted()) GTEST_SKIP() << "cannot mount a tmpfs here: " << disk.Why();
        Sim sim(Sim::Tcp);
        WriteText("plant.list", ListLine("m1", sim));
        const Args backup = {"-q", "--history", "backup", Path("plant.list"), Path("disk")};
        ChangeModule(sim, 11);
        ASSERT_EQ(Run(backup).status, 0);
        const std::vector<uint8_t> before = ReadFileBytes(Path("disk/m1.KOV"));

        ChangeModule(sim, 33);
        disk.Fill(c.room);
        const RunResult full = Run(backup);
        EXPECT_EQ(full.status, 1) << full.out << full.err;
        EXPECT_NE(full.out.find("m1 "), std::string::npos) << full.out;
        EXPECT_EQ(ReadFileBytes(Path("disk/m1.KOV")), before);
        const Kept kept = KeptIn(Entries("disk/history/m1"));
        EXPECT_EQ(kept.kov + kept.diff + kept.other, 0) << "a change recorded that did not happen";
        EXPECT_EQ(HistoryRows(Run({"history", Path("disk"), "m1"})), 1);

        // With room again, the change is recorded once.
        disk.Empty();
        EXPECT_EQ(Run(backup).status, 3);
        const Kept after = KeptIn(Entries("disk/history/m1"));
        EXPECT_EQ(after.kov, 1);
        EXPECT_EQ(after.diff, 1);
        EXPECT_EQ(after.other, 0);
        EXPECT_EQ(HistoryRows(Run({"history", Path("disk"), "m1"})), 2);
    }
}

// The pid of the program strace runs.
pid_t TracedChild(pid_t strace) {
    std::ifstream children("/proc/" + std::to_string(strace) + "/task/" + std::to_string(strace) +
                           "/children");
    pid_t pid = 0;
    children >> pid;
    return pid;
}

TEST_F(HistorySafetyTest, SigtermAtEachStepRecordsTheChangeWholeOrNotAtAll) {
    if (!HaveProgram("/usr/bin/strace")) return;
    // strace holds the step's system call for a while; the test sees the
    // step done on the disk and sends SIGTERM to kova-config meanwhile.
    struct Seen {
        Kept out, history;  // what DIR and DIR/history/m1 hold
        bool replaced;      // DIR/m1.KOV is the new file
    };
    struct Step {
        const char* what;
        const char* inject;  // strace's -e inject=
        bool (*reached)(const Seen&);
    } const steps[] = {
        {"old file kept", "link:delay_exit=1500000",
         [](const Seen& s) { return s.history.kov == 1; }},
        {"diff written", "rename:delay_exit=1500000:when=1",
         [](const Seen& s) { return s.history.diff == 1; }},
        {"new file written, not yet in place", "rename:delay_enter=1500000:when=2",
         [](const Seen& s) { return s.out.other > 1; }},  // its temporary file beside it
        {"new file in place", "rename:delay_exit=1500000:when=2",
         [](const Seen& s) { return s.replaced; }},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        std::filesystem::remove_all(Path("out"));
        Sim sim(Sim::Tcp);
        WriteText("plant.list", ListLine("m1", sim));
        const Args backup = {"-q", "--history", "backup", Path("plant.list"), Path("out")};
        ChangeModule(sim, 11);
        ASSERT_EQ(Run(backup).status, 0);
        const std::vector<uint8_t> before = ReadFileBytes(Path("out/m1.KOV"));
        ChangeModule(sim, 33);

        Spawned traced(Join({"strace", "-f", "-o", "/dev/null", "-e", "trace=link,rename", "-e",
                             std::string("inject=") + step.inject, BuildProgram("kova-config")},
                            backup),
                       Path("out.txt"), Path("err.txt"));
        ASSERT_GT(traced.Pid(), 0);
        const auto seen = [&] {
            return Seen{KeptIn(Entries("out")), KeptIn(Entries("out/history/m1")),
                        ReadFileBytes(Path("out/m1.KOV")) != before};
        };
        ASSERT_TRUE(WaitUntil([&] { return step.reached(seen()); }, std::chrono::seconds(20)))
            << ReadFile(Path("err.txt"));
        const pid_t config = TracedChild(traced.Pid());
        ASSERT_GT(config, 0);
        kill(config, SIGTERM);
        const int status = traced.Wait();
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM) << status;

        const Kept kept = KeptIn(Entries("out/history/m1"));
        const std::vector<uint8_t> latest = ReadFileBytes(Path("out/m1.KOV"));
        EXPECT_EQ(kept.other, 0);
        EXPECT_EQ(KeptIn(Entries("out")).other, 1)
            << "a temporary file left";  // the history folder
        if (latest == before) {
            EXPECT_EQ(kept.kov + kept.diff, 0) << "a change recorded that did not happen";
            EXPECT_EQ(HistoryRows(Run({"history", Path("out"), "m1"})), 1);
        } else {
            EXPECT_EQ(kept.kov, 1);
            EXPECT_EQ(kept.diff, 1) << "a change made without its diff";
            EXPECT_EQ(HistoryRows(Run({"history", Path("out"), "m1"})), 2);
            EXPECT_EQ(ReadKov("out/m1.KOV").plus.TerminateTimeout[0], 33);
        }
    }
}

// SIGKILL or a crash between keeping the old file and replacing it leaves
// the kept name a second link of the latest file: history does not list it,
// and the next backup takes it back before it records anything.
TEST_F(HistorySafetyTest, AChangeAKilledRunLeftHalfMadeIsNotAVersion) {
    Sim sim(Sim::Tcp);
    WriteText("plant.list", ListLine("m1", sim));
    const Args backup = {"-q", "--history", "backup", Path("plant.list"), Path("out")};
    ASSERT_EQ(Run(backup).status, 0);
    std::filesystem::create_directories(Path("out/history/m1"));
    ASSERT_EQ(
        ::link(Path("out/m1.KOV").c_str(), Path("out/history/m1/20200101T000000.KOV").c_str()), 0);
    WriteText("out/history/m1/20200101T000000.diff", "Port 1 Terminate timeout: 0 -> 1\n");
    EXPECT_EQ(HistoryRows(Run({"history", Path("out"), "m1"})), 1);

    ChangeModule(sim, 55);
    EXPECT_EQ(Run(backup).status, 3);
    const std::vector<std::string> kept = Entries("out/history/m1");
    ASSERT_EQ(kept.size(), 2u);
    EXPECT_NE(kept[0], "20200101T000000.KOV");
    EXPECT_EQ(HistoryRows(Run({"history", Path("out"), "m1"})), 2);
}

TEST_F(HistorySafetyTest, TwoBackupsIntoOneFolderRecordOneChangeOnce) {
    const std::string log = Path("sim.log");
    Sim sim(Sim::Tcp, {"--delay", "5", "--log", log});
    WriteText("plant.list", ListLine("m1", sim));
    const Args backup = {"-q", "--history", "backup", Path("plant.list"), Path("out")};
    ASSERT_EQ(Run(backup).status, 0);
    ChangeModule(sim, 44);
    const size_t logged = ReadFile(log).size();

    const Args argv = Join({BuildProgram("kova-config")}, backup);
    Spawned first(argv, Path("out1.txt"), Path("err1.txt"));
    ASSERT_TRUE(WaitUntil([&] { return ReadFile(log).size() > logged; }));
    Spawned second(argv, Path("out2.txt"), Path("err2.txt"));
    const pid_t holder = first.Pid();
    const int one = first.Wait(), two = second.Wait();
    ASSERT_TRUE(WIFEXITED(one) && WIFEXITED(two));
    EXPECT_EQ(WEXITSTATUS(one), 3) << ReadFile(Path("out1.txt"));
    EXPECT_EQ(WEXITSTATUS(two), 0) << ReadFile(Path("out2.txt"));
    EXPECT_NE(ReadFile(Path("out1.txt")).find("changed: 1 field"), std::string::npos);
    EXPECT_NE(ReadFile(Path("out2.txt")).find("unchanged"), std::string::npos);
    EXPECT_EQ(ReadFile(Path("err2.txt")), "kova-config: " + Path("out") +
                                              " is being backed up (pid " + std::to_string(holder) +
                                              "); waiting\n");
    const Kept kept = KeptIn(Entries("out/history/m1"));
    EXPECT_EQ(kept.kov, 1);
    EXPECT_EQ(kept.diff, 1);
}

}  // namespace
