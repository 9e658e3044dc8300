// The configuration print-out: the whole listing against fixture files, the
// two-row rendering of control characters, and the output dialog.
#include "editors/print_config.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "common/file_contents.h"
#include "editor_screen_fixture.h"

namespace {

// The fixtures sit beside this file in the source tree.
std::string Fixture(const char* name) {
    // The build names the source tree: __FILE__ may be relative to a build
    // folder that is not the one the test runs in (a compiler cache rewrites it).
    return ReadFile(std::string(KOVA_SOURCE_DIR) + "/tests/config/fixtures/" + name);
}

// Defaults with control characters in patterns, masks and queries and a
// value off its default in every kind of field.
ModuleConfig ListedConfig() {
    ModuleConfig c;
    FillDefaults(c);
    c.Plus.RackBase = 100;
    c.Plus.TerminateCount[0] = 12;
    c.Plus.TerminateTimeout[0] = 300;
    c.Plus.TriggerInhibit[0] = 117;
    PortConfig& p1 = c.Ports[0];
    std::strcpy(p1.Paths[0].Pattern,
                "\x02"
                "AB*\r");
    std::strcpy(p1.Paths[0].Mask, "__\x1b__");
    p1.Paths[1].Continue = 1;
    p1.Paths[3].EditingMode = 7;
    p1.Paths[0].StartRegister = 101;
    std::strcpy(p1.PollQueries[0], "@001004D\r\n");
    std::strcpy(p1.PollQueries[15], "\x05");
    p1.PollInterval = 250;
    CharSetPut(p1.AcceptSet, 0x0D, true);
    CharSetPut(p1.TerminateSet, 0x03, true);
    PortConfig& p2 = c.Ports[1];
    p2.BaudRate = 3;
    p2.DataBits = 0;
    p2.Parity = 1;
    p2.StopBits = 0;
    p2.Capitalize = 1;
    p2.PollInterval = 12345;
    return c;
}

TEST(ConfigListing, MatchesTheFixtures) {
    struct Case {
        int16_t model;
        const char* fixture;
    } kCases[] = {{1, "listing_plus.txt"}, {0, "listing_standard.txt"}, {2, "listing_plus.txt"}};
    for (const auto& c : kCases) {
        const std::string expected = Fixture(c.fixture);
        ASSERT_FALSE(expected.empty()) << c.fixture;
        EXPECT_EQ(ConfigListing(ListedConfig(), 1, c.model, "05/Mar/26 14:07"), expected)
            << c.fixture << " model " << c.model;
    }
}

std::string LineAfter(const std::string& listing, const std::string& start, int skip = 0) {
    size_t at = listing.find(start);
    for (int i = 0; at != std::string::npos && i < skip; ++i) at = listing.find('\n', at) + 1;
    return at == std::string::npos ? "<missing>" : listing.substr(at, listing.find('\n', at) - at);
}

TEST(ConfigListing, ControlCharactersStandColumnOverColumn) {
    const std::string listing = ConfigListing(ListedConfig(), 1, 1, "d");
    struct Case {
        const char* start;
        int skip;
        std::string line;
    } kCases[] = {
        {"Path 1:", 0, "Path 1:       0   0"},
        {"Path 1:", 1, "      Pattern 2AB*D"},
        {"Path 1:", 2, "              ^^^^^"},
        {"Path 1:", 3, "                1  "},
        {"Path 1:", 4, "      Mask    __B__"},
        {"Path 2:", 0, "Path 2:       "},  // an empty pattern
        {"Path 2:", 2, "              "},
        {"Query  1 ", 0, "Query  1 @001004DDA"},
        {"Query 16 ", 0, "Query 16 5"},
        {"Poll Interval", 0, "Poll Interval 2.50 seconds.  Trigger/Inhibit 117."},
        {"Port 2  Output", 2, "Poll Interval 123.45 seconds.  Trigger/Inhibit 0."},
    };
    for (const auto& c : kCases) EXPECT_EQ(LineAfter(listing, c.start, c.skip), c.line) << c.start;
    // The upper line of query 1 stands above it: CR and LF are 0D and 0A.
    const size_t q1 = listing.find("Query  1 ");
    const size_t upperStart = listing.rfind('\n', q1 - 2) + 1;
    EXPECT_EQ(listing.substr(upperStart, q1 - 1 - upperStart),
              "         " + std::string(8, ' ') + "00");
}

TEST(ConfigListing, DefaultSetsAndStandardModel) {
    ModuleConfig c;
    FillDefaults(c);
    const std::string listing = ConfigListing(c, 3, 0, "d");
    std::string none, codes;
    for (int i = 0; i < 16; ++i) none += " ++ ";
    for (int i = 0x20; i < 0x30; ++i) {
        char cell[8];
        std::snprintf(cell, sizeof cell, " %02X ", i);
        codes += cell;
    }
    EXPECT_EQ(LineAfter(listing, "Accept    "), "Accept    " + none);
    EXPECT_EQ(LineAfter(listing, "Accept    ", 2), "          " + codes);
    EXPECT_EQ(LineAfter(listing, "Accept    ", 8), "          " + none);  // 80-8F
    EXPECT_EQ(listing.find("Terminate count"), std::string::npos);
    EXPECT_EQ(listing.find("Trigger/Inhibit"), std::string::npos);
    EXPECT_EQ(LineAfter(listing, "Poll Interval"), "Poll Interval 0.00 seconds.");
    EXPECT_EQ(LineAfter(listing, "Print/Prog"),
              "Print/Prog baud rate = 9600      Rack base address = 1");
}

TEST(ConfigListing, DateLine) {
    setenv("TZ", "UTC", 1);
    tzset();
    EXPECT_EQ(ListingDate(1772719620), "05/Mar/26 14:07");
    EXPECT_EQ(ListingDate(0), "01/Jan/70 00:00");
}

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
    EXPECT_EQ(PrintConfig(), 1);
    const ScreenSnapshot& s = Snapshots().at(0);
    EXPECT_NE(s.chars[10].find("PRINT OFFLINE"), std::string::npos);
    EXPECT_EQ(s.At(11, 22, 12), "Output file:");
    EXPECT_EQ(s.At(12, 22, 34), "SYS$PRINT" + std::string(25, '_'));
    const std::string written = ReadFile(dir + "/OUT.TXT");  // upper-cased as typed
    const std::string expected = Fixture("listing_plus.txt");
    const size_t dateLine = expected.find('\n') + 1, dateEnd = expected.find('\n', dateLine);
    ASSERT_GT(written.size(), dateEnd);
    EXPECT_EQ(written.substr(0, dateLine + 60), expected.substr(0, dateLine + 60));
    EXPECT_EQ(written.find('\n', dateLine), dateEnd);  // today's date, as wide as the fixture's
    EXPECT_EQ(written.substr(written.find('\n', dateLine)), expected.substr(dateEnd));
}

TEST_F(PrintDialog, NameThatCannotBeOpenedStaysForCorrection) {
    ASSERT_EQ(mkdir((dir + "/DIR").c_str(), 0755), 0);
    Type("dir" + keys::Enter + keys::F1 + keys::F10 + keys::End + ".TXT" + keys::Enter);
    EXPECT_EQ(PrintConfig(), 1);
    EXPECT_NE(Snapshots().at(0).chars[23].find("Can't open file \"DIR\" for write."),
              std::string::npos);
    EXPECT_FALSE(ReadFile(dir + "/DIR.TXT").empty());
}

TEST_F(PrintDialog, EscPrintsNothing) {
    Type("x" + keys::Esc);
    EXPECT_EQ(PrintConfig(), 0);
    EXPECT_EQ(ImageNow().chars[10].find("PRINT OFFLINE"), std::string::npos);
}

}  // namespace
