// The two typed fields of the emulator: the port prompt and the hex codes.
#pragma once
#include <string>

// The port prompt at row 2, column 25: "1" shown and replaced by the first
// digit typed, 1-4 only. Returns the port, or 0 when the user pressed Esc.
int AskEmulatedPort();

// The hex-code line at row 9, column 9 (60 columns, '.' fill, hex digits and
// blanks, letters upper-cased). Returns the ending key (Enter, F10 or Esc;
// Esc leaves the text empty).
int EditHexCodes(std::string& text);
