// Print screen: the page format, the output devices and the F1 dialog.
#include "ui/print_screen.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>

#include "common/file_contents.h"
#include "field_screen_fixture.h"
#include "ui/console/keys.h"
#include "ui/output_device.h"
#include "ui/text_flags.h"

namespace {

using namespace keys;

std::string Pad(std::string s) { return s + std::string(80 - s.size(), ' '); }

struct PrintScreenTest : FieldScreenInTempDir {};

TEST_F(PrintScreenTest, PageFormatMatchesFixture) {
    // A frame, a reverse bar, highlighted and alert text and bytes a printer
    // cannot show.
    WindowHandle w = OpenWindow(2, 1, 4, 10, "T");
    PutText("MENU BAR", 6, 1, 80, ' ', tf::Reverse);
    PutText("yellow", 7, 1, 0, ' ', tf::Highlight);
    PutText("red", 7, 10, 0, ' ', tf::Alert);
    const char odd[] = {char(0xC4), char(0x07), char(0x80), 'x', 0};
    PutText(odd, 8, 1, 0, ' ', 0);
    std::string expected;
    auto line = [&](const std::string& chars, const std::string& marks) {
        expected += Pad(chars) + "\r" + Pad(marks) + "\n";
    };
    line("", "");
    line("+---T----+", "    _");
    line("|        |", "");
    line("+--------+", "");
    line("", "");
    line("MENU BAR", std::string(80, '_'));
    line("yellow   red", "         ___");
    line("...x", "");
    for (int r = 9; r <= 25; ++r) line("", "");
    expected += "\f";
    EXPECT_EQ(expected, ScreenPrintOfImage());
    CloseWindow(w);
}

// A file gets the rows as text: no overstrike line, no form feed, no
// trailing blanks; the frame and odd bytes as on paper.
TEST_F(PrintScreenTest, TextFormatMatchesFixture) {
    WindowHandle w = OpenWindow(2, 1, 4, 10, "T");
    PutText("MENU BAR", 6, 1, 80, ' ', tf::Reverse);
    PutText("yellow", 7, 1, 0, ' ', tf::Highlight);
    PutText("red", 7, 10, 0, ' ', tf::Alert);
    const char odd[] = {char(0xC4), char(0x07), char(0x80), 'x', 0};
    PutText(odd, 8, 1, 0, ' ', 0);
    PutText("right edge", 9, 71, 0, ' ', 0);
    std::string expected =
        "\n+---T----+\n|        |\n+--------+\n\nMENU BAR\nyellow   red\n...x\n" +
        std::string(70, ' ') + "right edge\n";
    for (int r = 10; r <= 25; ++r) expected += "\n";
    EXPECT_EQ(expected, ScreenTextOfImage());
    CloseWindow(w);
}

TEST_F(PrintScreenTest, F1PrintsTheScreenAsItWasBeforeTheWindow) {
    PutText("Hello", 1, 1, 0, ' ', 0);
    const std::string before = ScreenTextOfImage();
    AddHotKey(key::F1, PrintScreen);
    Type(F1 + "out.txt" + Enter + Esc);
    EXPECT_EQ(key::Esc, GetKey());
    EXPECT_EQ(before, ReadFile("out.txt"));   // the name as typed
    EXPECT_EQ(before, ScreenTextOfImage());  // the window is gone again
}

TEST_F(PrintScreenTest, EscPrintsNothing) {
    AddHotKey(key::F1, PrintScreen);
    const std::string before = ScreenPrintOfImage();
    Type(F1 + "nothing" + Esc + "x");
    EXPECT_EQ('x', GetKey());
    EXPECT_NE(0, ::access("nothing", F_OK));
    EXPECT_EQ(before, ScreenPrintOfImage());
}

TEST_F(PrintScreenTest, NameThatCannotBeOpenedStaysForCorrection) {
    ASSERT_EQ(0, ::mkdir("BUSY", 0755));
    AddHotKey(key::F1, PrintScreen);
    static PrintScreenTest* self;
    static std::string windowRow;
    self = this;
    AddHotKey(key::F2, [](int, int) {
        windowRow = self->console.Row(22);
        return 0;
    });
    // BUSY is a directory; the error window comes, then the name is edited on.
    Type(F1 + "BUSY" + Enter + std::string("\0\x3C", 2) + F10 + End + "2" + Enter + "z");
    EXPECT_EQ('z', GetKey());
    EXPECT_NE(std::string::npos, windowRow.find("Can't open file \"BUSY\" for write."));
    EXPECT_EQ(0, ::access("BUSY2", F_OK));
}

TEST_F(PrintScreenTest, F1InsideThePrintDialogIsRefused) {
    AddHotKey(key::F1, PrintScreen);
    console.beeps = 0;
    Type(F1 + F1 + Esc + "q");
    EXPECT_EQ('q', GetKey());
    EXPECT_EQ(1, console.beeps);  // the inner F1 is an ordinary key, refused with a bell
}

struct OutputDeviceTest : FieldScreenInTempDir {
    std::string oldPath = std::getenv("PATH") ? std::getenv("PATH") : "";
    void TearDown() override {
        ::setenv("PATH", oldPath.c_str(), 1);
        FieldScreenInTempDir::TearDown();
    }
    // A spooler stand-in that keeps what it was given and how it was called.
    void InstallSpooler() {
        ASSERT_EQ(0, ::mkdir("bin", 0755));
        std::ofstream lp("bin/lp");
        lp << "#!/bin/sh\necho \"$#\" > " << dir << "/args\n/bin/cat > " << dir << "/spooled\n";
        lp.close();
        ASSERT_EQ(0, ::chmod("bin/lp", 0755));
        ::setenv("PATH", (dir + "/bin").c_str(), 1);
    }
};

TEST_F(OutputDeviceTest, PrinterNamesGoToTheSpooler) {
    InstallSpooler();
    for (const char* name : {"LPT1:", "LPT1", "PRN", "prn"}) {
        auto out = OpenOutputDevice(name);
        ASSERT_TRUE(out) << name;
        EXPECT_TRUE(out->Write("page\f", 5));
        EXPECT_TRUE(out->Close());
        EXPECT_EQ("page\f", ReadFile("spooled")) << name;
        EXPECT_EQ("0\n", ReadFile("args"));
        EXPECT_NE(0, ::access(name, F_OK)) << "no file named " << name;
    }
}

// The printer keeps the printer's page: the spooler gets the overstrike
// lines and the form feed.
TEST_F(OutputDeviceTest, F1ToThePrinterPrintsThePrintersPage) {
    InstallSpooler();
    PutText("MENU BAR", 6, 1, 80, ' ', tf::Reverse);
    const std::string page = ScreenPrintOfImage();
    AddHotKey(key::F1, PrintScreen);
    Type(F1 + Enter + "q");  // the name offered is LPT1:
    EXPECT_EQ('q', GetKey());
    EXPECT_EQ(page, ReadFile("spooled"));
}

// What is a printer: the spooler and character devices; a file is not.
TEST_F(OutputDeviceTest, PrintersAreTheSpoolerAndDevices) {
    InstallSpooler();
    struct Case {
        const char* name;
        bool printer;
    } kCases[] = {{"LPT1:", true}, {"/dev/null", true}, {"PAGE.TXT", false}};
    for (const auto& k : kCases) {
        auto out = OpenOutputDevice(k.name);
        ASSERT_TRUE(out) << k.name;
        EXPECT_EQ(k.printer, out->IsPrinter()) << k.name;
        EXPECT_TRUE(out->Close());
    }
}

TEST_F(OutputDeviceTest, PrinterWithoutSpoolerCannotBeOpened) {
    ASSERT_EQ(0, ::mkdir("empty", 0755));
    ::setenv("PATH", (dir + "/empty").c_str(), 1);
    std::string reason;
    EXPECT_FALSE(OpenOutputDevice("LPT1:", &reason));
    EXPECT_EQ(kNoSpoolerReason, reason);
    EXPECT_NE(0, ::access("LPT1:", F_OK));
}

// A spooler that refuses the job, or goes away without reading it, is a
// failed print with its reason; the writer gets an error, not SIGPIPE (the
// program ignores it from the start, as this test does).
TEST_F(OutputDeviceTest, ASpoolerThatFailsIsReported) {
    struct Case {
        const char* script;
        bool written;
        const char* reason;
    } kCases[] = {
        {"/bin/cat > /dev/null; echo 'lp: Error - No default destination.' >&2; exit 1", true,
         "lp: Error - No default destination."},
        {"exit 2", false, "the print spooler lp failed (exit status 2)"},
    };
    auto oldHandler = ::signal(SIGPIPE, SIG_IGN);
    ASSERT_EQ(0, ::mkdir("bin", 0755));
    for (const auto& k : kCases) {
        std::ofstream("bin/lp") << "#!/bin/sh\n" << k.script << "\n";
        ASSERT_EQ(0, ::chmod("bin/lp", 0755));
        ::setenv("PATH", (dir + "/bin").c_str(), 1);
        auto out = OpenOutputDevice("LPT1:");
        ASSERT_TRUE(out) << k.script;
        const std::string page(1 << 20, 'x');  // more than a pipe holds
        EXPECT_EQ(k.written, out->Write(page.data(), page.size())) << k.script;
        EXPECT_FALSE(out->Close()) << k.script;
        EXPECT_EQ(k.reason, out->FailureReason());
    }
    ::signal(SIGPIPE, oldHandler);
}

// In the dialog the error window keeps its message and row 25 says why while
// it is up; the row's own text comes back after.
TEST_F(OutputDeviceTest, PrintScreenSaysWhyOnTheStatusRow) {
    auto oldHandler = ::signal(SIGPIPE, SIG_IGN);  // as the program has it
    ASSERT_EQ(0, ::mkdir("bin", 0755));
    std::ofstream("bin/lp")
        << "#!/bin/sh\n/bin/cat > /dev/null\necho 'lp: printer is gone' >&2\nexit 1\n";
    ASSERT_EQ(0, ::chmod("bin/lp", 0755));
    struct Case {
        const char* path;  // under dir
        const char* message;
        const char* reason;
    } kCases[] = {
        {"/none", "Can't open file \"LPT1:\" for write.", kNoSpoolerReason},
        {"/bin", "Can't write file \"LPT1:\".", "lp: printer is gone"},
    };
    static OutputDeviceTest* self;
    static std::string windowRow, statusRow;
    self = this;
    AddHotKey(key::F1, PrintScreen);
    AddHotKey(key::F2, [](int, int) {
        windowRow = self->console.Row(22);
        statusRow = self->console.Row(24);
        return 0;
    });
    for (const auto& k : kCases) {
        ::setenv("PATH", (dir + k.path).c_str(), 1);
        PutText("Trigger/Inhibit register 77", 25, 1, 80, ' ', 0);
        const std::string before = console.Row(24);
        // The open failure leaves the dialog up for another name: Esc ends it.
        const bool stays = k.path == std::string("/none");
        Type(F1 + Enter + F2 + F10 + (stays ? Esc : "") + "q");
        EXPECT_EQ('q', GetKey());
        EXPECT_NE(std::string::npos, windowRow.find(k.message)) << windowRow;
        EXPECT_EQ(0u, statusRow.find(k.reason)) << statusRow;
        EXPECT_EQ(before, console.Row(24));
    }
    RemoveHotKey(key::F2);
    ::signal(SIGPIPE, oldHandler);
}

TEST_F(OutputDeviceTest, OtherNamesAreFilesTruncated) {
    { std::ofstream("SCREEN.TXT") << "old contents that are longer"; }
    auto out = OpenOutputDevice("SCREEN.TXT");
    ASSERT_TRUE(out);
    out->Write("new", 3);
    out->Close();
    EXPECT_EQ("new", ReadFile("SCREEN.TXT"));
    EXPECT_FALSE(OpenOutputDevice(""));
    EXPECT_FALSE(OpenOutputDevice("no/such/dir"));
}

}  // namespace
