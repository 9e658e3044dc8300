// Socket failures in the numbering and wording users of the link know: the
// POSIX errno values mapped to Windows Sockets codes, the texts of the codes
// that have one, and whether the failure means the circuit is gone.
#pragma once
#include <cstddef>

// The Windows Sockets number of a POSIX errno value; a value without a
// counterpart keeps its own number.
int SocketErrorCode(int posixError);

// Writes "<prefix><text>" (or "<prefix> WINSOCK error <code>" for a code
// without a text) into text; returns true when the link must reconnect.
bool FormatSocketError(const char* prefix, int code, char* text, size_t size);
