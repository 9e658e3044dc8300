// Socket failures in the wording users of the link know: the texts of the
// failures that have one of their own (by their Windows Sockets numbers, to
// which the POSIX errno values map), the system's own words for the rest,
// and whether the failure means the circuit is gone.
#pragma once
#include <cstddef>

// The Windows Sockets number of a POSIX errno value; a value without a
// counterpart keeps its own number.
int SocketErrorCode(int posixError);

// What a failure is reported as: the operation the user asked for, whichever
// step of it (connecting, sending, receiving the reply) failed. A failed read
// must not read as something sent to the module.
inline constexpr char kSocketRead[] = "Read";
inline constexpr char kSocketWrite[] = "Write";

// Writes "<operation>: <text>" into text, with the failure's own text where
// it has one and the system's words for the others ("Read: Connection
// refused"); returns true when the link must reconnect.
bool FormatSocketError(const char* operation, int posixError, char* text, size_t size);
