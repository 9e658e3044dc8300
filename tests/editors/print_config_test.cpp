// The "PRINT OFFLINE" dialog: the listing reaches the file named in it, a
// name that cannot be opened stays for correction, Esc prints nothing.
#include "editors/print_config.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "config/listed_config.h"
#include "editor_screen_fixture.h"

namespace {

// The dialog writes into the current directory of the test.
struct PrintDialog : EditorScreen {
    std::string dir, home;
    void SetUp() override {
        EditorScreen::SetUp();
        char pattern[] = "/tmp/kova-print-XXXXXX";
        dir = mkdtemp(pattern);
        char cwd[4096];
        home = getcwd(cwd, sizeof cwd);
        ASSERT_EQ(chdir(dir.c_str()), 0);
    }
    void TearDown() override {
        EXPECT_EQ(chdir(home.c_str()), 0);
        std::string rm = "rm -rf " + dir;
        EXPECT_EQ(std::system(rm.c_str()), 0);
        EditorScreen::TearDown();
    }
};

TEST_F(PrintDialog, WritesTheListingUnderTheTypedName) {
    WorkingConfig = ListedConfig();
    ModuleModel = 1;
    PrintProgBaud = 1;
    Type(keys::F1 + "out.txt" + keys::Enter);
    EXPECT_EQ(PrintConfig(documents, ModuleModel), 1);
    const ScreenSnapshot& s = Snapshots().at(0);
    EXPECT_NE(s.chars[10].find("PRINT OFFLINE"), std::string::npos);
    EXPECT_EQ(s.At(11, 22, 12), "Output file:");
    EXPECT_EQ(s.At(12, 22, 34), "SYS$PRINT" + std::string(25, '_'));
    const std::string written = ReadFile(dir + "/out.txt");  // the name as typed
    const std::string expected = Fixture("listing_plus.txt");
    const size_t dateLine = expected.find('\n') + 1, dateEnd = expected.find('\n', dateLine);
    ASSERT_GT(written.size(), dateEnd);
    EXPECT_EQ(written.substr(0, dateLine + 60), expected.substr(0, dateLine + 60));
    EXPECT_EQ(written.find('\n', dateLine), dateEnd);  // today's date, as wide as the fixture's
    EXPECT_EQ(written.substr(written.find('\n', dateLine)), expected.substr(dateEnd));
}

TEST_F(PrintDialog, NameThatCannotBeOpenedStaysForCorrection) {
    ASSERT_EQ(mkdir((dir + "/DIR").c_str(), 0755), 0);
    Type("DIR" + keys::Enter + keys::F1 + keys::F10 + keys::End + ".TXT" + keys::Enter);
    EXPECT_EQ(PrintConfig(documents, ModuleModel), 1);
    EXPECT_NE(Snapshots().at(0).chars[23].find("Can't open file \"DIR\" for write."),
              std::string::npos);
    EXPECT_FALSE(ReadFile(dir + "/DIR.TXT").empty());
}

TEST_F(PrintDialog, EscPrintsNothing) {
    Type("x" + keys::Esc);
    EXPECT_EQ(PrintConfig(documents, ModuleModel), 0);
    EXPECT_EQ(ImageNow().chars[10].find("PRINT OFFLINE"), std::string::npos);
}

}  // namespace
