// Modbus PDUs as RTU, ASCII and TCP all carry them: the requests of functions
// 3, 4, 16 and 21 and the checks of their replies, with no framing and no
// I/O. The serial links and TCP differ only in their texts and in how
// strictly they take a reply's length; each keeps those in one row of
// ModbusReplyRules.
#pragma once
#include <cstddef>
#include <cstdint>

#include "link/link_errors.h"

namespace modbus {
constexpr uint8_t kReadHolding = 0x03;
constexpr uint8_t kReadInput = 0x04;
constexpr uint8_t kWriteMultiple = 0x10;
constexpr uint8_t kWriteGeneralReference = 0x15;
// The byte count of functions 16 and 21 is one byte.
constexpr int kMaxWrite16 = 127;
constexpr int kMaxWrite21 = 124;
// The longest request PDU: function 16 with its most registers.
constexpr int kMaxRequestPdu = 6 + 2 * kMaxWrite16;
}  // namespace modbus

struct ModbusRequest {
    uint8_t unit = 0;      // slave address or TCP unit identifier
    uint8_t function = 0;  // one of the four above
    int start = 0;         // first register, counted from 0 as on the wire
    int count = 0;
};

struct ModbusReplyRules {
    const char* readWrongUnit;
    const char* writeWrongUnit;
    const char* readWrongFunction;
    const char* writeWrongFunction;
    // Serial: every function code with bit 7 set is an exception; TCP: only
    // the request's own function + 0x80.
    bool anyExceptionBit;
    // Serial: a write's reply must be its echo length exactly, looked at
    // before anything else.
    bool checkWriteEcho;
    // Serial: a read reply is exactly its byte count long; TCP: at least.
    bool exactReadLength;
};
extern const ModbusReplyRules kSerialModbusReplies;
extern const ModbusReplyRules kTcpModbusReplies;

// Each writes the request's PDU (kMaxRequestPdu bytes of room) and returns
// its length; the writes take count values.
int BuildModbusReadPdu(const ModbusRequest& request, uint8_t* out);
int BuildModbusWritePdu(const ModbusRequest& request, const uint16_t* values, uint8_t* out);

// Null when the reply PDU, from replyUnit, answers the request; otherwise the
// text of what is wrong, written into text, and what kind of failure it is
// in *failure when given: the module's exception (ErrorReply) or a reply
// that does not answer the request (StrayReply).
const char* CheckModbusReplyPdu(const ModbusRequest& request, uint8_t replyUnit, const uint8_t* pdu,
                                int length, const ModbusReplyRules& rules, char* text, size_t size,
                                LinkFailure* failure = nullptr);
// The values of a read reply that passed its check.
void ModbusReplyValues(const uint8_t* pdu, int count, uint16_t* values);
