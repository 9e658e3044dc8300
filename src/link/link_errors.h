// What a failed request left on its link: a code that says what kind of
// failure it was, for the code that decides what to do next, and a text for
// the user. The error code tables of the Sy/Max and Modbus protocols and the
// texts built from them are here too.
#pragma once
#include <cstddef>
#include <cstdint>

struct Link;

constexpr int kLinkErrorSize = 84;

// Decisions read the code, never the text: texts are worded for users and
// may change, and one code has many texts (every protocol words its timeout
// its own way).
enum class LinkFailure : uint8_t {
    None,            // nothing has failed on the link yet
    NoReply,         // no reply (or no valid one) within the reply time
    DamagedReply,    // a reply came but failed its check (CRC, LRC)
    StrayReply,      // a reply that does not answer the request: its size,
                     // drop, opcode, route or transaction is not the request's
    ErrorReply,      // the module's own refusal: a Modbus exception, a Sy/Max error
    NotPossible,     // stopped before sending: a register, count or operation
                     // the link kind cannot carry
    ConnectionLost,  // the TCP connection failed or could not be made
    LostPort,        // the serial device is gone (unplugged)
    Aborted,         // the user ended the wait
    BufferShortage,  // no packet free for the request
    PortSettings,    // the line settings could not be applied
    NoLink,          // no link at all (null)
};
constexpr int kLinkFailureCount = static_cast<int>(LinkFailure::NoLink) + 1;

// The failure's code and its text, which the format gives (cut to
// kLinkErrorSize - 1 characters).
void SetLinkError(Link* link, LinkFailure failure, const char* format, ...)
    __attribute__((format(printf, 3, 4)));
// The last failure's text and code; "Handle not valid" and NoLink for no
// link (null).
const char* LinkErrorText(Link* link);
LinkFailure LinkFailureOf(Link* link);

constexpr unsigned kSyMaxErrorCount = 136;

// Codes beyond the table read "Unknown Error".
const char* SyMaxErrorText(unsigned code);
// Null for code 0 and codes above 12.
const char* ModbusExceptionText(unsigned code);

// "(%u) %s" with the Sy/Max text, as an ErrorReply.
void SetSyMaxErrorText(Link* link, unsigned code);
// One text for a Modbus exception on every link kind (RTU, ASCII, TCP, and
// exceptions carried over Sy/Max): "Modbus error reply 2 ILLEGAL DATA
// ADDRESS", or "Modbus error reply 13" for a code without a text. The link's
// failure is an ErrorReply.
void FormatModbusException(unsigned code, char* text, size_t size);
void SetModbusExceptionText(Link* link, unsigned code);
