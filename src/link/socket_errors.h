// Socket failures in the wording users of the link know: the texts of the
// failures that have one of their own (by their Windows Sockets numbers, to
// which the POSIX errno values map), the system's own words for the rest,
// and whether the failure means the circuit is gone.
#pragma once
#include <cstddef>

// The Windows Sockets number of a POSIX errno value; a value without a
// counterpart keeps its own number.
int SocketErrorCode(int posixError);

// Writes "<prefix><text>" for a failure with a text of its own, or the
// system's words for the others ("Send: Connection refused"), into text;
// returns true when the link must reconnect.
bool FormatSocketError(const char* prefix, int posixError, char* text, size_t size);
