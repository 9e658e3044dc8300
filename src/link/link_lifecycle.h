// The life-cycle helpers shared by the open routines of every link kind.
// Nothing keeps a list of the open links: a link lives as long as the handle
// that owns it, so no code can hold one that is gone.
#pragma once
#include <cstdint>

struct Link;

Link* CreateLink(uint32_t kind);  // with the kind's protocol fixed
void DestroyLink(Link* link);
// Ends the reader thread, if the link has one, and closes its serial port;
// no-op for links without a serial port.
void StopReaderThread(Link* link);

// The transaction counter a new serial link starts from, and the counter a
// closing one stopped at (the next link keeps clear of its recent numbers).
uint16_t TransactionCounterAtOpen();
void NoteTransactionCounterAtClose(uint16_t counter);
