// A string field that may hold control characters: typed as printable text,
// with F9 opening the hex editor on the same bytes and coming back to the
// same position.
#pragma once

// buffer holds maxLen + 1 bytes. Returns the key that ended the entry:
// Enter, Esc, Up or Down. Callers that want Esc to undo save the buffer
// first (Esc keeps what the hex editor changed).
int EditHexString(char* buffer, int row, int col, int maxLen);
