// Code page 437 as the terminal shows it: Unicode in a UTF-8 locale, ASCII
// stand-ins elsewhere.
#pragma once
#include <cstdint>

namespace con {
wchar_t Cp437ToUnicode(uint8_t byte);
char Cp437ToAscii(uint8_t byte);
// The code page 437 byte of a typed character, or -1 when it has none.
int UnicodeToCp437(wchar_t ch);
}  // namespace con
