// Nothing from outside reaches the terminal raw: a module's name block, the
// lines of a backup list, file names and the words of a command line are
// printed by kova-config and kova-link with their control characters
// escaped (\x1b), printable UTF-8 left alone.
#include "common/printable.h"

#include <cstring>

#include "kova-config/kova_config_fixture.h"

namespace {

using PrintableTest = KovaConfigTest;

TEST(Printable, EscapesControlsAndBrokenUtf8AndKeepsPrintableText) {
    struct Case {
        const char* what;
        std::string in, out;
    } const cases[] = {
        {"plain ASCII", "KOVA Port 1 - line3_north.kov", "KOVA Port 1 - line3_north.kov"},
        {"an escape sequence", "\x1b[31mred", "\\x1b[31mred"},
        {"a window title", "\x1b]0;owned\x07", "\\x1b]0;owned\\x07"},
        {"tab, CR, LF", "a\tb\rc\n", "a\\x09b\\x0dc\\x0a"},
        {"NUL", std::string("a\0b", 3), "a\\x00b"},
        {"DEL", "\x7f", "\\x7f"},
        {"8-bit CSI",
         "\x9b"
         "2J",
         "\\x9b2J"},
        {"C1 CSI in UTF-8",
         "\xc2\x9b"
         "2J",
         "\\xc2\\x9b2J"},
        {"two-byte UTF-8", "caf\xc3\xa9", "caf\xc3\xa9"},
        {"no-break space", "\xc2\xa0", "\xc2\xa0"},
        {"three-byte UTF-8", "\xe2\x82\xac", "\xe2\x82\xac"},
        {"four-byte UTF-8", "\xf0\x9f\x98\x80", "\xf0\x9f\x98\x80"},
        {"cut short", "\xe2\x82", "\\xe2\\x82"},
        {"a continuation byte alone", "\x80x", "\\x80x"},
        {"overlong", "\xc0\xaf", "\\xc0\\xaf"},
        {"overlong, three bytes", "\xe0\x80\xaf", "\\xe0\\x80\\xaf"},
        {"a surrogate", "\xed\xa0\x80", "\\xed\\xa0\\x80"},
        {"past U+10FFFF", "\xf4\x90\x80\x80", "\\xf4\\x90\\x80\\x80"},
        {"empty", "", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(tools::Printable(c.in), c.out) << c.what;
}

// Bytes a terminal would act on: C0 controls other than the line ends the
// tool writes itself, DEL, and C1 controls whether raw or in UTF-8.
std::string RawControls(const std::string& text) {
    std::string found;
    for (size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        const bool c1 =
            (c >= 0x80 && c <= 0x9F &&
             (i == 0 || static_cast<unsigned char>(text[i - 1]) < 0xC0)) ||
            (c == 0xC2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) <= 0x9F);
        if ((c < 0x20 && c != '\n') || c == 0x7F || c1) found += text[i];
    }
    return found;
}

TEST_F(PrintableTest, WhatComesFromOutsideIsPrintedEscaped) {
    // The module's name block: "KOVA", then an 8-bit CSI and "[2J".
    Sim sim(Sim::Tcp, {"--set", "8179=0x9B5B", "--set", "8180=0x324A"});
    WriteText("evil.list", "\x1b[31mRED --type tcp --host 127.0.0.1\n");
    std::string list = "m1";
    for (const std::string& word : sim.Link()) list += " " + word;
    WriteText("plant.list", list + "\n");
    const std::string kovaLink = BuildProgram("kova-link");
    struct Case {
        const char* what;
        Args argv;
        std::string shown;  // in standard output or error
    } const cases[] = {
        {"identify: the name block", Join(sim.Link(), {"identify"}), "KOVA\\x9b[2J"},
        {"backup: the name block in the summary",
         {"-q", "backup", Path("plant.list"), Path("out")},
         "KOVA\\x9b[2J"},
        {"backup: a name in the list",
         {"backup", Path("evil.list"), Path("out2")},
         "\"\\x1b[31mRED\" is not a module name"},
        {"print: a file name", {"print", Path("\x1b]0;owned\x07.KOV")}, "\\x1b]0;owned\\x07.KOV"},
        {"history: a module name", {"history", Path("out"), "\x1b[2J"}, "\"\\x1b[2J\""},
        {"an unknown command", {"\x1b[2J"}, "unknown command \\x1b[2J"},
        {"a bad option value", {"--baud", "\x1b[2J", "identify"}, "\\x1b[2J"},
    };
    for (const Case& c : cases) {
        const RunResult r = Run(c.argv);
        EXPECT_NE((r.out + r.err).find(c.shown), std::string::npos) << c.what << "\n"
                                                                    << r.out << r.err;
        EXPECT_EQ(RawControls(r.out + r.err), "") << c.what;
    }
    const struct {
        const char* what;
        Args argv;
        std::string shown;
    } linkCases[] = {
        {"kova-link: an unknown option", {kovaLink, "--\x1b[2J"}, "unknown option --\\x1b[2J"},
        {"kova-link: a bad option value", {kovaLink, "--type", "\x1b[2J"}, "\"\\x1b[2J\""},
        {"kova-link: a bad operand", Join(Join({kovaLink}, sim.Link()), {"read", "\x1b[2J", "1"}),
         "not \\x1b[2J"},
        {"kova-link: a replay file",
         Join(Join({kovaLink}, sim.Link()), {"replay", Path("\x1b[2J")}), "\\x1b[2J: No such file"},
    };
    for (const auto& c : linkCases) {
        const RunResult r = RunProgram(c.argv);
        EXPECT_NE((r.out + r.err).find(c.shown), std::string::npos) << c.what << "\n"
                                                                    << r.out << r.err;
        EXPECT_EQ(RawControls(r.out + r.err), "") << c.what;
    }
}

// The print-out keeps the program's bytes in a file; on a terminal a
// pattern's 8-bit CSI is escaped.
TEST_F(PrintableTest, ThePrintOutIsEscapedOnATerminalOnly) {
    if (!HaveProgram("/usr/bin/script")) return;
    ConfigFileContents config = SampleConfig();
    std::strcpy(config.ports[0].Paths[0].Pattern,
                "A\x9b"
                "2J");
    WriteKov("CSI.KOV", config);
    const RunResult file = Run({"print", Path("CSI.KOV")});
    ASSERT_EQ(file.status, 0) << file.err;
    EXPECT_NE(file.out.find("A\x9b"
                            "2J"),
              std::string::npos);

    const RunResult terminal =
        RunProgram({"/usr/bin/script", "-qec",
                    BuildProgram("kova-config") + " print " + Path("CSI.KOV"), "/dev/null"});
    ASSERT_EQ(terminal.status, 0) << terminal.err;
    std::string shown;
    for (char c : terminal.out)
        if (c != '\r' && c != '\f') shown += c;  // the terminal's line ends, the page ends
    EXPECT_NE(shown.find("A\\x9b2J"), std::string::npos) << shown;
    EXPECT_EQ(RawControls(shown), "");
}

}  // namespace
