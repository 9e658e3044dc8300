// Modbus request PDUs and the checks of their replies; numbers are high
// byte first.
#include "link/modbus_pdu.h"

#include <cstdio>

#include "link/link_errors.h"

namespace {

constexpr uint8_t kExceptionBit = 0x80;

void PutWord(uint8_t* at, unsigned value) {
    at[0] = static_cast<uint8_t>(value >> 8);
    at[1] = static_cast<uint8_t>(value);
}

unsigned Word(const uint8_t* at) { return static_cast<unsigned>(at[0] << 8 | at[1]); }

bool IsRead(uint8_t function) {
    return function == modbus::kReadHolding || function == modbus::kReadInput;
}

// A write's reply repeats the request: function 16 its first five bytes,
// function 21 all of it.
int WriteEchoLength(const ModbusRequest& request) {
    return request.function == modbus::kWriteMultiple ? 5 : 9 + 2 * request.count;
}

const char* Say(char* text, size_t size, const char* message) {
    snprintf(text, size, "%s", message);
    return text;
}

const char* WrongSize(bool read, char* text, size_t size) {
    return Say(text, size, read ? "Read reply was wrong size" : "Write reply was wrong size");
}

const char* ExceptionText(unsigned code, char* text, size_t size) {
    FormatModbusException(code, text, size);
    return text;
}

const char* CheckReadData(const ModbusRequest& request, const uint8_t* pdu, int length,
                          const ModbusReplyRules& rules, char* text, size_t size) {
    if (length < 2) return WrongSize(true, text, size);
    if (pdu[1] != 2 * request.count) {
        snprintf(text, size, "Reply length %u doesn't match query %u", pdu[1],
                 static_cast<unsigned>(request.count));
        return text;
    }
    // The byte count must not promise data the reply does not carry.
    bool sized = rules.exactReadLength ? length == pdu[1] + 2 : length >= 2 + 2 * request.count;
    return sized ? nullptr : WrongSize(true, text, size);
}

}  // namespace

const ModbusReplyRules kSerialModbusReplies = {
    "Read reply had wrong drop",
    "Write reply had wrong drop",
    "Read reply had wrong opcode",
    "Write reply had wrong opcode",
    true,
    true,
    true,
};

const ModbusReplyRules kTcpModbusReplies = {
    "Reply drop doesn't match query",
    "Reply drop doesn't match query",
    "Reply opcode doesn't match query",
    "Reply opcode doesn't match query",
    false,
    false,
    false,
};

int BuildModbusReadPdu(const ModbusRequest& request, uint8_t* out) {
    out[0] = request.function;
    PutWord(out + 1, static_cast<unsigned>(request.start));
    PutWord(out + 3, static_cast<unsigned>(request.count));
    return 5;
}

int BuildModbusWritePdu(const ModbusRequest& request, const uint16_t* values, uint8_t* out) {
    const int n = request.count;
    out[0] = request.function;
    uint8_t* data;
    if (request.function == modbus::kWriteMultiple) {
        PutWord(out + 1, static_cast<unsigned>(request.start));
        PutWord(out + 3, static_cast<unsigned>(n));
        out[5] = static_cast<uint8_t>(2 * n);
        data = out + 6;
    } else {
        out[1] = static_cast<uint8_t>(7 + 2 * n);
        out[2] = 3;  // reference type: extended register file
        PutWord(out + 3, 0);
        PutWord(out + 5, static_cast<unsigned>(request.start));
        PutWord(out + 7, static_cast<unsigned>(n));
        data = out + 9;
    }
    for (int i = 0; i < n; ++i) PutWord(data + 2 * i, values[i]);
    return static_cast<int>(data - out) + 2 * n;
}

const char* CheckModbusReplyPdu(const ModbusRequest& request, uint8_t replyUnit, const uint8_t* pdu,
                                int length, const ModbusReplyRules& rules, char* text, size_t size,
                                LinkFailure* failure) {
    LinkFailure ignored;
    LinkFailure& kind = failure ? *failure : ignored;
    kind = LinkFailure::StrayReply;
    const bool read = IsRead(request.function);
    // Without its function code a reply cannot be looked at at all.
    if (length < 1) return WrongSize(read, text, size);
    const bool exception = rules.anyExceptionBit ? (pdu[0] & kExceptionBit) != 0
                                                 : pdu[0] == (request.function | kExceptionBit);
    // An exception reply to a write is two bytes long, never the echo: it
    // must say what the module refused, not that its size was wrong.
    if (!read && rules.checkWriteEcho && length != WriteEchoLength(request) &&
        !(exception && length == 2))
        return WrongSize(false, text, size);
    if (replyUnit != request.unit)
        return Say(text, size, read ? rules.readWrongUnit : rules.writeWrongUnit);
    if (exception && length < 2) return WrongSize(read, text, size);
    if (exception) {
        kind = LinkFailure::ErrorReply;
        return ExceptionText(pdu[1], text, size);
    }
    if (pdu[0] != request.function)
        return Say(text, size, read ? rules.readWrongFunction : rules.writeWrongFunction);
    return read ? CheckReadData(request, pdu, length, rules, text, size) : nullptr;
}

void ModbusReplyValues(const uint8_t* pdu, int count, uint16_t* values) {
    for (int i = 0; i < count; ++i) values[i] = static_cast<uint16_t>(Word(pdu + 2 + 2 * i));
}
