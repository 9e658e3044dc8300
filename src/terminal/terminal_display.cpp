// The display rules for received bytes.
#include "terminal/terminal_display.h"

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";
constexpr int kLastCodeColumn = 77;  // past it a <XX> or a hex code starts a new line

void AppendCode(uint8_t b, std::string& out) {
    out += '<';
    out += kHexDigits[b >> 4];
    out += kHexDigits[b & 15];
    out += '>';
}

void ShowHex(TerminalDisplay& d, uint8_t b, std::string& out) {
    out += ' ';
    out += kHexDigits[b >> 4];
    out += kHexDigits[b & 15];
    d.column += 3;
    if (d.column > kLastCodeColumn) {
        out += "\r\n";
        d.column = 1;
    }
}

// The byte that came after a CR decides how the line ends.
void ShowAfterCr(TerminalDisplay& d, uint8_t b, std::string& out) {
    d.afterCr = false;
    if (b == '\n') {
        if (d.column > kLastCodeColumn) out += "\r\n";
        AppendCode(b, out);
        out += "\r\n";
        d.column = 1;
        return;
    }
    out += "\r\n";
    if (b >= 0x20 && b <= 0x7F) {
        out += char(b);
        d.column = 2;
    } else {
        AppendCode(b, out);
        d.column = 5;
    }
}

}  // namespace

void ShowReceivedByte(TerminalDisplay& d, uint8_t b, std::string& out) {
    if (d.afterCr) return ShowAfterCr(d, b, out);
    if (d.hexOnly) return ShowHex(d, b, out);
    if (b >= 0x20 && b <= 0x7E) {
        out += char(b);
        if (++d.column > 80) d.column -= 80;
        return;
    }
    if (d.column > kLastCodeColumn) {
        out += "\r\n";
        d.column = 1;
    }
    AppendCode(b, out);
    d.column += 4;
    if (d.column > 80) {
        d.column -= 80;
        return;
    }
    if (b == '\r') d.afterCr = true;
}

void EndCrLookAhead(TerminalDisplay& d, std::string& out) {
    if (!d.afterCr) return;
    d.afterCr = false;
    out += "\r\n";
    d.column = 1;
}
