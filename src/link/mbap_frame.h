// Modbus TCP frames without I/O: the requests of functions 3, 4, 16 and 21
// in their MBAP header, a reply assembled from the bytes as they come, and
// checked against its request. The PDUs inside are the serial links' own
// (modbus_pdu.h). The socket side feeds these; tests and the fuzz target
// drive them directly.
#pragma once
#include <cstddef>
#include <cstdint>

#include "link/modbus_pdu.h"

constexpr int kMbapHeaderSize = 6;
constexpr int kMbapBufferSize = 264;
// Header, unit identifier and the longest request PDU.
constexpr int kMbapRequestSize = kMbapHeaderSize + 1 + modbus::kMaxRequestPdu;
constexpr int kMaxTcpWrite16 = modbus::kMaxWrite16;
constexpr int kMaxTcpWrite21 = modbus::kMaxWrite21;

struct MbapRequest {
    uint16_t transaction = 0;
    uint8_t unit = 0;
    uint8_t function = 0;
    int count = 0;
};

// Each returns the frame length written to out (kMbapRequestSize bytes room).
int BuildMbapRead(const MbapRequest& request, int start, uint8_t* out);
int BuildMbapWrite(const MbapRequest& request, int start, const uint16_t* values, uint8_t* out);
int BuildMbapGeneralReferenceWrite(const MbapRequest& request, int start, const uint16_t* values,
                                   uint8_t* out);

// A reply assembled in a kMbapBufferSize buffer: the header first, then as
// many bytes as its length field announces.
struct MbapReceiver {
    int received = 0;
    int wanted = kMbapHeaderSize;
    bool aligned = false;  // MbapAcceptReply: the header found is the request's
};

enum class MbapProgress { More, Complete, TooLarge };

// Bytes to ask for next; never beyond the buffer.
int MbapBytesWanted(const MbapReceiver& receiver);
// Takes n more bytes that were received into buffer + receiver.received.
// TooLarge: the length field announces more than the buffer holds; the
// frame's remaining bytes are then MbapBytesLeft.
MbapProgress MbapAccept(MbapReceiver& receiver, const uint8_t* buffer, int n);
long MbapBytesLeft(const MbapReceiver& receiver);
// Takes n more bytes like MbapAccept, for the reply to one request: the frame
// starts only at a header that carries the request's transaction identifier,
// protocol 0 and a length that fits the buffer. Bytes before such a header
// (the rest of a reply given up, frames of other transactions, anything
// else) are dropped one at a time, so the stream comes back into step
// wherever the last exchange left it. Never TooLarge.
MbapProgress MbapAcceptReply(const MbapRequest& request, MbapReceiver& receiver, uint8_t* buffer,
                             int n);

uint16_t MbapTransaction(const uint8_t* frame);
// True when a whole frame (header at least) belongs to the request: its
// transaction identifier, and protocol identifier 0 (Modbus).
bool MbapAnswers(const MbapRequest& request, const uint8_t* frame);

// Null when the complete frame answers the request, else the error text
// (written into text) and, when failure is given, its kind as the PDU check
// gives it. Read values are then MbapReadValues.
const char* CheckMbapReply(const MbapRequest& request, const uint8_t* frame, int length, char* text,
                           size_t size, LinkFailure* failure = nullptr);
void MbapReadValues(const uint8_t* frame, int count, uint16_t* values);
