// Bookkeeping of the open links, so that a closed or foreign handle is
// recognised without reading freed memory, and the life-cycle helpers shared
// by the open routines of every link kind.
#pragma once
#include <cstdint>

struct Link;

void RegisterLink(Link* link);  // sets the validity marker
void UnregisterLink(Link* link);
bool LinkRegistered(const Link* link);

Link* CreateLink(uint32_t kind);  // not yet registered
void DestroyLink(Link* link);
void StopReaderThread(Link* link);  // no-op for links without one

// The transaction counter a new serial link starts from, and the counter a
// closing one stopped at (the next link keeps clear of its recent numbers).
uint16_t TransactionCounterAtOpen();
void NoteTransactionCounterAtClose(uint16_t counter);
