// The setup file on disk: a missing file, a short or damaged one and a good
// one are told apart, names match whatever their case, and a save replaces
// the file that is there rather than adding a second one beside it.
#include "setup/setup_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

struct SetupFileTest : testing::Test {
    std::string dir;
    void SetUp() override {
        char pattern[] = "/tmp/kova-setup-file-XXXXXX";
        dir = ::mkdtemp(pattern);
    }
    void TearDown() override { EXPECT_EQ(std::system(("rm -rf '" + dir + "'").c_str()), 0); }
    std::string P(const std::string& name) const { return dir + "/" + name; }
    void WriteBytes(const std::string& name, const std::vector<uint8_t>& bytes) const {
        std::ofstream(P(name), std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    }
    int EntryCount() const {
        int n = 0;
        for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir)) ++n;
        return n;
    }
};

LinkSetup Sample() {
    LinkSetup s = DefaultSetupFor("KOVASW.STP");
    s.LinkTimeout = 7;
    std::strcpy(s.TcpHost, "plant-gateway");
    return s;
}

TEST_F(SetupFileTest, MissingFile) {
    const SetupFileContents read = ReadSetupFile(P("KOVASW.STP"));
    EXPECT_EQ(read.outcome, SetupFileRead::Missing);
    EXPECT_EQ(read.error, ENOENT);  // the reason a tool's report names
}

TEST_F(SetupFileTest, AFolderByTheNameIsMissingWithItsReason) {
    std::filesystem::create_directory(P("KOVASW.STP"));
    const SetupFileContents read = ReadSetupFile(P("kovasw.stp"));
    EXPECT_EQ(read.outcome, SetupFileRead::Missing);
    EXPECT_EQ(read.error, ENOENT);  // a folder is no setup file whatever its case
    EXPECT_EQ(ReadSetupFile(P("KOVASW.STP")).error, EISDIR);
}

TEST_F(SetupFileTest, ShortFile) {
    WriteBytes("KOVASW.STP", std::vector<uint8_t>(20, 0));
    const SetupFileContents read = ReadSetupFile(P("KOVASW.STP"));
    EXPECT_EQ(read.outcome, SetupFileRead::Short);
    EXPECT_EQ(read.size, 20u);
}

TEST_F(SetupFileTest, BaudRateOutsideTheListCountsAsShort) {
    LinkSetup s = Sample();
    s.TerminalBaud = 99;
    WriteBytes("kovasw.stp", EncodeSetup(s));
    const SetupFileContents read = ReadSetupFile(P("KOVASW.STP"));
    EXPECT_EQ(read.outcome, SetupFileRead::Short);
    // The whole record is there, and with it the index a report names.
    EXPECT_EQ(read.size, kSetupFileSize);
    EXPECT_EQ(read.setup.TerminalBaud, 99);
    EXPECT_EQ(read.setup.LinkTimeout, 7);
}

TEST_F(SetupFileTest, SavedSetupReadsBackWhateverTheCaseOfItsName) {
    const LinkSetup written = Sample();
    ASSERT_EQ(SaveSetupFile(P("kovasw.stp"), written), SaveResult::Saved);
    const SetupFileContents read = ReadSetupFile(P("KOVASW.STP"));
    ASSERT_EQ(read.outcome, SetupFileRead::Read);
    EXPECT_EQ(EncodeSetup(read.setup), EncodeSetup(written));
}

TEST_F(SetupFileTest, SaveReplacesTheFileWhateverTheCaseOfItsName) {
    WriteBytes("kovasw.stp", EncodeSetup(DefaultSetupFor("KOVASW.STP")));
    ASSERT_EQ(SaveSetupFile(P("KOVASW.STP"), Sample()), SaveResult::Saved);
    EXPECT_EQ(EntryCount(), 1);
    EXPECT_EQ(ReadSetupFile(P("kovasw.stp")).setup.LinkTimeout, 7);
}

// The adapters follow the record: its 150 bytes stay the layout's, so any
// reader of that layout reads the same record, and the names read back.
TEST_F(SetupFileTest, AdaptersAreKeptAfterTheRecordAndReadBack) {
    const LinkSetup written = Sample();
    const SetupAdapters adapters = {"/dev/serial/by-id/usb-FTDI_FT232R_A50285BI-if00-port0",
                                    "/dev/serial/by-path/pci-0000:00:14.0-usb-0:2:1.0-port0"};
    ASSERT_EQ(SaveSetupFile(P("KOVASW.STP"), written, adapters), SaveResult::Saved);
    std::ifstream in(P("KOVASW.STP"), std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_GT(bytes.size(), kSetupFileSize);
    const std::vector<uint8_t> record(bytes.begin(), bytes.begin() + kSetupFileSize);
    EXPECT_EQ(record, EncodeSetup(written));
    EXPECT_EQ(bytes.substr(kSetupFileSize),
              "KOVASW-ADAPTERS\nlink=" + adapters.link + "\nterminal=" + adapters.terminal + "\n");
    const SetupFileContents read = ReadSetupFile(P("KOVASW.STP"));
    ASSERT_EQ(read.outcome, SetupFileRead::Read);
    EXPECT_EQ(read.size, kSetupFileSize);
    EXPECT_EQ(EncodeSetup(read.setup), EncodeSetup(written));
    EXPECT_EQ(read.adapters, adapters);
    // A setup with no adapter is the record alone, as before.
    ASSERT_EQ(SaveSetupFile(P("KOVASW.STP"), written, {}), SaveResult::Saved);
    EXPECT_EQ(std::filesystem::file_size(P("KOVASW.STP")), kSetupFileSize);
}

// What follows the record is untrusted: anything but the lines as written
// reads as no adapter (or without the one line that is wrong).
TEST(SetupAdapterLines, AnythingElseReadsAsNoAdapter) {
    const std::string longName(300, 'x');
    const struct {
        const char* what;
        std::string text;
        SetupAdapters expected;
    } cases[] = {
        {"both", "KOVASW-ADAPTERS\nlink=/dev/a\nterminal=/dev/b\n", {"/dev/a", "/dev/b"}},
        {"terminal only", "KOVASW-ADAPTERS\nterminal=/dev/b\n", {"", "/dev/b"}},
        {"no heading", "link=/dev/a\n", {}},
        {"another program's bytes", std::string("\0\xff\x12link=/dev/a\n", 15), {}},
        {"a line without its end", "KOVASW-ADAPTERS\nlink=/dev/a", {}},
        {"an escape in a name",
         "KOVASW-ADAPTERS\nlink=/dev/\x1b[2Ja\nterminal=/dev/b\n",
         {"", "/dev/b"}},
        {"a name too long", "KOVASW-ADAPTERS\nlink=/dev/" + longName + "\n", {}},
        {"unknown lines", "KOVASW-ADAPTERS\nmodem=/dev/m\nlink=/dev/a\n", {"/dev/a", ""}},
        {"nothing", "", {}},
    };
    for (const auto& c : cases) {
        const auto* bytes = reinterpret_cast<const uint8_t*>(c.text.data());
        EXPECT_EQ(DecodeSetupAdapters(bytes, c.text.size()), c.expected) << c.what;
    }
    EXPECT_TRUE(EncodeSetupAdapters({}).empty());
}

TEST(SetupFileName, RelativeNamesBecomeAbsoluteAgainstTheCurrentDirectory) {
    char cwd[4096];
    ASSERT_NE(::getcwd(cwd, sizeof cwd), nullptr);
    EXPECT_EQ(AbsoluteSetupName("KOVASW.STP"), std::string(cwd) + "/KOVASW.STP");
    EXPECT_EQ(AbsoluteSetupName("/etc/kova/KOVASW.STP"), "/etc/kova/KOVASW.STP");
}

}  // namespace
