// The bit-string form of a 16-bit value, as the emulator's signal register
// line and the register viewer show it, and its inverse for typed input.
#pragma once
#include <cstdint>
#include <string>

// Sixteen '0'/'1' characters, most significant bit first, a blank after every
// fourth bit (so the text ends with a blank): 20 characters.
std::string FormatBitString(uint16_t value);

// Each '1' shifts a 1 in from the right, each '0' a 0; everything else is
// skipped. Only the last sixteen bits shifted in remain.
uint16_t ParseBitString(const char* text);
