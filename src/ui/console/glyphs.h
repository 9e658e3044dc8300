// How the picture's code page 437 bytes reach a terminal: as UTF-8 where
// both the locale and the terminal take it, else as ASCII with the
// terminal's own line-drawing set (terminfo's acsc) for frames and markers.
#pragma once
#include <cstdint>

namespace con {

// False for the terminals that show one byte per cell whatever the locale
// says (a VT100 or VT220 on a serial line shows UTF-8 as garbage).
bool TerminalTakesUtf8(const char* term);

// The line-drawing character (its acsc letter: 'l' upper-left corner, 'q'
// horizontal line, '~' bullet, '`' diamond ...) that stands for a byte on a
// terminal without UTF-8; 0 for the bytes shown as ASCII (printable ASCII
// and the blanks). Bytes with no picture of their own (control characters,
// letters outside ASCII) get the diamond, which nothing typed looks like.
char AcsLetterOf(uint8_t byte);

}  // namespace con
