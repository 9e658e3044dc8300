// The Modbus TCP link kind: one unit reached over a TCP connection, polled by
// the caller's thread (no reader thread, no packets).
#pragma once
#include <cstdint>

struct Link;

// Receives one whole frame into buffer (kMbapBufferSize bytes): its length,
// or 0 with the link's error text set, naming the operation (kSocketRead or
// kSocketWrite).
int ReceiveMbapFrame(Link* link, const char* operation, uint8_t* buffer);
// Error text "<operation>: <text of errno>"; reconnects when the circuit is
// gone.
void ReportSocketError(const char* operation, Link* link);
// A new connection to the stored peer; the socket is -1 when none was made.
void ReconnectSocket(Link* link);
