// Reading and writing .KOV files by the name the user gave: a file that is not
// there is told apart from one that holds no known layout, names match
// whatever their case, and what is written reads back the same.
#include "config/config_files.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <future>
#include <string>

#include "config/config_defaults.h"

namespace {

// LoadConfigFile looks in the current directory, as the dialogs do.
struct ConfigFilesTest : testing::Test {
    std::string dir, home;
    void SetUp() override {
        char pattern[] = "/tmp/kova-config-files-XXXXXX";
        dir = ::mkdtemp(pattern);
        char cwd[4096];
        home = ::getcwd(cwd, sizeof cwd);
        ASSERT_EQ(::chdir(dir.c_str()), 0);
    }
    void TearDown() override {
        EXPECT_EQ(::chdir(home.c_str()), 0);
        EXPECT_EQ(std::system(("rm -rf '" + dir + "'").c_str()), 0);
    }
};

ModuleConfig Sample() {
    ModuleConfig c;
    FillDefaults(c);
    c.Plus.RackBase = 300;
    c.Ports[2].BaudRate = 5;
    std::strcpy(c.Ports[1].Paths[3].Pattern, "AB*");
    return c;
}

TEST_F(ConfigFilesTest, MissingFileCannotBeOpened) {
    const LoadedConfigFile loaded = LoadConfigFile("NONE.KOV");
    EXPECT_EQ(loaded.outcome, ConfigFileLoad::CannotOpen);
    EXPECT_EQ(loaded.error, ENOENT);  // the reason a tool's report names
}

TEST_F(ConfigFilesTest, AFolderByTheNameCannotBeOpened) {
    ASSERT_EQ(::mkdir("PLANT.KOV", 0700), 0);
    const LoadedConfigFile loaded = LoadConfigFile("PLANT.KOV");
    EXPECT_EQ(loaded.outcome, ConfigFileLoad::CannotOpen);
    EXPECT_EQ(loaded.error, EISDIR);
    EXPECT_EQ(LoadConfigFile("plant.kov").error, ENOENT);  // no file, whatever the case
}

// A pipe under the name has no configuration in it, and a read of one that
// nobody writes to would wait for ever: refused at once.
TEST_F(ConfigFilesTest, APipeByTheNameIsRefusedAtOnce) {
    ASSERT_EQ(::mkfifo("PIPE.KOV", 0600), 0);
    auto load = std::async(std::launch::async, [] { return LoadConfigFile("PIPE.KOV"); });
    const bool answered = load.wait_for(std::chrono::seconds(5)) == std::future_status::ready;
    if (!answered) {
        // A writer that opens and goes lets the waiting read end, so the
        // test fails instead of hanging.
        int writer = ::open("PIPE.KOV", O_WRONLY | O_NONBLOCK);
        if (writer >= 0) ::close(writer);
    }
    const LoadedConfigFile loaded = load.get();
    EXPECT_TRUE(answered) << "the load waited for a writer";
    EXPECT_EQ(loaded.outcome, ConfigFileLoad::CannotOpen);
    EXPECT_EQ(loaded.error, EINVAL);
}

TEST_F(ConfigFilesTest, FileOfNoKnownLayoutCannotBeRead) {
    std::ofstream("SHORT.KOV") << "not a configuration";
    const LoadedConfigFile loaded = LoadConfigFile("SHORT.KOV");
    EXPECT_EQ(loaded.outcome, ConfigFileLoad::CannotRead);
    // What was read comes back, for a report that says what is wrong with it.
    EXPECT_EQ(std::string(loaded.bytes.begin(), loaded.bytes.end()), "not a configuration");
}

// A name with a folder is looked up in that folder, its last part whatever
// its case; the folder part is taken as given.
TEST_F(ConfigFilesTest, ANameInAnotherFolderIsFoundWhateverTheCaseOfItsLastPart) {
    ASSERT_EQ(::mkdir("plants", 0700), 0);
    const ModuleConfig written = Sample();
    ASSERT_EQ(SaveConfigFile("plants/north.kov", DocumentOf(written, 1, 0)), SaveResult::Saved);
    const LoadedConfigFile loaded = LoadConfigFile(dir + "/plants/NORTH.KOV");
    ASSERT_EQ(loaded.outcome, ConfigFileLoad::Loaded);
    const ModuleConfig read = ModuleConfigOf(loaded.contents);
    EXPECT_EQ(std::memcmp(&read, &written, sizeof read), 0);
    EXPECT_EQ(loaded.contents.printProgBaud, 1);
    EXPECT_EQ(LoadConfigFile("PLANTS/north.kov").error, ENOENT);
}

TEST_F(ConfigFilesTest, WrittenFileReadsBackWhateverTheCaseOfItsName) {
    const ModuleConfig written = Sample();
    ASSERT_EQ(SaveConfigFile("plant.kov", DocumentOf(written, 2, -7)), SaveResult::Saved);
    const LoadedConfigFile loaded = LoadConfigFile("PLANT.KOV");
    ASSERT_EQ(loaded.outcome, ConfigFileLoad::Loaded);
    const ModuleConfig read = ModuleConfigOf(loaded.contents);
    EXPECT_EQ(std::memcmp(&read.Plus, &written.Plus, sizeof read.Plus), 0);
    EXPECT_EQ(std::memcmp(&read.Ports, &written.Ports, sizeof read.Ports), 0);
    EXPECT_EQ(loaded.contents.version, kConfigFileVersion);
    EXPECT_EQ(loaded.contents.printProgBaud, 2);
    EXPECT_EQ(loaded.contents.reserved, -7);
}

}  // namespace
