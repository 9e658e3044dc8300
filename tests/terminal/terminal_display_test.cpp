// The display rules for received bytes, fed byte by byte: control bytes as
// <XX>, the column rule, hex-only lines and the CR look-ahead.
#include "terminal/terminal_display.h"

#include <gtest/gtest.h>

namespace {

struct Case {
    const char* name;
    std::string received;
    bool hexOnly;
    bool pauseAtEnd;  // the look-ahead after a final CR runs out
    std::string shown;
    int column;
};

const Case kCases[] = {
    {"CR LF ends the line", "AB\r\n", false, false, "AB<0D><0A>\r\n", 1},
    {"a lone CR breaks the line after its time", "\r", false, true, "<0D>\r\n", 1},
    {"a CR waits for what follows", "\r", false, false, "<0D>", 5},
    {"CR then X starts X on the next line", "\rX", false, false, "<0D>\r\nX", 2},
    {"CR then a control byte", "\r\x01", false, false, "<0D>\r\n<01>", 5},
    {"CR then DEL shows DEL as it is", "\r\x7F", false, false, "<0D>\r\n\x7F", 2},
    {"CR CR: the second is not looked past", "\r\rA", false, false, "<0D>\r\n<0D>A", 6},
    {"control and high bytes", "a\x1B\xFF", false, false, "a<1B><FF>", 10},
    {"26 hex codes fill a line", std::string(26, 'A'), true, false,
     [] {
         std::string s;
         for (int i = 0; i < 26; ++i) s += " 41";
         return s + "\r\n";
     }(),
     1},
    {"hex-only has no look-ahead", "\r", true, true, " 0D", 4},
};

TEST(TerminalDisplay, ShowsReceivedBytesAsTheRulesSay) {
    for (const Case& c : kCases) {
        TerminalDisplay d;
        d.hexOnly = c.hexOnly;
        std::string out;
        for (char b : c.received) ShowReceivedByte(d, uint8_t(b), out);
        if (c.pauseAtEnd) EndCrLookAhead(d, out);
        EXPECT_EQ(out, c.shown) << c.name;
        EXPECT_EQ(d.column, c.column) << c.name;
    }
}

TEST(TerminalDisplay, LinesBreakByTheColumn) {
    TerminalDisplay d;
    std::string out;
    // 78 letters put the column at 79: the next code starts a new line.
    for (int i = 0; i < 78; ++i) ShowReceivedByte(d, 'x', out);
    ShowReceivedByte(d, 0x07, out);
    EXPECT_EQ(out, std::string(78, 'x') + "\r\n<07>");
    EXPECT_EQ(d.column, 5);

    // Printable text wraps with the screen: the 80th character brings the column back to 1.
    d = TerminalDisplay{};
    out.clear();
    for (int i = 0; i < 80; ++i) ShowReceivedByte(d, 'y', out);
    EXPECT_EQ(d.column, 1);

    // A CR whose code ends exactly at column 80 has wrapped already: no look-ahead.
    d = TerminalDisplay{};
    d.column = 77;
    out.clear();
    ShowReceivedByte(d, '\r', out);
    EXPECT_EQ(out, "<0D>");
    EXPECT_EQ(d.column, 1);
    EXPECT_FALSE(d.afterCr);

    // CR LF past column 77 breaks before the <0A> as well.
    d = TerminalDisplay{};
    d.column = 75;
    out.clear();
    ShowReceivedByte(d, '\r', out);
    ShowReceivedByte(d, '\n', out);
    EXPECT_EQ(out, "<0D>\r\n<0A>\r\n");
}

}  // namespace
