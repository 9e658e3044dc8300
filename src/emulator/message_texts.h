// What one port has received of the current message: the received text (the
// last 64 characters) and the accepted text (the first 63 in order, then the
// newest in the 64th place), with the accept and terminate rules.
#pragma once
#include <climits>
#include <cstdint>
#include <cstring>

#include "config/module_config.h"

constexpr int kMessageChars = 64;

struct MessageTexts {
    char received[kMessageChars + 1] = {};
    int receivedCount = 0;
    char accepted[kMessageChars + 1] = {};
    int acceptedCount = 0;  // stops at 63; compared with TerminateCount
    int acceptedTotal = 0;  // every accepted character, also those past the 64th

    void Clear() { *this = MessageTexts{}; }
    bool AcceptedEmpty() const { return accepted[0] == 0; }
    // Appends to the received text; once 64 are held it scrolls left by one.
    void Receive(char c) {
        if (receivedCount < kMessageChars) {
            received[receivedCount++] = c;
            return;
        }
        std::memmove(received, received + 1, kMessageChars - 1);
        received[kMessageChars - 1] = c;
    }
    // Stores at the accepted count, which grows only while below 63.
    void Accept(char c) {
        accepted[acceptedCount] = c;
        if (acceptedTotal < INT_MAX) ++acceptedTotal;
        if (acceptedCount < kMessageChars - 1) ++acceptedCount;
    }
};

// Every received character passes through here (captures of many megabytes
// among them), so these stay inline.

// Takes one received character: adds it to the received text and, when the
// port accepts it, to the accepted text. True when it is a terminator.
inline bool AcquireCharacter(MessageTexts& texts, const PortConfig& port, uint8_t c) {
    texts.Receive(char(c));
    if (CharSetHas(port.AcceptSet, c)) texts.Accept(char(c));
    return CharSetHas(port.TerminateSet, c);
}

// A non-zero TerminateCount ends the message once that many were accepted.
// The count is the 16-bit word as the editor shows it, unsigned: a damaged
// -1 is 65535, never reached, rather than ending every message at once.
inline bool CountReached(const MessageTexts& texts, uint16_t terminateCount) {
    return terminateCount != 0 && texts.acceptedCount >= int(terminateCount);
}
