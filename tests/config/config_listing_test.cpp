// The configuration print-out text: the whole listing against fixture files,
// the two-row rendering of control characters, and the date line.
#include "config/config_listing.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>

#include "config/listed_config.h"

namespace {

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

}  // namespace
