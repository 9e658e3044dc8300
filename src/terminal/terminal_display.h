// How received bytes are shown: printable characters as they are, every other
// byte as <XX>, or all bytes in hexadecimal, with lines broken by an output
// column of 1 to 80. A CR waits up to 100 ms for what follows it to decide
// the line break. Plain functions of the bytes and the passing time: the
// text to show (and capture) is appended to out.
#pragma once
#include <cstdint>
#include <string>

constexpr int kCrLookAheadMs = 100;

struct TerminalDisplay {
    bool hexOnly = false;
    int column = 1;
    bool afterCr = false;  // a CR was shown and waits for the next byte
};

// Shows one received byte.
void ShowReceivedByte(TerminalDisplay& display, uint8_t byte, std::string& out);
// No byte followed a CR within the look-ahead time.
void EndCrLookAhead(TerminalDisplay& display, std::string& out);
