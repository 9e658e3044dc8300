// The texts of the Gateway commands and the numbers of its reply lines.
#include <cstdio>

#include "link/gateway_protocol.h"
#include "link/link_state.h"

namespace {

constexpr int kMaxRouteEntries = 8;

bool IsDigit(uint8_t c) { return c >= '0' && c <= '9'; }
bool IsLetter(uint8_t c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool IsControl(uint8_t c) { return c < 0x20; }
bool StartsNegative(const uint8_t* line, int length, int at) {
    return line[at] == '-' && at + 1 < length && IsDigit(line[at + 1]);
}

// Appends text at out + used if it fits (with room for the final CR).
bool Append(char* out, int size, int& used, const char* text) {
    int n = snprintf(out + used, static_cast<size_t>(size - used), "%s", text);
    if (n < 0 || used + n + 1 >= size) return false;
    used += n;
    return true;
}

int EndCommand(char* out, int used) {
    out[used++] = '\r';
    out[used] = '\0';
    return used;
}

}  // namespace

int FormatRouteCommand(const LinkRoute& route, char* out, int size) {
    int used = 0;
    Append(out, size, used, "A");
    int entries = route.count < kMaxRouteEntries ? route.count : kMaxRouteEntries;
    char number[8];
    for (int i = 0; i < entries; ++i) {
        snprintf(number, sizeof number, " %u", static_cast<unsigned>(route.entries[i]));
        Append(out, size, used, number);
    }
    return EndCommand(out, used);
}

int FormatReadCommand(int reg, int count, char* out, int size) {
    int n = snprintf(out, static_cast<size_t>(size), "R %d %d\r", reg, count);
    return n < size ? n : size - 1;
}

int FormatWriteCommand(int reg, const uint16_t* values, int count, char* out, int size,
                       int* formatted) {
    int used = 0;
    char number[16];
    snprintf(number, sizeof number, "W %d", reg);
    Append(out, size, used, number);
    int i = 0;
    for (; i < count; ++i) {
        // The gateway takes 32-bit numbers: each value is widened with its sign.
        uint32_t widened =
            static_cast<uint32_t>(static_cast<int32_t>(static_cast<int16_t>(values[i])));
        snprintf(number, sizeof number, " %u", widened);
        if (!Append(out, size, used, number)) break;
    }
    *formatted = i;
    return EndCommand(out, used);
}

int ParseGatewayValues(const uint8_t* line, int length, int count, uint16_t* values) {
    int stored = 0, at = 0;
    while (stored < count && at < length) {
        // A minus sign right before the digits gives the two's complement.
        bool negative = StartsNegative(line, length, at);
        if (negative) ++at;
        if (!IsDigit(line[at])) break;
        uint16_t value = 0;
        while (at < length && IsDigit(line[at]))
            value = static_cast<uint16_t>(value * 10 + (line[at++] - '0'));
        values[stored++] = negative ? static_cast<uint16_t>(-value) : value;
        // Up to the next number (its sign included) or the end of the line.
        while (at < length && line[at] != '\r' && !IsDigit(line[at]) &&
               !StartsNegative(line, length, at))
            ++at;
    }
    return stored;
}

GatewayReply ReadGatewayReply(const uint8_t* line, int length, int count, uint16_t* values) {
    int numbers = 0, at = 0;
    while (at < length && !IsControl(line[at])) {
        if (IsLetter(line[at])) return GatewayReply::NotNumbers;
        const bool starts = IsDigit(line[at]) || StartsNegative(line, length, at);
        // A line that does not begin with a number is no reply to a read.
        if (at == 0 && !starts) return GatewayReply::NotNumbers;
        if (starts) {
            ++numbers;
            at += line[at] == '-' ? 1 : 0;
            while (at < length && IsDigit(line[at])) ++at;
        } else {
            ++at;
        }
    }
    // Cut off at the packet's end: its last number may be cut too.
    if (at == length) return GatewayReply::TooMany;
    if (numbers < count) return GatewayReply::TooFew;
    if (numbers > count) return GatewayReply::TooMany;
    ParseGatewayValues(line, length, count, values);
    return GatewayReply::Values;
}

bool IsAcknowledgeLine(const Packet* line) { return line->length == 1 && line->data[0] == '\r'; }
