// The one-line text field editor under every typed value: accepted
// characters, keys that end the edit, insert and overwrite, and the control
// keys of line editing.
#pragma once
#include <cstdint>

#include "ui/text_flags.h"

// Text entry flags, beside the display attribute and layout bits of PutText.
namespace tf {
constexpr uint32_t Pad = 0x0080;     // pad with spaces to the width on exit
constexpr uint32_t Hidden = 0x0100;  // show every character as the fill
constexpr uint32_t StartWithText = 0x0200;
constexpr uint32_t EndWhenFull = 0x0400;
constexpr uint32_t ReplaceOld = 0x0800;  // cursor at the start; first character clears
constexpr uint32_t Silent = 0x4000;
constexpr uint32_t Overwrite = 0x10000;  // also: show numbers with "0" fill
}  // namespace tf

// Accepted characters of file names, taken as typed (case kept): a name in
// the current directory (printable ASCII but the blank and "/"), and a path
// (with "/").
constexpr char kFileNameCharacters[] = "!-.0-~";
constexpr char kPathCharacters[] = "!-~";

// buffer holds width + 1 bytes; returns the key that ended the edit.
int EditText(char* buffer, int row, int col, int width, char fill, const char* accepted,
             const char* exitKeys, uint32_t flags);
