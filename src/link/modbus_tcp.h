// The Modbus TCP link kind: one unit reached over a TCP connection, polled by
// the caller's thread (no reader thread, no packets).
#pragma once
#include <cstdint>

struct Link;

struct MbapRequest;

// Receives the request's whole reply into buffer (kMbapBufferSize bytes)
// within the reply timeout, counted in ticks of 10 ms from now: its length,
// or 0 with the link's error text set, naming the request's operation.
int ReceiveMbapFrame(Link* link, const MbapRequest& request, uint8_t* buffer);
// Error text "<operation>: <text of errno>" (operation kSocketRead or
// kSocketWrite); reconnects when the circuit is gone.
void ReportSocketError(const char* operation, Link* link);
// A new connection to the stored peer; the socket is -1 when none was made.
void ReconnectSocket(Link* link);
// The link's socket now, -1 between a lost connection and the next.
int TcpLinkSocket(const Link* link);
