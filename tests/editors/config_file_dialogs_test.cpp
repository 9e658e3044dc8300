// The configuration file dialogs on the in-memory screen over a real
// directory: reading every layout, the messages, overwriting, copying ports
// and deleting.
#include "editors/config_file_dialogs.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "common/screen_image.h"
#include "config/config_defaults.h"
#include "config/config_file_image.h"
#include "ui/console/keys.h"
#include "ui/console/memory_console.h"
#include "ui/screen.h"
#include "ui/screen_state.h"
#include "ui/screen_hooks.h"

namespace {

const std::string kEnter = "\r", kEsc = "\x1b", kF10 = std::string("\0\x44", 2),
                  kSnap = std::string("\0\x3C", 2), kDown = std::string("\0\x50", 2);

struct ConfigDialogTest : testing::Test {
    con::MemoryConsole console;
    ScreenState screenState;
    ConfigDocuments documents;
    ModuleConfig& WorkingConfig = documents.WorkingConfig;
    int16_t& PrintProgBaud = documents.PrintProgBaud;
    bool& OfflineDirty = documents.OfflineDirty;
    int16_t& ConfigReserved = documents.ConfigReserved;
    std::string dir, oldDir;
    static std::vector<std::string>* snapshots;
    std::vector<std::string> shots;

    void SetUp() override {
        char templ[] = "/tmp/kova-cfg-XXXXXX";
        dir = ::mkdtemp(templ);
        char cwd[4096];
        oldDir = ::getcwd(cwd, sizeof cwd);
        ASSERT_EQ(0, ::chdir(dir.c_str()));
        ScreenInit(console, screenState);
        snapshots = &shots;
        // F2 records the screen so that a test can see a window while it waits.
        AddHotKey(key::F2, [](int, int) {
            snapshots->push_back(ImageAll());
            return 0;
        });
        FillDefaults(WorkingConfig);
        OfflineDirty = true;
    }
    void TearDown() override {
        ScreenDone();
        ASSERT_EQ(0, ::chdir(oldDir.c_str()));
        ASSERT_EQ(0, std::system(("rm -rf '" + dir + "'").c_str()));
    }
    void Type(const std::string& keys) { console.Type(keys); }
    void Done() { EXPECT_TRUE(console.keys.empty()) << "keys left over"; }
    bool Shown(const std::string& text) const {
        for (const auto& s : shots)
            if (s.find(text) != std::string::npos) return true;
        return false;
    }
    static void WriteBytes(const std::string& name, const std::vector<uint8_t>& bytes) {
        std::ofstream(name, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    }
    static std::string Read(const std::string& name) {
        std::ifstream in(name, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
};
std::vector<std::string>* ConfigDialogTest::snapshots;

// A short-layout file: four 618-byte port heads, rack base, print/prog baud.
std::vector<uint8_t> ShortFile(int rackBase, int16_t startRegister) {
    std::vector<uint8_t> b(2476, 0);
    for (int p = 0; p < 4; ++p) {
        b[618 * p] = uint8_t(9 + p);                     // baud index
        b[618 * p + 2] = 1;                              // 8 data bits
        b[618 * p + 74] = 'A';                           // path 1 pattern
        b[618 * p + 74 + 130] = uint8_t(startRegister);  // path 1 register
        b[618 * p + 74 + 131] = uint8_t(startRegister >> 8);
        for (int k = 1; k < 4; ++k) b[618 * p + 74 + 136 * k + 130] = uint8_t(startRegister);
    }
    b[2472] = uint8_t(rackBase);
    b[2474] = 1;
    return b;
}

TEST_F(ConfigDialogTest, ReadsAnOldFileWhateverTheCaseOfItsName) {
    WriteBytes("legacy.kov", ShortFile(1, 50));
    std::strcpy(WorkingConfig.Ports[0].PollQueries[0], "stale");
    PrintProgBaud = 3;
    Type(kSnap + kEnter);  // the only item is highlighted: Enter takes it
    EXPECT_EQ(1, ReadConfigFile(documents));
    Done();
    EXPECT_TRUE(Shown("LOAD OFFLINE FROM DISK"));
    EXPECT_TRUE(Shown("File to read:"));
    EXPECT_TRUE(Shown("legacy"));
    EXPECT_FALSE(OfflineDirty);
    EXPECT_EQ(12, WorkingConfig.Ports[3].BaudRate);
    EXPECT_STREQ("A", WorkingConfig.Ports[2].Paths[0].Pattern);
    EXPECT_STREQ("", WorkingConfig.Ports[0].PollQueries[0]);
    EXPECT_EQ(1, PrintProgBaud);
}

// Files whose names the picker cannot show whole, or that differ only by
// case, are read and written through the item chosen.
TEST_F(ConfigDialogTest, ListedFilesOpenWhateverTheirNames) {
    WriteBytes("ABCDEFGHIJ.KOV", ShortFile(1, 41));
    WriteBytes("DUP.KOV", ShortFile(1, 42));
    WriteBytes("dup.kov", ShortFile(1, 43));
    WriteBytes("long name with spaces.KOV", ShortFile(1, 44));
    struct Case {
        std::string keys;
        int16_t startRegister;
    } kCases[] = {{kEnter, 41},
                  {kDown + kEnter, 42},
                  {kDown + kDown + kEnter, 43},
                  {kDown + kDown + kDown + kEnter, 44}};
    for (const auto& k : kCases) {
        Type(k.keys);
        EXPECT_EQ(1, ReadConfigFile(documents));
        Done();
        EXPECT_EQ(k.startRegister, WorkingConfig.Ports[0].Paths[0].StartRegister);
    }
    // Saving onto the listed long name replaces that file, after the question.
    Type(kEnter + "y");
    EXPECT_EQ(1, WriteConfigFile(documents));
    Done();
    EXPECT_EQ(6688u, Read("ABCDEFGHIJ.KOV").size());
    EXPECT_FALSE(std::filesystem::exists("ABCDEFG~.KOV"));
}

// Sixteen paths below the rack window: one window lists all sixteen reports
// and one F10 clears it.
TEST_F(ConfigDialogTest, ValidationReportsOfALoadComeInOneWindow) {
    WriteBytes("BAD.KOV", ShortFile(1, 1));
    Type(kEnter + kSnap + kF10);
    EXPECT_EQ(1, ReadConfigFile(documents));
    Done();
    ASSERT_EQ(1u, shots.size());
    for (int port = 1; port <= 4; ++port)
        for (int path = 1; path <= 4; ++path) {
            const std::string report = "Port " + std::to_string(port) + ", Path " +
                                       std::to_string(path) + ": Register (1) < Rack Base (1) + 1";
            EXPECT_TRUE(Shown(report)) << report;
        }
    EXPECT_FALSE(OfflineDirty);
}

// With errors not trapped nothing waits: the first report, whole, on the
// status row with the count of the others.
TEST_F(ConfigDialogTest, UntrappedReportsOfALoadAreCountedOnTheStatusRow) {
    WriteBytes("BAD.KOV", ShortFile(1, 1));
    SetScreenHooks({.trapErrors = [] { return 1; }});
    Type(kEnter);
    const int read = ReadConfigFile(documents);
    SetScreenHooks({});
    EXPECT_EQ(1, read);
    Done();
    EXPECT_EQ("Port 1, Path 1: Register (1) < Rack Base (1) + 1 (+15 more)",
              console.Row(24).substr(0, 59));
}

// A file whose list values no repair can guess is refused whole, the first
// reason on the status row while the window says so; what was on hand stays.
TEST_F(ConfigDialogTest, AFileWithValuesOutsideTheirListsIsRefused) {
    std::vector<uint8_t> editingMode = ShortFile(1, 50);
    editingMode[618 * 2 + 74 + 136 * 3 + 134] = 9;  // port 3, path 4
    std::vector<uint8_t> printProg = ShortFile(1, 50);
    printProg[2474] = 7;
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
        const char* reason;
    } kCases[] = {
        {"FF.KOV", std::vector<uint8_t>(6688, 0xFF), "Port 1: Baud rate -1 out of range 0-15"},
        {"MODE.KOV", editingMode, "Port 3, Path 4: Editing Mode 9 out of range 0-7"},
        {"PROG.KOV", printProg, "Print/Prog baud rate 7 out of range 0-3"},
    };
    WorkingConfig.Ports[0].BaudRate = 2;
    const ModuleConfig before = WorkingConfig;
    for (const auto& k : kCases) {
        WriteBytes(k.name, k.bytes);
        shots.clear();
        Type(kEnter + kSnap + kF10);
        EXPECT_EQ(0, ReadConfigFile(documents)) << k.name;
        Done();
        ASSERT_EQ(1u, shots.size());
        EXPECT_NE(std::string::npos, shots[0].find("Can't read disk file.")) << k.name;
        const std::string row25 = shots[0].substr(24 * 81, 80);
        EXPECT_EQ(0u, row25.find(k.reason)) << row25;
        EXPECT_EQ(0, std::memcmp(&before, &WorkingConfig, sizeof before)) << k.name;
        EXPECT_EQ(3, PrintProgBaud);
        EXPECT_TRUE(OfflineDirty);
        std::filesystem::remove(k.name);
    }
}

TEST_F(ConfigDialogTest, UnreadableFilesAndMissingNames) {
    WriteBytes("TINY.KOV", std::vector<uint8_t>(2475, 1));
    ModuleConfig before = WorkingConfig;
    struct Case {
        std::string keys;
        const char* message;
    } kCases[] = {
        {kEnter + kSnap + kF10, "Can't read disk file."},
        {"NOPE" + kEnter + kSnap + kF10 + kEsc, "Can't open file \"NOPE.KOV\" for read."},
    };
    for (const auto& k : kCases) {
        shots.clear();
        Type(k.keys);
        EXPECT_EQ(0, ReadConfigFile(documents));
        Done();
        EXPECT_TRUE(Shown(k.message)) << k.message;
        EXPECT_TRUE(OfflineDirty);
        EXPECT_EQ(0, std::memcmp(&before, &WorkingConfig, sizeof before));
    }
}

TEST_F(ConfigDialogTest, WritesTheCurrentLayout) {
    WorkingConfig.Plus.TriggerInhibit[2] = 77;
    ConfigReserved = 5;
    Type("NEW" + kEnter);
    EXPECT_EQ(1, WriteConfigFile(documents));
    Done();
    EXPECT_FALSE(OfflineDirty);
    std::string bytes = Read("NEW.KOV");
    ASSERT_EQ(6688u, bytes.size());
    std::vector<uint8_t> expected = EncodeConfigFile(DocumentOf(WorkingConfig, PrintProgBaud, 5));
    EXPECT_EQ(std::string(expected.begin(), expected.end()), bytes);
    EXPECT_EQ(0x59, uint8_t(bytes[0]));
    EXPECT_EQ(0x04, uint8_t(bytes[1]));
    EXPECT_EQ(77, uint8_t(bytes[6662 + 4]));
    EXPECT_EQ(5, uint8_t(bytes[6686]));
}

TEST_F(ConfigDialogTest, OverwriteAsksFirstAndKeepsTheEntryName) {
    WriteBytes("mine.kov", {1, 2, 3});
    Type("MINE" + kEnter + kSnap + "n" + kEsc);
    EXPECT_EQ(0, WriteConfigFile(documents));
    Done();
    EXPECT_TRUE(Shown("File exists, overwrite it?"));
    EXPECT_EQ(std::string("\x01\x02\x03"), Read("mine.kov"));
    EXPECT_TRUE(OfflineDirty);

    Type("MINE" + kEnter + "y");
    EXPECT_EQ(1, WriteConfigFile(documents));
    Done();
    EXPECT_EQ(6688u, Read("mine.kov").size());
    EXPECT_FALSE(std::filesystem::exists("MINE.KOV") &&
                 !std::filesystem::equivalent("MINE.KOV", "mine.kov"));
}

TEST_F(ConfigDialogTest, FailedWriteKeepsOldFileAndDirtyFlag) {
    WriteBytes("KEEP.KOV", std::vector<uint8_t>(3000, 7));
    struct rlimit saved;
    ASSERT_EQ(0, ::getrlimit(RLIMIT_FSIZE, &saved));
    auto oldHandler = ::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 4096;
    ASSERT_EQ(0, ::setrlimit(RLIMIT_FSIZE, &small));
    Type("KEEP" + kEnter + "y" + kSnap + kF10);
    int result = WriteConfigFile(documents);
    ASSERT_EQ(0, ::setrlimit(RLIMIT_FSIZE, &saved));
    ::signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(0, result);
    Done();
    EXPECT_TRUE(Shown("Can't write to disk file."));
    EXPECT_EQ(std::string(3000, 7), Read("KEEP.KOV"));
    EXPECT_TRUE(OfflineDirty);
    EXPECT_EQ(1, std::distance(std::filesystem::directory_iterator("."),
                               std::filesystem::directory_iterator()));
}

// A directory named like the file cannot be written: the dialog says so and
// goes back to the picker, where Esc leaves.
TEST_F(ConfigDialogTest, SavingOntoADirectoryNameCannotOpenIt) {
    ASSERT_EQ(0, ::mkdir("X.KOV", 0755));
    Type("X" + kEnter + kSnap + kF10 + kEsc);
    EXPECT_EQ(0, WriteConfigFile(documents));
    Done();
    EXPECT_TRUE(Shown("Can't open file \"X.KOV\" for write."));
    EXPECT_FALSE(Shown("Can't write to disk file."));
    EXPECT_TRUE(std::filesystem::is_directory("X.KOV"));
    EXPECT_TRUE(OfflineDirty);
}

TEST_F(ConfigDialogTest, CopiesPortsUntilEscOrABadNumber) {
    WorkingConfig.Ports[1].BaudRate = 2;
    WorkingConfig.Plus.TriggerInhibit[1] = 9;
    WorkingConfig.Plus.TerminateCount[1] = 8;
    WorkingConfig.Plus.TerminateTimeout[1] = 7;
    ModuleConfig start = WorkingConfig;
    struct Case {
        std::string keys;
        int changedPort;  // -1: nothing copied
    } kCases[] = {
        {"2" + kEnter + "3" + kEnter + kSnap + kEsc, 2},
        {"2" + kEnter + "2" + kEnter + kEsc, -1},
        {"2" + kEnter + "5" + kEnter, -1},
        {"0" + kEnter + "1" + kEnter, -1},
        {"2" + kEnter + kEsc, -1},
    };
    for (const auto& k : kCases) {
        WorkingConfig = start;
        Type(k.keys);
        CopyPortConfig(WorkingConfig);
        Done();
        ModuleConfig expected = start;
        if (k.changedPort >= 0) {
            expected.Ports[k.changedPort] = start.Ports[1];
            expected.Plus.TriggerInhibit[k.changedPort] = 9;
            expected.Plus.TerminateCount[k.changedPort] = 8;
            expected.Plus.TerminateTimeout[k.changedPort] = 7;
        }
        EXPECT_EQ(0, std::memcmp(&expected, &WorkingConfig, sizeof expected)) << k.keys;
    }
    EXPECT_TRUE(Shown("Type Esc to exit"));
    EXPECT_TRUE(Shown("COPY PORT CONFIGURATION"));
}

// After a copy the next pair starts with both places empty: the source
// waits for its digit, the destination's old digit is gone.
TEST_F(ConfigDialogTest, ANewPairStartsWithBothPlacesEmpty) {
    Type("2" + kEnter + "3" + kEnter + kSnap + kEsc);
    CopyPortConfig(WorkingConfig);
    Done();
    ASSERT_EQ(1u, shots.size());
    const std::string& screen = shots.back();  // rows of 80 and a newline
    EXPECT_EQ('?', screen[(11 - 1) * 81 + 49]);
    EXPECT_EQ(' ', screen[(12 - 1) * 81 + 49]);
}

TEST_F(ConfigDialogTest, DeletesOnlyTheMatchingFile) {
    WriteBytes("gone.kov", {1});
    WriteBytes("GONE.KOVX", {1});
    WriteBytes("GONEX.KOV", {1});
    Type("GONE" + kEnter + "NOPE" + kEnter + kSnap + kF10 + kEsc);
    DeleteConfigFile(".KOV", "DELETE CONFIGURATION FILE");
    Done();
    EXPECT_FALSE(std::filesystem::exists("gone.kov"));
    EXPECT_TRUE(std::filesystem::exists("GONE.KOVX"));
    EXPECT_TRUE(std::filesystem::exists("GONEX.KOV"));
    EXPECT_TRUE(Shown("Can't find file \"NOPE.KOV\""));
    EXPECT_TRUE(Shown("DELETE CONFIGURATION FILE"));
}

}  // namespace
